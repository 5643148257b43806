// The engine's worker threads and thread priorities.
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <future>

#include "FFmpeg.h"

namespace {

int32_t CurrentThreadId() { return static_cast<int32_t>(gettid()); }

void ApplyPriorityTo(pid_t tid, TThreadPriority priority) {
  switch (priority) {
    case tpIdle: {
      sched_param param{};
      sched_setscheduler(tid, SCHED_IDLE, &param);
      break;
    }
    case tpLowest:
      setpriority(PRIO_PROCESS, static_cast<id_t>(tid), 15);
      break;
    case tpLower:
      setpriority(PRIO_PROCESS, static_cast<id_t>(tid), 5);
      break;
    case tpNormal:
      break;
  }
}

}  // namespace

void ApplyThreadPriority(TThreadPriority priority) { ApplyPriorityTo(gettid(), priority); }

TFFmpegThread::TFFmpegThread(TCustomFFmpeg* engine, std::function<void()> body) : engine_(engine) {
  std::promise<int32_t> started;
  std::future<int32_t> id = started.get_future();
  thread_ = std::thread([this, body = std::move(body), started = std::move(started)]() mutable {
    started.set_value(CurrentThreadId());
    WaitWhileSuspended();
    if (engine_) body();
  });
  threadId_ = id.get();
}

TFFmpegThread::~TFFmpegThread() {
  if (thread_.joinable()) {
    if (IsCurrentThread())
      thread_.detach();
    else
      thread_.join();
  }
}

void TFFmpegThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(gateLock_);
    suspended_ = false;
  }
  gate_.notify_all();
}

void TFFmpegThread::Suspend() {
  std::lock_guard<std::mutex> lock(gateLock_);
  suspended_ = true;
}

bool TFFmpegThread::Suspended() const {
  std::lock_guard<std::mutex> lock(gateLock_);
  return suspended_;
}

void TFFmpegThread::WaitWhileSuspended() {
  std::unique_lock<std::mutex> lock(gateLock_);
  gate_.wait(lock, [this] { return !suspended_; });
}

void TFFmpegThread::SetPriority(TThreadPriority priority) { ApplyPriorityTo(threadId_, priority); }

void TFFmpegThread::Join() {
  if (thread_.joinable() && !IsCurrentThread()) thread_.join();
}

void TFFmpegThread::Detach() {
  if (thread_.joinable()) thread_.detach();
}

TDoTerminateThread::TDoTerminateThread(TCustomFFmpeg* engine) {
  thread_ = std::thread([engine] {
    ApplyThreadPriority(tpIdle);
    if (engine) engine->DoTerminate();
  });
}

TDoTerminateThread::~TDoTerminateThread() {
  if (thread_.joinable()) {
    if (IsCurrentThread())
      thread_.detach();
    else
      thread_.join();
  }
}

void TDoTerminateThread::Join() {
  if (thread_.joinable() && !IsCurrentThread()) thread_.join();
}

void TDoTerminateThread::Detach() {
  if (thread_.joinable()) thread_.detach();
}
