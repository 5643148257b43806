// The media probe: what a file holds (container facts, tags, the video
// streams' codec, size, aspect, pixel format and frame rate) without
// converting it. Keeps one file open at a time.
#pragma once

#include <cstdint>
#include <string>

#include "LibPtr.h"

// Container facts. The tag fields hold the file's bytes as they are (often a
// legacy code page, not UTF-8), zero-terminated; see ReadableText.h.
struct TFormatInfo {
  int64_t StartTime;  // microseconds
  int64_t Duration;   // microseconds; AV_NOPTS_VALUE when unknown
  int32_t BitRate;    // bits per second
  int64_t Timestamp;  // seconds since 1970 (creation time), 0 when unknown
  char Title[512];
  char Author[512];
  char Copyright[512];
  char Comment[512];
  char Album[512];
  int32_t Year;
  int32_t Track;
  char Genre[32];
};

// One video stream; the initial values are those left when a call fails.
struct TVideoStreamInfo {
  char Language[4] = {};
  char CodecName[32] = {};
  int64_t StartTime = -1;    // stream time base
  int64_t StartTimeUs = -1;  // microseconds
  int64_t Duration = -1;     // stream time base
  int64_t DurationUs = -1;   // microseconds
  int32_t BitRate = -1;
  int32_t Height = -1;
  int32_t Width = -1;
  float DisplayAspect = -1.0f;
  int32_t PixelFormat = -1;
  int32_t FrameRateNum = -1;
  int32_t FrameRateDen = -1;
};

class TAVProbe {
 public:
  TAVProbe() = default;
  ~TAVProbe();
  TAVProbe(const TAVProbe&) = delete;
  TAVProbe& operator=(const TAVProbe&) = delete;

  // Opens the file (with a forced format when `formatName` is not empty) and
  // probes its streams. Throws std::runtime_error when a library is not
  // loaded; any other failure gives false with LastError.
  bool LoadFile(const std::string& fileName, const std::string& formatName = "");
  void Unload();
  // The getters never throw; misuse is reported through the libraries' log.
  void GetFormatInfo(TFormatInfo& info) const;
  void GetVideoStreamInfo(TVideoStreamInfo& info) const;
  // A stream index below 0 means the first video stream.
  void GetVideoStreamInfo(int streamIndex, TVideoStreamInfo& info) const;

  bool Loaded() const { return context_ != nullptr; }
  const std::string& LastError() const { return lastError_; }
  const std::string& FormatName() const { return formatName_; }
  int32_t StreamCount() const { return streamCount_; }
  int32_t ProgramCount() const { return programCount_; }
  int32_t AudioStreamCount() const { return audioStreamCount_; }
  int32_t VideoStreamCount() const { return videoStreamCount_; }
  int32_t SubtitleStreamCount() const { return subtitleStreamCount_; }
  int32_t FirstAudioStream() const { return firstAudioStream_; }
  int32_t FirstVideoStream() const { return firstVideoStream_; }
  int32_t FirstSubtitleStream() const { return firstSubtitleStream_; }

 private:
  void ResetCounters();
  void CountStreams();

  engine::InputContextPtr context_;
  std::string lastError_;
  std::string formatName_;
  int32_t streamCount_ = -1;
  int32_t programCount_ = -1;
  int32_t audioStreamCount_ = -1;
  int32_t videoStreamCount_ = -1;
  int32_t subtitleStreamCount_ = -1;
  int32_t firstAudioStream_ = -1;
  int32_t firstVideoStream_ = -1;
  int32_t firstSubtitleStream_ = -1;
};
