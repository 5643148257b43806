#include "CliRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

namespace clitest {

namespace {

constexpr auto kLongest = std::chrono::seconds(240);

std::vector<char*> Argv(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

[[noreturn]] void Exec(std::vector<std::string> words) {
  std::vector<char*> argv = Argv(words);
  execv(argv[0], argv.data());
  _exit(127);
}

// Reads both descriptors until both are closed, sending SIGINT once.
void Collect(pid_t pid, int outFd, int errFd, const TCliOptions& options, TCliRun& run) {
  bool interrupted = false;
  const auto started = std::chrono::steady_clock::now();
  std::vector<pollfd> fds = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (std::chrono::steady_clock::now() - started > kLongest) kill(pid, SIGKILL);
    if (poll(fds.data(), fds.size(), 100) < 0) break;
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
    }
    if (!interrupted && options.InterruptWhen && options.InterruptWhen(run.Out)) {
      kill(pid, SIGINT);
      interrupted = true;
    }
  }
}

}  // namespace

TCliRun RunCli(const std::vector<std::string>& arguments, const TCliOptions& options) {
  std::vector<std::string> words = {REELSHIFT_CLI_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  TCliRun run;
  const auto started = std::chrono::steady_clock::now();
  int outFd = -1, errFd = -1;
  pid_t pid = -1;
  if (options.Terminal) {
    pid = forkpty(&outFd, nullptr, nullptr, nullptr);
    if (pid == 0) Exec(words);
  } else {
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return run;
    pid = fork();
    if (pid == 0) {
      dup2(outPipe[1], 1);
      dup2(errPipe[1], 2);
      close(outPipe[0]);
      close(errPipe[0]);
      Exec(words);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    outFd = outPipe[0];
    errFd = errPipe[0];
  }
  if (pid < 0) return run;
  Collect(pid, outFd, errFd, options, run);
  int status = 0;
  waitpid(pid, &status, 0);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace clitest
