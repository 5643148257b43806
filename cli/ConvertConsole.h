// Convert's console: lasting lines, and on a terminal one status line kept
// at the bottom and redrawn in place. Used from the main thread only.
#pragma once

#include <cstdio>
#include <string>

namespace cli {

class TConsole {
 public:
  explicit TConsole(std::FILE* out);
  ~TConsole();
  TConsole(const TConsole&) = delete;
  TConsole& operator=(const TConsole&) = delete;

  bool Terminal() const { return terminal_; }
  // A line that stays; the status line, if any, is drawn again below it.
  void Line(const std::string& text);
  // Replaces the status line (terminal only; elsewhere it is ignored).
  void Status(const std::string& text);

 private:
  void ClearStatus();
  void DrawStatus();
  size_t Width() const;

  std::FILE* out_;
  bool terminal_;
  std::string status_;
  bool statusShown_ = false;
};

// text cut to at most width bytes without splitting a UTF-8 sequence.
std::string FitToWidth(const std::string& text, size_t width);

}  // namespace cli
