// Batches: starting tasks one after another or several at a time, their
// terminations, and stop, pause and resume.
#include <unistd.h>

#include "LogRouting.h"
#include "MediaConverter.h"

void TCustomMediaConverter::StartConvert(int parallelCount) {
  FreeRetired();
  std::lock_guard<TComponentLock> guard(lock_);
  component::TLogRouter::ClearPendingLines();
  ++batch_;
  nextTask_ = 0;
  finishedCount_ = 0;
  parallelCount_ = parallelCount;
  pendingCount_ = Tasks.Count();
  const int starts = parallelCount > 1 ? parallelCount : 1;
  for (int started = 0; started < starts && pendingCount_ > 0; ++started) StartNextTask();
}

// Under the lock. The index moves on before the task starts, because a start
// that is refused terminates the task (and starts the next one) at once.
void TCustomMediaConverter::StartNextTask() {
  if (pendingCount_ <= 0 || closing_) return;
  --pendingCount_;
  const int index = nextTask_++;
  if (parallelCount_ > 0)
    StartTask(index, true);
  else
    PostTaskStart(index);
}

void TCustomMediaConverter::StartTask(int index, bool threaded) {
  TFFmpeg* task = Tasks.Find(index);
  if (!task) return;
  task->ProgressInterval = static_cast<int64_t>(progressInterval_) * 1000;
  task->SetVerbosity(logLevel_ - 1);
  if (!threaded) {
    task->ThreadId = static_cast<int32_t>(gettid());
    task->Start(false);
    return;
  }
  TFFmpegThread* worker = task->Start(true, threadPriority_);
  task->ThreadId = worker ? worker->ThreadId() : 0;
  if (worker) worker->Resume();
}

void TCustomMediaConverter::PostTaskStart(int index) {
  std::weak_ptr<TCustomMediaConverter*> alive = alive_;
  const uint64_t batch = batch_;
  auto start = [alive, batch, index] {
    if (std::shared_ptr<TCustomMediaConverter*> self = alive.lock())
      (*self)->TimerStart(batch, index);
  };
  if (dispatcher_)
    dispatcher_(100, std::move(start));
  else
    start();
}

// On the host's thread. The run happens here, outside the lock.
void TCustomMediaConverter::TimerStart(uint64_t batch, int index) {
  {
    std::lock_guard<TComponentLock> guard(lock_);
    if (batch != batch_ || closing_) return;
  }
  StartTask(index, false);
}

void TCustomMediaConverter::RaiseTerminate(int index, bool finished, bool exception,
                                           const std::string& message) {
  if (OnTerminate) OnTerminate(index, finished, exception, message);
}

void TCustomMediaConverter::DeliverTerminate(TCustomFFmpeg* Sender) {
  std::lock_guard<TComponentLock> guard(lock_);
  auto* task = static_cast<TFFmpeg*>(Sender);
  if (!task) {
    RaiseTerminate(-1, true, false, "");
    component::TLogRouter::ClearPendingLines();
    return;
  }
  RaiseTerminate(task->Index, task->Finished, task->ExceptionRaised, task->ExceptionMessage);
  ++finishedCount_;
  if (pendingCount_ > 0) {
    StartNextTask();
  } else if (finishedCount_ >= Tasks.Count()) {
    RaiseTerminate(-1, true, false, "");
    component::TLogRouter::ClearPendingLines();
  }
}

void TCustomMediaConverter::StopConvert() {
  std::lock_guard<TComponentLock> guard(lock_);
  pendingCount_ = 0;
  ++batch_;  // a start already posted must not run: the task is terminated instead
  Tasks.ForEach([](TFFmpeg& task) { task.StopTask(); });
}

void TCustomMediaConverter::PauseConvert() {
  std::lock_guard<TComponentLock> guard(lock_);
  Tasks.ForEach([](TFFmpeg& task) { task.PauseTask(); });
}

void TCustomMediaConverter::ResumeConvert() {
  std::lock_guard<TComponentLock> guard(lock_);
  Tasks.ForEach([](TFFmpeg& task) { task.ResumeTask(); });
}

int TCustomMediaConverter::NextTask() const {
  std::lock_guard<TComponentLock> guard(lock_);
  return nextTask_;
}

int TCustomMediaConverter::ParallelCount() const {
  std::lock_guard<TComponentLock> guard(lock_);
  return parallelCount_;
}

int TCustomMediaConverter::FinishedCount() const {
  std::lock_guard<TComponentLock> guard(lock_);
  return finishedCount_;
}

int TCustomMediaConverter::PendingCount() const {
  std::lock_guard<TComponentLock> guard(lock_);
  return pendingCount_;
}
