// The component's life, library loading, the task list operations and the
// delivery of the engine's callbacks as events.
#include "MediaConverter.h"

#include <unistd.h>

#include <algorithm>
#include <exception>

#include "LogRouting.h"
#include "OptionTranslation.h"

namespace {

int32_t CurrentThreadId() {
  return static_cast<int32_t>(gettid());
}

TLogLevel ToLogLevel(int level) {
  if (level < 0) return llQuiet;
  if (level >= 4) return llAll;
  return static_cast<TLogLevel>(level + 1);
}

int TaskIndex(TCustomFFmpeg* sender) {
  return sender ? static_cast<TFFmpeg*>(sender)->Index.load() : -1;
}

}  // namespace

void TComponentLock::lock() {
  mutex_.lock();
  if (depth_++ == 0) owner_ = std::this_thread::get_id();
}

void TComponentLock::unlock() {
  if (--depth_ == 0) owner_ = std::thread::id();
  mutex_.unlock();
}

bool TComponentLock::HeldByCurrentThread() const {
  return owner_.load() == std::this_thread::get_id();
}

TCustomMediaConverter::TCustomMediaConverter()
    : alive_(std::make_shared<TCustomMediaConverter*>(this)) {
  component::TLogRouter::Register(this);
}

TCustomMediaConverter::~TCustomMediaConverter() {
  component::TLogRouter::Unregister(this);
  alive_.reset();
  {
    std::lock_guard<TComponentLock> guard(lock_);  // waits for a delivery in progress
    pendingCount_ = 0;
    closing_ = true;
  }
  Tasks.Clear();
  FreeRetired();
}

bool TCustomMediaConverter::LoadLibraries(const std::string& folder, bool versionedNames) {
  if (!medialib::LoadAll(folder, versionedNames)) {
    lastError_ = medialib::LibraryLoadError();
    return false;
  }
  component::TLogRouter::InstallCallback();
  medialib::SetLibraryLogLevel(logLevel_ - 1);
  return true;
}

void TCustomMediaConverter::SetLogLevel(TLogLevel level) {
  logLevel_ = level;
  if (medialib::LibrariesLoaded()) medialib::SetLibraryLogLevel(level - 1);
}

void TCustomMediaConverter::SetProgressInterval(int milliseconds) {
  progressInterval_ = std::max(milliseconds, 100);
}

bool TCustomMediaConverter::HasEncoder(const std::string& name) {
  return medialib::LibrariesLoaded() && ml::avcodec_find_encoder_by_name(name.c_str());
}

void TCustomMediaConverter::UnassignEvents() {
  std::lock_guard<TComponentLock> guard(lock_);
  OnBeforeHook = nullptr;
  OnCustomHook = nullptr;
  OnLog = nullptr;
  OnProgress = nullptr;
  OnTerminate = nullptr;
}

void TCustomMediaConverter::ApplyInputRecord(TFFmpeg& task, const std::string& fileName,
                                             TInputOptions* options) {
  if (!options) {
    InitInputOptions(task.InputOptions);
    return;
  }
  if (options->FileName.empty()) options->FileName = fileName;
  task.InputOptions = *options;
  component::ApplyExtOptions(task, options->ExtOptions);
  component::ApplyInputFields(task, *options);
}

void TCustomMediaConverter::ApplyOutputRecord(TFFmpeg& task, const std::string& fileName,
                                              TOutputOptions* options) {
  if (!options) {
    InitOutputOptions(task.OutputOptions);
    return;
  }
  if (options->FileName.empty()) options->FileName = fileName;
  task.OutputOptions = *options;
  component::ApplyExtOptions(task, options->ExtOptions);
  component::ApplyOutputFields(task, *options);
  component::ApplyTargetPreset(task, *options);
  InstallHookMode(task, *options);
}

void TCustomMediaConverter::InstallHookMode(TFFmpeg& task, const TOutputOptions& options) {
  if (options.CustomHook) {
    task.CustomHookHandler = [this](TCustomFFmpeg* sender, TBitmap* bitmap, int frame, int64_t pts,
                                    bool& update, bool& stop) {
      DeliverCustomHook(sender, bitmap, frame, pts, update, stop);
    };
  } else if (options.BeforeHook) {
    task.BeforeHookHandler = [this](TCustomFFmpeg* sender, int64_t pts, THookAction& action) {
      DeliverBeforeHook(sender, pts, action);
    };
  } else {
    task.SetHookRanges(component::ParseHookRanges(options.HookRanges));
  }
}

void TCustomMediaConverter::InstallTaskHandlers(TFFmpeg& task) {
  task.LogHandler = [this](TCustomFFmpeg* sender, int level, const std::string& message) {
    DeliverLog(sender, level, message);
  };
  task.ProgressHandler = [this](TCustomFFmpeg* sender, int frame, int fps, int duration,
                                float quality, float bitRate, int64_t size, int total) {
    DeliverProgress(sender, frame, fps, duration, quality, bitRate, size, total);
  };
  task.TerminateHandler = [this](TCustomFFmpeg* sender) { DeliverTerminate(sender); };
}

int TCustomMediaConverter::AddInputFile(const std::string& fileName, TInputOptions* options) {
  FreeRetired();
  if (!medialib::LibrariesLoaded()) {
    lastError_ = "LibAVCodec not loaded.";
    return -1;
  }
  auto task = std::make_unique<TFFmpeg>();
  try {
    task->PrepareTask();
    task->SetVerbosity(logLevel_ - 1);
    ApplyInputRecord(*task, fileName, options);
    if (!task->OpenInputFile(fileName)) {
      lastError_ = task->LastError;
      return -1;
    }
  } catch (const std::exception& e) {
    lastError_ = e.what();
    return -1;
  }
  InstallTaskHandlers(*task);
  return Tasks.Add(std::move(task));
}

bool TCustomMediaConverter::SetOutputFile(int index, const std::string& fileName,
                                          TOutputOptions* options) {
  TFFmpeg* task = Tasks.Items(index);
  try {
    ApplyOutputRecord(*task, fileName, options);
    if (task->OpenOutputFile(fileName)) return true;
    lastError_ = task->LastError;
  } catch (const std::exception& e) {
    lastError_ = e.what();
  }
  return false;
}

void TCustomMediaConverter::RemoveTask(int index) {
  std::vector<std::unique_ptr<TFFmpeg>> removed;
  removed.push_back(Tasks.Extract(index));
  Retire(std::move(removed));
}

void TCustomMediaConverter::ClearTasks() {
  {
    std::lock_guard<TComponentLock> guard(lock_);
    parallelCount_ = 0;
    ++batch_;
  }
  lastError_.clear();
  Retire(Tasks.ExtractAll());
}

bool TCustomMediaConverter::MustDefer(const std::vector<std::unique_ptr<TFFmpeg>>& tasks) const {
  if (lock_.HeldByCurrentThread()) return true;
  const int32_t self = CurrentThreadId();
  return std::any_of(tasks.begin(), tasks.end(),
                     [self](const auto& task) { return task->Running && task->ThreadId == self; });
}

void TCustomMediaConverter::Retire(std::vector<std::unique_ptr<TFFmpeg>> tasks) {
  if (!MustDefer(tasks)) {
    tasks.clear();  // each engine stops its run and waits for its worker
    FreeRetired();
    return;
  }
  std::lock_guard<std::mutex> guard(retiredLock_);
  for (auto& task : tasks) {
    task->RequestStop();
    retired_.push_back(std::move(task));
  }
}

void TCustomMediaConverter::FreeRetired() {
  if (lock_.HeldByCurrentThread()) return;
  std::vector<std::unique_ptr<TFFmpeg>> tasks;
  {
    std::lock_guard<std::mutex> guard(retiredLock_);
    tasks.swap(retired_);
  }
  if (!MustDefer(tasks)) return;  // they are freed on leaving, outside any event
  std::lock_guard<std::mutex> guard(retiredLock_);
  for (auto& task : tasks) retired_.push_back(std::move(task));
}

void TCustomMediaConverter::RouteLogLine(int32_t threadId, int level, const std::string& line) {
  DeliverLog(Tasks.FindByThreadId(threadId), level, line);
}

void TCustomMediaConverter::DeliverBeforeHook(TCustomFFmpeg* Sender, int64_t APTS,
                                              THookAction& AHookAction) {
  if (OnBeforeHook) OnBeforeHook(TaskIndex(Sender), APTS, AHookAction);
}

void TCustomMediaConverter::DeliverCustomHook(TCustomFFmpeg* Sender, TBitmap* ABitmap,
                                              int AFrameNumber, int64_t APTS, bool& AUpdate,
                                              bool& AStopHook) {
  if (OnCustomHook)
    OnCustomHook(TaskIndex(Sender), ABitmap, AFrameNumber, APTS, AUpdate, AStopHook);
  else
    AUpdate = false;  // nothing drew: the picture need not go through RGB and back
}

void TCustomMediaConverter::DeliverLog(TCustomFFmpeg* Sender, int ALevel, const std::string& AMsg) {
  std::lock_guard<TComponentLock> guard(lock_);
  if (OnLog) OnLog(TaskIndex(Sender), ToLogLevel(ALevel), AMsg);
}

void TCustomMediaConverter::DeliverProgress(TCustomFFmpeg* Sender, int AFrameNumber, int AFPS,
                                            int ACurrentDuration, float AQuality, float ABitRate,
                                            int64_t ACurrentSize, int ATotalOutputDuration) {
  std::lock_guard<TComponentLock> guard(lock_);
  if (OnProgress)
    OnProgress(TaskIndex(Sender), AFrameNumber, AFPS, ACurrentDuration, AQuality, ABitRate,
               ACurrentSize, ATotalOutputDuration);
}
