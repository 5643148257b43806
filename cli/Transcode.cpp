// reelshift-cli transcode: engine options in order, as the engine takes them.
//   transcode [OPTION [VALUE]]... -i INPUT [OPTION [VALUE]]... OUTPUT
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <condition_variable>
#include <string>
#include <vector>

#include "Commands.h"
#include "FFmpeg.h"
#include "Interrupt.h"

namespace cli {

namespace {

struct Option {
  std::string name;
  std::string value;
};

struct Arguments {
  std::vector<Option> before;
  std::string input;
  std::vector<Option> after;
  std::string output;
};

bool Split(int argc, char** argv, Arguments& args, std::string& error) {
  std::vector<Option>* target = &args.before;
  int i = 0;
  for (; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "-i") {
      if (!args.input.empty() || i + 1 >= argc) {
        error = "transcode takes exactly one -i INPUT";
        return false;
      }
      args.input = argv[++i];
      target = &args.after;
      continue;
    }
    if (target == &args.after && i == argc - 1 && (word.empty() || word[0] != '-')) {
      args.output = word;
      continue;
    }
    if (word.size() < 2 || word[0] != '-') {
      error = "unexpected argument: " + word;
      return false;
    }
    Option option{word.substr(1), ""};
    if (TCustomFFmpeg::OptionTakesValue(option.name)) {
      if (i + 1 >= argc) {
        error = "option " + word + " needs a value";
        return false;
      }
      option.value = argv[++i];
    }
    target->push_back(option);
  }
  if (args.input.empty() || args.output.empty()) {
    error = "usage: reelshift-cli transcode [OPTION [VALUE]]... -i INPUT [OPTION [VALUE]]... OUTPUT";
    return false;
  }
  return true;
}

bool Apply(TCustomFFmpeg& engine, const std::vector<Option>& options) {
  for (const Option& o : options) {
    try {
      engine.ParseOption(o.name, o.value);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "-%s %s: %s\n", o.name.c_str(), o.value.c_str(), e.what());
      return false;
    }
  }
  return true;
}

}  // namespace

int Transcode(int argc, char** argv) {
  Arguments args;
  std::string error;
  if (!Split(argc, argv, args, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (!medialib::LoadAll("", true)) {
    std::fprintf(stderr, "%s\n", medialib::LibraryLoadError().c_str());
    return 1;
  }
  TCustomFFmpeg engine;
  engine.PrepareTask();
  engine.LogHandler = [](TCustomFFmpeg*, int, const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
  };
  if (!Apply(engine, args.before)) return 2;
  if (!engine.OpenInputFile(args.input)) {
    std::fprintf(stderr, "%s\n", engine.LastError.c_str());
    return 1;
  }
  if (!Apply(engine, args.after)) return 2;
  if (!engine.OpenOutputFile(args.output)) {
    std::fprintf(stderr, "%s\n", engine.LastError.c_str());
    return 1;
  }
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  engine.ProgressHandler = [](TCustomFFmpeg*, int frames, int fps, int current, float quality,
                              float bitrate, int64_t size, int total) {
    std::printf("frame=%d fps=%d q=%.1f time=%.2fs of %.2fs size=%lldB bitrate=%.1fkbits/s\n",
                frames, fps, quality, current / 1000.0, total / 1000.0,
                static_cast<long long>(size), bitrate);
    std::fflush(stdout);
  };
  engine.TerminateHandler = [&](TCustomFFmpeg*) {
    std::lock_guard<std::mutex> guard(lock);
    done = true;
    ended.notify_all();
  };
  InterruptGuard interrupt;
  TFFmpegThread* worker = engine.Start(true);
  if (worker) worker->Resume();
  {
    std::unique_lock<std::mutex> guard(lock);
    while (!done) {
      ended.wait_for(guard, std::chrono::milliseconds(100));
      if (interrupt.Requested()) engine.RequestStop();
    }
  }
  if (engine.ExceptionRaised) {
    std::fprintf(stderr, "failed: %s\n", engine.ExceptionMessage.c_str());
    return 1;
  }
  std::printf("output: %s\n", args.output.c_str());
  return engine.Finished ? 0 : 130;
}

}  // namespace cli
