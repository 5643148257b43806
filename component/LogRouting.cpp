#include "LogRouting.h"

#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <mutex>

#include "MediaConverter.h"
#include "MediaLib.h"

namespace component {

namespace {

// The formatting buffer; longer messages are formatted again on the heap and
// delivered whole.
constexpr size_t kLineBufferSize = 2048;

struct Registry {
  std::recursive_mutex lock;  // a handler that logs re-enters on its own thread
  std::vector<TCustomMediaConverter*> converters;
  std::mutex pendingLock;
  TLogList pending;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::string FormatMessage(const char* format, va_list args) {
  char buffer[kLineBufferSize];
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
  va_end(copy);
  if (length < 0) return {};
  if (static_cast<size_t>(length) < sizeof buffer) return std::string(buffer, length);
  std::string text(static_cast<size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

// "[name @ ADDRESS]" for an object that has a class description.
std::string ClassHead(void* object) {
  if (!object) return {};
  const AVClass* avClass = *static_cast<const AVClass**>(object);
  if (!avClass) return {};
  const char* name = avClass->item_name ? avClass->item_name(object) : avClass->class_name;
  char head[256];
  std::snprintf(head, sizeof head, "[%s @ %08" PRIXPTR "]", name ? name : "",
                reinterpret_cast<uintptr_t>(avClass));
  return head;
}

}  // namespace

void TLogRouter::Register(TCustomMediaConverter* converter) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::recursive_mutex> guard(registry.lock);
  registry.converters.push_back(converter);
}

void TLogRouter::Unregister(TCustomMediaConverter* converter) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::recursive_mutex> guard(registry.lock);
  std::erase(registry.converters, converter);
  if (registry.converters.empty() && medialib::LibrariesLoaded())
    ml::av_log_set_callback(ml::av_log_default_callback);
}

void TLogRouter::InstallCallback() {
  ml::av_log_set_callback(&TLogRouter::LibraryLog);
}

void TLogRouter::ClearPendingLines() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.pendingLock);
  registry.pending.Clear();
}

void TLogRouter::LibraryLog(void* object, int level, const char* format, va_list args) {
  const int engineLevel = medialib::ToEngineLogLevel(level);
  if (engineLevel > medialib::CachedLogLevel()) return;
  Registry& registry = TheRegistry();
  std::lock_guard<std::recursive_mutex> guard(registry.lock);
  const int32_t threadId = static_cast<int32_t>(gettid());
  const std::string message = FormatMessage(format, args);
  std::vector<std::string> lines;
  {
    std::lock_guard<std::mutex> pendingGuard(registry.pendingLock);
    lines = registry.pending.TakeLines(threadId, ClassHead(object), message);
  }
  // A handler may add or remove components: deliver to a copy of the list.
  const std::vector<TCustomMediaConverter*> converters = registry.converters;
  for (const std::string& line : lines)
    for (TCustomMediaConverter* converter : converters)
      if (std::find(registry.converters.begin(), registry.converters.end(), converter) !=
          registry.converters.end())
        converter->RouteLogLine(threadId, engineLevel, line);
}

TLogItem& TLogList::ItemFor(int32_t threadId) {
  TLogItem& first = items_.front();
  if (first.ThreadId == 0 || first.ThreadId == threadId) {
    first.ThreadId = threadId;
    return first;
  }
  for (TLogItem& item : items_)
    if (item.ThreadId == threadId) return item;
  return *items_.insert(items_.begin() + 1, TLogItem{threadId, {}});
}

std::vector<std::string> TLogList::TakeLines(int32_t threadId, const std::string& head,
                                             const std::string& text) {
  TLogItem& item = ItemFor(threadId);
  std::string rest = item.Pending.empty() ? head + text : item.Pending + text;
  std::vector<std::string> lines;
  for (size_t feed = rest.find('\n'); feed != std::string::npos; feed = rest.find('\n')) {
    lines.push_back(rest.substr(0, feed));
    rest.erase(0, feed + 1);
  }
  item.Pending = std::move(rest);
  return lines;
}

void TLogList::Clear() {
  items_.assign(1, TLogItem{});
}

}  // namespace component
