#include "ReadableText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <optional>

namespace component {

namespace {

// The legacy encodings tried in order after UTF-8.
constexpr const char* kLegacyEncodings[] = {"GB18030", "BIG5"};

// The length of the UTF-8 sequence starting at `at`, or 0 when it is not a
// well-formed one.
size_t SequenceLength(std::string_view bytes, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}

class Converter {
 public:
  explicit Converter(const char* from) : cd_(iconv_open("UTF-8", from)) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // The whole input converted, or nothing when any of it does not convert.
  std::optional<std::string> Convert(std::string_view bytes) {
    std::string input(bytes);
    std::string output(input.size() * 4 + 16, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    if (iconv(cd_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
    if (iconv(cd_, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
      return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
  }

 private:
  iconv_t cd_;
};

std::string FromLatin1(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto code = static_cast<uint8_t>(c);
    if (code < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = SequenceLength(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string ReadableText(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  if (IsValidUtf8(bytes)) return std::string(bytes);
  for (const char* encoding : kLegacyEncodings) {
    Converter converter(encoding);
    if (!converter.Valid()) continue;
    std::optional<std::string> text = converter.Convert(bytes);
    if (text && IsValidUtf8(*text)) return *text;
  }
  return FromLatin1(bytes);
}

}  // namespace component
