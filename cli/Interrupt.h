// Ctrl-C as a stop request: while a guard lives, SIGINT and SIGTERM only set a
// flag that the command polls.
#pragma once

#include <csignal>

namespace cli {

class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  bool Requested() const;
};

}  // namespace cli
