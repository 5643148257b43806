// A small event loop for hosts without a toolkit (the command-line program,
// tests): calls posted with a delay run on the thread that runs the loop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <utility>

#include "MediaConverter.h"

class TDispatchLoop {
 public:
  using Clock = std::chrono::steady_clock;

  // Thread-safe: `call` runs on the loop's thread once `delayMs` has passed.
  void Post(int delayMs, std::function<void()> call);
  // A dispatcher for TCustomMediaConverter::SetDispatcher that posts here.
  TDispatcher Dispatcher();
  // Runs due calls on the calling thread until `done()` holds or `timeout`
  // passes; returns done(). `done` is checked after each call and at least
  // every 10 ms.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  // Wakes RunUntil so that it checks `done` at once.
  void Wake();

 private:
  std::function<void()> TakeDue(std::unique_lock<std::mutex>& lock, Clock::time_point until);

  std::mutex lock_;
  std::condition_variable changed_;
  // Ordered by due time, then by posting order.
  std::map<std::pair<Clock::time_point, uint64_t>, std::function<void()>> calls_;
  uint64_t posted_ = 0;
};
