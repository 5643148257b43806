// The named setters the conversion component uses; a guard that is not met
// leaves the state unchanged.
#include <algorithm>

#include "Format.h"
#include "OptionTable.h"

namespace {

void SetIfNotEmpty(std::string& field, const std::string& text) {
  if (!text.empty()) field = text;
}

}  // namespace

void TCustomFFmpeg::SetInputFormat(const std::string& name) {
  if (name.empty()) return;
  const std::string resolved = engine::ResolveFormatName(*this, name);
  const AVInputFormat* format = ml::av_find_input_format(resolved.c_str());
  if (!format) throw FFMpegException(engine::Format("Unknown input format: %s", name.c_str()));
  FileIFormat = format;
}

void TCustomFFmpeg::SetOutputFormat(const std::string& name) {
  if (name.empty()) return;
  const std::string resolved = engine::ResolveFormatName(*this, name);
  const AVOutputFormat* format = ml::av_guess_format(resolved.c_str(), nullptr, nullptr);
  if (!format) throw FFMpegException(engine::Format("Unknown output format: %s", name.c_str()));
  FileOFormat = format;
}

void TCustomFFmpeg::SetStartTime(int64_t microseconds) {
  if (microseconds > 0) StartTime = microseconds;
}

void TCustomFFmpeg::SetProgramId(int32_t id) {
  if (id >= 0) OptProgramId = id;
}

void TCustomFFmpeg::SetRecordingTime(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  RecordingTime = static_cast<int64_t>(milliseconds) * 1000;
  TotalDurationMs = milliseconds;
}

void TCustomFFmpeg::SetAudioVolume(int32_t volume) {
  if (volume >= 0) AudioVolume = volume;
}

void TCustomFFmpeg::SetAudioSync(int32_t method) {
  AudioSyncMethod = method;
}
void TCustomFFmpeg::SetVideoSync(int32_t method) {
  VideoSyncMethod = method;
}

void TCustomFFmpeg::SetMuxDelay(float seconds) {
  if (seconds > 0) MuxMaxDelay = seconds;
}

void TCustomFFmpeg::SetMuxPreload(float seconds) {
  if (seconds > 0) MuxPreload = seconds;
}

void TCustomFFmpeg::SetYear(int32_t year) {
  if (year > 0) Year = year;
}

void TCustomFFmpeg::SetTrack(int32_t track) {
  if (track > 0) Track = track;
}

void TCustomFFmpeg::SetTitle(const std::string& text) {
  SetIfNotEmpty(Title, text);
}
void TCustomFFmpeg::SetAuthor(const std::string& text) {
  SetIfNotEmpty(Author, text);
}
void TCustomFFmpeg::SetCopyright(const std::string& text) {
  SetIfNotEmpty(Copyright, text);
}
void TCustomFFmpeg::SetComment(const std::string& text) {
  SetIfNotEmpty(Comment, text);
}
void TCustomFFmpeg::SetGenre(const std::string& text) {
  SetIfNotEmpty(Genre, text);
}
void TCustomFFmpeg::SetAlbum(const std::string& text) {
  SetIfNotEmpty(Album, text);
}

void TCustomFFmpeg::SetSampleRate(int32_t rate) {
  if (rate > 0) AudioSampleRate = rate;
}

void TCustomFFmpeg::SetChannels(int32_t channels) {
  if (channels > 0) AudioChannels = channels;
}

void TCustomFFmpeg::SetVerbosity(int32_t level) {
  Verbose = level;
  medialib::SetLibraryLogLevel(level);
}

void TCustomFFmpeg::SetCopyTimestamps(bool on) {
  CopyTs = on ? 1 : 0;
}

void TCustomFFmpeg::SetTimestamp(int64_t secondsSince1970) {
  RecTimestamp = secondsSince1970;
}

void TCustomFFmpeg::SetHookRanges(const std::vector<THookRange>& ranges) {
  HookRanges = ranges;
  std::sort(HookRanges.begin(), HookRanges.end(),
            [](const THookRange& a, const THookRange& b) { return a.EndTime < b.EndTime; });
  HookRangeCurrent = 0;
}
