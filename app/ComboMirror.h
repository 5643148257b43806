// The window's pick-only lists are presets::TComboModel values; these are
// the real combo boxes that show them. The model is mirrored into the widget
// after every change of the model, and the user's pick goes into the model.
#pragma once

#include <QComboBox>
#include <functional>

#include "ComboModel.h"

// A pick-only combo box that says when its list is about to drop down.
class TComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> OnDropDown;
  void showPopup() override;
};

// Items and selection of the model into the widget, without raising the
// widget's change signals. Items are only rebuilt when they differ.
void MirrorCombo(const presets::TComboModel& model, QComboBox& combo);
