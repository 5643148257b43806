// TForm4, the "Additional Options" dialog: overwriting existing outputs and
// the number of visible items of the output-format list. Created once at
// start-up, right after the main window, when it loads the stored settings;
// "Done" only hides it.
#pragma once

#include <QDialog>
#include <QSpinBox>

class QCheckBox;
class QLineEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class TForm1;

// A spin edit whose value is read from its text as typed: a number outside
// the bounds counts as it is, a text that is no number counts as the minimum.
// Setting a value keeps it within the bounds.
class TSpinEdit : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  int TypedValue() const;
  // The edit that holds the text as typed.
  QLineEdit* Edit() const { return lineEdit(); }
};

class TForm4 : public QDialog {
 public:
  // Applies the font rule and loads the stored settings into both windows
  // (any failure there is ignored); attaches itself to the main window.
  explicit TForm4(TForm1& main);

  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* CheckBoxOverWrite = nullptr;
  TSpinEdit* SpinEdit1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* Button1 = nullptr;

  bool Overwrite() const;
  int DropDownItems() const { return SpinEdit1->TypedValue(); }

  void SpinEdit1Change();
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TForm1& main_;
};
