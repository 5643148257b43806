#include "ComboModel.h"

namespace presets {

std::string TComboModel::Text() const {
  if (itemIndex_ < 0 || itemIndex_ >= Count()) return {};
  return items_[itemIndex_];
}

void TComboModel::Clear() {
  items_.clear();
  itemIndex_ = -1;
}

void TComboModel::Add(std::string_view item) {
  items_.emplace_back(item);
}

bool TComboModel::Select(int index) {
  const bool inRange = index >= 0 && index < Count();
  itemIndex_ = inRange ? index : -1;
  return inRange;
}

bool TComboModel::SelectText(std::string_view text) {
  const int index = IndexOf(text);
  if (index < 0) return false;
  itemIndex_ = index;
  return true;
}

int TComboModel::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i] == text) return i;
  return -1;
}

}  // namespace presets
