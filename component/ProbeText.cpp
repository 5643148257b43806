#include "ProbeText.h"

#include <cmath>
#include <cstdio>

namespace component {

std::string VideoSizeText(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string FrameRateText(int numerator, int denominator) {
  if (numerator <= 0 || denominator <= 0) return "Unknown";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(numerator) / denominator);
  std::string result = text;
  while (result.back() == '0') result.pop_back();
  if (result.back() == '.') result.pop_back();
  return result;
}

std::string DurationText(int64_t microseconds) {
  const int64_t seconds = microseconds / 1000000;
  const int64_t minutes = seconds / 60;
  char text[96];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(minutes / 60),
                static_cast<long long>(minutes % 60),
                static_cast<long long>(seconds - 60 * minutes));
  const std::string result = text;
  return result.find('-') == std::string::npos ? result : "Unknown";
}

}  // namespace component
