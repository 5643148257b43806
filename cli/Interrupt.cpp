#include "Interrupt.h"

#include <atomic>

namespace cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
struct sigaction gOldInt, gOldTerm;

void OnSignal(int) { gInterrupted = 1; }

}  // namespace

InterruptGuard::InterruptGuard() {
  gInterrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &gOldInt);
  sigaction(SIGTERM, &action, &gOldTerm);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &gOldInt, nullptr);
  sigaction(SIGTERM, &gOldTerm, nullptr);
}

bool InterruptGuard::Requested() const { return gInterrupted != 0; }

}  // namespace cli
