// --log FILE: every log line of every file of a convert run, with the file's
// number in the run. Written from any thread.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "MediaConverter.h"

namespace cli {

class TTaskLog {
 public:
  // False with a message when the file cannot be made.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return file_ != nullptr; }
  // "[3] info: text"; fileNumber 0 or less: "[-]", a line of no file.
  void Write(int fileNumber, TLogLevel level, const std::string& text);
  // A line of the run itself (a file's start or end).
  void Note(int fileNumber, const std::string& text);

 private:
  void Put(int fileNumber, const char* kind, const std::string& text);

  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::mutex lock_;
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace cli
