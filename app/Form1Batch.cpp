// The batch driver: converts the ticked rows one after another, one task per
// batch, and moves on from a 100 ms timer on the UI thread.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <exception>

#include "BatchRules.h"
#include "Catalogue.h"
#include "Form1.h"
#include "Form4.h"
#include "LetterBox.h"
#include "Prompts.h"

namespace {

QString MissingFolderText(const QString& folder) {
  return "The output folder \"" + folder + "\"" + "\n\r" + "does not exist or has been deleted!" +
         "\n\r" + "Please choose a new output folder.";
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

void TForm1::ButtonConvertClick() {
  if (AddingFiles || Converting) return;
  ClearProgressCells();
  if (ListView1->RowCount() == 0) {
    prompts_.Information(this, "Please Add Files To Convert!");
    return;
  }
  if (EditOutputFolder->text().isEmpty()) {
    prompts_.Information(this, "Please select an output folder!");
    ButtonBrowseForFolder->click();
    return;
  }
  if (!QFileInfo(EditOutputFolder->text().trimmed()).isDir()) {
    prompts_.Information(this, MissingFolderText(EditOutputFolder->text()));
    ButtonBrowseForFolderClick();
    return;
  }
  Converting = true;
  TimerConvertAgain->start();
  UserAborted = false;
  DisableControls();
  Converter.ClearTasks();
  CurrentRow = -1;
  StartNextRow();
}

void TForm1::StartNextRow() {
  Converter.ClearTasks();
  ProgressBar1->setValue(0);
  LastRow = false;
  BatchDone = false;
  const int last = ListView1->RowCount() - 1;
  ++CurrentRow;
  while (!ListView1->Checked(CurrentRow) && CurrentRow < last) ++CurrentRow;
  LastRow = CurrentRow >= last;
  if (!ListView1->Checked(CurrentRow)) {
    Converting = false;  // nothing ticked up to the last row
  } else if (!PrepareRow(CurrentRow)) {
    return;
  }
  StartBatch();
}

// Whether `path` names the file of one of the list's rows.
bool TForm1::IsListedSource(const std::string& path) const {
  const QFileInfo candidate(QString::fromStdString(path));
  for (int row = 0; row < ListView1->RowCount(); ++row) {
    const QFileInfo source(QString::fromStdString(Trimmed(ListView1->RowFile(row))));
    if (candidate.absoluteFilePath() == source.absoluteFilePath()) return true;
    if (candidate.exists() && source.exists() &&
        candidate.canonicalFilePath() == source.canonicalFilePath())
      return true;
  }
  return false;
}

// Adds the row's task and gives it its output. False when the row has ended
// already (its file could not be opened or its output not created).
bool TForm1::PrepareRow(int row) {
  try {
    const bool overwrite = Form4 && Form4->Overwrite();
    const std::string folder = EditOutputFolder->text().trimmed().toStdString();
    const std::string source = Trimmed(ListView1->RowFile(row));
    std::string output = presets::OutputFileName(folder, source, Lists.OutputExtension, overwrite);
    // Overwriting replaces old outputs, never a file of the list: such a name
    // is numbered instead.
    if (overwrite && IsListedSource(output))
      output = presets::OutputFileName(folder, source, Lists.OutputExtension, false,
                                       [this](const std::string& path) { return IsListedSource(path); });
    TInputOptions input;
    InitInputOptions(input);
    input.FileName = source;
    input.StartTime = 0;
    const int index = Converter.AddInputFile(source, &input);
    if (index < 0) {
      RowFailed(row);
      return false;
    }
    BuildOutputOptions(row);
    if (!Converter.SetOutputFile(index, output, &WindowOutputOptions)) {
      Converter.RemoveTask(index);
      RowFailed(row);
      return false;
    }
  } catch (const std::exception&) {
    // A task without an output is refused at its start and reported as failed.
    prompts_.Information(this, "Fail to add file to list!");
    if (Converter.Tasks.Count() == 0) {  // nothing would ever end this row
      RowFailed(row);
      return false;
    }
  }
  return true;
}

void TForm1::BuildOutputOptions(int row) {
  InitOutputOptions(WindowOutputOptions);
  presets::ApplyOutputFormat(Lists, row, WindowOutputOptions, &TCustomMediaConverter::HasEncoder);
  WindowOutputOptions.AudioVolume = VolumeValue;
  presets::ApplyAspectChoice(Lists.ComboAspectRatio.ItemIndex(),
                             ListView1->Cell(row, colVideoSize).toStdString(), WindowOutputOptions);
  presets::ApplyLetterBox(Lists, ListView1->RowWidth(row), ListView1->RowHeight(row),
                          ListView1->RowAspect(row), WindowOutputOptions);
}

void TForm1::RowFailed(int row) {
  ListView1->SetCell(row, colProgress, "Fail");
  if (LastRow) {
    EndBatch();
    return;
  }
  TickCount = 0;
  Converting = false;  // the timer moves on to the next row
}

void TForm1::EndBatch() {
  TimerConvertAgain->stop();
  prompts_.Information(this, "All Conversions Completed");
  Converter.StopConvert();
  ProgressBar1->setValue(0);
  EnableControls();
  Converting = false;
  BatchDone = true;
}

void TForm1::StartBatch() {
  try {
    Converter.StartConvert(1);
  } catch (const std::exception&) {
    Converter.StopConvert();
    EnableControls();
  }
  if (LastRow) BatchDone = true;
}

void TForm1::ConverterProgress(int, int AFrameNumber, int, int ACurrentDuration, float, float,
                               int64_t ACurrentSize, int ATotalOutputDuration) {
  QMetaObject::invokeMethod(
      this,
      [this, AFrameNumber, ACurrentDuration, ACurrentSize, ATotalOutputDuration] {
        ShowProgress(AFrameNumber, ACurrentDuration, ACurrentSize, ATotalOutputDuration);
      },
      Qt::QueuedConnection);
}

void TForm1::ConverterTerminate(int AIndex, bool, bool AException, const std::string&) {
  QMetaObject::invokeMethod(
      this, [this, AIndex, AException] { ShowTermination(AIndex, AException); },
      Qt::QueuedConnection);
}

void TForm1::ShowProgress(int frameNumber, int64_t currentDuration, int64_t currentSize,
                          int64_t totalDuration) {
  const int row = CurrentRow;
  if (row < 0 || row >= ListView1->RowCount()) return;
  ListView1->scrollToItem(ListView1->topLevelItem(row));
  // Without a known total only the frames are shown and the bar stays at 0.
  if (totalDuration > 0) {
    const int percent = presets::ProgressPercent(currentDuration, totalDuration);
    ListView1->SetCell(row, colProgress, QString::number(percent) + "%");
  }
  StatusPanel[1]->setText("File Size : " + QString::number(currentSize) + " Bytes");
  ListView1->SetCell(row, colFrames, frameNumber == -1 ? " " : QString::number(frameNumber));
  const int64_t position = totalDuration > 0 ? currentDuration * 100 / totalDuration : 0;
  ProgressBar1->setValue(int(std::clamp<int64_t>(position, 0, 100)));
}

void TForm1::ShowTermination(int index, bool exception) {
  Converting = false;
  if (index >= 0) {
    const char* mark = exception ? "Fail" : UserAborted ? "Abort" : "Done";
    ListView1->SetCell(CurrentRow, colProgress, mark);
  }
  if (BatchDone && index < 0) {
    // The tasks are released here, on the UI thread, never from the worker
    // that delivered the end of the batch.
    Converter.ClearTasks();
    ProgressBar1->setValue(0);
    Converting = false;
  }
}

void TForm1::TimerConvertAgainTimer() {
  if (Converting) return;
  if (BatchDone) {
    TimerConvertAgain->stop();
    Converter.ClearTasks();
    prompts_.Information(this, "All Conversions Completed");
    ProgressBar1->setValue(0);
    EnableControls();
    Converting = false;
    return;
  }
  if (++TickCount >= 2) {
    TickCount = 0;
    Converting = true;
    StartNextRow();
  }
}

void TForm1::ButtonStopConvertClick() {
  if (Converting) {
    Converter.PauseConvert();
    // No next row may start while the question is open.
    const bool timerWasOn = TimerConvertAgain->isActive();
    TimerConvertAgain->stop();
    if (!prompts_.Confirm(this, "Stop all conversions?")) {
      Converter.ResumeConvert();
      if (timerWasOn) TimerConvertAgain->start();
      return;
    }
    UserAborted = true;
  }
  BatchDone = true;
  TimerConvertAgain->stop();
  Converter.StopConvert();
  ProgressBar1->setValue(0);
  EnableControls();
  Converting = false;
}

void TForm1::ButtonStopSmallClick() {
  ButtonStopConvert->click();
}
