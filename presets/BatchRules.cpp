#include "BatchRules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace presets {
namespace {

bool Exists(const TFileExists& exists, const std::string& path) {
  if (exists) return exists(path);
  std::error_code error;
  return std::filesystem::exists(path, error);
}

// Index of the dot that starts the last component's extension, or npos.
size_t ExtensionDot(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return std::string::npos;
  return dot;
}

std::string WithoutExtension(const std::string& path) {
  return path.substr(0, ExtensionDot(path));
}

std::string Trim(std::string_view text) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

bool ParseInt(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Decimal text of value to at most `decimals` places, without trailing zeros.
std::string ShortDecimal(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const long long scaled = std::llrint(value * scale);
  std::string text = std::to_string(scaled / static_cast<long long>(scale));
  const long long fraction = scaled % static_cast<long long>(scale);
  if (fraction == 0) return text;
  std::string tail = std::to_string(fraction);
  tail.insert(0, decimals - tail.size(), '0');
  while (tail.back() == '0') tail.pop_back();
  return text + "." + tail;
}

std::string TwoDigits(int64_t value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

constexpr TVolumeStep kVolumeSteps[] = {{"0%", 1},     {"20%", 50},   {"40%", 100},  {"60%", 150},
                                        {"80%", 200},  {"100%", 255}, {"120%", 300}, {"140%", 350},
                                        {"160%", 400}, {"180%", 450}, {"200%", 600}};

}  // namespace

std::string UniqueOutputName(const std::string& name, const std::string& ext,
                             const TFileExists& exists) {
  const std::string base = WithoutExtension(name);
  if (!Exists(exists, base + ext)) return base + ext;
  for (int n = 1;; ++n) {
    const std::string candidate = base + "-" + std::to_string(n) + ext;
    if (!Exists(exists, candidate)) return candidate;
  }
}

std::string OutputFileName(const std::string& folder, const std::string& source,
                           std::string_view outputExtension, bool overwrite,
                           const TFileExists& exists) {
  std::string dir = folder;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  const std::string trimmed = Trim(source);
  const std::string sourceName = trimmed.substr(trimmed.rfind('/') + 1);
  std::string ext = ".";
  for (char c : outputExtension)
    ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string name = (dir == "/" ? dir : dir + "/") + sourceName;
  if (overwrite) return WithoutExtension(name) + ext;
  return UniqueOutputName(name, ext, exists);
}

std::string SourceAspectText(const std::string& videoSizeCell) {
  std::string size = Trim(videoSizeCell);
  if (size.empty()) size = "640x480";
  const size_t x = size.find('x');
  int width = 0, height = 0;
  if (x == std::string::npos || !ParseInt(std::string_view(size).substr(0, x), width) ||
      !ParseInt(std::string_view(size).substr(x + 1), height) || width <= 0 || height <= 0)
    return "1.3333";
  return ShortDecimal(double(width) / height, 4);
}

void ApplyAspectChoice(int aspectItemIndex, const std::string& videoSizeCell,
                       TOutputOptions& options) {
  switch (aspectItemIndex) {
    case 0:
      options.AspectRatio = SourceAspectText(videoSizeCell);
      break;
    case 1:
      options.AspectRatio = "4:3";
      break;
    case 2:
      options.AspectRatio = "16:9";
      break;
    default:
      break;
  }
}

TVolumeStep VolumeStep(int position) {
  return kVolumeSteps[std::clamp(position, 0, static_cast<int>(std::size(kVolumeSteps)) - 1)];
}

std::string VideoSizeText(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string DurationText(int64_t microseconds) {
  if (microseconds < 0) return "Unknown";
  const int64_t seconds = microseconds / 1000000;
  const int64_t minutes = seconds / 60;
  return TwoDigits(minutes / 60) + ":" + TwoDigits(minutes % 60) + ":" +
         TwoDigits(seconds - 60 * minutes);
}

std::string FrameRateText(int numerator, int denominator) {
  if (numerator <= 0 || denominator <= 0) return " ";
  return ShortDecimal(double(numerator) / denominator, 2);
}

int ProgressPercent(int64_t current, int64_t total) {
  if (total <= 0 || current <= 0) return 0;
  const auto percent = static_cast<__int128>(current) * 100 / total;
  return percent >= 100 ? 100 : static_cast<int>(percent);
}

}  // namespace presets
