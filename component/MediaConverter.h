// The conversion component: loads the media libraries, keeps an ordered list
// of conversion tasks, runs them one after another or several at a time,
// stops, pauses and resumes them, routes the libraries' log lines to the task
// they belong to and raises five events.
//
// Threads: every operation is called on the host's thread (the "UI thread").
// Events are raised on the thread that produces them: a task's worker thread
// (OnProgress, OnLog, the hook events, its OnTerminate), a short-lived thread
// for tasks stopped before they started, or the host's thread in one-at-a-time
// mode. A handler that touches the host's objects hands the work over to the
// host's thread itself and never waits for it. OnLog, OnProgress and
// OnTerminate are serialised by the component's lock, which StopConvert,
// PauseConvert and ResumeConvert take too. Assign the events while no batch
// runs (or use UnassignEvents, which takes the lock).
//
// One-at-a-time mode (StartConvert(0)) starts each task 100 ms after the
// previous one ended, through the dispatcher the host gives with
// SetDispatcher: a callable that runs a function on the host's thread after a
// delay (a Qt event loop, or TDispatchLoop). The task then runs on that
// thread. Without a dispatcher the start happens at once on the calling thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AVProbe.h"
#include "FFmpeg.h"
#include "OptionRecords.h"
#include "TaskList.h"

enum TLogLevel { llQuiet = 0, llError = 1, llInfo = 2, llDebug = 3, llAll = 4 };

// Worker thread priorities: tpIdle, tpLowest, tpLower, tpNormal.
using TConvertPriority = TThreadPriority;

using TBeforeHookEvent = std::function<void(int AIndex, int64_t APTS, THookAction& AHookAction)>;
using TCustomHookEvent = std::function<void(int AIndex, TBitmap* ABitmap, int AFrameNumber,
                                            int64_t APTS, bool& AUpdate, bool& AStopHook)>;
using TLogEvent = std::function<void(int AIndex, TLogLevel ALogLevel, const std::string& AMsg)>;
using TProgressEvent =
    std::function<void(int AIndex, int AFrameNumber, int AFPS, int ACurrentDuration, float AQuality,
                       float ABitRate, int64_t ACurrentSize, int ATotalOutputDuration)>;
using TTerminateEvent =
    std::function<void(int AIndex, bool AFinished, bool AException, const std::string& AMessage)>;

// Runs ACall on the host's thread once ADelayMs milliseconds have passed.
using TDispatcher = std::function<void(int ADelayMs, std::function<void()> ACall)>;

namespace component {
class TLogRouter;
}

// A recursive lock that knows whether the calling thread holds it.
class TComponentLock {
 public:
  void lock();
  void unlock();
  bool HeldByCurrentThread() const;

 private:
  std::recursive_mutex mutex_;
  int depth_ = 0;  // touched only by the holder
  std::atomic<std::thread::id> owner_{};
};

class TCustomMediaConverter {
 public:
  TCustomMediaConverter();
  virtual ~TCustomMediaConverter();
  TCustomMediaConverter(const TCustomMediaConverter&) = delete;
  TCustomMediaConverter& operator=(const TCustomMediaConverter&) = delete;

  // Loads the media libraries (from `folder` when given; versioned or plain
  // file names), installs the library log routing and applies LogLevel.
  // False with the binding's message in LastError.
  bool LoadLibraries(const std::string& folder, bool versionedNames);
  // Creates a task for the file; its index, or -1 with LastError. An empty
  // FileName in the record is filled in, in the caller's record.
  int AddInputFile(const std::string& fileName, TInputOptions* options);
  // Gives the task its output; false with LastError. Throws std::out_of_range
  // for an index outside the list.
  bool SetOutputFile(int index, const std::string& fileName, TOutputOptions* options);
  void RemoveTask(int index);
  // Frees every task, clears LastError and sets ParallelCount to 0.
  void ClearTasks();
  // Starts the batch: n tasks at a time on worker threads, or with n <= 0 one
  // at a time on the host's thread. Each task's end raises OnTerminate with
  // its index; the batch ends with one OnTerminate with AIndex -1.
  void StartConvert(int parallelCount);
  void StopConvert();
  void PauseConvert();
  void ResumeConvert();

  TLogLevel LogLevel() const { return logLevel_; }
  void SetLogLevel(TLogLevel level);
  // Milliseconds; never below 100.
  int ProgressInterval() const { return progressInterval_; }
  void SetProgressInterval(int milliseconds);
  TConvertPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TConvertPriority priority) { threadPriority_ = priority; }
  const std::string& LastError() const { return lastError_; }
  int NextTask() const;
  int ParallelCount() const;
  int FinishedCount() const;
  int PendingCount() const;

  void SetDispatcher(TDispatcher dispatcher) { dispatcher_ = std::move(dispatcher); }
  // Unassigns the five events, waiting for a delivery in progress.
  void UnassignEvents();

  // Whether the loaded libraries have an encoder of that name.
  static bool HasEncoder(const std::string& name);

  std::string About;
  TBeforeHookEvent OnBeforeHook;
  TCustomHookEvent OnCustomHook;
  TLogEvent OnLog;
  TProgressEvent OnProgress;
  TTerminateEvent OnTerminate;
  TAVProbe Probe;
  TFFmpegList Tasks;

 protected:
  // Installed as each task engine's handlers; Sender is the task's engine.
  virtual void DeliverBeforeHook(TCustomFFmpeg* Sender, int64_t APTS, THookAction& AHookAction);
  virtual void DeliverCustomHook(TCustomFFmpeg* Sender, TBitmap* ABitmap, int AFrameNumber,
                                 int64_t APTS, bool& AUpdate, bool& AStopHook);
  virtual void DeliverLog(TCustomFFmpeg* Sender, int ALevel, const std::string& AMsg);
  virtual void DeliverProgress(TCustomFFmpeg* Sender, int AFrameNumber, int AFPS,
                               int ACurrentDuration, float AQuality, float ABitRate,
                               int64_t ACurrentSize, int ATotalOutputDuration);
  virtual void DeliverTerminate(TCustomFFmpeg* Sender);

 private:
  friend class component::TLogRouter;

  // A library log line logged on thread `threadId`.
  void RouteLogLine(int32_t threadId, int level, const std::string& line);
  void InstallTaskHandlers(TFFmpeg& task);
  void InstallHookMode(TFFmpeg& task, const TOutputOptions& options);
  void ApplyInputRecord(TFFmpeg& task, const std::string& fileName, TInputOptions* options);
  void ApplyOutputRecord(TFFmpeg& task, const std::string& fileName, TOutputOptions* options);

  // Batch control; the first three run under the lock.
  void StartNextTask();
  void StartTask(int index, bool threaded);
  void PostTaskStart(int index);
  void TimerStart(uint64_t batch, int index);
  void RaiseTerminate(int index, bool finished, bool exception, const std::string& message);

  // Tasks removed while one of them may still be on the stack of the calling
  // thread are kept here and freed later, outside any event.
  void Retire(std::vector<std::unique_ptr<TFFmpeg>> tasks);
  bool MustDefer(const std::vector<std::unique_ptr<TFFmpeg>>& tasks) const;
  void FreeRetired();

  std::string lastError_;
  std::atomic<TLogLevel> logLevel_{llInfo};
  std::atomic<int> progressInterval_{500};
  std::atomic<TConvertPriority> threadPriority_{tpNormal};
  TDispatcher dispatcher_;

  mutable TComponentLock lock_;
  int nextTask_ = -1;
  int parallelCount_ = 0;
  int finishedCount_ = 0;
  int pendingCount_ = 0;
  uint64_t batch_ = 0;  // changes when a batch starts or the list is cleared
  bool closing_ = false;

  std::mutex retiredLock_;
  std::vector<std::unique_ptr<TFFmpeg>> retired_;
  // Posted timers hold a weak reference: they do nothing once this is gone.
  std::shared_ptr<TCustomMediaConverter*> alive_;
};

class TMediaConverter : public TCustomMediaConverter {
 public:
  std::string Version() const { return "2.0b"; }
};
