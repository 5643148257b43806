// The file list's handlers: adding files with their probed facts, removing,
// clearing, checking, and choosing the output folder.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <exception>

#include "Form1.h"
#include "Prompts.h"

void TForm1::ButtonAddFileClick() {
  if (Converting || AddingFiles) return;
  Converter.ClearTasks();
  ClearProgressCells();
  const QStringList chosen = prompts_.ChooseFiles(this, inputFilter_);
  std::vector<std::string> files;
  for (const QString& file : chosen) files.push_back(QFile::encodeName(file).toStdString());
  AddFileNames(files);
}

void TForm1::AddFileNames(const std::vector<std::string>& fileNames) {
  if (AddingFiles) return;
  AddingFiles = true;
  const QString extension = QString::fromStdString(Lists.OutputExtension);
  try {
    for (const std::string& file : fileNames) {
      ListView1->AddRow(file, ProbeRow(Converter.Probe, file), extension);
      ListView1->scrollToItem(ListView1->topLevelItem(ListView1->RowCount() - 1));
      QApplication::processEvents();
    }
  } catch (const std::exception&) {
    // The libraries are gone: adding ends here, the rows added so far stay.
  }
  AddingFiles = false;
}

void TForm1::ClearProgressCells() {
  ListView1->SetColumnText(colProgress, QString());
  ListView1->SetColumnText(colFrames, QString());
}

void TForm1::DeleteSelectedItem1Click() {
  if (AddingFiles || Converting) return;
  const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
  if (!selected.isEmpty()) delete selected.first();
}

void TForm1::ClearAllItems1Click() {
  if (AddingFiles || Converting) return;
  Converter.ClearTasks();
  ListView1->clear();
}

void TForm1::CheckAllItems1Click() {
  ListView1->SetAllChecked(true);
}

void TForm1::UncheckAllItems1Click() {
  ListView1->SetAllChecked(false);
}

void TForm1::ButtonBrowseForFolderClick() {
  if (Converting) return;
  const QString folder =
      prompts_.ChooseFolder(this, "Choose the required output directory below :");
  if (!folder.isEmpty()) EditOutputFolder->setText(folder);
}
