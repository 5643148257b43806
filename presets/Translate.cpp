#include "Translate.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace presets {
namespace {

struct TNameMap {
  std::string_view From, To;
};

constexpr TNameMap kVideoEncoders[] = {{"h264", "libx264"}, {"xvid", "libxvid"}};

constexpr TNameMap kAudioEncoders[] = {
    {"aac", "libfaac"}, {"mp3", "libmp3lame"}, {"mpeg4aac", "libfaac"}, {"amr_nb", "libamr_nb"}};

// Rates that the lists show rounded and that stand for an exact ratio.
constexpr TNameMap kExactRates[] = {{"14.985", "15000/1001"},
                                    {"23.975", "24000/1001"},
                                    {"23.976", "24000/1001"},
                                    {"29.97", "30000/1001"},
                                    {"59.94", "60000/1001"}};

constexpr std::string_view kAudioOnlyExtensions[] = {"aac", "ac3", "au",  "mp2", "mp3", "wav",
                                                     "wma", "ra",  "m4a", "asf", "amr", "ogg"};

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

template <size_t N>
std::string MapName(const TNameMap (&map)[N], std::string name) {
  for (const auto& entry : map)
    if (entry.From == name) return std::string(entry.To);
  return name;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The video bitrate, size and sample-rate steps that all three share.
struct TCommonTexts {
  std::string VideoBitrate, SampleRate;
};

TCommonTexts ReadCommon(const TSettingLists& lists) {
  return {ValueBeforeBlank(lists.ComboVideoBitrate.Text()) + "000",
          ValueBeforeBlank(lists.ComboSamplingRate.Text())};
}

void WriteVideo(const TSettingLists& lists, TOutputOptions& options) {
  options.VideoCodec = VideoEncoderName(lists.ComboVideoCodec.Text());
  options.FrameSize = FrameSizeChoice(lists.ComboVideoSize.Text());
  options.FrameRate = FrameRateFromText(lists.ComboVideoFramerate.Text());
}

void WriteNumbers(const TCommonTexts& texts, const std::string& audioBitrate,
                  TOutputOptions& options) {
  options.VideoBitrate = StrToInt(texts.VideoBitrate);
  options.AudioBitrate = StrToInt(audioBitrate);
  options.AudioSampleRate = StrToInt(texts.SampleRate);
}

}  // namespace

int32_t StrToInt(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

std::string ValueBeforeBlank(std::string_view text) {
  const size_t blank = text.find(' ');
  return blank == std::string_view::npos ? std::string() : std::string(text.substr(0, blank));
}

std::string FrameSizeFromText(std::string_view text) {
  std::string result(text.substr(0, text.find('(')));
  std::erase(result, ' ');
  return result;
}

std::string FrameSizeChoice(std::string_view text) {
  if (text == "Original Video Size" || text == "Auto") return {};
  return FrameSizeFromText(text);
}

std::string FrameRateFromText(std::string_view text) {
  const std::string value = ValueBeforeBlank(text);
  return MapName(kExactRates, value);
}

std::string VideoEncoderName(std::string_view listText) {
  return MapName(kVideoEncoders, LowerCase(listText));
}

std::string AudioEncoderName(std::string_view listText) {
  return MapName(kAudioEncoders, LowerCase(listText));
}

bool IsAudioOnlyExtension(std::string_view extension) {
  const std::string lower = LowerCase(extension);
  return std::find(std::begin(kAudioOnlyExtensions), std::end(kAudioOnlyExtensions), lower) !=
         std::end(kAudioOnlyExtensions);
}

void TranslateSettings(const TSettingLists& lists, int, TOutputOptions& options) {
  const TCommonTexts texts = ReadCommon(lists);
  const std::string audioText = lists.ComboAudioBitrate.Text();
  std::string audioBitrate = ValueBeforeBlank(audioText);
  if (Contains(audioText, "Kbps")) audioBitrate += "000";

  WriteVideo(lists, options);
  options.AudioCodec = AudioEncoderName(lists.ComboAudioCodec.Text());
  options.AudioChannels = lists.ComboAudioChannels.Text() == "Stereo" ? 2 : 1;
  if (lists.OutputExtension == "3GP" || lists.OutputExtension == "3G2") options.AudioChannels = 1;
  if (IsAudioOnlyExtension(lists.OutputExtension)) options.DisableVideo = true;
  WriteNumbers(texts, audioBitrate, options);
}

void TranslateAacDeviceSettings(const TSettingLists& lists, int, TOutputOptions& options) {
  const TCommonTexts texts = ReadCommon(lists);
  const std::string audioBitrate = ValueBeforeBlank(lists.ComboAudioBitrate.Text()) + "000";
  WriteVideo(lists, options);
  options.AudioCodec = "libfaac";
  WriteNumbers(texts, audioBitrate, options);
}

void TranslateAmrPhoneSettings(const TSettingLists& lists, int, TOutputOptions& options) {
  const TCommonTexts texts = ReadCommon(lists);
  const std::string audioBitrate = ValueBeforeBlank(lists.ComboAudioBitrate.Text());
  WriteVideo(lists, options);
  options.AudioCodec = "libamr_nb";
  options.AudioChannels = 1;
  WriteNumbers(texts, audioBitrate, options);
}

}  // namespace presets
