// The tables of one transcode run: input files, input streams and output
// streams, owned by the run and released when it ends.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "FFmpeg.h"

// What the encoder said about the last packet it produced.
struct TCodedFrameInfo {
  int Quality = 0;  // lambda (118 x quantiser)
  int PictType = 0;
  bool KeyFrame = false;
  int64_t Pts = AV_NOPTS_VALUE;  // in the encoder's time base
  uint64_t Error[4] = {};
  bool Valid = false;
};

struct TInputFileRec {
  int32_t EndOfInput = 0;
  int32_t FirstStream = 0;
  int32_t StreamCount = 0;
};

struct TInputStreamRec {
  int32_t FileIndex = 0;
  int32_t StreamIndex = 0;
  AVStream* Stream = nullptr;
  AVCodecContext* Codec = nullptr;  // the decoder context, owned by the input file slot
  int32_t Discard = 1;
  int32_t DecodingNeeded = 0;
  bool RateEmu = false;
  int64_t RateEmuStart = 0;
  int32_t RateEmuFrame = 0;
  int64_t NextPts = AV_NOPTS_VALUE;  // microseconds
  int64_t Pts = 0;                   // microseconds
  int32_t IsStart = 1;
  AVRational FrameDuration = {0, 1};  // of one picture (video) in seconds
  int Quality = 0;                    // of the last decoded picture
  // Decoded audio as interleaved 16-bit samples at the decoder's rate.
  engine::SwrPtr ToInterleaved;
  int ToInterleavedChannels = 0;
  int ToInterleavedFormat = -1;
  int ToInterleavedRate = 0;
  int Channels = 0;
  int SampleRate = 0;
};

struct TOutputStreamRec {
  int32_t FileIndex = 0;
  int32_t StreamIndex = 0;
  int32_t SourceIndex = 0;
  AVStream* Stream = nullptr;
  AVCodecContext* Codec = nullptr;  // the encoder context, owned by the output stream slot
  TOutputStreamSlot* Slot = nullptr;
  AVFormatContext* File = nullptr;
  int32_t EncodingNeeded = 0;
  int32_t FrameNumber = 0;
  TInputStreamRec* SyncStream = nullptr;
  int64_t SyncOpts = 0;
  // Video.
  int32_t VideoResample = 0;
  engine::FramePtr TempPicture;
  engine::SwsPtr ScaleContext;
  int32_t ResampleHeight = 0;
  int ScaleSourceWidth = 0, ScaleSourceHeight = 0, ScaleSourceFormat = -1;
  int32_t VideoCrop = 0;
  int32_t CropTopBand = 0, CropLeftBand = 0, CropBottomBand = 0, CropRightBand = 0;
  int32_t VideoPad = 0;
  int32_t PadTopBand = 0, PadBottomBand = 0, PadLeftBand = 0, PadRightBand = 0;
  engine::FramePtr EncodeFrame;  // a reference to a decoded picture sent unchanged
  // Audio.
  int32_t AudioResample = 0;
  engine::SwrPtr Resampler;
  int ResamplerInChannels = 0, ResamplerInRate = 0;
  engine::FifoPtr AudioFifo;
  engine::SwrPtr ToEncoderFormat;
  engine::FramePtr AudioFrame;
  int AudioFrameCapacity = 0;
  int64_t NextAudioPts = INT64_MIN;  // the first sample after the last encoded frame
  // Two-pass statistics being written.
  FilePtr PassLogFile;
  // Timestamps and the encoder's report.
  int64_t CurrentPts = 0;  // end of the last written packet, in the stream's time base
  TCodedFrameInfo Coded;
};

struct TTranscodeRun {
  std::vector<TInputFileRec> Files;
  std::vector<std::unique_ptr<TInputStreamRec>> InputStreams;
  std::vector<std::unique_ptr<TOutputStreamRec>> OutputStreams;
  std::vector<AVFormatContext*> OutputFiles;
  engine::PacketPtr Packet;
  engine::PacketPtr CopyOut;  // reused for every stream-copied packet
  engine::FramePtr Frame;
  int64_t LastReportTime = 0;
};
