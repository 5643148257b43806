#include "Prompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

void TDesktopPrompts::Information(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Information, "Information", text, QMessageBox::Ok, parent);
  box.exec();
}

bool TDesktopPrompts::Confirm(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, "Confirmation", text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  return box.exec() == QMessageBox::Yes;
}

QStringList TDesktopPrompts::ChooseFiles(QWidget* parent, const QString& filter) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::ExistingFiles);  // several files, all of which must exist
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setSizeGripEnabled(true);
  dialog.setNameFilter(DialogFilter(filter));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString TDesktopPrompts::ChooseFolder(QWidget* parent, const QString& headline) {
  return QFileDialog::getExistingDirectory(parent, headline, QString(), QFileDialog::ShowDirsOnly);
}

void TDesktopPrompts::OpenUrl(const QUrl& url) {
  QDesktopServices::openUrl(url);
}

void TDesktopPrompts::Quit() {
  QCoreApplication::exit(0);
}

QString DialogFilter(const QString& barSeparated) {
  const QStringList parts = barSeparated.split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString description = parts[i];
    // The description already names its patterns in brackets; Qt reads the
    // patterns from the last brackets, so give it the blank-separated form.
    const int bracket = description.lastIndexOf('(');
    if (bracket >= 0) description = description.left(bracket).trimmed();
    filters << description + " (" + patterns + ")";
  }
  return filters.join(";;");
}
