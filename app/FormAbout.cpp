#include "FormAbout.h"

#include <QFrame>
#include <QMouseEvent>
#include <QShowEvent>
#include <QToolButton>

#include "Form1.h"
#include "Help.h"
#include "ProgramIcon.h"
#include "Prompts.h"
#include "WindowFont.h"

namespace {

QFrame* NewRule(QWidget* parent, const char* name, int top) {
  auto* rule = new QFrame(parent);
  rule->setObjectName(name);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  rule->setGeometry(15, top, 340, 2);
  return rule;
}

}  // namespace

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  setPalette(blue);
  setCursor(Qt::PointingHandCursor);
  adjustSize();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

TFormAbout::TFormAbout(TForm1& main) : QDialog(&main), main_(main) {
  setObjectName("FormAbout");
  setWindowTitle("About");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
  setWindowIcon(ProgramIcon());
  ApplyWindowFont(*this);
  setFixedSize(370, 260);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(ProgramIcon().pixmap(32, 32));
  Image1->setGeometry(15, 13, 32, 32);
  Label1 = new QLabel("Reelshift 4.0", this);
  Label1->setObjectName("Label1");
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Label1->adjustSize();
  Label1->move(83, 19);
  PanelDemar1 = NewRule(this, "PanelDemar1", 106);
  Label2 = new TLinkLabel("Visit Quillmark Website  for More Softwares ", this);
  Label2->setObjectName("Label2");
  Label2->move(86, 120);
  Label3 = new TLinkLabel("Contact Support Department", this);
  Label3->setObjectName("Label3");
  Label3->move(86, 148);
  PanelDemar2 = NewRule(this, "PanelDemar2", 178);
  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setText("OK");
  SpeedButton1->setFont(bold);
  SpeedButton1->setGeometry(276, 217, 80, 31);
  Label2->OnClick = [this] { Label2Click(); };
  Label3->OnClick = [this] { Label3Click(); };
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  main_.FormAbout = this;
}

void TFormAbout::Label2Click() {
  main_.Prompts().OpenUrl(WebsiteUrl());
}

void TFormAbout::Label3Click() {
  main_.Prompts().OpenUrl(SupportMailUrl());
}

void TFormAbout::SpeedButton1Click() {
  accept();
}

void TFormAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) move(main_.geometry().center() - rect().center());
}
