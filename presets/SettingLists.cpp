#include "SettingLists.h"

#include <span>

namespace presets {
namespace {

using TListMember = TComboModel TSettingLists::*;

struct TNamedList {
  std::string_view Name;
  TListMember Member;
};

constexpr TNamedList kLists[] = {
    {"ComboOutputFormat", &TSettingLists::ComboOutputFormat},
    {"ComboVideoCodec", &TSettingLists::ComboVideoCodec},
    {"ComboVideoSize", &TSettingLists::ComboVideoSize},
    {"ComboVideoBitrate", &TSettingLists::ComboVideoBitrate},
    {"ComboVideoFramerate", &TSettingLists::ComboVideoFramerate},
    {"ComboAudioCodec", &TSettingLists::ComboAudioCodec},
    {"ComboAudioBitrate", &TSettingLists::ComboAudioBitrate},
    {"ComboSamplingRate", &TSettingLists::ComboSamplingRate},
    {"ComboAudioChannels", &TSettingLists::ComboAudioChannels},
    {"ComboAspectRatio", &TSettingLists::ComboAspectRatio},
    {"ComboLetterBox", &TSettingLists::ComboLetterBox},
};

void Fill(TComboModel& list, std::span<const std::string_view> items) {
  list.Clear();
  for (auto item : items) list.Add(item);
  list.Select(0);
}

std::string QuotedList(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "\"" : ", \"") + item + "\"";
  return text.empty() ? "(none)" : text;
}

}  // namespace

TSettingLists::TSettingLists() {
  Fill(ComboAudioChannels, kChannelItems);
  Fill(ComboAspectRatio, kAspectRatioItems);
  Fill(ComboLetterBox, kLetterBoxItems);
}

TComboModel* TSettingLists::Find(std::string_view listName) {
  for (const auto& list : kLists)
    if (list.Name == listName) return &(this->*list.Member);
  return nullptr;
}

const TComboModel* TSettingLists::Find(std::string_view listName) const {
  return const_cast<TSettingLists*>(this)->Find(listName);
}

std::vector<std::string_view> TSettingLists::ListNames() {
  std::vector<std::string_view> names;
  for (const auto& list : kLists) names.push_back(list.Name);
  return names;
}

bool SelectSetting(TSettingLists& lists, std::string_view listName, std::string_view itemText,
                   std::string& error) {
  TComboModel* list = lists.Find(listName);
  if (!list) {
    const auto known = TSettingLists::ListNames();
    std::vector<std::string> names(known.begin(), known.end());
    error = "unknown setting list \"" + std::string(listName) + "\"; lists: " + QuotedList(names);
    return false;
  }
  if (list->SelectText(itemText)) return true;
  error = "\"" + std::string(itemText) + "\" is not an item of " + list->Name() +
          "; items: " + QuotedList(list->Items());
  return false;
}

}  // namespace presets
