#include "LetterBox.h"

#include "BatchRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace presets {
namespace {

struct TSize {
  int Width = 0, Height = 0;
};

bool ParseSize(const std::string& text, TSize& size) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%dx%d%c", &size.Width, &size.Height, &tail) == 2 &&
         size.Width > 0 && size.Height > 0;
}

// "4:3", "16:9" or a decimal; 0 when the text is none of these.
double ParseAspect(const std::string& text) {
  double a = 0, b = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%lf:%lf%c", &a, &b, &tail) == 2) return b > 0 ? a / b : 0;
  if (std::sscanf(text.c_str(), "%lf%c", &a, &tail) == 1) return a;
  return 0;
}

bool Usable(double value) {
  return std::isfinite(value) && value > 0;
}

// The nearest even value in 2..limit.
int EvenWithin(double value, int limit) {
  const int even = 2 * static_cast<int>(std::lround(value / 2));
  return std::clamp(even, 2, limit);
}

}  // namespace

void ApplyLetterBox(const TSettingLists& lists, int sourceWidth, int sourceHeight,
                    double sourceAspect, TOutputOptions& options) {
  if (lists.ComboLetterBox.Text() != "LetterBox" || options.DisableVideo) return;
  if (sourceWidth <= 0 || sourceHeight <= 0) return;
  TSize frame;
  if (!ParseSize(options.FrameSize, frame) || frame.Width % 2 || frame.Height % 2) return;

  const double pictureAspect =
      Usable(sourceAspect) ? sourceAspect : double(sourceWidth) / sourceHeight;
  const double storedFrameAspect = double(frame.Width) / frame.Height;
  const bool squarePixels = lists.ComboAspectRatio.Text() == "Original";
  if (squarePixels)
    options.AspectRatio = SourceAspectText(VideoSizeText(frame.Width, frame.Height));
  const double shownAspect = squarePixels ? 0 : ParseAspect(options.AspectRatio);
  const double frameAspect = Usable(shownAspect) ? shownAspect : storedFrameAspect;
  // The picture's width-to-height in stored pixels of the output.
  const double innerAspect = pictureAspect * storedFrameAspect / frameAspect;

  TSize inner = frame;
  if (innerAspect > storedFrameAspect)
    inner.Height = EvenWithin(frame.Width / innerAspect, frame.Height);
  else
    inner.Width = EvenWithin(frame.Height * innerAspect, frame.Width);
  if (inner.Width == frame.Width && inner.Height == frame.Height) return;

  const int padX = frame.Width - inner.Width, padY = frame.Height - inner.Height;
  options.FrameSize = std::to_string(inner.Width) + "x" + std::to_string(inner.Height);
  options.PadLeft = padX / 4 * 2;
  options.PadRight = padX - options.PadLeft;
  options.PadTop = padY / 4 * 2;
  options.PadBottom = padY - options.PadTop;
}

}  // namespace presets
