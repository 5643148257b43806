#include "FileList.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

#include "ReadableText.h"

namespace {

enum TRowRole { kFileRole = Qt::UserRole, kWidthRole, kHeightRole, kAspectRole };

struct TColumnSpec {
  const char* Caption;
  int Width;
  Qt::Alignment Alignment;
};

constexpr TColumnSpec kColumns[kColumnCount] = {
    {"Video File Name", 300, Qt::AlignLeft | Qt::AlignVCenter},
    {"Video Size", 90, Qt::AlignCenter},
    {"FrameRate", 90, Qt::AlignCenter},
    {"Duration", 60, Qt::AlignCenter},
    {"Output", 65, Qt::AlignCenter},
    {"Progress", 57, Qt::AlignCenter},
    {"Frames", 60, Qt::AlignCenter},
};

const QStringList kRealMediaPatterns = {"*.rm", "*.rmvb", "*.ram"};

// Paints each cell and then its right and bottom grid line.
class TGridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Midlight));
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
  }
};

QString Readable(const std::string& bytes) {
  return QString::fromStdString(component::ReadableText(bytes));
}

}  // namespace

TFileListView::TFileListView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(kColumnCount);
  QStringList captions;
  for (const TColumnSpec& column : kColumns) captions << column.Caption;
  setHeaderLabels(captions);
  for (int c = 0; c < kColumnCount; ++c) {
    setColumnWidth(c, kColumns[c].Width);
    headerItem()->setTextAlignment(c, kColumns[c].Alignment);
  }
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setItemDelegate(new TGridDelegate(this));
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setContextMenuPolicy(Qt::CustomContextMenu);
}

QString TFileListView::Cell(int row, TColumn column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->text(column) : QString();
}

void TFileListView::SetCell(int row, TColumn column, const QString& text) {
  if (QTreeWidgetItem* item = topLevelItem(row)) item->setText(column, text);
}

bool TFileListView::Checked(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item && item->checkState(colVideoFileName) == Qt::Checked;
}

void TFileListView::SetChecked(int row, bool checked) {
  if (QTreeWidgetItem* item = topLevelItem(row))
    item->setCheckState(colVideoFileName, checked ? Qt::Checked : Qt::Unchecked);
}

void TFileListView::SetAllChecked(bool checked) {
  for (int row = 0; row < RowCount(); ++row) SetChecked(row, checked);
}

void TFileListView::SetColumnText(TColumn column, const QString& text) {
  for (int row = 0; row < RowCount(); ++row) SetCell(row, column, text);
}

void TFileListView::AddRow(const std::string& fileName, const TRowFacts& facts,
                           const QString& outputExtension) {
  auto* item = new QTreeWidgetItem(this);
  item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
  item->setCheckState(colVideoFileName, Qt::Checked);
  for (int c = 0; c < kColumnCount; ++c) item->setTextAlignment(c, kColumns[c].Alignment);
  item->setText(colVideoFileName, Readable(fileName));
  item->setData(colVideoFileName, kFileRole, QByteArray::fromStdString(fileName));
  item->setData(colVideoFileName, kWidthRole, facts.Width);
  item->setData(colVideoFileName, kHeightRole, facts.Height);
  item->setData(colVideoFileName, kAspectRole, facts.DisplayAspect);
  if (!facts.Tags.empty()) item->setToolTip(colVideoFileName, QString::fromStdString(facts.Tags));
  if (!facts.Loaded) {
    item->setText(colProgress, "Error");
    return;
  }
  item->setText(colVideoSize, QString::fromStdString(facts.VideoSize));
  item->setText(colFrameRate, QString::fromStdString(facts.FrameRate));
  item->setText(colDuration, QString::fromStdString(facts.Duration));
  item->setText(colOutput, outputExtension);
}

std::string TFileListView::RowFile(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->data(colVideoFileName, kFileRole).toByteArray().toStdString() : "";
}

int TFileListView::RowWidth(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->data(colVideoFileName, kWidthRole).toInt() : 0;
}

int TFileListView::RowHeight(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->data(colVideoFileName, kHeightRole).toInt() : 0;
}

double TFileListView::RowAspect(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->data(colVideoFileName, kAspectRole).toDouble() : 0;
}

void TFileListView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFileListView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFileListView::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  const std::vector<std::string> files = DroppedFiles(event->mimeData()->urls());
  if (OnFilesDropped && !files.empty()) OnFilesDropped(files);
}

std::vector<std::string> DroppedFiles(const QList<QUrl>& urls) {
  std::vector<std::string> files;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QFileInfo info(url.toLocalFile());
    if (info.isFile()) files.push_back(QFile::encodeName(info.filePath()).toStdString());
    if (!info.isDir()) continue;
    const QDir folder(info.filePath());
    const QFileInfoList inside = folder.entryInfoList(
        kRealMediaPatterns, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : inside)
      files.push_back(QFile::encodeName(file.filePath()).toStdString());
  }
  return files;
}
