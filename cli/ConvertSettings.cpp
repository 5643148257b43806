#include "ConvertSettings.h"

#include <charconv>

#include "Catalogue.h"

namespace cli {

namespace {

// The list the format choice fills; picking it by --set would skip the
// entry's preset.
constexpr std::string_view kFormatList = "ComboOutputFormat";
constexpr std::string_view kLetterBoxItem = "LetterBox";

int PositionFromNumber(const std::string& text) {
  int position = -1;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, position);
  return failure == std::errc() && stop == end ? position : -1;
}

int PositionFromText(const std::string& text) {
  const auto items = presets::OutputFormatItems();
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == text && !presets::IsSeparatorItem(items[i])) return static_cast<int>(i);
  return -1;
}

}  // namespace

int FindFormatPosition(const std::string& text, std::string& error) {
  const auto items = presets::OutputFormatItems();
  const int count = static_cast<int>(items.size());
  const bool numeric = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  if (!numeric) {
    const int position = PositionFromText(text);
    if (position < 0) error = "unknown format \"" + text + "\"; `reelshift-cli formats` lists them";
    return position;
  }
  const int position = PositionFromNumber(text);
  if (position < 0 || position >= count) {
    error =
        "format position " + text + " is outside the list (0 to " + std::to_string(count - 1) + ")";
    return -1;
  }
  if (presets::IsSeparatorItem(items[position])) {
    error = "format position " + text + " is a separator, not a format";
    return -1;
  }
  return position;
}

bool BuildSettingLists(const TConvertRequest& request, presets::TSettingLists& lists,
                       std::string& error) {
  const int position = FindFormatPosition(request.Format, error);
  if (position < 0) return false;
  presets::FillOutputFormatCombo(lists);
  lists.ComboOutputFormat.Select(position);
  if (!presets::SelectOutputFormat(lists)) {
    error = "format \"" + request.Format + "\" is not an entry of the catalogue";
    return false;
  }
  lists.ComboAspectRatio.Select(request.AspectItem);
  if (request.LetterBox) lists.ComboLetterBox.SelectText(kLetterBoxItem);
  for (const TSettingChoice& choice : request.Settings) {
    if (choice.List == kFormatList) {
      error = "the output format is chosen with -f, not with --set " + choice.List;
      return false;
    }
    if (!presets::SelectSetting(lists, choice.List, choice.Item, error)) return false;
  }
  return true;
}

}  // namespace cli
