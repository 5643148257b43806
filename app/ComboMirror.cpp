#include "ComboMirror.h"

#include <QSignalBlocker>

void TComboBox::showPopup() {
  if (OnDropDown) OnDropDown();
  QComboBox::showPopup();
}

namespace {

bool SameItems(const presets::TComboModel& model, const QComboBox& combo) {
  if (model.Count() != combo.count()) return false;
  for (int i = 0; i < model.Count(); ++i)
    if (combo.itemText(i) != QString::fromStdString(model.Items()[i])) return false;
  return true;
}

}  // namespace

void MirrorCombo(const presets::TComboModel& model, QComboBox& combo) {
  const QSignalBlocker blocker(combo);
  if (!SameItems(model, combo)) {
    combo.clear();
    for (const std::string& item : model.Items()) combo.addItem(QString::fromStdString(item));
  }
  combo.setCurrentIndex(model.ItemIndex());
}
