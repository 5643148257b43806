#include "ReliabilitySupport.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace reliability {

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr const char* kRealVideo = "rv10-ac3-560x320-5s.rmvb";
constexpr const char* kRealAudio = "ac3-audio-only-0.8s.rm";

struct TDamage {
  const char* Suffix;
  double Fraction;  // truncations; 0 for noise
  int Where;        // noise: 0 start, 1 middle, 2 end
};
constexpr TDamage kDamages[] = {
    {"cut1", 0.01, 0},     {"cut10", 0.10, 0},     {"cut50", 0.50, 0},  {"cut99", 0.99, 0},
    {"noise-start", 0, 0}, {"noise-middle", 0, 1}, {"noise-end", 0, 2},
};
constexpr int kNoiseBytes = 300;

bool Damage(const std::string& from, const std::string& to, const TDamage& damage) {
  if (damage.Fraction > 0) return fixtures::TruncatedCopy(from, to, damage.Fraction);
  const int64_t size = testsupport::FileSize(from);
  const int64_t offsets[] = {0, size / 2, -kNoiseBytes};
  return fixtures::NoisyCopy(from, to, offsets[damage.Where], kNoiseBytes);
}

void AddDamagedCopies(const std::string& folder, const std::string& source, const std::string& stem,
                      std::vector<TBadInput>& corpus) {
  for (const TDamage& damage : kDamages) {
    const std::string name = stem + "-" + damage.Suffix + ".rm";
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(Damage(source, path, damage)) << path;
    corpus.push_back({name, path, TEnd::Either});
  }
}

std::vector<char*> Argv(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

// Hands every complete line to OnLine; keeps the unfinished rest.
void SplitLines(std::string& pending, const TRunOptions& options) {
  size_t end;
  while ((end = pending.find('\n')) != std::string::npos) {
    if (options.OnLine) options.OnLine(pending.substr(0, end));
    pending.erase(0, end + 1);
  }
}

void Collect(pid_t pid, int outFd, int errFd, const TRunOptions& options, TRunResult& run) {
  const auto started = std::chrono::steady_clock::now();
  std::vector<pollfd> fds = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string pending;
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (seconds > options.TimeoutSeconds && !run.TimedOut) {
      run.TimedOut = true;
      kill(pid, SIGKILL);
    }
    if (poll(fds.data(), fds.size(), 5) < 0 && errno != EINTR) break;
    for (size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        continue;
      }
      (i == 0 ? run.Out : run.Err).append(buffer, n);
      if (i == 0) pending.append(buffer, n);
    }
    SplitLines(pending, options);
    if (options.OnTick) options.OnTick(pid);
  }
}

}  // namespace

std::string MakeClip(const std::string& path, double seconds, int width, int height) {
  fixtures::FixtureSpec spec;
  spec.path = path;
  spec.width = width;
  spec.height = height;
  spec.format = "rm";
  spec.fpsNum = 10;
  spec.seconds = seconds;
  std::string error;
  EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  return path;
}

std::string LongNonAsciiName(size_t bytes, const std::string& extension) {
  static const std::string kWords[] = {"Ärger", "über", "Öl", "漢字", "ñandú", "Ωμέγα"};
  std::string name;
  for (size_t i = 0;; ++i) {
    const std::string word = kWords[i % std::size(kWords)] + "-";
    if (name.size() + word.size() + extension.size() > bytes) break;
    name += word;
  }
  name.append(bytes - extension.size() - name.size(), 'x');
  return name + extension;
}

std::vector<TBadInput> MakeBadInputCorpus(const std::string& folder, bool withReal,
                                          bool permissionsHold) {
  std::vector<TBadInput> corpus;
  const std::string clip = MakeClip(folder + "/source-clip.rm.bin", 2);
  AddDamagedCopies(folder, clip, "made", corpus);
  if (withReal) {
    AddDamagedCopies(folder, testsupport::MediaPath(kRealVideo), "real-video", corpus);
    AddDamagedCopies(folder, testsupport::MediaPath(kRealAudio), "real-audio", corpus);
    corpus.push_back({"pointer.ram", testsupport::MediaPath("pointer.ram"), TEnd::Fail});
  }
  const std::string empty = folder + "/empty.rm";
  fixtures::WriteTextFile(empty, "");
  corpus.push_back({"empty.rm", empty, TEnd::Fail});
  const std::string text = folder + "/notes.rm";
  fixtures::WriteTextFile(text, "These are notes about a film, not the film.\n");
  corpus.push_back({"notes.rm", text, TEnd::Fail});
  const std::string ram = folder + "/made.ram";
  fixtures::WriteTextFile(ram, "rtsp://media.example/clip.rm\nhttp://media.example/two.rm\n");
  corpus.push_back({"made.ram", ram, TEnd::Fail});
  const std::string locked = folder + "/unreadable.rm";
  fixtures::CopyFile(clip, locked);
  chmod(locked.c_str(), 0);
  corpus.push_back({"unreadable.rm", locked, permissionsHold ? TEnd::Fail : TEnd::Done});
  // The outputs of the first two are shorter than 255 bytes; the third's
  // would be 256 and cannot be made.
  const struct {
    size_t Bytes;
    const char* Extension;
    TEnd Expected;
  } longNames[] = {{250, ".rm", TEnd::Done}, {255, ".rmvb", TEnd::Done}, {255, ".rm", TEnd::Fail}};
  for (const auto& name : longNames) {
    const std::string path = folder + "/" + LongNonAsciiName(name.Bytes, name.Extension);
    fixtures::CopyFile(clip, path);
    corpus.push_back({"long " + std::to_string(name.Bytes) + name.Extension, path, name.Expected});
  }
  const std::string good = folder + "/zz-good.rm";
  fixtures::CopyFile(clip, good);
  corpus.push_back({"zz-good.rm", good, TEnd::Done});
  return corpus;
}

std::string MakeFolderNamedRmvb(const std::string& folder) {
  const std::string path = folder + "/x.rmvb";
  fs::create_directory(path);
  return path;
}

bool PermissionBitsHoldHere() {
  return geteuid() != 0;
}

bool CanRunUnprivileged() {
  if (geteuid() != 0) return false;
  const pid_t pid = fork();
  if (pid == 0) _exit(setgid(kNobody) == 0 && setuid(kNobody) == 0 ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BecomeUnprivileged() {
  if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
}

void OpenToEveryone(const std::string& folder) {
  std::error_code ignored;
  fs::permissions(folder, fs::perms::all, fs::perm_options::add, ignored);
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
    const fs::perms perms = entry.status(ignored).permissions();
    if ((perms & fs::perms::owner_read) == fs::perms::none) continue;  // meant to be unreadable
    fs::permissions(entry.path(), fs::perms::others_read | fs::perms::group_read,
                    fs::perm_options::add, ignored);
    if (entry.is_directory(ignored))
      fs::permissions(entry.path(), fs::perms::all, fs::perm_options::add, ignored);
  }
}

TRunResult RunCli(const std::vector<std::string>& arguments, const TRunOptions& options) {
  std::vector<std::string> words = {REELSHIFT_CLI_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  TRunResult run;
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0) return run;
  if (pipe(errPipe) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return run;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
    if (options.InChild) options.InChild();
    std::vector<char*> argv = Argv(words);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  if (pid < 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    return run;
  }
  Collect(pid, outPipe[0], errPipe[0], options, run);
  int status = 0;
  waitpid(pid, &status, 0);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Show(const TRunResult& run) {
  return "status " + std::to_string(run.Status) + (run.TimedOut ? " (killed: too slow)" : "") +
         "\nout:\n" + run.Out + "\nerr:\n" + run.Err;
}

bool NoSanitizerReport(const TRunResult& run) {
  for (const std::string* text : {&run.Out, &run.Err})
    if (text->find("Sanitizer") != std::string::npos ||
        text->find("runtime error:") != std::string::npos)
      return false;
  return true;
}

std::map<int, TFileEnd> FileEnds(const std::string& out) {
  static const std::regex kStart(R"(^\[(\d+)/\d+\] (.*) -> (.*)$)");
  std::map<int, TFileEnd> ends;
  std::istringstream stream(out);
  for (std::string line; std::getline(stream, line);) {
    std::smatch match;
    if (std::regex_match(line, match, kStart)) {
      TFileEnd& end = ends[std::stoi(match[1])];
      end.Input = match[2];
      end.Output = match[3];
      continue;
    }
    if (line.size() < 2 || line[0] != '[') continue;
    const size_t close = line.find("] ");
    if (close == std::string::npos) continue;
    const int number = std::atoi(line.c_str() + 1);
    auto it = ends.find(number);
    if (it == ends.end() || it->second.Output.empty()) continue;
    const std::string head = it->second.Output + ": ";
    if (line.compare(close + 2, head.size(), head) != 0) continue;
    const std::string status = line.substr(close + 2 + head.size());
    if (!IsTermination(status)) continue;
    it->second.Status = status;
    ++it->second.Ends;
  }
  return ends;
}

bool IsTermination(const std::string& status) {
  return status == "Done" || status == "Abort" ||
         (status.rfind("Fail: ", 0) == 0 && status.size() > 6);
}

bool EndsAs(const std::string& status, TEnd expected) {
  switch (expected) {
    case TEnd::Done:
      return status == "Done";
    case TEnd::Fail:
      return status.rfind("Fail: ", 0) == 0 && status.size() > 6;
    case TEnd::Either:
      return status == "Done" || (status.rfind("Fail: ", 0) == 0 && status.size() > 6);
  }
  return false;
}

std::map<int, int> LogTerminations(const std::string& logPath) {
  static const std::regex kEnd(R"(^\[(\d+)\] convert: (Done|Abort|Fail: .+)$)");
  std::map<int, int> ends;
  std::ifstream log(logPath);
  for (std::string line; std::getline(log, line);) {
    std::smatch match;
    if (std::regex_match(line, match, kEnd)) ++ends[std::stoi(match[1])];
  }
  return ends;
}

std::map<std::string, std::string> Checksums(const std::vector<std::string>& paths) {
  std::map<std::string, std::string> sums;
  for (const std::string& path : paths) {
    if (fs::is_regular_file(path) && access(path.c_str(), R_OK) == 0)
      sums[path] = testsupport::Sha256(path);
    else if (fs::is_regular_file(path))
      sums[path] = std::to_string(testsupport::FileSize(path)) + " bytes, unreadable";
  }
  return sums;
}

std::vector<std::string> EmptyFilesUnder(const std::string& folder) {
  std::vector<std::string> empty;
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
    if (entry.is_regular_file(ignored) && entry.file_size(ignored) == 0)
      empty.push_back(entry.path().string());
  return empty;
}

bool Playable(const std::string& path, std::string& why) {
  const fixtures::MediaFacts facts = fixtures::Inspect(path);
  if (!facts.ok) {
    why = facts.error;
    return false;
  }
  for (const fixtures::StreamFacts& stream : facts.streams)
    if (stream.packets > 0) return true;
  why = "no stream holds a packet";
  return false;
}

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

int OpenDescriptors(pid_t pid) {
  std::error_code failure;
  fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", failure);
  if (failure) return -1;
  int count = 0;
  for (; it != fs::directory_iterator(); it.increment(failure)) {
    if (failure) return -1;
    ++count;
  }
  return count;
}

TFileSizeLimit::TFileSizeLimit(long bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  oldSoft_ = limit.rlim_cur;
  oldHard_ = limit.rlim_max;
  oldHandler_ = signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit() {
  rlimit limit{static_cast<rlim_t>(oldSoft_), static_cast<rlim_t>(oldHard_)};
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, oldHandler_);
}

void LimitFileSize(long bytes) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace reliability
