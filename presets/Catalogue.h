// The output catalogue: the 45 formats and devices of the output-format list,
// with their extensions, settings-choice presets and translations, and the
// open-file dialog's filter.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ChoicePresets.h"
#include "EncoderStandIns.h"
#include "OptionRecords.h"
#include "SettingLists.h"
#include "Translate.h"

namespace presets {

// What an entry does: its settings-choice preset with the variant it passes,
// and its translation.
struct TPresetKey {
  TChoiceFn Choices;
  std::string_view Variant;
  TTranslateFn Translate;
};

struct TheAVCodec {
  std::string_view DisplayName;  // exact item text, also the lookup key
  std::string_view Extension;    // upper case, no dot
  TPresetKey PresetKey;
};

// The 45 entries, in the order the list shows them.
std::span<const TheAVCodec> OutputFormatCatalogue();

// The text of every separator item: 14 blanks and 41 "-".
inline constexpr std::string_view kSeparatorItem =
    "              -----------------------------------------";
// An item is a separator exactly when it contains this (14 blanks, 4 "-").
inline constexpr std::string_view kSeparatorMarker = "              ----";
bool IsSeparatorItem(std::string_view text);

// The 50 items of the output-format list: the entries in six groups with a
// separator between groups.
std::vector<std::string_view> OutputFormatItems();

// The entry whose display name equals text (case-sensitive), or null.
const TheAVCodec* FindOutputFormat(std::string_view text);

// Clears ComboOutputFormat, adds the 50 items, sets its drop-down count to 50
// and selects item 0.
void FillOutputFormatCombo(TSettingLists& lists);

// "All Supported Files (*.rm;*.rmvb;*.ram)|*.rm;*.rmvb;*.ram|"
void GetInputFileFilter(std::string& Filter);

// For the entry selected in ComboOutputFormat: sets OutputExtension and runs
// its settings-choice preset. Returns false and changes nothing when the text
// is no entry (empty or a separator).
bool SelectOutputFormat(TSettingLists& lists);

// For the selected entry: runs its translation into options, then puts in the
// stand-ins for encoders the loaded build lacks. Returns false and leaves
// options as they were when the text is no entry. RowIndex is handed on to
// the translation. EConvertError from the translation reaches the caller.
bool ApplyOutputFormat(const TSettingLists& lists, int RowIndex, TOutputOptions& options,
                       const TEncoderQuery& hasEncoder);

// The output-format list's change handler, minus the window's own steps.
// When the selected item is no entry (a separator, or nothing selected), the
// previously accepted index is selected again and returned, and nothing else
// changes. Otherwise SelectOutputFormat runs and the selected index, now the
// accepted one, is returned. The window then writes OutputExtension into its
// rows and remembers the index.
int OutputFormatChanged(TSettingLists& lists, int lastAcceptedIndex);

}  // namespace presets
