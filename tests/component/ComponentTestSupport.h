// Shared by the component's tests: a loaded converter, short generated clips,
// and a recorder of the component's events.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FixtureMaker.h"
#include "MediaConverter.h"
#include "TestSupport.h"

namespace componenttest {

inline int32_t CurrentThreadId() {
  return static_cast<int32_t>(gettid());
}

// A short clip: RealVideo and AC-3 in RealMedia, 10 frames at 10 fps.
inline std::string MakeClip(const testsupport::TempDir& dir, const std::string& name,
                            double seconds = 1.0) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File(name);
  spec.width = 160;
  spec.height = 120;
  spec.fpsNum = 10;
  spec.seconds = seconds;
  std::string error;
  EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  return spec.path;
}

struct Termination {
  int index;
  bool finished;
  bool exception;
  std::string message;
  int32_t thread;
};

struct LogLine {
  int index;
  TLogLevel level;
  std::string text;
};

// Records events from any thread; lets the test wait for them.
class EventRecorder {
 public:
  void Attach(TCustomMediaConverter& converter) {
    converter.OnTerminate = [this](int index, bool finished, bool exception,
                                   const std::string& message) {
      Add([&] {
        terminations.push_back({index, finished, exception, message, CurrentThreadId()});
      });
    };
    converter.OnLog = [this](int index, TLogLevel level, const std::string& text) {
      Add([&] { logs.push_back({index, level, text}); });
    };
  }

  template <typename Change>
  void Add(Change change) {
    std::lock_guard<std::mutex> guard(lock);  // notified under the lock: a waiter may end the test
    change();
    changed.notify_all();
  }

  // Waits (at most 60 s) until `done` holds under the recorder's lock.
  template <typename Done>
  bool WaitFor(Done done) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::seconds(60), done);
  }

  bool WaitForBatchEnd() {
    return WaitFor([this] { return !terminations.empty() && terminations.back().index == -1; });
  }

  std::vector<int> TerminatedIndexes() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<int> indexes;
    for (const Termination& t : terminations) indexes.push_back(t.index);
    return indexes;
  }

  bool HasLog(int index, TLogLevel level, const std::string& text) {
    std::lock_guard<std::mutex> guard(lock);
    for (const LogLine& line : logs)
      if (line.index == index && line.level == level && line.text == text) return true;
    return false;
  }

  std::mutex lock;
  std::condition_variable changed;
  std::vector<Termination> terminations;
  std::vector<LogLine> logs;
};

class ConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    ASSERT_TRUE(converter.LoadLibraries("", true)) << converter.LastError();
  }
  // The tasks' threads are gone before the test's recorders are.
  void TearDown() override {
    converter.ClearTasks();
    converter.UnassignEvents();
  }

  // Adds the clip as a task whose output is `output`, made with `options`.
  int AddTask(const std::string& input, const std::string& output, TOutputOptions options) {
    const int index = converter.AddInputFile(input, nullptr);
    EXPECT_GE(index, 0) << converter.LastError();
    if (index >= 0) {
      EXPECT_TRUE(converter.SetOutputFile(index, output, &options)) << converter.LastError();
    }
    return index;
  }

  testsupport::TempDir dir;
  TMediaConverter converter;
};

// Output options for a hooked task: MPEG-4 video into AVI, no audio, and the
// custom hook, whose handler sees every picture on the task's thread.
inline TOutputOptions HookedOutput() {
  TOutputOptions options;
  InitOutputOptions(options);
  options.VideoCodec = "mpeg4";
  options.DisableAudio = true;
  options.CustomHook = true;
  return options;
}

// Watches the custom hook of every task: which tasks have begun, on which
// thread, how many pictures each has seen. `OnFirstPicture` runs (outside the
// lock) on a task's thread at its first picture, and may hold the task there.
class HookWatch {
 public:
  void Attach(TCustomMediaConverter& converter, EventRecorder& recorder) {
    recorder_ = &recorder;
    converter.OnCustomHook = [this](int index, TBitmap*, int, int64_t, bool&, bool&) {
      bool first = false;
      recorder_->Add([&] {
        first = pictures[index]++ == 0;
        if (first) {
          begun.push_back(index);
          threads[index] = CurrentThreadId();
          terminationsAtBegin[index] = static_cast<int>(recorder_->terminations.size());
        }
      });
      if (first && OnFirstPicture) OnFirstPicture(index);
    };
  }

  int Pictures(int index) {
    std::lock_guard<std::mutex> guard(recorder_->lock);
    return pictures[index];
  }

  std::function<void(int index)> OnFirstPicture;
  // Guarded by the recorder's lock.
  std::map<int, int> pictures;
  std::map<int, int32_t> threads;
  std::map<int, int> terminationsAtBegin;
  std::vector<int> begun;

 private:
  EventRecorder* recorder_ = nullptr;
};

// A one-shot signal between a task's thread and the test.
class Signal {
 public:
  void Raise() {
    std::lock_guard<std::mutex> guard(lock_);
    raised_ = true;
    changed_.notify_all();
  }
  bool Wait() {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(30), [this] { return raised_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool raised_ = false;
};

}  // namespace componenttest
