// The engine object: creation, preparation, release and run control.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>

#include "FFmpeg.h"
#include "FrameHooks.h"

namespace {

// Masks floating-point exceptions for the life of the process, so that
// arithmetic on unknown values gives infinities and NaNs, never a fault.
// (Exceptions are masked by default on this platform; nothing to do.)

int64_t FileSize(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) != 0) return -1;
  return info.st_size;
}

}  // namespace

std::mutex& CodecOpenLock() {
  static std::mutex lock;
  return lock;
}

TCustomFFmpeg::TCustomFFmpeg() {
  ProgressInterval = 500000;
  TotalDurationMs = -1;
  ResetOptions();
}

TCustomFFmpeg::~TCustomFFmpeg() {
  WaitForWorker();
  ReleaseAll();
}

void TCustomFFmpeg::WaitForWorker() {
  RequestStop();
  auto workerSet = [this] {
    std::lock_guard<std::mutex> lock(threadLock_);
    return WorkerThread != nullptr;
  };
  for (int poll = 0; poll < 10 && workerSet(); ++poll)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  // Never free the engine under a running worker: ask again and wait for it.
  if (workerSet()) RequestStop();
  JoinFinishedThreads();
}

void TCustomFFmpeg::JoinFinishedThreads() {
  if (ownedWorker_) {
    if (ownedWorker_->IsCurrentThread()) ownedWorker_->Detach();
    ownedWorker_.reset();
  }
  if (terminateThread_) {
    if (terminateThread_->IsCurrentThread()) terminateThread_->Detach();
    terminateThread_.reset();
  }
}

void TCustomFFmpeg::PrepareTask() {
  if (!medialib::LibrariesLoaded()) return;
  JoinFinishedThreads();
  ReleaseAll();
  ResetOptions();
  Running = 0;
  StopRequested = 0;
  Finished = 0;
  Terminated = 0;
  terminationPending_ = false;
  TotalDurationMs = -1;
  static constexpr AVMediaType kKinds[5] = {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO,
                                            AVMEDIA_TYPE_DATA, AVMEDIA_TYPE_SUBTITLE,
                                            AVMEDIA_TYPE_ATTACHMENT};
  for (int kind = 0; kind < 5; ++kind) {
    CodecOptionContexts[kind].reset(ml::avcodec_alloc_context3(nullptr));
    if (CodecOptionContexts[kind]) CodecOptionContexts[kind]->codec_type = kKinds[kind];
  }
  FormatOptionContext.reset(ml::avformat_alloc_context());
  ScalerOptionContext.reset(ml::sws_getContext(16, 16, AV_PIX_FMT_YUV420P, 16, 16,
                                               AV_PIX_FMT_YUV420P, SwsFlags, nullptr, nullptr,
                                               nullptr));
}

void TCustomFFmpeg::ResetOptions() {
  static_cast<TFFmpegOptions&>(*this) = TFFmpegOptions{};
  BitBufferSize = 262144;
  TimerStart = 0;
  VideoSize = AudioSize = ExtraSize = 0;
  NbFramesDup = NbFramesDrop = 0;
  ExceptionRaised = 0;
}

void TCustomFFmpeg::ReleaseOutputFiles() {
  for (int i = 0; i < NbOutputFiles; ++i) {
    TOutputFileSlot& slot = OutputFiles[i];
    AVFormatContext* oc = slot.Context.get();
    std::string name;
    if (oc) {
      if (oc->url) name = oc->url;
      if (oc->oformat && !(oc->oformat->flags & AVFMT_NOFILE) && oc->pb) ml::avio_closep(&oc->pb);
    }
    slot.Streams.clear();
    if (!name.empty() && FileSize(name) == 0) unlink(name.c_str());
    slot.Context.reset();
    slot.MuxerOptions.Clear();
  }
  NbOutputFiles = 0;
}

void TCustomFFmpeg::ReleaseInputFiles() {
  for (int i = 0; i < NbInputFiles; ++i) {
    InputFiles[i].Codecs.clear();
    InputFiles[i].Context.reset();
    InputFiles[i].DecoderOptions.Clear();
    InputFilesTsOffset[i] = 0;
  }
  NbInputFiles = 0;
}

void TCustomFFmpeg::ReleaseAll() {
  if (!medialib::LibrariesLoaded()) return;
  for (auto& context : CodecOptionContexts) context.reset();
  FormatOptionContext.reset();
  ScalerOptionContext.reset();
  ReleaseOutputFiles();
  ReleaseInputFiles();
  IntraMatrix.reset();
  InterMatrix.reset();
  VideoCodecName.clear();
  AudioCodecName.clear();
  SubtitleCodecName.clear();
  VideoRcOverrideString.clear();
  VStatsFileName.clear();
  GenericOptionNames.clear();
  PrivateOptions.Clear();
  VideoStandard.clear();
  VStatsFile.reset();
  AudioLanguage.clear();
  SubtitleLanguage.clear();
  if (BitBuffer) {
    ml::av_freep(&BitBuffer);
  }
  engine::FrameHookRelease(HookModules);
  HookWorkBuffer.clear();
  HookWorkBuffer.shrink_to_fit();
  HookBitmap.reset();
  HookRGBBuffer.clear();
  HookToRGBContext.reset();
  HookFromRGBContext.reset();
}

void TCustomFFmpeg::Log(int level, const std::string& message) {
  if (LogHandler) LogHandler(this, level, message);
}

void TCustomFFmpeg::LogF(int level, const char* format, ...) {
  if (!LogHandler) return;
  char buffer[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  LogHandler(this, level, buffer);
}

void TCustomFFmpeg::RefuseStart(const std::string& message) {
  Log(-1, message);
  ExceptionRaised = 1;
  ExceptionMessage = message;
  DoTerminate();
}

TFFmpegThread* TCustomFFmpeg::Start(bool threaded, TThreadPriority priority) {
  if (Running || Terminated) return nullptr;
  if (NbOutputFiles <= 0) {
    ReleaseAll();
    RefuseStart("Must supply at least one output file");
    return nullptr;
  }
  if (NbInputFiles == 0) {
    ReleaseAll();
    RefuseStart("Must supply at least one input file");
    return nullptr;
  }
  Running = 1;
  StopRequested = 0;
  Finished = 0;
  Terminated = 0;
  if (!threaded) {
    Run();
    return nullptr;
  }
  JoinFinishedThreads();
  auto worker = std::make_unique<TFFmpegThread>(this, [this] { Run(); });
  worker->SetPriority(priority);
  std::lock_guard<std::mutex> lock(threadLock_);
  ownedWorker_ = std::move(worker);
  WorkerThread = ownedWorker_.get();
  return WorkerThread;
}

void TCustomFFmpeg::CloseOpenCodecs() {
  std::lock_guard<std::mutex> lock(CodecOpenLock());
  for (AVCodecContext* encoder : OpenEncoderList) {
    ml::av_freep(&encoder->stats_in);
    ml::avcodec_close(encoder);
  }
  OpenEncoderList.clear();
  for (AVCodecContext* decoder : OpenDecoderList) ml::avcodec_close(decoder);
  OpenDecoderList.clear();
}

void TCustomFFmpeg::Run() {
  Finished = 0;
  try {
    Transcode();
  } catch (const std::exception& e) {
    Log(-1, e.what());
    ExceptionRaised = 1;
    ExceptionMessage = e.what();
  } catch (...) {
    Log(-1, "Unknown exception");
    ExceptionRaised = 1;
    ExceptionMessage = "Unknown exception";
  }
  CloseOpenCodecs();
  ReleaseAll();
  DoTerminate();
}

void TCustomFFmpeg::RequestStop() {
  StopRequested = 1;
  std::lock_guard<std::mutex> lock(threadLock_);
  if (WorkerThread && WorkerThread->Suspended()) WorkerThread->Resume();
}

void TCustomFFmpeg::StopTask() {
  if (Running) {
    RequestStop();
    return;
  }
  if (Terminated || terminationPending_) return;
  terminationPending_ = true;
  if (terminateThread_) terminateThread_->Join();
  terminateThread_ = std::make_unique<TDoTerminateThread>(this);
}

void TCustomFFmpeg::PauseTask() {
  std::lock_guard<std::mutex> lock(threadLock_);
  if (WorkerThread && !WorkerThread->Suspended()) WorkerThread->Suspend();
}

void TCustomFFmpeg::ResumeTask() {
  std::lock_guard<std::mutex> lock(threadLock_);
  if (WorkerThread && WorkerThread->Suspended()) WorkerThread->Resume();
}

void TCustomFFmpeg::PausePoint() {
  TFFmpegThread* worker = WorkerThread;
  if (worker) worker->WaitWhileSuspended();
}

void TCustomFFmpeg::DoTerminate() {
  Running = 0;
  Terminated = 1;
  {
    std::lock_guard<std::mutex> lock(threadLock_);
    WorkerThread = nullptr;
  }
  if (TerminateHandler) TerminateHandler(this);
}
