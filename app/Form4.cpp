#include "Form4.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "Form1.h"
#include "ProgramIcon.h"
#include "SettingsStore.h"
#include "WindowFont.h"

int TSpinEdit::TypedValue() const {
  bool ok = false;
  const int value = lineEdit()->text().trimmed().toInt(&ok);
  return ok ? value : minimum();
}

TForm4::TForm4(TForm1& main) : QDialog(&main), main_(main) {
  setObjectName("Form4");
  setWindowTitle("Additional Options");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
  setWindowIcon(ProgramIcon());
  ApplyWindowFont(*this);
  setFixedSize(408, 247);
  GroupBox1 = new QGroupBox(" Additional Options ", this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 9, 392, 144);
  CheckBoxOverWrite = new QCheckBox("Overwrite Existing File With The Same Name", GroupBox1);
  CheckBoxOverWrite->setObjectName("CheckBoxOverWrite");
  CheckBoxOverWrite->setGeometry(12, 35, 373, 17);
  SpinEdit1 = new TSpinEdit(GroupBox1);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setRange(26, 47);
  SpinEdit1->setValue(27);
  SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  SpinEdit1->setGeometry(12, 84, 40, 22);
  Label1 = new QLabel(" Drop Down Items in Output Format List", GroupBox1);
  Label1->setObjectName("Label1");
  Label1->adjustSize();
  Label1->move(58, 87);
  Button1 = new QPushButton("Done", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(282, 178, 118, 43);
  connect(SpinEdit1->Edit(), &QLineEdit::textChanged, this, [this] { SpinEdit1Change(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  main_.Form4 = this;
  try {
    LoadSettings(main_, *this);
  } catch (...) {
  }
}

bool TForm4::Overwrite() const {
  return CheckBoxOverWrite->isChecked();
}

void TForm4::SpinEdit1Change() {
  main_.SetDropDownCount(DropDownItems());
}

void TForm4::Button1Click() {
  hide();
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) move(main_.geometry().center() - rect().center());
}
