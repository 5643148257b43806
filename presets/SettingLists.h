// The window's eleven pick-only setting lists and the extension of the
// accepted output format, as one value passed to the catalogue, the presets
// and the translations (nothing here is process-wide).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ComboModel.h"

namespace presets {

struct TSettingLists {
  TSettingLists();  // names every list and sets the window's fixed items

  TComboModel ComboOutputFormat{"ComboOutputFormat"};
  TComboModel ComboVideoCodec{"ComboVideoCodec"};
  TComboModel ComboVideoSize{"ComboVideoSize"};
  TComboModel ComboVideoBitrate{"ComboVideoBitrate"};
  TComboModel ComboVideoFramerate{"ComboVideoFramerate"};
  TComboModel ComboAudioCodec{"ComboAudioCodec"};
  TComboModel ComboAudioBitrate{"ComboAudioBitrate"};
  TComboModel ComboSamplingRate{"ComboSamplingRate"};
  TComboModel ComboAudioChannels{"ComboAudioChannels"};
  TComboModel ComboAspectRatio{"ComboAspectRatio"};
  TComboModel ComboLetterBox{"ComboLetterBox"};

  // Upper-case extension of the accepted output format, without the dot.
  std::string OutputExtension;

  // The list of that name, or null.
  TComboModel* Find(std::string_view listName);
  const TComboModel* Find(std::string_view listName) const;
  // All eleven names, in the order above.
  static std::vector<std::string_view> ListNames();

  bool operator==(const TSettingLists&) const = default;
};

// Items the window puts into its fixed lists at creation.
inline constexpr std::string_view kChannelItems[] = {"Stereo", "Mono"};
inline constexpr std::string_view kAspectRatioItems[] = {"Original", "4:3 (Standard",
                                                         "16:9 (Wide Screen)"};
inline constexpr std::string_view kLetterBoxItems[] = {"None", "LetterBox"};

// Selects the item text in the named list (the command line's
// --set ComboVideoSize="320 x 240 (VGA)"). On failure returns false and puts a
// message into error that names the list's items (or the known lists).
bool SelectSetting(TSettingLists& lists, std::string_view listName, std::string_view itemText,
                   std::string& error);

}  // namespace presets
