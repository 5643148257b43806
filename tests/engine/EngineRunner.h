// Runs one engine conversion the way the command line does (options, input,
// options, output, start) and records what it reported.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FFmpeg.h"
#include "FixtureMaker.h"

namespace enginetest {

using Options = std::vector<std::pair<std::string, std::string>>;

struct Progress {
  int frames, fps, current;
  float quality, bitrate;
  int64_t size;
  int total;
};

struct Outcome {
  bool opened = false;  // input and output were created
  std::string openError;
  bool finished = false;
  bool exception = false;
  std::string message;
  int terminations = 0;
  int framesDuplicated = 0;
  int framesDropped = 0;
  std::vector<std::pair<int, std::string>> logs;
  std::vector<Progress> progress;
  bool Logged(const std::string& text) const {
    for (auto& l : logs)
      if (l.second.find(text) != std::string::npos) return true;
    return false;
  }
};

class Recorder {
 public:
  void Attach(TCustomFFmpeg& e, bool withProgress = true) {
    e.LogHandler = [this](TCustomFFmpeg*, int level, const std::string& msg) {
      std::lock_guard<std::mutex> g(lock_);
      outcome_.logs.emplace_back(level, msg);
    };
    if (withProgress)
      e.ProgressHandler = [this](TCustomFFmpeg*, int frames, int fps, int current, float q,
                                 float rate, int64_t size, int total) {
        std::lock_guard<std::mutex> g(lock_);
        outcome_.progress.push_back({frames, fps, current, q, rate, size, total});
      };
    e.TerminateHandler = [this](TCustomFFmpeg* sender) {
      std::lock_guard<std::mutex> g(lock_);
      ++outcome_.terminations;
      outcome_.framesDuplicated = sender->NbFramesDup;
      outcome_.framesDropped = sender->NbFramesDrop;
      ended_.notify_all();
    };
  }
  bool Wait(int seconds = 600) {
    std::unique_lock<std::mutex> g(lock_);
    return ended_.wait_for(g, std::chrono::seconds(seconds),
                           [this] { return outcome_.terminations > 0; });
  }
  Outcome Take(const TCustomFFmpeg& e) {
    std::lock_guard<std::mutex> g(lock_);
    outcome_.finished = e.Finished;
    outcome_.exception = e.ExceptionRaised;
    outcome_.message = e.ExceptionMessage;
    return outcome_;
  }

 private:
  std::mutex lock_;
  std::condition_variable ended_;
  Outcome outcome_;
};

inline void Apply(TCustomFFmpeg& e, const Options& options) {
  for (auto& o : options) e.ParseOption(o.first, o.second);
}

// Prepares the engine, applies the options, opens input and output.
inline bool Open(TCustomFFmpeg& e, const Options& before, const std::string& input,
                 const Options& after, const std::string& output, std::string& error) {
  e.PrepareTask();
  Apply(e, before);
  if (!e.OpenInputFile(input)) {
    error = e.LastError;
    return false;
  }
  Apply(e, after);
  if (!e.OpenOutputFile(output)) {
    error = e.LastError;
    return false;
  }
  return true;
}

// The whole conversion, unthreaded.
inline Outcome Convert(const Options& before, const std::string& input, const Options& after,
                       const std::string& output, bool withProgress = true) {
  TCustomFFmpeg engine;
  Recorder recorder;
  Outcome failed;
  if (!Open(engine, before, input, after, output, failed.openError)) return failed;
  recorder.Attach(engine, withProgress);
  engine.Start(false);
  Outcome outcome = recorder.Take(engine);
  outcome.opened = true;
  return outcome;
}

inline Outcome Convert(const std::string& input, const Options& after, const std::string& output) {
  return Convert({}, input, after, output);
}

}  // namespace enginetest
