// The setting lists of a convert run, set up the way a person sets up the
// window: pick the output format (its preset fills the lists), then the
// aspect and letterbox choices, then each --set pick in the order given.
#pragma once

#include <string>

#include "ConvertOptions.h"
#include "SettingLists.h"

namespace cli {

// The position of the entry named by text in the 50-item list: its exact
// list text, or its position as a number. -1 with a message when the text
// names no entry (unknown, out of range, or a separator).
int FindFormatPosition(const std::string& text, std::string& error);

// False with a message for a person when a choice cannot be made.
bool BuildSettingLists(const TConvertRequest& request, presets::TSettingLists& lists,
                       std::string& error);

}  // namespace cli
