// TFormAbout, the About box: the program's name and version, a link to the
// maker's web site and one that starts an e-mail to its support address.
#pragma once

#include <QDialog>
#include <QLabel>
#include <functional>

class QFrame;
class QToolButton;
class TForm1;

// A blue underlined label with a hand cursor that acts when clicked.
class TLinkLabel : public QLabel {
 public:
  TLinkLabel(const QString& text, QWidget* parent);
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class TFormAbout : public QDialog {
 public:
  // Applies the font rule; attaches itself to the main window.
  explicit TFormAbout(TForm1& main);

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QFrame* PanelDemar1 = nullptr;
  TLinkLabel* Label2 = nullptr;
  TLinkLabel* Label3 = nullptr;
  QFrame* PanelDemar2 = nullptr;
  QToolButton* SpeedButton1 = nullptr;

  void Label2Click();
  void Label3Click();
  void SpeedButton1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TForm1& main_;
};
