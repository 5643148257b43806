#include "ConvertLog.h"

#include <cerrno>
#include <cstring>

#include "ReadableText.h"

namespace cli {

namespace {

constexpr const char* kLevelNames[] = {"quiet", "error", "info", "debug", "all"};

}  // namespace

bool TTaskLog::Open(const std::string& path, std::string& error) {
  file_.reset(std::fopen(path.c_str(), "w"));
  if (file_) return true;
  error = "cannot write the log " + path + ": " + std::strerror(errno);
  return false;
}

void TTaskLog::Write(int fileNumber, TLogLevel level, const std::string& text) {
  const int ordinal = static_cast<int>(level);
  const bool known = ordinal >= 0 && ordinal < static_cast<int>(std::size(kLevelNames));
  Put(fileNumber, known ? kLevelNames[ordinal] : "log", text);
}

void TTaskLog::Note(int fileNumber, const std::string& text) {
  Put(fileNumber, "convert", text);
}

// Each line of text (tags in a legacy code page made readable) gets the
// prefix; a text's closing line-feed ends its last line.
void TTaskLog::Put(int fileNumber, const char* kind, const std::string& text) {
  const std::string number = fileNumber > 0 ? std::to_string(fileNumber) : "-";
  const std::string readable = component::ReadableText(text);
  std::lock_guard<std::mutex> guard(lock_);
  if (!file_) return;
  size_t begin = 0;
  do {
    size_t end = readable.find('\n', begin);
    if (end == std::string::npos) end = readable.size();
    std::string line = readable.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::fprintf(file_.get(), "[%s] %s: %s\n", number.c_str(), kind, line.c_str());
    begin = end + 1;
  } while (begin < readable.size());
  std::fflush(file_.get());
}

}  // namespace cli
