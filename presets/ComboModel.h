// A toolkit-free pick-only list: a name, its items and the selected item.
// The window mirrors these into real combo boxes; the command line uses them
// directly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace presets {

class TComboModel {
 public:
  explicit TComboModel(std::string name = {}) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  int ItemIndex() const { return itemIndex_; }
  // The selected item, or empty when nothing is selected.
  std::string Text() const;

  void Clear();
  void Add(std::string_view item);
  // Selects the item at index; an index outside the items selects nothing and
  // returns false (-1 is the plain way to clear the selection).
  bool Select(int index);
  // Selects the first item equal to text; unchanged and false when absent.
  bool SelectText(std::string_view text);
  int IndexOf(std::string_view text) const;

  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int count) { dropDownCount_ = count; }

  bool operator==(const TComboModel&) const = default;

 private:
  std::string name_;
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
};

}  // namespace presets
