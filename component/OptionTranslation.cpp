#include "OptionTranslation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <iterator>
#include <limits>

namespace component {

namespace {

// The date-time of 1 January 1970, in days since 30 December 1899.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kSecondsPerDay = 86400.0;

// A decimal 64-bit integer with optional leading blanks and sign; -1 when the
// text is not one (or its value in microseconds would not fit).
int64_t MillisecondsToMicros(const std::string& text) {
  const std::string trimmed = Trim(text);
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (first != last && *first == '+') ++first;
  int64_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 1000;
  if (first == last || error != std::errc() || end != last || value > kLimit || value < -kLimit)
    value = -1;
  return value * 1000;
}

// Line breaks of any platform to single line-feeds.
std::string ToLineFeeds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      result += text[i];
      continue;
    }
    result += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return result;
}

template <size_t N>
std::string FixedText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

// Windows' classic defaults for the system colours, as 0x00BBGGRR.
constexpr int32_t kSystemColors[] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0x000000, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xC56A31, 0xD8E9EC,
};

using Engine = TCustomFFmpeg;
using Out = TOutputOptions;

void Generic(Engine& e, const char* name, int32_t value) {
  if (value > 0) e.SetGenericOption(name, static_cast<int64_t>(value));
}
void Flag(Engine& e, const char* name, bool on) {
  if (on) e.ParseOption(name, "");
}
void Text(Engine& e, void (Engine::*setter)(const std::string&), const std::string& value) {
  if (!value.empty()) (e.*setter)(value);
}
void Band(Engine& e, void (Engine::*setter)(int32_t), int32_t value) {
  if (value >= 0) (e.*setter)(value);
}
void Timestamp(Engine& e, double dateTime) {
  if (dateTime < 0) return;
  e.SetTimestamp(DateTimeToUnixSeconds(dateTime == 0 ? NowAsDateTime() : dateTime));
}

using OutputStep = void (*)(Engine&, const Out&);

// The output fields, in the order the engine needs them: the crops check
// against (and shrink) the frame size set just before them.
constexpr OutputStep kOutputSteps[] = {
    [](Engine& e, const Out& o) { Text(e, &Engine::SetOutputFormat, o.FileFormat); },
    [](Engine& e, const Out& o) { Generic(e, "packetsize", o.PacketSize); },
    [](Engine& e, const Out& o) { Generic(e, "muxrate", o.MuxRate); },
    [](Engine& e, const Out& o) {
      if (o.MuxDelay > 0) e.SetMuxDelay(o.MuxDelay);
    },
    [](Engine& e, const Out& o) {
      if (o.MuxPreload > 0) e.SetMuxPreload(o.MuxPreload);
    },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetAudioCodec, o.AudioCodec); },
    [](Engine& e, const Out& o) { Flag(e, "an", o.DisableAudio); },
    [](Engine& e, const Out& o) {
      if (o.AudioVolume >= 0) e.SetAudioVolume(o.AudioVolume);
    },
    [](Engine& e, const Out& o) {
      if (o.AudioChannels > 0) e.SetChannels(o.AudioChannels);
    },
    [](Engine& e, const Out& o) {
      if (o.AudioSampleRate > 0) e.SetSampleRate(o.AudioSampleRate);
    },
    [](Engine& e, const Out& o) { Generic(e, "ab", o.AudioBitrate); },
    [](Engine& e, const Out& o) { Generic(e, "abt", o.AudioBitrateTolerance); },
    [](Engine& e, const Out& o) { e.AudioLanguage = o.AudioLanguage; },
    [](Engine& e, const Out& o) { e.SetAudioSync(o.AudioSync); },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetAudioTag, o.AudioTag); },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetVideoCodec, o.VideoCodec); },
    [](Engine& e, const Out& o) { Flag(e, "vn", o.DisableVideo); },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetFrameRate, o.FrameRate); },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetFrameSize, o.FrameSize); },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetAspectRatio, o.AspectRatio); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetCropTop, o.CropTop); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetCropBottom, o.CropBottom); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetCropLeft, o.CropLeft); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetCropRight, o.CropRight); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetPadTop, o.PadTop); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetPadBottom, o.PadBottom); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetPadLeft, o.PadLeft); },
    [](Engine& e, const Out& o) { Band(e, &Engine::SetPadRight, o.PadRight); },
    [](Engine& e, const Out& o) { e.SetPadColor(ColorToRGB(o.PadColor)); },
    [](Engine& e, const Out& o) { Generic(e, "gop", o.GopSize); },
    [](Engine& e, const Out& o) { Generic(e, "vb", o.VideoBitrate); },
    [](Engine& e, const Out& o) { Generic(e, "maxrate", o.MaxRate); },
    [](Engine& e, const Out& o) { Generic(e, "minrate", o.MinRate); },
    [](Engine& e, const Out& o) { Generic(e, "bt", o.BitrateTolerance); },
    [](Engine& e, const Out& o) { Generic(e, "bufsize", o.BufferSize); },
    [](Engine& e, const Out& o) { e.SetVideoSync(o.VideoSync); },
    [](Engine& e, const Out& o) { Text(e, &Engine::SetVideoTag, o.VideoTag); },
    [](Engine& e, const Out& o) { Flag(e, "sn", o.DisableSubtitle); },
    [](Engine& e, const Out& o) { e.SubtitleLanguage = o.SubtitleLanguage; },
    [](Engine& e, const Out& o) { e.SetCopyTimestamps(o.CopyTimestamp); },
    [](Engine& e, const Out& o) {
      if (o.RecordingTime > 0) e.SetRecordingTime(o.RecordingTime);
    },
    [](Engine& e, const Out& o) { Timestamp(e, o.Timestamp); },
    [](Engine& e, const Out& o) {
      if (o.Year > 0) e.SetYear(o.Year);
    },
    [](Engine& e, const Out& o) {
      if (o.Track > 0) e.SetTrack(o.Track);
    },
    [](Engine& e, const Out& o) { e.SetTitle(FixedText(o.Title)); },
    [](Engine& e, const Out& o) { e.SetAuthor(FixedText(o.Author)); },
    [](Engine& e, const Out& o) { e.SetCopyright(FixedText(o.Copyright)); },
    [](Engine& e, const Out& o) { e.SetComment(FixedText(o.Comment)); },
    [](Engine& e, const Out& o) { e.SetAlbum(FixedText(o.Album)); },
    [](Engine& e, const Out& o) { e.SetGenre(FixedText(o.Genre)); },
};

constexpr const char* kTargetKinds[] = {"vcd", "svcd", "dvd"};
constexpr const char* kTargetNorms[] = {"auto", "pal", "ntsc"};

}  // namespace

std::string Trim(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::string SplitOff(std::string& source, const std::string& separator, bool consume) {
  const size_t at = source.find(separator);
  if (at == std::string::npos) {
    std::string whole = source;
    if (consume) source.clear();
    return whole;
  }
  std::string before = source.substr(0, at);
  if (consume) source.erase(0, at + separator.size());
  return before;
}

void ApplyExtOptions(TCustomFFmpeg& engine, const std::string& text) {
  std::string rest = ToLineFeeds(Trim(text));
  while (!rest.empty()) {
    std::string line = SplitOff(rest, "\n", true);
    const std::string name = SplitOff(line, "=", true);
    engine.ParseOption(name, line);
  }
}

std::vector<THookRange> ParseHookRanges(const std::string& text) {
  std::string rest = Trim(text);
  std::vector<THookRange> ranges;
  ranges.reserve(static_cast<size_t>(std::count(rest.begin(), rest.end(), ',')) + 1);
  while (!rest.empty()) {
    std::string item = Trim(SplitOff(rest, ",", true));
    const std::string start = Trim(SplitOff(item, "-", true));
    const THookRange range{MillisecondsToMicros(start), MillisecondsToMicros(item)};
    if (range.StartTime <= range.EndTime && range.EndTime >= 0) ranges.push_back(range);
  }
  return ranges;
}

int64_t DateTimeToUnixSeconds(double dateTime) {
  tzset();
  const double biasMinutes = static_cast<double>(timezone) / 60.0;  // UTC minus standard time
  return static_cast<int64_t>(
      std::nearbyint((dateTime - kUnixEpochDays + biasMinutes / 1440.0) * kSecondsPerDay));
}

double NowAsDateTime() {
  const time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const double localSeconds = static_cast<double>(now) + static_cast<double>(local.tm_gmtoff);
  return kUnixEpochDays + localSeconds / kSecondsPerDay;
}

int32_t ColorToRGB(TColor color) {
  if ((static_cast<uint32_t>(color) >> 24) != 0xFF) return color;
  const size_t index = static_cast<uint32_t>(color) & 0xFF;
  return index < std::size(kSystemColors) ? kSystemColors[index] : 0;
}

void ApplyInputFields(TCustomFFmpeg& engine, const TInputOptions& options) {
  if (!options.FileFormat.empty()) engine.SetInputFormat(options.FileFormat);
  const int64_t start = static_cast<int64_t>(options.StartTime) * 1000;
  if (start > 0) engine.SetStartTime(start);
  if (options.ProgramID >= 0) engine.SetProgramId(options.ProgramID);
}

void ApplyOutputFields(TCustomFFmpeg& engine, const TOutputOptions& options) {
  for (OutputStep step : kOutputSteps) step(engine, options);
}

void ApplyTargetPreset(TCustomFFmpeg& engine, const TOutputOptions& options) {
  if (options.Target < 1 || options.Target > 3) return;
  const bool knownNorm = options.TargetNorm >= 0 && options.TargetNorm <= 2;
  const char* norm = kTargetNorms[knownNorm ? options.TargetNorm : 0];
  const char* fallback = options.TargetFallbackNorm == 1 ? "pal" : "ntsc";
  engine.SetTargetPreset(kTargetKinds[options.Target - 1], norm, fallback);
}

}  // namespace component
