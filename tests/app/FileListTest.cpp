// The file list: adding files with their probed cells, readable names and
// tags, removing, clearing, checking, dropping files and folders, the output
// format's separator rule and "Output" column, and the folder browser.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>
#include <filesystem>

#include "Form4.h"
#include "WindowTestSupport.h"

using namespace windowtest;

namespace {

const char* kRmvb = "rv40-cook-576x324-2m19s.rmvb";

struct TRowCells {
  const char* Size;
  const char* Rate;
  const char* Duration;
  const char* Output;
  const char* Progress;
};

void ExpectRow(const TFileListView& list, int row, const TRowCells& cells) {
  const char* expected[] = {cells.Size,   cells.Rate,     cells.Duration,
                            cells.Output, cells.Progress, ""};
  const TColumn columns[] = {colVideoSize, colFrameRate, colDuration,
                             colOutput,    colProgress,  colFrames};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(list.Cell(row, columns[i]).toStdString(), expected[i])
        << "row " << row << " column " << i;
  EXPECT_TRUE(list.Checked(row)) << "row " << row;
}

void Drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

}  // namespace

TEST_F(WindowTest, AddsTheRealRmvbAndANonMediaFileWithTheirCells) {
  REQUIRE_MEDIA(kRmvb);
  StartWindow();
  const std::string rmvb = testsupport::MediaPath(kRmvb);
  const std::string text = inputs.File("notes.rm");
  fixtures::WriteTextFile(text, "this is not a media file\n");
  AddFiles({rmvb, text});
  ASSERT_EQ(prompts.FileFilters.size(), 1u);
  EXPECT_EQ(prompts.FileFilters[0], "All Supported Files (*.rm;*.rmvb;*.ram)|*.rm;*.rmvb;*.ram|");
  TFileListView& list = *form->ListView1;
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.Cell(0, colVideoFileName).toStdString(), rmvb);
  ExpectRow(list, 0, {"576x324", "30", "00:02:18", "AVI", ""});
  EXPECT_EQ(list.Cell(1, colVideoFileName).toStdString(), text);
  ExpectRow(list, 1, {"", "", "", "", "Error"});
  // The GBK tags are shown readable.
  const QString tags = list.topLevelItem(0)->toolTip(colVideoFileName);
  EXPECT_TRUE(tags.contains(QString::fromUtf8("Title: 音乐之声"))) << tags.toStdString();
  EXPECT_TRUE(tags.contains(QString::fromUtf8("Author: 5156edu.com收集整理")));
  EXPECT_FALSE(form->AddingFiles);
}

TEST_F(WindowTest, AudioOnlyFileGetsBlankPictureCellsAndStaysTicked) {
  StartWindow();
  const std::string audio = MakeClip(inputs.File("tone.rm"), 1.0, 0, 0, false);
  AddFiles({audio});
  ASSERT_EQ(form->ListView1->RowCount(), 1);
  ExpectRow(*form->ListView1, 0, {" ", " ", "00:00:01", "AVI", ""});
}

TEST_F(WindowTest, LegacyEncodedFileNameIsShownReadableAndKeptAsItIs) {
  StartWindow();
  const std::string name = inputs.File("\xC4\xE3\xBA\xC3.rm");  // "你好" in GBK
  MakeClip(name);
  form->AddFileNames({name});
  ASSERT_EQ(form->ListView1->RowCount(), 1);
  EXPECT_EQ(form->ListView1->Cell(0, colVideoFileName),
            QString::fromStdString(inputs.Path()) + QString::fromUtf8("/你好.rm"));
  EXPECT_EQ(form->ListView1->RowFile(0), name);
  EXPECT_EQ(Cell(0, colVideoSize), "160x120");
  ConvertAndWait();
  EXPECT_EQ(Cell(0, colProgress), "Done");
  EXPECT_TRUE(testsupport::FileExists(Output("\xC4\xE3\xBA\xC3.avi")));
}

TEST_F(WindowTest, CancelledDialogAddsNothing) {
  StartWindow();
  AddFiles({});
  EXPECT_EQ(form->ListView1->RowCount(), 0);
}

TEST_F(WindowTest, RemoveClearCheckAndUncheck) {
  StartWindow();
  const std::string a = MakeClip(inputs.File("a.rm"));
  const std::string b = MakeClip(inputs.File("b.rm"));
  AddFiles({a, b, a});
  TFileListView& list = *form->ListView1;
  ASSERT_EQ(list.RowCount(), 3);
  form->UncheckAllItems1->trigger();
  for (int row = 0; row < 3; ++row) EXPECT_FALSE(list.Checked(row));
  form->CheckAllItems1->trigger();
  for (int row = 0; row < 3; ++row) EXPECT_TRUE(list.Checked(row));
  form->ButtonRemove->click();  // nothing selected
  EXPECT_EQ(list.RowCount(), 3);
  list.setCurrentItem(list.topLevelItem(1));
  form->ButtonRemove->click();
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.RowFile(1), a);
  form->AddingFiles = true;  // nothing is removed or cleared while files are added
  form->DeleteSelectedItem1->trigger();
  form->ClearAllItems1->trigger();
  EXPECT_EQ(list.RowCount(), 2);
  form->AddingFiles = false;
  form->ButtonClear->click();
  EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(WindowTest, DroppedFilesAndFoldersAreAdded) {
  StartWindow();
  std::filesystem::create_directory(inputs.File("folder"));
  MakeClip(inputs.File("folder/b.rm"));
  std::filesystem::rename(inputs.File("folder/b.rm"), inputs.File("folder/b.RMVB"));
  MakeClip(inputs.File("folder/a.rm"));
  fixtures::WriteTextFile(inputs.File("folder/readme.txt"), "text");
  const std::string single = MakeClip(inputs.File("single.rm"));
  Drop(form->ListView1->viewport(),
       {QUrl::fromLocalFile(QString::fromStdString(single)),
        QUrl::fromLocalFile(QString::fromStdString(inputs.File("folder")))});
  TFileListView& list = *form->ListView1;
  ASSERT_EQ(list.RowCount(), 3);
  EXPECT_EQ(list.RowFile(0), single);
  EXPECT_EQ(list.RowFile(1), inputs.File("folder/a.rm"));
  EXPECT_EQ(list.RowFile(2), inputs.File("folder/b.RMVB"));
  EXPECT_EQ(Cell(2, colVideoSize), "160x120");
}

TEST_F(WindowTest, SeparatorFallsBackAndAFormatRewritesTheOutputColumn) {
  StartWindow();
  const std::string clip = MakeClip(inputs.File("clip.rm"));
  const std::string text = inputs.File("text.rm");
  fixtures::WriteTextFile(text, "no media");
  AddFiles({clip, text});
  SelectOutputFormat("MP3 - Mpeg Layer3 Audio (*.mp3)");
  EXPECT_EQ(form->OutputExtension(), "MP3");
  EXPECT_EQ(Cell(0, colOutput), "MP3");
  EXPECT_EQ(Cell(1, colOutput), "MP3");  // every row, the "Error" row too
  EXPECT_EQ(form->ComboVideoCodec->count(), 0);
  EXPECT_EQ(form->ComboAudioBitrate->currentText(), "192 Kbps");
  const int accepted = form->ComboOutputFormat->currentIndex();

  const presets::TSettingLists before = form->Lists;
  form->ComboOutputFormat->setCurrentIndex(29);  // a separator
  form->ComboOutputFormat->activated(29);
  EXPECT_EQ(form->ComboOutputFormat->currentIndex(), accepted);
  EXPECT_EQ(form->LastFormatIndex, accepted);
  EXPECT_TRUE(form->Lists == before);
  EXPECT_EQ(Cell(0, colOutput), "MP3");

  form->Form4->SpinEdit1->setValue(40);
  SelectOutputFormat("3GP - Mobile Video Format (*.3gp)");
  EXPECT_EQ(Cell(0, colOutput), "3GP");
  EXPECT_EQ(form->ComboAudioChannels->currentText(), "Mono");
  EXPECT_EQ(form->DropDownCount(), 40);
}

TEST_F(WindowTest, UserPicksReachTheSettingLists) {
  StartWindow();
  form->ComboVideoCodec->setCurrentIndex(1);
  form->ComboVideoCodec->activated(1);
  EXPECT_EQ(form->Lists.ComboVideoCodec.Text(), "H264");
  form->ComboAspectRatio->setCurrentIndex(2);
  form->ComboAspectRatio->activated(2);
  EXPECT_EQ(form->Lists.ComboAspectRatio.ItemIndex(), 2);
}

TEST_F(WindowTest, FolderBrowserSetsTheOutputFolderUnlessCancelled) {
  StartWindow();
  prompts.FolderToChoose = QString::fromStdString(outputs.Path());
  form->ButtonBrowseForFolder->click();
  ASSERT_EQ(prompts.FolderHeadlines.size(), 1u);
  EXPECT_EQ(prompts.FolderHeadlines[0], "Choose the required output directory below :");
  EXPECT_EQ(form->EditOutputFolder->text(), prompts.FolderToChoose);
  prompts.FolderToChoose.clear();
  form->ButtonBrowseForFolder->click();
  EXPECT_EQ(form->EditOutputFolder->text().toStdString(), outputs.Path());
}
