#include "ConvertConsole.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace cli {

namespace {

constexpr size_t kDefaultWidth = 80;

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string FitToWidth(const std::string& text, size_t width) {
  if (text.size() <= width) return text;
  size_t cut = width;
  while (cut > 0 && IsContinuationByte(text[cut])) --cut;
  return text.substr(0, cut);
}

TConsole::TConsole(std::FILE* out) : out_(out), terminal_(isatty(fileno(out)) == 1) {}

TConsole::~TConsole() {
  ClearStatus();
  std::fflush(out_);
}

void TConsole::Line(const std::string& text) {
  ClearStatus();
  std::fprintf(out_, "%s\n", text.c_str());
  DrawStatus();
  std::fflush(out_);
}

void TConsole::Status(const std::string& text) {
  if (!terminal_) return;
  status_ = text;
  DrawStatus();
  std::fflush(out_);
}

void TConsole::ClearStatus() {
  if (!statusShown_) return;
  std::fputs("\r\033[K", out_);
  statusShown_ = false;
}

void TConsole::DrawStatus() {
  if (!terminal_ || status_.empty()) return;
  // One column fewer than the terminal has, so that the line never wraps.
  std::fprintf(out_, "\r%s\033[K", FitToWidth(status_, Width() - 1).c_str());
  statusShown_ = true;
}

size_t TConsole::Width() const {
  winsize size{};
  if (ioctl(fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col;
  return kDefaultWidth;
}

}  // namespace cli
