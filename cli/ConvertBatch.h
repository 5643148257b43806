// The run of a convert command: a pool of up to -j slots, each a conversion
// component that converts one file at a time on a worker thread of its own.
// When a slot's file ends, the next file is set up in that slot at once, so a
// long file never holds the others back, and no more than -j inputs are open
// at any moment however long the list is. Everything but the components'
// events happens on the main thread, which runs a TDispatchLoop; the events
// only record what they report and post the rest to that loop.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ConvertConsole.h"
#include "ConvertFile.h"
#include "ConvertInputs.h"
#include "ConvertLog.h"
#include "ConvertOptions.h"
#include "DispatchLoop.h"
#include "ProgressLine.h"

namespace cli {

struct TBatchCounts {
  int Done = 0;
  int Failed = 0;
  int Aborted = 0;
  int NotStarted = 0;
  bool Stopped = false;
};

class TConvertBatch {
 public:
  TConvertBatch(const TConvertRequest& request, const presets::TSettingLists& lists,
                std::vector<TInputFile> files, TConsole& console, TTaskLog& log);
  ~TConvertBatch();
  TConvertBatch(const TConvertBatch&) = delete;
  TConvertBatch& operator=(const TConvertBatch&) = delete;

  // Loads the media libraries; false with the reason.
  bool Load(std::string& error);
  // Converts every file. Once stopRequested() holds (it is polled often), the
  // run stops like the window's Stop: the running files end "Abort", their
  // outputs finished and closed, and nothing new starts.
  TBatchCounts Run(const std::function<bool()>& stopRequested);

 private:
  using Clock = std::chrono::steady_clock;
  struct TSlot;

  void AttachEvents(TSlot& slot);
  void RouteLog(TSlot& slot, int index, TLogLevel level, const std::string& text);
  bool IsWorkerThread(int32_t thread) const;

  void FillSlots();
  bool StartFile(TSlot& slot, int file);
  void FileEnded(TSlot& slot, bool finished, bool exception, const std::string& message);
  void SlotFree(TSlot& slot);
  void Report(int number, const std::string& output, const std::string& status);
  void Stop();
  bool AllEnded() const;
  void ShowProgress();

  std::string Tag(int number) const;
  TFileProgress Snapshot(TSlot& slot) const;

  const TConvertRequest& request_;
  const presets::TSettingLists& lists_;
  std::vector<TInputFile> files_;
  TConsole& console_;
  TTaskLog& log_;
  TOutputNames names_;
  TAVProbe probe_;
  int32_t mainThread_;
  std::atomic<int> preparing_{0};  // number of the file being set up on the main thread

  TDispatchLoop loop_;  // outlives the slots, whose events post to it
  std::vector<std::unique_ptr<TSlot>> slots_;
  size_t nextFile_ = 0;
  bool stopping_ = false;
  std::function<bool()> stopRequested_;  // during Run
  TBatchCounts counts_;
};

}  // namespace cli
