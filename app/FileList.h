// The file list: a checklist with one row per added file and seven columns,
// grid lines, whole-row selection of a single row, and files or folders
// dropped on it.
#pragma once

#include <QList>
#include <QTreeWidget>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "RowFacts.h"

enum TColumn {
  colVideoFileName,
  colVideoSize,
  colFrameRate,
  colDuration,
  colOutput,
  colProgress,
  colFrames,
  kColumnCount
};

class TFileListView : public QTreeWidget {
 public:
  explicit TFileListView(QWidget* parent);

  int RowCount() const { return topLevelItemCount(); }
  QString Cell(int row, TColumn column) const;
  void SetCell(int row, TColumn column, const QString& text);
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);
  void SetAllChecked(bool checked);
  void SetColumnText(TColumn column, const QString& text);

  // A new ticked row for the file (its name as the system gives it, in any
  // byte encoding); the caption shows it readable.
  void AddRow(const std::string& fileName, const TRowFacts& facts, const QString& outputExtension);
  // The file of a row, as it was added.
  std::string RowFile(int row) const;
  int RowWidth(int row) const;
  int RowHeight(int row) const;
  double RowAspect(int row) const;

  // Files dropped on the list (folders already replaced by their files).
  std::function<void(const std::vector<std::string>&)> OnFilesDropped;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// What a drop of these URLs adds: local files as they are, and for each
// folder the RealMedia files (.rm, .rmvb, .ram) directly inside it, by name.
std::vector<std::string> DroppedFiles(const QList<QUrl>& urls);
