#include "OptionValues.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "FFmpeg.h"
#include "Format.h"

namespace engine {

namespace {

bool IsBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Parses the whole view as an integer of type T; false when it is not one.
template <typename T>
bool ParseWholeInteger(std::string_view text, T& out) {
  text = TrimView(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 1 && text[0] == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text.front()))) return false;
  uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
  if (magnitude > limit) return false;
  out = negative ? static_cast<T>(0 - magnitude) : static_cast<T>(magnitude);
  return true;
}

bool ParseWholeDouble(std::string_view text, double& out) {
  text = TrimView(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

[[noreturn]] void NotAnInteger(const std::string& text) {
  throw FFMpegException(Format("'%s' is not a valid integer value", text.c_str()));
}

[[noreturn]] void NotADecimal(const std::string& text) {
  throw FFMpegException(Format("'%s' is not a valid floating point value", text.c_str()));
}

}  // namespace

int32_t StrictInt32(const std::string& text) {
  int32_t value = 0;
  if (!ParseWholeInteger(text, value)) NotAnInteger(text);
  return value;
}

int64_t StrictInt64(const std::string& text) {
  int64_t value = 0;
  if (!ParseWholeInteger(text, value)) NotAnInteger(text);
  return value;
}

int32_t Int32OrDefault(const std::string& text, int32_t fallback) {
  int32_t value = 0;
  return ParseWholeInteger(text, value) ? value : fallback;
}

double StrictDouble(const std::string& text) {
  double value = 0;
  if (!ParseWholeDouble(text, value)) NotADecimal(text);
  return value;
}

float StrictFloat(const std::string& text) {
  const double value = StrictDouble(text);
  if (std::fabs(value) > std::numeric_limits<float>::max()) NotADecimal(text);
  return static_cast<float>(value);
}

double DoubleOrDefault(const std::string& text, double fallback) {
  double value = 0;
  return ParseWholeDouble(text, value) ? value : fallback;
}

int32_t LeadingInt(std::string_view text, size_t& pos) {
  const std::string rest(text.substr(std::min(pos, text.size())));
  char* end = nullptr;
  const long value = std::strtol(rest.c_str(), &end, 0);
  pos += static_cast<size_t>(end - rest.c_str());
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double LeadingDouble(std::string_view text, size_t& pos) {
  size_t at = std::min(pos, text.size());
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && text[at] == '+') ++at;
  double value = 0;
  auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
  if (error == std::errc::invalid_argument) return 0;
  pos = static_cast<size_t>(end - text.data());
  return value;
}

std::string Trimmed(std::string_view text) {
  return std::string(TrimView(text));
}

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace engine
