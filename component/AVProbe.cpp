#include "AVProbe.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <mutex>
#include <stdexcept>

#include "FFmpeg.h"
#include "OpenError.h"

namespace {

struct RequiredLibrary {
  medialib::Library library;
  const char* missing;
};

constexpr RequiredLibrary kRequiredLibraries[] = {
    {medialib::Library::Codec, "LibAVCodec not loaded."},
    {medialib::Library::Container, "LibAVFormat not loaded."},
    {medialib::Library::Utility, "LibAVUtil not loaded."},
    {medialib::Library::Scaler, "LibSwScale not loaded."},
};

void CheckLibraries() {
  for (const RequiredLibrary& required : kRequiredLibraries)
    if (!medialib::LibraryBound(required.library)) throw std::runtime_error(required.missing);
}

// Logs through the libraries' log, on the engine's level scale.
void ProbeLog(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ProbeLog(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ml::av_vlog(nullptr, medialib::ToLibraryLogLevel(level), format, args);
  va_end(args);
}

int32_t ToInt32(int64_t value) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value > kMax ? kMax : value < kMin ? kMin : value);
}

// Copies at most size - 1 bytes and a terminating zero.
void CopyBytes(char* field, size_t size, const char* value) {
  const size_t length = strnlen(value, size - 1);
  std::memcpy(field, value, length);
  field[length] = '\0';
}

const char* Tag(const AVDictionary* metadata, const char* key) {
  const AVDictionaryEntry* entry = ml::av_dict_get(metadata, key, nullptr, 0);
  return entry && entry->value ? entry->value : nullptr;
}

// The tag's bytes as they are, cut to the field and zero-terminated.
void CopyTag(char* field, size_t size, const AVDictionary* metadata,
             std::initializer_list<const char*> keys) {
  std::memset(field, 0, size);
  for (const char* key : keys) {
    if (const char* value = Tag(metadata, key)) {
      CopyBytes(field, size, value);
      return;
    }
  }
}

// The leading number of a tag such as "2007-05-03" or "3/12"; 0 without one.
int32_t NumberTag(const AVDictionary* metadata, std::initializer_list<const char*> keys) {
  for (const char* key : keys)
    if (const char* value = Tag(metadata, key)) return ToInt32(std::strtoll(value, nullptr, 10));
  return 0;
}

int64_t CreationTime(const AVDictionary* metadata) {
  const char* value = Tag(metadata, "creation_time");
  int64_t micros = 0;
  if (!value || ml::av_parse_time(&micros, value, 0) < 0) return 0;
  return micros / 1000000;
}

void FillTags(TFormatInfo& info, const AVDictionary* metadata) {
  CopyTag(info.Title, sizeof info.Title, metadata, {"title"});
  CopyTag(info.Author, sizeof info.Author, metadata, {"author", "artist"});
  CopyTag(info.Copyright, sizeof info.Copyright, metadata, {"copyright"});
  CopyTag(info.Comment, sizeof info.Comment, metadata, {"comment"});
  CopyTag(info.Album, sizeof info.Album, metadata, {"album"});
  CopyTag(info.Genre, sizeof info.Genre, metadata, {"genre"});
  info.Year = NumberTag(metadata, {"date", "year"});
  info.Track = NumberTag(metadata, {"track"});
}

int64_t ToMicros(int64_t value, AVRational timeBase) {
  return ml::av_rescale_q(value, timeBase, AVRational{1, 1000000});
}

void FillVideoStream(TVideoStreamInfo& info, const AVStream* st) {
  const AVCodecParameters* par = st->codecpar;
  if (const char* language = Tag(st->metadata, "language"))
    CopyBytes(info.Language, sizeof info.Language, language);
  CopyBytes(info.CodecName, sizeof info.CodecName, ml::avcodec_get_name(par->codec_id));
  info.StartTime = st->start_time;
  if (st->start_time != AV_NOPTS_VALUE) info.StartTimeUs = ToMicros(st->start_time, st->time_base);
  info.Duration = st->duration;
  if (st->duration != AV_NOPTS_VALUE) info.DurationUs = ToMicros(st->duration, st->time_base);
  info.BitRate = ToInt32(par->bit_rate);
  info.Height = par->height;
  info.Width = par->width;
  const AVRational sar = par->sample_aspect_ratio;
  // A zero divisor gives an infinity or not-a-number, never a fault.
  info.DisplayAspect = static_cast<float>(static_cast<double>(par->width) *
                                          (static_cast<double>(sar.num) / sar.den) /
                                          static_cast<double>(par->height));
  info.PixelFormat = par->format;
  info.FrameRateNum = st->r_frame_rate.num;
  info.FrameRateDen = st->r_frame_rate.den;
}

}  // namespace

TAVProbe::~TAVProbe() {
  Unload();
}

bool TAVProbe::LoadFile(const std::string& fileName, const std::string& formatName) {
  CheckLibraries();
  Unload();
  const AVInputFormat* forced = nullptr;
  if (!formatName.empty()) {
    forced = ml::av_find_input_format(formatName.c_str());
    if (!forced) {
      lastError_ = "Unknown input format: " + formatName;
      return false;
    }
  }
  AVFormatContext* context = ml::avformat_alloc_context();
  const int opened = context ? ml::avformat_open_input(&context, fileName.c_str(), forced, nullptr)
                             : AVERROR(ENOMEM);
  if (opened < 0) {  // the library has freed the context
    lastError_ = engine::OpenErrorText(fileName, opened);
    return false;
  }
  context_.reset(context);
  int probed;
  {
    std::lock_guard<std::mutex> guard(CodecOpenLock());
    probed = ml::avformat_find_stream_info(context, nullptr);
  }
  if (probed < 0) {
    lastError_ = fileName + ": could not find codec parameters";
    Unload();
    return false;
  }
  CountStreams();
  formatName_ = formatName;
  return true;
}

void TAVProbe::Unload() {
  formatName_.clear();
  context_.reset();
  ResetCounters();
}

void TAVProbe::ResetCounters() {
  streamCount_ = programCount_ = -1;
  audioStreamCount_ = videoStreamCount_ = subtitleStreamCount_ = -1;
  firstAudioStream_ = firstVideoStream_ = firstSubtitleStream_ = -1;
}

void TAVProbe::CountStreams() {
  streamCount_ = static_cast<int32_t>(context_->nb_streams);
  programCount_ = static_cast<int32_t>(context_->nb_programs);
  audioStreamCount_ = videoStreamCount_ = subtitleStreamCount_ = 0;
  struct Kind {
    AVMediaType type;
    int32_t* count;
    int32_t* first;
  };
  const Kind kinds[] = {{AVMEDIA_TYPE_VIDEO, &videoStreamCount_, &firstVideoStream_},
                        {AVMEDIA_TYPE_AUDIO, &audioStreamCount_, &firstAudioStream_},
                        {AVMEDIA_TYPE_SUBTITLE, &subtitleStreamCount_, &firstSubtitleStream_}};
  for (int32_t i = 0; i < streamCount_; ++i) {
    const AVMediaType type = context_->streams[i]->codecpar->codec_type;
    for (const Kind& kind : kinds) {
      if (kind.type != type) continue;
      if ((*kind.count)++ == 0) *kind.first = i;
    }
  }
}

void TAVProbe::GetFormatInfo(TFormatInfo& info) const {
  std::memset(&info, 0, sizeof info);
  if (!context_) {
    info.StartTime = info.Duration = info.Timestamp = -1;
    info.BitRate = info.Year = info.Track = -1;
    ProbeLog(1, "file not loaded.\n");
    return;
  }
  info.StartTime = context_->start_time;
  info.Duration = context_->duration;
  info.BitRate = ToInt32(context_->bit_rate);
  info.Timestamp = CreationTime(context_->metadata);
  FillTags(info, context_->metadata);
}

void TAVProbe::GetVideoStreamInfo(TVideoStreamInfo& info) const {
  GetVideoStreamInfo(-1, info);
}

void TAVProbe::GetVideoStreamInfo(int streamIndex, TVideoStreamInfo& info) const {
  info = TVideoStreamInfo{};
  if (!context_) {
    ProbeLog(1, "file not loaded.\n");
    return;
  }
  if (streamIndex < 0) {
    streamIndex = firstVideoStream_;
    if (streamIndex < 0) {
      ProbeLog(0, "no video stream.\n");
      return;
    }
  } else if (streamIndex >= streamCount_) {
    ProbeLog(0, "stream index #%d is invalid.\n", streamIndex);
    return;
  }
  const AVStream* st = context_->streams[streamIndex];
  if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
    ProbeLog(0, "stream #%d is not video stream.\n", streamIndex);
    return;
  }
  FillVideoStream(info, st);
}
