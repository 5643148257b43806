#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ProbeText.h"
#include "ReadableText.h"

namespace {

using component::IsValidUtf8;
using component::ReadableText;

struct Utf8Case {
  const char* bytes;
  bool valid;
};

TEST(ReadableText, RecognisesWellFormedUtf8Only) {
  const Utf8Case cases[] = {
      {"plain ascii", true},
      {"\xE4\xB8\xAD\xE6\x96\x87", true},  // 中文
      {"\xF0\x9F\x98\x80", true},          // a four-byte character
      {"\xC0\x80", false},                 // overlong zero
      {"\xE0\x80\xAF", false},             // overlong slash
      {"\xED\xA0\x80", false},             // a surrogate
      {"\xF4\x90\x80\x80", false},         // above U+10FFFF
      {"\xE4\xB8", false},                 // cut short
      {"\x80", false},                     // a lone continuation byte
  };
  for (const Utf8Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

struct DecodeCase {
  std::string bytes;
  std::string text;
};

TEST(ReadableText, DecodesLegacyEncodingsIntoUtf8) {
  const DecodeCase cases[] = {
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xE4\xB8\xAD\xE6\x96\x87"},  // UTF-8 stays as it is
      {"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},          // GBK 中文
      {"\xB0\xA1 title", "\xE5\x95\x8A title"},                  // GBK 啊
      {"Caf\xE9", "Caf\xC3\xA9"},                                // Latin-1, no legacy pair fits
      {"\xFF", "\xC3\xBF"},
      {std::string("cut\0rest", 8), "cut"},  // the text ends at the first zero byte
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(ReadableText(c.bytes), c.text) << c.bytes;
}

TEST(ReadableText, NeverGivesInvalidUtf8) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(static_cast<size_t>(random() % 24), '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 255 + 1);
    EXPECT_TRUE(IsValidUtf8(ReadableText(bytes))) << round;
  }
}

TEST(ProbeText, FrameRatesInTheirShortestForm) {
  const struct {
    int num, den;
    const char* text;
  } cases[] = {{25, 1, "25"},  {30, 1, "30"},     {30000, 1001, "29.97"}, {24000, 1001, "23.98"},
               {15, 2, "7.5"}, {0, 0, "Unknown"}, {25, 0, "Unknown"},     {-25, 1, "Unknown"}};
  for (const auto& c : cases)
    EXPECT_EQ(component::FrameRateText(c.num, c.den), c.text) << c.num << "/" << c.den;
}

TEST(ProbeText, DurationsAsHoursMinutesSeconds) {
  const struct {
    int64_t micros;
    const char* text;
  } cases[] = {{138950000, "00:02:18"}, {0, "00:00:00"},
               {999999, "00:00:00"},    {(3 * 3600 + 61) * 1000000LL, "03:01:01"},
               {INT64_MIN, "Unknown"},  {-1000000, "Unknown"}};
  for (const auto& c : cases) EXPECT_EQ(component::DurationText(c.micros), c.text) << c.micros;
  EXPECT_EQ(component::VideoSizeText(576, 324), "576x324");
}

}  // namespace
