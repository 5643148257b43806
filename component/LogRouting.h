// Routing of the media libraries' log output: the callback installed with
// av_log_set_callback formats each message, joins it with the text still
// pending on the logging thread and hands every complete line to each live
// component, which gives it to the task running on that thread.
//
// Process-wide: the component registry (every live component) and the table
// of pending partial lines, one entry per logging thread. Lock order: the
// registry lock first, then a component's lock; the pending table has its own
// short-lived lock, never held while another is taken.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

class TCustomMediaConverter;

namespace component {

class TLogRouter {
 public:
  static void Register(TCustomMediaConverter* converter);
  // Restores the libraries' own log output when the last component leaves.
  static void Unregister(TCustomMediaConverter* converter);
  static void InstallCallback();
  static void ClearPendingLines();
  // The callback given to av_log_set_callback.
  static void LibraryLog(void* object, int level, const char* format, va_list args);
};

// One thread's partial line.
struct TLogItem {
  int32_t ThreadId = 0;
  std::string Pending;
};

// The pending partial lines, one item per thread.
class TLogList {
 public:
  // Joins `head` (used only when the thread has nothing pending) and `text`
  // with the thread's pending text, returns the complete lines and keeps what
  // follows the last line-feed as the thread's pending text.
  std::vector<std::string> TakeLines(int32_t threadId, const std::string& head,
                                     const std::string& text);
  void Clear();

 private:
  TLogItem& ItemFor(int32_t threadId);
  std::vector<TLogItem> items_{1};  // the first item is always there
};

}  // namespace component
