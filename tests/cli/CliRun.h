// Runs reelshift-cli as a program: its arguments, what it printed, how it
// ended and how long it took; optionally on a pseudo-terminal, and with a
// Ctrl-C sent once its output shows something.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace clitest {

struct TCliRun {
  std::string Out;  // standard output (with standard error on a terminal)
  std::string Err;  // standard error
  int Status = -1;  // exit status; -1 when it did not exit normally
  double Seconds = 0;
};

struct TCliOptions {
  bool Terminal = false;  // standard output and error on a pseudo-terminal
  // Checked on the output so far; the first time it holds, SIGINT is sent.
  std::function<bool(const std::string& out)> InterruptWhen;
};

TCliRun RunCli(const std::vector<std::string>& arguments, const TCliOptions& options = {});

// The lines of text, without their line-feeds.
std::vector<std::string> Lines(const std::string& text);

}  // namespace clitest
