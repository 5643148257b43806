// The two records that describe a conversion task to the component: the file
// to read and the file to write. Fields left at their defaults produce no
// engine option.
#pragma once

#include <cstdint>
#include <string>

// A colour as red in bits 0-7, green in bits 8-15, blue in bits 16-23; a value
// with the high byte 0xFF names a system colour (its index in the low byte).
using TColor = int32_t;

struct TInputOptions {
  std::string FileName;
  std::string FileFormat;
  int32_t StartTime = -1;  // milliseconds
  int32_t ProgramID = -1;
  std::string ExtOptions;
};

struct TOutputOptions {
  std::string FileName;
  std::string FileFormat;
  int32_t PacketSize = -1;
  int32_t MuxRate = -1;
  float MuxDelay = -1.0f;    // seconds
  float MuxPreload = -1.0f;  // seconds
  std::string AudioCodec;
  bool DisableAudio = false;
  int32_t AudioVolume = -1;
  int32_t AudioChannels = -1;
  int32_t AudioSampleRate = -1;
  int32_t AudioBitrate = -1;
  int32_t AudioBitrateTolerance = -1;
  std::string AudioLanguage;
  int32_t AudioSync = 0;
  std::string AudioTag;
  std::string VideoCodec;
  bool DisableVideo = false;
  std::string FrameRate;
  std::string FrameSize;
  std::string AspectRatio;
  int32_t CropTop = -1, CropBottom = -1, CropLeft = -1, CropRight = -1;
  int32_t PadTop = -1, PadBottom = -1, PadLeft = -1, PadRight = -1;
  TColor PadColor = 0;
  int32_t GopSize = -1;
  int32_t VideoBitrate = -1;
  int32_t MaxRate = -1;
  int32_t MinRate = -1;
  int32_t BitrateTolerance = -1;
  int32_t BufferSize = -1;
  int32_t VideoSync = -1;
  std::string VideoTag;
  bool DisableSubtitle = false;
  std::string SubtitleLanguage;
  bool CopyTimestamp = false;
  int32_t RecordingTime = -1;  // milliseconds
  double Timestamp = -1.0;     // days since 30 December 1899, local time
  int32_t Year = -1;
  int32_t Track = -1;
  char Title[512] = {};
  char Author[512] = {};
  char Copyright[512] = {};
  char Comment[512] = {};
  char Album[512] = {};
  char Genre[32] = {};
  int32_t Target = 0;              // 0 none, 1 "vcd", 2 "svcd", 3 "dvd"
  int32_t TargetNorm = 0;          // 0 "auto", 1 "pal", 2 "ntsc"
  int32_t TargetFallbackNorm = 1;  // 1 "pal", other "ntsc"
  bool CustomHook = false;
  bool BeforeHook = false;
  std::string HookRanges;  // "start-end,start-end" in milliseconds
  std::string ExtOptions;  // one name=value per line
};

void InitInputOptions(TInputOptions& options);
void InitOutputOptions(TOutputOptions& options);
