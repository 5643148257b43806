// The transcoding engine: one TCustomFFmpeg is one conversion task, configured
// by named options the way a command-line transcoder is, run on a worker thread
// of its own (or on the caller's thread), reporting through five handlers.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Bitmap.h"
#include "LibPtr.h"
#include "MediaLib.h"

// The engine's exception: a message and nothing else.
class FFMpegException : public std::runtime_error {
 public:
  explicit FFMpegException(const std::string& message) : std::runtime_error(message) {}
};

// Raised where the engine asserts on its input (the 4-character tag checks).
class EAssertionFailed : public std::runtime_error {
 public:
  explicit EAssertionFailed(const std::string& message) : std::runtime_error(message) {}
};

enum THookAction { haContinue = 0, haIgnore = 1, haStop = 2 };

enum TThreadPriority { tpIdle = 0, tpLowest = 1, tpLower = 2, tpNormal = 3 };

class TCustomFFmpeg;

using TLogHandler = std::function<void(TCustomFFmpeg* Sender, int ALevel, const std::string& AMsg)>;
using TProgressHandler =
    std::function<void(TCustomFFmpeg* Sender, int AFrameNumber, int AFPS, int ACurrentDuration,
                       float AQuality, float ABitRate, int64_t ACurrentSize,
                       int ATotalOutputDuration)>;
using TBeforeHookHandler =
    std::function<void(TCustomFFmpeg* Sender, int64_t APTS, THookAction& AHookAction)>;
using TCustomHookHandler =
    std::function<void(TCustomFFmpeg* Sender, TBitmap* ABitmap, int AFrameNumber, int64_t APTS,
                       bool& AUpdate, bool& AStopHook)>;
using TTerminateHandler = std::function<void(TCustomFFmpeg* Sender)>;

// Process-wide lock around every codec open and close and the stream probing
// of an input.
std::mutex& CodecOpenLock();

// The engine's worker. Created suspended: the body waits at the gate until
// Resume. Pause closes the gate; the engine waits at it at the top of its
// packet loop and before each emitted frame.
class TFFmpegThread {
 public:
  TFFmpegThread(TCustomFFmpeg* engine, std::function<void()> body);
  ~TFFmpegThread();
  TFFmpegThread(const TFFmpegThread&) = delete;
  TFFmpegThread& operator=(const TFFmpegThread&) = delete;

  void Resume();
  void Suspend();
  bool Suspended() const;
  void WaitWhileSuspended();
  void SetPriority(TThreadPriority priority);
  // The system thread id (gettid), known once the thread runs.
  int32_t ThreadId() const { return threadId_; }
  bool IsCurrentThread() const { return std::this_thread::get_id() == thread_.get_id(); }
  void Join();
  void Detach();

 private:
  TCustomFFmpeg* engine_;
  mutable std::mutex gateLock_;
  std::condition_variable gate_;
  bool suspended_ = true;
  int32_t threadId_ = 0;
  std::thread thread_;
};

// Delivers the termination of a task that never started, from its own
// idle-priority thread.
class TDoTerminateThread {
 public:
  explicit TDoTerminateThread(TCustomFFmpeg* engine);
  ~TDoTerminateThread();
  void Join();
  void Detach();
  bool IsCurrentThread() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  std::thread thread_;
};

// The picture record handed to frame-hook modules: four plane pointers and
// four line sizes.
struct THookPicture {
  uint8_t* data[4];
  int linesize[4];
};

// One loaded and configured frame-hook module instance.
struct TFrameHookEntry {
  using ConfigureFn = int (*)(void** context, int argc, char* argv[]);
  using ProcessFn = void (*)(void* context, THookPicture* picture, int pixFmt, int width,
                             int height, int64_t pts);
  using ReleaseFn = void (*)(void* context);
  ConfigureFn Configure = nullptr;
  ProcessFn Process = nullptr;
  ReleaseFn Release = nullptr;
  void* Context = nullptr;
};

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;
using MatrixPtr = std::unique_ptr<uint16_t, engine::AvMemoryDeleter>;

struct TStreamMapRec {
  int32_t FileIndex;
  int32_t StreamIndex;
  int32_t SyncFileIndex;
  int32_t SyncStreamIndex;
};

struct TMetaDataMapRec {
  int32_t OutFile;
  int32_t InFile;
};

struct THookRange {
  int64_t StartTime;
  int64_t EndTime;
};

constexpr int MAX_FILES = 20;
constexpr int MAX_STREAMS = 20;

// An opened input file: its container and a decoder context per stream.
struct TInputFileSlot {
  engine::InputContextPtr Context;
  std::vector<engine::CodecContextPtr> Codecs;  // one per stream at open time
  std::vector<uint8_t> RateEmu;                 // per stream: released at the input's own pace
  engine::Dictionary DecoderOptions;            // private decoder options remembered at open
};

// One stream of an output file: its encoder (or stream-copy) context.
struct TOutputStreamSlot {
  engine::CodecContextPtr Codec;
  bool StreamCopy = false;
  float Quality = 0;                 // 118 x quantiser when a fixed quantiser is asked for
  engine::Dictionary EncoderOptions;  // private encoder options remembered at creation
  std::vector<RcOverride> RcOverrides;
};

struct TOutputFileSlot {
  engine::FormatContextPtr Context;
  std::vector<TOutputStreamSlot> Streams;
  engine::Dictionary MuxerOptions;  // private muxer options remembered at creation
};

// The option state of one engine, with its defaults; ResetOptions restores it
// by assigning a fresh value.
struct TFFmpegOptions {
  // The -itsscale values for the input file opened next, and the stream and
  // metadata maps.
  TStreamMapRec StreamMaps[MAX_STREAMS] = {};
  int32_t NbStreamMaps = 0;
  TMetaDataMapRec MetaDataMaps[MAX_FILES] = {};
  int32_t NbMetaDataMaps = 0;

  const AVInputFormat* FileIFormat = nullptr;
  const AVOutputFormat* FileOFormat = nullptr;
  int32_t FrameWidth = 0;
  int32_t FrameHeight = 0;
  float FrameAspectRatio = 0;
  int32_t FramePixFmt = -1;
  int32_t FramePadTop = 0, FramePadBottom = 0, FramePadLeft = 0, FramePadRight = 0;
  int32_t PadColor[3] = {16, 128, 128};
  int32_t FrameTopBand = 0, FrameBottomBand = 0, FrameLeftBand = 0, FrameRightBand = 0;
  int32_t MaxFrames[4] = {2147483647, 2147483647, 2147483647, 2147483647};
  AVRational FrameRate = {0, 0};
  float VideoQScale = 0;
  MatrixPtr IntraMatrix;  // 64 coefficients, av_mallocz
  MatrixPtr InterMatrix;
  std::string VideoRcOverrideString;
  int32_t VideoDisable = 0;
  int32_t VideoDiscard = 0;
  std::string VideoCodecName;
  int32_t VideoCodecTag = 0;
  int32_t SameQuality = 0;
  int32_t DoDeinterlace = 0;
  int32_t TopFieldFirst = -1;
  int32_t MeThreshold = 0;
  int32_t IntraDcPrecision = 8;
  int32_t LoopInput = 0;
  int32_t LoopOutput = -1;
  int32_t QpHist = 0;
  int32_t IntraOnly = 0;
  int32_t AudioSampleRate = 44100;
  float AudioQScale = -99999;
  int32_t AudioDisable = 0;
  int32_t AudioChannels = 2;
  std::string AudioCodecName;
  int32_t AudioCodecTag = 0;
  std::string AudioLanguage;
  int32_t SubtitleDisable = 0;
  std::string SubtitleCodecName;
  std::string SubtitleLanguage;
  float MuxPreload = 0.5f;
  float MuxMaxDelay = 0.7f;
  int64_t RecordingTime = INT64_MAX;
  int64_t StartTime = 0;
  int64_t RecTimestamp = 0;
  int64_t InputTsOffset = 0;
  std::string Title, Author, Copyright, Comment, Genre, Album;
  int32_t Year = 0;
  int32_t Track = 0;
  int32_t DoBenchmark = 0;
  int32_t DoHexDump = 0;
  int32_t DoPktDump = 0;
  int32_t DoPsnr = 0;
  int32_t DoPass = 0;
  std::string PassLogFileName;
  int32_t AudioStreamCopy = 0;
  int32_t VideoStreamCopy = 0;
  int32_t SubtitleStreamCopy = 0;
  int32_t VideoSyncMethod = -1;
  int32_t AudioSyncMethod = 0;
  float AudioDriftThreshold = 0.1f;
  uint8_t CopyTs = 0;
  int32_t OptShortest = 0;
  int32_t VideoGlobalHeader = 0;
  std::string VStatsFileName;
  FilePtr VStatsFile;
  int32_t OptProgramId = 0;
  int32_t RateEmu = 0;
  int32_t VideoChannel = 0;
  std::string VideoStandard;
  int32_t AudioVolume = 256;
  uint8_t UsingVHook = 0;
  int32_t Verbose = 1;
  int32_t ThreadCount = 1;
  int32_t InputSync = 0;
  int64_t LimitFileSize = 0;
  int32_t PgmyuvCompatibility = 0;
  float DtsDeltaThreshold = 10.0f;
  int32_t SwsFlags = SWS_BICUBIC;


  // Frame-hook settings of a task.
  THookAction HookAction = haContinue;
  int32_t HookFrameNumber = 0;
  std::vector<THookRange> HookRanges;
  int32_t HookRangeCurrent = 0;
};

struct TTranscodeRun;
struct TInputStreamRec;
struct TOutputStreamRec;
namespace engine {
struct PictureRef;
}

class TCustomFFmpeg : public TFFmpegOptions {
 public:
  TCustomFFmpeg();
  virtual ~TCustomFFmpeg();
  TCustomFFmpeg(const TCustomFFmpeg&) = delete;
  TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

  // ---- run control ----
  void PrepareTask();
  void ResetOptions();
  void ReleaseAll();
  // Threaded: returns the suspended worker (the caller resumes it) or null.
  // Unthreaded: runs the whole conversion and returns null.
  TFFmpegThread* Start(bool threaded, TThreadPriority priority = tpNormal);
  void Run();
  void RequestStop();
  void StopTask();
  void PauseTask();
  void ResumeTask();
  void DoTerminate();
  // The worker's pause gate; returns at once when not paused.
  void PausePoint();
  // Asks a running task to stop and waits until its threads have left it.
  // Destruction does it; a derived class calls it first in its own
  // destructor, so that the termination delivered meanwhile still finds the
  // whole object.
  void WaitForWorker();

  // ---- options ----
  void ParseOption(const std::string& name, const std::string& value);
  // Whether the option table knows the name, and whether the option takes a value.
  static bool IsKnownOption(const std::string& name);
  static bool OptionTakesValue(const std::string& name);
  bool SetGenericOption(const std::string& name, const std::string& value);
  bool SetGenericOption(const std::string& name, int64_t value);
  // Copies each remembered generic option (GenericOptionNames, in order) from
  // an option context into a real codec or format context, when the option's
  // flags hold every bit of `mask`.
  void CopyRememberedOptions(void* target, void* source, int mask);
  void SetInputFormat(const std::string& name);
  void SetOutputFormat(const std::string& name);
  void SetStartTime(int64_t microseconds);
  void SetProgramId(int32_t id);
  void SetRecordingTime(int32_t milliseconds);
  void SetAudioVolume(int32_t volume);
  void SetAudioSync(int32_t method);
  void SetVideoSync(int32_t method);
  void SetMuxDelay(float seconds);
  void SetMuxPreload(float seconds);
  void SetYear(int32_t year);
  void SetTrack(int32_t track);
  void SetTitle(const std::string& text);
  void SetAuthor(const std::string& text);
  void SetCopyright(const std::string& text);
  void SetComment(const std::string& text);
  void SetGenre(const std::string& text);
  void SetAlbum(const std::string& text);
  void SetSampleRate(int32_t rate);
  void SetChannels(int32_t channels);
  void SetVerbosity(int32_t level);
  void SetFrameRate(const std::string& rate);
  void SetFrameSize(const std::string& size);
  void SetAspectRatio(const std::string& aspect);
  void SetCropTop(int32_t band);
  void SetCropBottom(int32_t band);
  void SetCropLeft(int32_t band);
  void SetCropRight(int32_t band);
  void SetPadTop(int32_t band);
  void SetPadBottom(int32_t band);
  void SetPadLeft(int32_t band);
  void SetPadRight(int32_t band);
  // Red in bits 0-7, green in bits 8-15, blue in bits 16-23.
  void SetPadColor(int32_t rgb);
  void SetVideoCodec(const std::string& name);
  void SetAudioCodec(const std::string& name);
  void SetSubtitleCodec(const std::string& name);
  void SetVideoTag(const std::string& tag);
  void SetAudioTag(const std::string& tag);
  void SetCopyTimestamps(bool on);
  void SetTimestamp(int64_t secondsSince1970);
  void SetHookRanges(const std::vector<THookRange>& ranges);
  // The target preset: kind "vcd", "svcd", "dvd", "dv", "dv50"; norm "pal",
  // "ntsc", "film" or anything else for automatic; fallback used when the
  // automatic decision finds nothing.
  void SetTargetPreset(const std::string& kind, const std::string& norm,
                       const std::string& fallbackNorm);

  // ---- files ----
  bool OpenInputFile(const std::string& fileName);
  // Hands one packet to the output's interleaving writer; raises on failure.
  void WriteOutputPacket(AVFormatContext* oc, AVPacket* packet);
  bool OpenOutputFile(const std::string& fileName);
  void NewVideoStream(AVFormatContext* oc);
  void NewAudioStream(AVFormatContext* oc);
  void NewSubtitleStream(AVFormatContext* oc);

  // ---- handlers ----
  TLogHandler LogHandler;
  TProgressHandler ProgressHandler;
  TBeforeHookHandler BeforeHookHandler;
  TCustomHookHandler CustomHookHandler;
  TTerminateHandler TerminateHandler;
  int64_t ProgressInterval = 500000;  // microseconds

  // ---- input files ----
  TInputFileSlot InputFiles[MAX_FILES];
  int64_t InputFilesTsOffset[MAX_FILES] = {};
  double InputFilesTsScale[MAX_FILES][MAX_STREAMS] = {};
  int32_t NbInputFiles = 0;

  // ---- output files ----
  TOutputFileSlot OutputFiles[MAX_FILES];
  int32_t NbOutputFiles = 0;

  // ---- generic options ----
  std::vector<std::string> GenericOptionNames;
  // Options only a codec's or a muxer's private class knows; handed to the
  // encoders, decoders and muxers when they open.
  engine::Dictionary PrivateOptions;
  // One codec context per media kind: video, audio, data, subtitle, attachment.
  engine::CodecContextPtr CodecOptionContexts[5];
  engine::FormatContextPtr FormatOptionContext;
  engine::SwsPtr ScalerOptionContext;

  // ---- run statistics ----
  int64_t TimerStart = 0;
  int64_t VideoSize = 0;
  int64_t AudioSize = 0;
  int64_t ExtraSize = 0;
  int32_t NbFramesDup = 0;
  int32_t NbFramesDrop = 0;
  int32_t QpHistogram[52] = {};

  // ---- encoding buffer ----
  int32_t BitBufferSize = 262144;
  uint8_t* BitBuffer = nullptr;

  // ---- open codecs (closed under CodecOpenLock when a run ends early) ----
  std::list<AVCodecContext*> OpenEncoderList;
  std::list<AVCodecContext*> OpenDecoderList;

  // ---- worker ----
  TFFmpegThread* WorkerThread = nullptr;

  // ---- frame hooks ----
  std::vector<TFrameHookEntry> HookModules;
  std::unique_ptr<TBitmap> HookBitmap;
  AVPixelFormat HookRGBPixFmt = AV_PIX_FMT_BGR24;
  std::vector<uint8_t> HookRGBBuffer;
  engine::SwsPtr HookToRGBContext;
  engine::SwsPtr HookFromRGBContext;
  std::vector<uint8_t> HookWorkBuffer;  // the work picture of pre-processing

  // ---- run state ----
  std::atomic<uint8_t> Running{0};
  std::atomic<uint8_t> StopRequested{0};
  std::atomic<uint8_t> Finished{0};
  std::atomic<uint8_t> Terminated{0};
  std::atomic<uint8_t> ExceptionRaised{0};
  std::string ExceptionMessage;
  int32_t TotalDurationMs = -1;
  std::string LastError;

  // ---- per-engine audio buffers (grown on demand, kept between packets) ----
  std::vector<uint8_t> AudioDecodeBuffer;
  std::vector<uint8_t> ResampleBuffer;
  std::vector<uint8_t> SilenceBuffer;
  std::vector<uint8_t> FrameBuffer;
  std::vector<uint8_t> SubtitleBuffer;

  // Logs through LogHandler when one is installed.
  void Log(int level, const std::string& message);
  void LogF(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

 protected:
  // The whole conversion: setup, loop, drain, trailers, report, cleanup.
  void Transcode();

 private:
  friend class TFFmpegThread;
  friend class TDoTerminateThread;

  void RefuseStart(const std::string& message);
  // Input opening.
  void ConsumeInputOptions();
  bool ResolveForcedDecoders(AVFormatContext* ic);
  void ApplyInputStream(TInputFileSlot& slot, unsigned index, const std::string& fileName);
  // Output creation.
  void CheckInputKinds(bool& hasVideo, bool& hasAudio, bool& hasSubtitle);
  void CreateOutputStreams(TOutputFileSlot& file);
  void CopyOutputMetadata(AVFormatContext* oc);
  void DiscardOutput(TOutputFileSlot& file, bool appended);
  TOutputFileSlot* OutputSlotFor(AVFormatContext* oc);
  AVStream* AddStream(AVFormatContext* oc, std::string& codecName);
  const AVCodec* OutputEncoder(AVFormatContext* oc, std::string& name, AVMediaType type,
                               AVCodecID& id);
  AVCodecContext* StartStream(AVFormatContext* oc, std::string& name, AVMediaType type, bool copy,
                              int32_t tag, TOutputStreamSlot& slot, const AVCodec*& encoder);
  TOutputFileSlot* pendingOutput_ = nullptr;

  // Transcode setup.
  void SetUpRun(TTranscodeRun& run);
  void BuildInputTables(TTranscodeRun& run);
  void BuildOutputTables(TTranscodeRun& run);
  TInputStreamRec* FindSource(TTranscodeRun& run, const TOutputStreamRec& ost);
  void SetUpOutputStream(TTranscodeRun& run, TOutputStreamRec& ost, int number);
  void SetUpStreamCopy(TOutputStreamRec& ost, TInputStreamRec& ist);
  void SetUpVideoEncoding(TOutputStreamRec& ost, TInputStreamRec& ist);
  void SetUpPassLog(TOutputStreamRec& ost, int number);
  void LogStreamMapping(TTranscodeRun& run);
  void OpenEncoders(TTranscodeRun& run);
  void OpenDecoders(TTranscodeRun& run);
  void ApplyMetaDataMaps();
  void WriteHeaders();
  void LogSdp();
  // The packet loop.
  int ChooseNextFile(TTranscodeRun& run, double& optsMin);
  void RepairTimestamps(TTranscodeRun& run, TInputStreamRec& ist, AVPacket* pkt);
  void RunLoop(TTranscodeRun& run);
  void FinishRun(TTranscodeRun& run);
  int ProcessInputPacket(TTranscodeRun& run, TInputStreamRec& ist, int number, AVPacket* pkt);
  void EmulateRate(TInputStreamRec& ist);
  bool PastRecordingTime(const TInputStreamRec& ist) const;
  void CopyPacket(TTranscodeRun& run, TInputStreamRec& ist, int number, AVPacket* pkt);
  int DecodeFrames(TTranscodeRun& run, TInputStreamRec& ist, int number, AVPacket* pkt);
  void DecodedAudio(TTranscodeRun& run, TInputStreamRec& ist, int number, AVFrame* frame);
  void DecodedPicture(TTranscodeRun& run, TInputStreamRec& ist, int number, AVFrame* frame);
  int DecodeSubtitle(TTranscodeRun& run, TInputStreamRec& ist, int number, AVPacket* pkt);
  void DrainEncoders(TTranscodeRun& run, int number);
  void WritePacket(TOutputStreamRec& ost, AVPacket* pkt);
  int EncodeAndWrite(TOutputStreamRec& ost, AVFrame* frame);
  // Video.
  void PreprocessPicture(TInputStreamRec& ist, AVFrame* picture);
  bool HookGate(int64_t pts);
  bool CustomHook(const engine::PictureRef& work, AVPixelFormat format, int width, int height,
                  int64_t pts);
  void RunPictureHooks(const engine::PictureRef& work, AVPixelFormat format, int width,
                       int height, int64_t pts, bool modulesRun);
  int FramesToEmit(TOutputStreamRec& ost);
  bool ScalePicture(TOutputStreamRec& ost, const engine::PictureRef& formatted,
                    AVPixelFormat format, int width, int height,
                    const engine::PictureRef& destination);
  AVFrame* PictureToEncode(TOutputStreamRec& ost, AVFrame* picture);
  void OutputVideoFrame(TTranscodeRun& run, TOutputStreamRec& ost, TInputStreamRec& ist,
                        AVFrame* picture, int& frameSize);
  // Audio and subtitles.
  void ApplyVolume(uint8_t* data, int size);
  int ToInterleavedS16(TInputStreamRec& ist, const AVFrame* frame);
  void EnsureResampler(TOutputStreamRec& ost, const TInputStreamRec& ist);
  bool SynchroniseAudio(TOutputStreamRec& ost, TInputStreamRec& ist, const uint8_t*& buffer,
                        int& size);
  void OutputAudioFrame(TTranscodeRun& run, TOutputStreamRec& ost, TInputStreamRec& ist,
                        const uint8_t* data, int size);
  void EncodeAudioSamples(TOutputStreamRec& ost, const uint8_t* samples, int count);
  void EncodeWholeFrames(TOutputStreamRec& ost);
  void FlushAudioFifo(TOutputStreamRec& ost);
  void OutputSubtitle(TTranscodeRun& run, TOutputStreamRec& ost, TInputStreamRec& ist,
                      AVSubtitle* subtitle, int64_t pts);
  // Progress.
  void PrintReport(TTranscodeRun& run, bool last);
  void WriteVideoStats(TOutputStreamRec& ost, int frameSize);
  void CloseOpenCodecs();
  void JoinFinishedThreads();
  void ReleaseOutputFiles();
  void ReleaseInputFiles();

  mutable std::mutex threadLock_;  // guards WorkerThread against the worker clearing it
  bool terminationPending_ = false;
  std::unique_ptr<TFFmpegThread> ownedWorker_;
  std::unique_ptr<TDoTerminateThread> terminateThread_;
};

// Sets a thread's scheduling priority where the system allows it.
void ApplyThreadPriority(TThreadPriority priority);
