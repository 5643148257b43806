// The main window as the program starts it: its components, places, texts,
// hints, menus and fixed lists, the volume table, the enabling of the
// controls around a conversion, and the start without media libraries.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fstream>

#include "Form4.h"
#include "MediaLib.h"
#include "Startup.h"
#include "WindowTestSupport.h"

using namespace windowtest;

namespace {

struct TExpectedPlace {
  const char* Name;
  int Left, Top, Width, Height;  // 0: not fixed
};

constexpr TExpectedPlace kPlaces[] = {
    {"ButtonAddFile", 18, 3, 130, 52},
    {"ButtonRemove", 165, 3, 121, 52},
    {"ButtonClear", 304, 3, 130, 52},
    {"ButtonStopConvert", 453, 3, 130, 52},
    {"ButtonConvert", 603, 3, 130, 52},
    {"ListView1", 5, 66, 753, 208},
    {"Label2", 7, 286, 0, 0},
    {"ComboOutputFormat", 100, 282, 330, 0},
    {"Label1", 441, 286, 0, 0},
    {"EditOutputFolder", 534, 284, 177, 0},
    {"ButtonBrowseForFolder", 717, 280, 40, 28},
    {"GroupBox1", 14, 315, 285, 133},
    {"GroupBox2", 309, 315, 219, 133},
    {"GroupBox3", 538, 315, 213, 133},
    {"ProgressBar1", 69, 462, 585, 16},
    {"ButtonStopSmall", 668, 456, 77, 28},
};

struct TExpectedText {
  const char* Name;
  const char* Text;
  const char* Hint;
};

constexpr TExpectedText kTexts[] = {
    {"ButtonAddFile", "Add Files", "Add Files to Convert"},
    {"ButtonRemove", "Remove", "Remove A Single File From List"},
    {"ButtonClear", "Clear All ", "Clear All Files Listed"},
    {"ButtonStopConvert", "Stop Convert", "Stop Conversion"},
    {"ButtonConvert", "Convert Now !", "Start Conversion"},
    {"ButtonBrowseForFolder", "", "Browse For Folder"},
    {"ButtonStopSmall", "Stop", ""},
};

QString WidgetText(QWidget* widget) {
  if (auto* button = qobject_cast<QToolButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  return {};
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions())
    texts << (action->isSeparator() ? "-" : action->text());
  return texts;
}

QStringList ComboItems(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QStringList GroupLabels(const QGroupBox* group) {
  QStringList texts;
  for (const QLabel* label : group->findChildren<QLabel*>()) texts << label->text();
  return texts;
}

}  // namespace

TEST_F(WindowTest, EveryComponentSitsAtItsPlaceOnAFixedClientArea) {
  StartWindow();
  QWidget* client = form->centralWidget();
  for (const TExpectedPlace& place : kPlaces) {
    auto* widget = client->findChild<QWidget*>(place.Name);
    ASSERT_TRUE(widget) << place.Name;
    EXPECT_EQ(widget->parentWidget(), client) << place.Name;
    const QRect geometry = widget->geometry();
    EXPECT_EQ(geometry.topLeft(), QPoint(place.Left, place.Top)) << place.Name;
    if (place.Width) {
      EXPECT_EQ(geometry.width(), place.Width) << place.Name;
    }
    if (place.Height) {
      EXPECT_EQ(geometry.height(), place.Height) << place.Name;
    }
  }
  // The client area (below the menu, status bar included) is 767 x 515 and cannot change.
  EXPECT_EQ(form->width(), 767);
  EXPECT_EQ(form->height() - form->menuBar()->height(), 515);
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_EQ(form->windowTitle(), "Reelshift");
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(WindowTest, ComponentsCarryTheirTextsHintsAndKinds) {
  StartWindow();
  for (const TExpectedText& expected : kTexts) {
    auto* widget = form->findChild<QWidget*>(expected.Name);
    ASSERT_TRUE(widget) << expected.Name;
    EXPECT_EQ(WidgetText(widget), expected.Text) << expected.Name;
    EXPECT_EQ(widget->toolTip(), expected.Hint) << expected.Name;
  }
  EXPECT_EQ(form->ButtonConvert->toolTipDuration(), 30000);
  EXPECT_TRUE(form->ButtonAddFile->font().bold());
  EXPECT_TRUE(form->ButtonAddFile->autoRaise());
  EXPECT_FALSE(form->ButtonAddFile->icon().isNull());
  EXPECT_EQ(form->Label2->text(), "Output Format : ");
  EXPECT_EQ(form->Label1->text(), "Output Folder : ");
  EXPECT_TRUE(form->Label2->font().bold());
  EXPECT_TRUE(form->EditOutputFolder->isReadOnly());
  EXPECT_FALSE(form->EditOutputFolder->isEnabled());
  EXPECT_EQ(form->GroupBox1->title(), " Video Settings ");
  EXPECT_EQ(form->GroupBox2->title(), " Audio Settings ");
  EXPECT_EQ(form->GroupBox3->title(), " General Settings ");
  EXPECT_EQ(
      GroupLabels(form->GroupBox1),
      (QStringList{"Video Codec : ", "Video Size : ", "Video Bitrate : ", "Video Framerate : "}));
  EXPECT_EQ(
      GroupLabels(form->GroupBox2),
      (QStringList{"Audio Codec : ", "Audio Bitrate :", "Audio Channels :", "Sampling Rate : "}));
  EXPECT_EQ(GroupLabels(form->GroupBox3),
            (QStringList{"Video Zoom : ", "Aspect Ratio : ", "Volume : ", "100%"}));
  EXPECT_EQ(form->ComboLetterBox->toolTip(), "Add a letterbox to keep video aspect ratio");
  EXPECT_EQ(form->ProgressBar1->minimum(), 0);
  EXPECT_EQ(form->ProgressBar1->maximum(), 100);
  EXPECT_EQ(form->StatusPanel[0]->text(), "Ready");
  EXPECT_EQ(form->StatusPanel[0]->width(), 150);
  EXPECT_EQ(form->StatusPanel[1]->width(), 300);
  EXPECT_EQ(form->StatusPanel[2]->width(), 50);
  EXPECT_FALSE(form->TimerConvertAgain->isActive());
  EXPECT_EQ(form->TimerConvertAgain->interval(), 100);
}

TEST_F(WindowTest, FileListHasSevenColumnsAndIsASingleRowChecklist) {
  StartWindow();
  struct TColumnSpec {
    const char* Caption;
    int Width;
    bool Centred;
  };
  constexpr TColumnSpec kColumns[] = {{"Video File Name", 300, false},
                                      {"Video Size", 90, true},
                                      {"FrameRate", 90, true},
                                      {"Duration", 60, true},
                                      {"Output", 65, true},
                                      {"Progress", 57, true},
                                      {"Frames", 60, true}};
  TFileListView* list = form->ListView1;
  ASSERT_EQ(list->columnCount(), 7);
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(list->headerItem()->text(c), kColumns[c].Caption);
    EXPECT_EQ(list->columnWidth(c), kColumns[c].Width) << kColumns[c].Caption;
    const bool centred = list->headerItem()->textAlignment(c) & Qt::AlignHCenter;
    EXPECT_EQ(centred, kColumns[c].Centred) << kColumns[c].Caption;
  }
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_TRUE(list->acceptDrops());
}

TEST_F(WindowTest, MenusAndTheListPopupHoldTheirItemsInOrder) {
  StartWindow();
  QStringList titles;
  for (const QAction* action : form->menuBar()->actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{"File", "Options", "Help"}));
  EXPECT_EQ(MenuTexts(form->File1), (QStringList{"Add Files", "-", "Convert", "-", "Exit"}));
  EXPECT_EQ(MenuTexts(form->Options1), (QStringList{"Set Additional Options"}));
  EXPECT_EQ(MenuTexts(form->Help1),
            (QStringList{"Open Help File", "-", "Visit Quillmark Website", "-", "About"}));
  EXPECT_EQ(MenuTexts(form->PopupListView1),
            (QStringList{"Check All Items", "Uncheck All Items", "-", "Remove Selected Item",
                         "Clear All Items"}));
}

TEST_F(WindowTest, FixedListsAndTheOutputFormatListAfterStart) {
  StartWindow();
  EXPECT_EQ(ComboItems(form->ComboLetterBox), (QStringList{"None", "LetterBox"}));
  EXPECT_EQ(form->ComboLetterBox->currentIndex(), 0);
  EXPECT_EQ(ComboItems(form->ComboAspectRatio),
            (QStringList{"Original", "4:3 (Standard", "16:9 (Wide Screen)"}));
  EXPECT_EQ(form->ComboAspectRatio->currentIndex(), 0);
  EXPECT_EQ(form->ComboOutputFormat->count(), 50);
  EXPECT_EQ(form->ComboOutputFormat->currentText(), "AVI - Audio Video Interleave (*.avi)");
  EXPECT_FALSE(form->ComboOutputFormat->isEditable());
  // Showing the window applied the first entry's choices.
  EXPECT_EQ(form->OutputExtension(), "AVI");
  EXPECT_EQ(ComboItems(form->ComboVideoCodec), (QStringList{"MPEG4", "H264"}));
  EXPECT_EQ(form->ComboVideoBitrate->currentText(), "1200 Kbps");
  EXPECT_EQ(form->ComboSamplingRate->currentText(), "48000 Hz");
  EXPECT_EQ(ComboItems(form->ComboAudioChannels), (QStringList{"Stereo", "Mono"}));
  // 25 at creation, then the options dialog's 27 when the window is shown.
  EXPECT_EQ(form->DropDownCount(), 27);
}

TEST_F(WindowTest, VolumeTrackBarFollowsItsTable) {
  StartWindow();
  EXPECT_EQ(form->TrackBar1->minimum(), 0);
  EXPECT_EQ(form->TrackBar1->maximum(), 10);
  EXPECT_EQ(form->TrackBar1->value(), 5);
  EXPECT_EQ(form->LabelVolume->text(), "100%");
  EXPECT_EQ(form->VolumeValue, 255);
  const int values[] = {1, 50, 100, 150, 200, 255, 300, 350, 400, 450, 600};
  for (int p = 10; p >= 0; --p) {
    form->TrackBar1->setValue(p);
    EXPECT_EQ(form->LabelVolume->text(), QString::number(20 * p) + "%") << p;
    EXPECT_EQ(form->VolumeValue, values[p]) << p;
  }
}

TEST_F(WindowTest, DisableControlsLocksInputButLeavesStopAndTheList) {
  StartWindow();
  form->DisableControls();
  const QWidget* locked[] = {
      form->ButtonAddFile,      form->ButtonClear,         form->ButtonRemove,
      form->ButtonConvert,      form->ComboOutputFormat,   form->ComboVideoSize,
      form->ComboVideoBitrate,  form->ComboVideoFramerate, form->ComboAudioBitrate,
      form->ComboAudioChannels, form->ComboVideoCodec,     form->ComboSamplingRate,
      form->ComboAudioCodec,    form->TrackBar1,           form->ComboAspectRatio,
      form->ComboLetterBox};
  for (const QWidget* widget : locked)
    EXPECT_FALSE(widget->isEnabled()) << widget->objectName().toStdString();
  EXPECT_TRUE(form->ButtonStopConvert->isEnabled());
  EXPECT_TRUE(form->ButtonStopSmall->isEnabled());
  EXPECT_TRUE(form->ListView1->isEnabled());

  // The menus keep their look but do not open; nor does the list's popup.
  QMenuBar* bar = form->menuBar();
  const QPoint file = bar->actionGeometry(form->File1->menuAction()).center();
  EXPECT_TRUE(form->File1->menuAction()->isEnabled());
  QTest::mouseClick(bar, Qt::LeftButton, {}, file);
  QApplication::processEvents();
  EXPECT_FALSE(form->File1->isVisible());
  form->ListView1->customContextMenuRequested(QPoint(10, 10));
  EXPECT_FALSE(form->PopupListView1->isVisible());

  form->EnableControls();
  for (const QWidget* widget : locked) EXPECT_TRUE(widget->isEnabled());
  QTest::mouseClick(bar, Qt::LeftButton, {}, file);
  EXPECT_TRUE(WaitFor([this] { return form->File1->isVisible(); }, 2000));
  form->File1->close();
  form->ListView1->customContextMenuRequested(QPoint(10, 10));
  EXPECT_TRUE(WaitFor([this] { return form->PopupListView1->isVisible(); }, 2000));
  form->PopupListView1->close();
}

TEST_F(WindowTest, WindowsUseTheDesktopSansFontAtEightPoints) {
  StartWindow();
  EXPECT_EQ(form->font().pointSize(), 8);
  EXPECT_EQ(form->Form4->font().pointSize(), 8);
  EXPECT_NE(form->font().family(), "MS Sans Serif");
}

TEST(WindowStart, WithoutTheMediaLibrariesTheProgramSaysSoAndEnds) {
  if (medialib::LibrariesLoaded()) GTEST_SKIP() << "the libraries are loaded in this process";
  testsupport::TempDir program;
  std::filesystem::create_directory(program.File("Common Files"));
  std::ofstream(program.File("Common Files/libavcodec.so.59")) << "not a library";
  TScriptedPrompts prompts;
  const std::unique_ptr<TForm1> form = CreateForms(prompts, QString::fromStdString(program.Path()));
  EXPECT_FALSE(form);
  EXPECT_EQ(prompts.Informations,
            std::vector<QString>{"Some files are missing. Please re-install this software"});
}
