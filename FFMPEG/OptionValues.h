// Reading option values: strict whole-text integer and decimal conversion,
// the C-style leading-number reads of the map and matrix options, trimming.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// The whole text must be an integer (optional sign, decimal digits or a "0x"
// or "$" hexadecimal prefix, surrounding blanks allowed) that fits the type;
// otherwise FFMpegException "'%s' is not a valid integer value".
int32_t StrictInt32(const std::string& text);
int64_t StrictInt64(const std::string& text);
// As above, but gives `fallback` instead of failing.
int32_t Int32OrDefault(const std::string& text, int32_t fallback);

// The whole text must be a finite decimal number with "." as the separator;
// otherwise FFMpegException "'%s' is not a valid floating point value".
double StrictDouble(const std::string& text);
float StrictFloat(const std::string& text);
double DoubleOrDefault(const std::string& text, double fallback);

// strtol with base 0 (decimal, "0x" hexadecimal, leading 0 octal) from
// `pos`: skips blanks, reads as far as a number goes, moves `pos` past it.
// Nothing readable gives 0 and leaves `pos`. Saturates at the int32 range.
int32_t LeadingInt(std::string_view text, size_t& pos);
// The same for a decimal number ("." separator, locale-independent).
double LeadingDouble(std::string_view text, size_t& pos);

std::string Trimmed(std::string_view text);
std::string UpperCase(std::string_view text);

}  // namespace engine
