#include "TaskList.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace {

[[noreturn]] void IndexError(int index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

TFFmpegList::~TFFmpegList() {
  Clear();
}

TFFmpeg* TFFmpegList::Items(int index) const {
  TFFmpeg* task = Find(index);
  if (!task) IndexError(index);
  return task;
}

TFFmpeg* TFFmpegList::Find(int index) const {
  std::lock_guard<std::mutex> guard(lock_);
  if (index < 0 || index >= static_cast<int>(tasks_.size())) return nullptr;
  return tasks_[static_cast<size_t>(index)].get();
}

int TFFmpegList::Count() const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(tasks_.size());
}

int TFFmpegList::Add(std::unique_ptr<TFFmpeg> task) {
  std::lock_guard<std::mutex> guard(lock_);
  const int index = static_cast<int>(tasks_.size());
  task->Index = index;
  tasks_.push_back(std::move(task));
  return index;
}

void TFFmpegList::Delete(int index) {
  Extract(index).reset();
}

void TFFmpegList::Clear() {
  ExtractAll().clear();
}

TFFmpeg* TFFmpegList::FindByThreadId(int32_t threadId) const {
  std::lock_guard<std::mutex> guard(lock_);
  for (const auto& task : tasks_)
    if (task->ThreadId == threadId && task->Running) return task.get();
  return nullptr;
}

std::unique_ptr<TFFmpeg> TFFmpegList::Extract(int index) {
  std::lock_guard<std::mutex> guard(lock_);
  if (index < 0 || index >= static_cast<int>(tasks_.size())) IndexError(index);
  std::unique_ptr<TFFmpeg> task = std::move(tasks_[static_cast<size_t>(index)]);
  tasks_.erase(tasks_.begin() + index);
  Renumber();
  return task;
}

std::vector<std::unique_ptr<TFFmpeg>> TFFmpegList::ExtractAll() {
  std::lock_guard<std::mutex> guard(lock_);
  return std::exchange(tasks_, {});
}

void TFFmpegList::Renumber() {
  for (size_t i = 0; i < tasks_.size(); ++i) tasks_[i]->Index = static_cast<int>(i);
}
