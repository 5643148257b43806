// reelshift-bench: runs each case several times, alternating the engine and
// the limit program on the same work, and prints wall and CPU seconds
// (median, min, max), frames per second, speed against real time, peak
// memory and the ratio to the limit. It only measures; it never fails on a
// figure.
//
//   reelshift-bench BUILD_DIR SAMPLE CLIP WORK_DIR [RUNS]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "MediaInspect.h"

namespace {

using Args = std::vector<std::string>;

struct Measure {
  double wall = 0, cpu = 0;
  long peakKb = 0;
  int status = 0;
  std::vector<long> perFilePeakKb;  // batch runs: the peak while each file ran
};

long CurrentRssKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

// Runs the command with its output in a pipe; `onLine` sees each stdout line.
Measure Run(const Args& args, const std::function<bool(const std::string&)>& startsFile = nullptr) {
  int pipeFd[2];
  if (pipe(pipeFd) != 0) std::exit(2);
  const auto begin = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFd[1], 1);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 2);
    close(pipeFd[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFd[1]);
  Measure m;
  std::atomic<bool> done{false};
  std::atomic<long> windowPeak{0};
  std::thread sampler([&] {
    while (!done) {
      windowPeak = std::max(windowPeak.load(), CurrentRssKb(pid));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  FILE* out = fdopen(pipeFd[0], "r");
  char buffer[4096];
  bool anyFile = false;
  while (std::fgets(buffer, sizeof buffer, out)) {
    std::string line(buffer);
    for (size_t pos; (pos = line.find('\r')) != std::string::npos;) line.erase(0, pos + 1);
    if (startsFile && startsFile(line)) {
      if (anyFile) m.perFilePeakKb.push_back(windowPeak.exchange(CurrentRssKb(pid)));
      anyFile = true;
    }
  }
  std::fclose(out);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  done = true;
  sampler.join();
  if (anyFile) m.perFilePeakKb.push_back(windowPeak.load());
  m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  m.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
          usage.ru_stime.tv_usec / 1e6;
  m.peakKb = usage.ru_maxrss;
  m.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return m;
}

struct Stats {
  double median = 0, min = 0, max = 0;
};

Stats Summarise(std::vector<double> v) {
  Stats s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.min = v.front();
  s.max = v.back();
  s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  return s;
}

struct Case {
  std::string name;
  Args engine;  // empty: no engine side
  Args limit;   // empty: no limit side
  std::string output;  // counted for frames; empty: none
  double mediaSeconds = 0;
};

struct Row {
  std::string name, tool;
  Stats wall, cpu;
  long peakKb = 0;
  double fps = 0, speed = 0, ratio = 0;
  int failures = 0;
};

void PrintRow(const Row& r) {
  std::printf("%-28s %-8s %7.2f %7.2f %7.2f %7.2f %8.0f %7.1fx %7.1f %6s %s\n", r.name.c_str(),
              r.tool.c_str(), r.wall.median, r.wall.min, r.wall.max, r.cpu.median, r.fps, r.speed,
              r.peakKb / 1024.0, r.ratio > 0 ? (std::to_string(r.ratio).substr(0, 5)).c_str() : "-",
              r.failures ? "(some runs failed)" : "");
  std::fflush(stdout);
}

int64_t VideoFrames(const std::string& file) {
  if (file.empty()) return 0;
  const fixtures::MediaFacts facts = fixtures::Inspect(file);
  const fixtures::StreamFacts* v = facts.First("video");
  return v ? v->packets : 0;
}

void RunCase(const Case& c, int runs) {
  std::vector<double> wall[2], cpu[2];
  long peak[2] = {0, 0};
  int failures[2] = {0, 0};
  for (int i = 0; i < runs; ++i) {
    for (int side = 0; side < 2; ++side) {  // alternate the two tools
      const Args& args = side == 0 ? c.engine : c.limit;
      if (args.empty()) continue;
      const Measure m = Run(args);
      if (m.status != 0 && m.status != 1) ++failures[side];
      wall[side].push_back(m.wall);
      cpu[side].push_back(m.cpu);
      peak[side] = std::max(peak[side], m.peakKb);
    }
  }
  const int64_t frames = VideoFrames(c.output);
  Row rows[2];
  for (int side = 0; side < 2; ++side) {
    Row& r = rows[side];
    r.name = c.name;
    r.tool = side == 0 ? "engine" : "limit";
    r.wall = Summarise(wall[side]);
    r.cpu = Summarise(cpu[side]);
    r.peakKb = peak[side];
    r.failures = failures[side];
    if (r.wall.median > 0) {
      r.fps = frames / r.wall.median;
      r.speed = c.mediaSeconds / r.wall.median;
    }
  }
  if (rows[1].wall.median > 0) rows[0].ratio = rows[0].wall.median / rows[1].wall.median;
  for (int side = 0; side < 2; ++side)
    if (!(side == 0 ? c.engine : c.limit).empty()) PrintRow(rows[side]);
}

void RunBatch(const std::string& name, const Args& args, int runs) {
  std::vector<double> wall, cpu;
  long peak = 0;
  std::vector<long> perFile;
  for (int i = 0; i < runs; ++i) {
    const Measure m = Run(args, [](const std::string& line) {
      return line.rfind("Converting ", 0) == 0 || line.rfind("Start", 0) == 0 ||
             line.find("->") != std::string::npos;
    });
    wall.push_back(m.wall);
    cpu.push_back(m.cpu);
    peak = std::max(peak, m.peakKb);
    if (i == 0) perFile = m.perFilePeakKb;
  }
  Row r;
  r.name = name;
  r.tool = "cli";
  r.wall = Summarise(wall);
  r.cpu = Summarise(cpu);
  r.peakKb = peak;
  PrintRow(r);
  if (perFile.size() >= 2)
    std::printf("%-28s per-file peak RSS: first %.1f MB, last %.1f MB\n", name.c_str(),
                perFile.front() / 1024.0, perFile.back() / 1024.0);
}

double Duration(const std::string& file) { return fixtures::Inspect(file).duration; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s BUILD_DIR SAMPLE CLIP WORK_DIR [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string build = argv[1], sample = argv[2], clip = argv[3], work = argv[4];
  const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 5;
  const std::string cli = build + "/cli/reelshift-cli", limit = build + "/bench/reelshift-limit";
  std::printf("%-28s %-8s %7s %7s %7s %7s %8s %8s %7s %6s\n", "case", "tool", "wall", "min", "max",
              "cpu", "fps", "speed", "RSS MB", "ratio");
  struct Input {
    std::string tag, file;
  } inputs[] = {{"sample", sample}, {"clip", clip}};
  for (const Input& in : inputs) {
    const double seconds = Duration(in.file);
    const std::string out = work + "/" + in.tag;
    const Args mp4Audio = {"-acodec", "aac", "-ab", "128000", "-ar", "44100", "-ac", "2"};
    auto engine = [&](Args options, const std::string& file) {
      Args a = {cli, "transcode", "-i", in.file};
      a.insert(a.end(), options.begin(), options.end());
      a.push_back(file);
      return a;
    };
    auto limitArgs = [&](Args options, const std::string& file) {
      Args a = {limit, in.file, file};
      a.insert(a.end(), options.begin(), options.end());
      return a;
    };
    Args mp4 = {"-vcodec", "mpeg4", "-b", "1200000"};
    mp4.insert(mp4.end(), mp4Audio.begin(), mp4Audio.end());
    Args x264 = {"-vcodec", "libx264"};
    x264.insert(x264.end(), mp4Audio.begin(), mp4Audio.end());
    const Case cases[] = {
        {in.tag + " mp4 mpeg4+aac", engine(mp4, out + "-e.mp4"),
         limitArgs({"--vcodec", "mpeg4", "--vb", "1200000", "--acodec", "aac", "--ab", "128000",
                    "--ar", "44100", "--ac", "2"},
                   out + "-l.mp4"),
         out + "-e.mp4", seconds},
        {in.tag + " mp4 libx264+aac", engine(x264, out + "-e264.mp4"),
         limitArgs({"--vcodec", "libx264", "--acodec", "aac", "--ab", "128000", "--ar", "44100",
                    "--ac", "2"},
                   out + "-l264.mp4"),
         out + "-e264.mp4", seconds},
        {in.tag + " avi mpeg4+mp3",
         engine({"-vcodec", "mpeg4", "-b", "1200000", "-acodec", "libmp3lame", "-ab", "128000",
                 "-ar", "44100"},
                out + "-e.avi"),
         limitArgs({"--vcodec", "mpeg4", "--vb", "1200000", "--acodec", "libmp3lame", "--ab",
                    "128000", "--ar", "44100"},
                   out + "-l.avi"),
         out + "-e.avi", seconds},
        {in.tag + " mp3 audio only",
         engine({"-vn", "-acodec", "libmp3lame", "-ab", "128000", "-ar", "44100"}, out + "-e.mp3"),
         limitArgs({"--vn", "--acodec", "libmp3lame", "--ab", "128000", "--ar", "44100"},
                   out + "-l.mp3"),
         "", seconds},
        {in.tag + " copy into rm", engine({"-vcodec", "copy", "-acodec", "copy"}, out + "-e.rm"),
         limitArgs({"--vcodec", "copy", "--acodec", "copy"}, out + "-l.rm"), out + "-e.rm",
         seconds},
        {in.tag + " convert MP4 entry",
         Args{cli, "convert", "--overwrite", "-f", "MP4 - MPEG4 Video (*.mp4)", "-o", work, in.file},
         limitArgs({"--vcodec", "mpeg4", "--vb", "1200000", "--acodec", "aac", "--ab", "128000",
                    "--ar", "44100", "--ac", "2"},
                   out + "-l.mp4"),
         "", seconds},
        {in.tag + " probe", Args{cli, "probe", in.file}, {}, "", 0},
    };
    for (const Case& c : cases) RunCase(c, runs);
  }
  // A batch of eight clips, one and two at a time.
  Args batch = {cli, "convert", "--overwrite", "-f", "MP4 - MPEG4 Video (*.mp4)", "-o", work};
  for (int i = 0; i < 8; ++i) {
    const std::string copy = work + "/batch-" + std::to_string(i) + ".rm";
    std::ifstream src(clip, std::ios::binary);
    std::ofstream dst(copy, std::ios::binary);
    dst << src.rdbuf();
    batch.push_back(copy);
  }
  for (const char* jobs : {"1", "2"}) {
    Args a = batch;
    a.insert(a.begin() + 2, {"-j", jobs});
    RunBatch(std::string("batch of 8, -j ") + jobs, a, std::max(1, runs / 2));
  }
  const std::string window = build + "/app/reelshift";
  if (access(window.c_str(), X_OK) == 0) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    RunCase({"window start-up", {window, "--quit-after", "0"}, {}, "", 0}, runs);
  }
  return 0;
}
