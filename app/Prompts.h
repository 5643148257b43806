// Everything the window asks of the person in front of it or of the desktop:
// message boxes, the file and folder choosers, opening a link, ending the
// program. The window talks only to this interface, so that tests can answer
// in place of a person.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

class TPrompts {
 public:
  virtual ~TPrompts() = default;

  // A message box with the caption "Information" and the information icon.
  virtual void Information(QWidget* parent, const QString& text) = 0;
  // A question with the caption "Confirmation", Yes and No; true for Yes.
  virtual bool Confirm(QWidget* parent, const QString& text) = 0;
  // The open-file dialog: existing files, several at once; empty on cancel.
  virtual QStringList ChooseFiles(QWidget* parent, const QString& filter) = 0;
  // The folder browser with its headline; empty on cancel.
  virtual QString ChooseFolder(QWidget* parent, const QString& headline) = 0;
  // Opens a web page, a mailto: link or a local file; the result is ignored.
  virtual void OpenUrl(const QUrl& url) = 0;
  // Ends the program at once (no close check).
  virtual void Quit() = 0;
};

// The real thing: QMessageBox, QFileDialog, QDesktopServices.
class TDesktopPrompts : public TPrompts {
 public:
  void Information(QWidget* parent, const QString& text) override;
  bool Confirm(QWidget* parent, const QString& text) override;
  QStringList ChooseFiles(QWidget* parent, const QString& filter) override;
  QString ChooseFolder(QWidget* parent, const QString& headline) override;
  void OpenUrl(const QUrl& url) override;
  void Quit() override;
};

// The dialog's filter from the "Description|pattern;pattern|" form:
// "Description (pattern pattern)".
QString DialogFilter(const QString& barSeparated);
