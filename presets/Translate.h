// Turning the texts of the window's setting lists into the output options of
// one file. The translations write encoder names as the catalogue knows them
// ("libfaac", "libamr_nb", ...); the stand-ins for the loaded build are applied
// afterwards in one place (EncoderStandIns.h).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "OptionRecords.h"
#include "SettingLists.h"

namespace presets {

// Raised when a numeric text is not a number (for instance an audio bitrate
// or sample-rate list without a selection).
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A decimal 32-bit integer; anything else raises EConvertError.
int32_t StrToInt(std::string_view text);

// The part of text before its first blank; empty when there is no blank.
std::string ValueBeforeBlank(std::string_view text);

// "176 x 144 (QCIF)" -> "176x144": cut before the first "(", drop the blanks.
// Not validated here.
std::string FrameSizeFromText(std::string_view text);

// The FrameSize a size item asks for: empty for "Original Video Size" and
// "Auto" (the output keeps the source's size), else FrameSizeFromText.
std::string FrameSizeChoice(std::string_view text);

// The FrameRate a frame-rate item asks for: empty for "Auto" or no selection,
// an exact ratio for the NTSC-style rates ("29.97 fps" -> "30000/1001"),
// otherwise the number before the blank.
std::string FrameRateFromText(std::string_view text);

// List text to encoder name: lower case, then "h264" -> "libx264" and
// "xvid" -> "libxvid".
std::string VideoEncoderName(std::string_view listText);
// Lower case, then "aac" and "mpeg4aac" -> "libfaac", "mp3" -> "libmp3lame",
// "amr_nb" -> "libamr_nb".
std::string AudioEncoderName(std::string_view listText);

// Extensions whose outputs have their video switched off (compared in lower case).
bool IsAudioOnlyExtension(std::string_view extension);

// The three translations. RowIndex is the file's row; they do not use it.
// A numeric text that is not a number raises EConvertError, leaving the
// fields written so far.
void TranslateSettings(const TSettingLists& lists, int RowIndex, TOutputOptions& options);
void TranslateAacDeviceSettings(const TSettingLists& lists, int RowIndex, TOutputOptions& options);
void TranslateAmrPhoneSettings(const TSettingLists& lists, int RowIndex, TOutputOptions& options);

using TTranslateFn = void (*)(const TSettingLists& lists, int RowIndex, TOutputOptions& options);

}  // namespace presets
