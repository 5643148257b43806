#include "DispatchLoop.h"

#include <algorithm>

void TDispatchLoop::Post(int delayMs, std::function<void()> call) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    const Clock::time_point due = Clock::now() + std::chrono::milliseconds(std::max(delayMs, 0));
    calls_.emplace(std::make_pair(due, posted_++), std::move(call));
  }
  changed_.notify_all();
}

TDispatcher TDispatchLoop::Dispatcher() {
  return [this](int delayMs, std::function<void()> call) { Post(delayMs, std::move(call)); };
}

void TDispatchLoop::Wake() {
  { std::lock_guard<std::mutex> guard(lock_); }
  changed_.notify_all();
}

// The first due call, waiting for it until `until` (and at most 10 ms).
std::function<void()> TDispatchLoop::TakeDue(std::unique_lock<std::mutex>& lock,
                                             Clock::time_point until) {
  Clock::time_point wakeAt = std::min(until, Clock::now() + std::chrono::milliseconds(10));
  if (!calls_.empty()) wakeAt = std::min(wakeAt, calls_.begin()->first.first);
  changed_.wait_until(lock, wakeAt);
  if (calls_.empty() || calls_.begin()->first.first > Clock::now()) return nullptr;
  std::function<void()> call = std::move(calls_.begin()->second);
  calls_.erase(calls_.begin());
  return call;
}

bool TDispatchLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const Clock::time_point until = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() >= until) return false;
    std::function<void()> call;
    {
      std::unique_lock<std::mutex> lock(lock_);
      call = TakeDue(lock, until);
    }
    if (call) call();
  }
  return true;
}
