// A conversion task (an engine with its list index, its thread and its two
// option records) and the ordered list that owns the tasks.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "FFmpeg.h"
#include "OptionRecords.h"

class TFFmpeg : public TCustomFFmpeg {
 public:
  TFFmpeg() = default;
  ~TFFmpeg() override { WaitForWorker(); }

  // Position in the task list, kept equal to it after removals.
  std::atomic<int> Index{-1};
  // The system id of the thread that runs the task; 0 until started.
  std::atomic<int32_t> ThreadId{0};
  TInputOptions InputOptions;
  TOutputOptions OutputOptions;
};

// Owns its tasks. Thread-safe for its own structure: worker threads look tasks
// up while the owner's thread adds and removes them.
class TFFmpegList {
 public:
  TFFmpegList() = default;
  ~TFFmpegList();
  TFFmpegList(const TFFmpegList&) = delete;
  TFFmpegList& operator=(const TFFmpegList&) = delete;

  // The task at `index`; throws std::out_of_range outside the list.
  TFFmpeg* Items(int index) const;
  // The task at `index`, or null outside the list.
  TFFmpeg* Find(int index) const;
  int Count() const;
  // Appends the task, stores its index in it and returns the index.
  int Add(std::unique_ptr<TFFmpeg> task);
  // Frees the task at `index` and renumbers the later ones.
  void Delete(int index);
  void Clear();
  // The first running task whose ThreadId is `threadId`, or null.
  TFFmpeg* FindByThreadId(int32_t threadId) const;

  // Take tasks out of the list without freeing them (Delete and Clear free).
  std::unique_ptr<TFFmpeg> Extract(int index);
  std::vector<std::unique_ptr<TFFmpeg>> ExtractAll();

  // Runs `action` on every task in list order, with the list held still.
  template <typename Action>
  void ForEach(Action action) const {
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& task : tasks_) action(*task);
  }

 private:
  void Renumber();

  mutable std::mutex lock_;
  std::vector<std::unique_ptr<TFFmpeg>> tasks_;
};
