#include "ConvertBatch.h"

#include <unistd.h>

#include <filesystem>

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr std::chrono::milliseconds kTick{250};
constexpr std::chrono::seconds kPlainLinePeriod{2};

int32_t CurrentThreadId() {
  return static_cast<int32_t>(gettid());
}

// The engine removes an output it never wrote to; make sure of it for a file
// that failed, so that no empty file is left behind.
void RemoveEmptyOutput(const std::string& output) {
  std::error_code failure;
  if (fs::is_regular_file(output, failure) && fs::file_size(output, failure) == 0 && !failure)
    fs::remove(output, failure);
}

bool MakeFolder(const std::string& folder, std::string& error) {
  std::error_code failure;
  fs::create_directories(folder, failure);
  if (!failure) return true;
  error = "cannot make the folder " + folder + ": " + failure.message();
  return false;
}

}  // namespace

struct TConvertBatch::TSlot {
  // Main thread only.
  int File = -1;  // index into files_; -1 while the slot is free
  std::string Output;
  Clock::time_point Started;
  Clock::time_point LastPlainLine;
  // Read by the events.
  std::atomic<int> Number{0};
  std::atomic<int32_t> Worker{0};
  std::mutex ProgressLock;
  TFileProgress Progress;  // under ProgressLock, without ElapsedSeconds
  // Last, so that it goes first: its tasks' threads end while the rest lives.
  TMediaConverter Converter;
};

TConvertBatch::TConvertBatch(const TConvertRequest& request, const presets::TSettingLists& lists,
                             std::vector<TInputFile> files, TConsole& console, TTaskLog& log)
    : request_(request),
      lists_(lists),
      files_(std::move(files)),
      console_(console),
      log_(log),
      names_(files_, request.Overwrite),
      mainThread_(CurrentThreadId()) {
  const size_t count =
      std::min<size_t>(std::max(request.Jobs, 1), std::max<size_t>(files_.size(), 1));
  for (size_t i = 0; i < count; ++i) {
    slots_.push_back(std::make_unique<TSlot>());
    AttachEvents(*slots_.back());
  }
}

TConvertBatch::~TConvertBatch() {
  for (auto& slot : slots_) {
    slot->Converter.UnassignEvents();
    slot->Converter.ClearTasks();
  }
}

bool TConvertBatch::Load(std::string& error) {
  for (auto& slot : slots_) {
    if (!slot->Converter.LoadLibraries("", true)) {
      error = slot->Converter.LastError();
      return false;
    }
  }
  return true;
}

void TConvertBatch::AttachEvents(TSlot& slot) {
  TSlot* s = &slot;
  slot.Converter.OnProgress = [s](int, int frames, int, int current, float, float, int64_t size,
                                  int total) {
    std::lock_guard<std::mutex> guard(s->ProgressLock);
    s->Progress.Frames = frames;
    s->Progress.CurrentMs = current;
    s->Progress.TotalMs = total;
    s->Progress.Bytes = size;
  };
  slot.Converter.OnTerminate = [this, s](int index, bool finished, bool exception,
                                         const std::string& message) {
    if (index >= 0)
      loop_.Post(0, [this, s, finished, exception, message] {
        FileEnded(*s, finished, exception, message);
      });
    else
      loop_.Post(0, [this, s] { SlotFree(*s); });
  };
  if (log_.IsOpen())
    slot.Converter.OnLog = [this, s](int index, TLogLevel level, const std::string& text) {
      RouteLog(*s, index, level, text);
    };
}

// A library line that belongs to no task reaches every component with index
// -1; the first slot writes it, unless it was logged on another slot's worker,
// whose own component delivers it with its index.
void TConvertBatch::RouteLog(TSlot& slot, int index, TLogLevel level, const std::string& text) {
  if (index >= 0) {
    log_.Write(slot.Number, level, text);
    return;
  }
  if (&slot != slots_.front().get()) return;
  const int32_t thread = CurrentThreadId();
  if (thread == mainThread_)
    log_.Write(preparing_, level, text);
  else if (!IsWorkerThread(thread))
    log_.Write(0, level, text);
}

bool TConvertBatch::IsWorkerThread(int32_t thread) const {
  for (const auto& slot : slots_)
    if (slot->Worker == thread) return true;
  return false;
}

TBatchCounts TConvertBatch::Run(const std::function<bool()>& stopRequested) {
  stopRequested_ = stopRequested;
  FillSlots();
  ShowProgress();
  while (!AllEnded()) {
    loop_.RunUntil([&] { return AllEnded() || (!stopping_ && stopRequested_()); }, kTick);
    if (!stopping_ && stopRequested_()) Stop();
    ShowProgress();
  }
  console_.Status("");
  counts_.NotStarted = static_cast<int>(files_.size() - nextFile_);
  counts_.Stopped = stopping_;
  stopRequested_ = nullptr;
  return counts_;
}

void TConvertBatch::FillSlots() {
  for (auto& slot : slots_) {
    while (slot->File < 0 && nextFile_ < files_.size() && !stopping_) {
      if (stopRequested_ && stopRequested_()) return;
      StartFile(*slot, static_cast<int>(nextFile_++));
    }
  }
}

// Sets the file up in the free slot and starts it; false when the file ended
// at once (its "Fail" is reported) and the slot is still free.
bool TConvertBatch::StartFile(TSlot& slot, int file) {
  const TInputFile& input = files_[file];
  const int number = file + 1;
  preparing_ = number;
  std::string folder = request_.OutputFolder;
  if (!input.RelativeFolder.empty()) folder = (fs::path(folder) / input.RelativeFolder).string();
  const std::string output = names_.Choose(folder, input.Path, lists_.OutputExtension);
  console_.Line(Tag(number) + input.Path + " -> " + output);
  log_.Note(number, "start " + input.Path + " -> " + output);
  std::string error;
  const TFileSettings settings{lists_, request_.Volume};
  const bool added =
      MakeFolder(folder, error) && AddFileTask(slot.Converter, settings, file, input.Path, output,
                                               ProbeSource(probe_, input.Path), error);
  preparing_ = 0;
  if (!added) {
    ++counts_.Failed;
    RemoveEmptyOutput(output);
    Report(number, output, "Fail: " + error);
    return false;
  }
  names_.Claim(output);
  slot.File = file;
  slot.Output = output;
  slot.Number = number;
  {
    std::lock_guard<std::mutex> guard(slot.ProgressLock);
    slot.Progress = TFileProgress{};
  }
  slot.Started = slot.LastPlainLine = Clock::now();
  slot.Converter.StartConvert(1);
  if (TFFmpeg* task = slot.Converter.Tasks.Find(0)) slot.Worker = task->ThreadId.load();
  return true;
}

void TConvertBatch::FileEnded(TSlot& slot, bool finished, bool exception,
                              const std::string& message) {
  if (slot.File < 0) return;
  std::string status = "Done";
  if (exception) {
    ++counts_.Failed;
    RemoveEmptyOutput(slot.Output);
    status = "Fail: " + (message.empty() ? std::string("the conversion failed") : message);
  } else if (!finished) {
    ++counts_.Aborted;
    status = "Abort";
  } else {
    ++counts_.Done;
  }
  Report(slot.Number, slot.Output, status);
}

// The slot's one-task batch has ended: its task is released (waiting for its
// worker to leave) and the next file starts there.
void TConvertBatch::SlotFree(TSlot& slot) {
  slot.Converter.ClearTasks();
  slot.File = -1;
  slot.Worker = 0;
  slot.Number = 0;
  FillSlots();
}

void TConvertBatch::Report(int number, const std::string& output, const std::string& status) {
  console_.Line(Tag(number) + output + ": " + status);
  log_.Note(number, status);
}

void TConvertBatch::Stop() {
  stopping_ = true;
  console_.Line("Stopping: the running files end now, no other file starts.");
  for (auto& slot : slots_)
    if (slot->File >= 0) slot->Converter.StopConvert();
}

bool TConvertBatch::AllEnded() const {
  if (!stopping_ && nextFile_ < files_.size()) return false;
  for (const auto& slot : slots_)
    if (slot->File >= 0) return false;
  return true;
}

TFileProgress TConvertBatch::Snapshot(TSlot& slot) const {
  TFileProgress progress;
  {
    std::lock_guard<std::mutex> guard(slot.ProgressLock);
    progress = slot.Progress;
  }
  progress.ElapsedSeconds = std::chrono::duration<double>(Clock::now() - slot.Started).count();
  return progress;
}

void TConvertBatch::ShowProgress() {
  std::string status;
  const Clock::time_point now = Clock::now();
  for (auto& slot : slots_) {
    if (slot->File < 0) continue;
    const std::string text = Tag(slot->Number) + ProgressText(Snapshot(*slot));
    if (console_.Terminal()) {
      status += (status.empty() ? "" : " | ") + text;
    } else if (now - slot->LastPlainLine >= kPlainLinePeriod) {
      slot->LastPlainLine = now;
      console_.Line(text);
    }
  }
  console_.Status(status);
}

std::string TConvertBatch::Tag(int number) const {
  return "[" + std::to_string(number) + "/" + std::to_string(files_.size()) + "] ";
}

}  // namespace cli
