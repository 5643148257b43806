// Building the main window: its components, their texts, hints and places,
// and the menus.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <span>

#include "Form1.h"
#include "ProgramIcon.h"

namespace {

constexpr int kClientWidth = 767;
constexpr int kClientHeight = 515;
constexpr int kHintPauseMs = 30000;
constexpr int kComboHeight = 22;

struct TPlace {
  const char* Name;
  int Left, Top, Width, Height;  // a width or height of 0 keeps the widget's own
};

// Places of the components on the window's client area, below the menu.
constexpr TPlace kPlaces[] = {
    {"ButtonAddFile", 18, 3, 130, 52},
    {"ButtonRemove", 165, 3, 121, 52},
    {"ButtonClear", 304, 3, 130, 52},
    {"ButtonStopConvert", 453, 3, 130, 52},
    {"ButtonConvert", 603, 3, 130, 52},
    {"ListView1", 5, 66, 753, 208},
    {"Label2", 7, 286, 0, 0},
    {"ComboOutputFormat", 100, 282, 330, kComboHeight},
    {"Label1", 441, 286, 0, 0},
    {"EditOutputFolder", 534, 284, 177, kComboHeight},
    {"ButtonBrowseForFolder", 717, 280, 40, 28},
    {"GroupBox1", 14, 315, 285, 133},
    {"GroupBox2", 309, 315, 219, 133},
    {"GroupBox3", 538, 315, 213, 133},
    {"ProgressBar1", 69, 462, 585, 16},
    {"ButtonStopSmall", 668, 456, 77, 28},
};

struct TButtonSpec {
  QToolButton* TForm1::*Member;
  const char* Name;
  const char* Text;
  const char* Hint;
  const char* Icon;
  QStyle::StandardPixmap Fallback;
};

const TButtonSpec kButtonRow[] = {
    {&TForm1::ButtonAddFile, "ButtonAddFile", "Add Files", "Add Files to Convert", "list-add",
     QStyle::SP_FileDialogNewFolder},
    {&TForm1::ButtonRemove, "ButtonRemove", "Remove", "Remove A Single File From List",
     "list-remove", QStyle::SP_DialogDiscardButton},
    {&TForm1::ButtonClear, "ButtonClear", "Clear All ", "Clear All Files Listed", "edit-clear",
     QStyle::SP_TrashIcon},
    {&TForm1::ButtonStopConvert, "ButtonStopConvert", "Stop Convert", "Stop Conversion",
     "process-stop", QStyle::SP_MediaStop},
    {&TForm1::ButtonConvert, "ButtonConvert", "Convert Now !", "Start Conversion",
     "media-playback-start", QStyle::SP_MediaPlay},
};

// A setting list in a group box: its label and its place inside the group.
struct TSettingRow {
  TComboBox* TForm1::*Member;
  const char* Name;
  const char* Label;
  int Group;  // 1, 2, 3
  int Row;    // 0..3
};

const TSettingRow kSettingRows[] = {
    {&TForm1::ComboVideoCodec, "ComboVideoCodec", "Video Codec : ", 1, 0},
    {&TForm1::ComboVideoSize, "ComboVideoSize", "Video Size : ", 1, 1},
    {&TForm1::ComboVideoBitrate, "ComboVideoBitrate", "Video Bitrate : ", 1, 2},
    {&TForm1::ComboVideoFramerate, "ComboVideoFramerate", "Video Framerate : ", 1, 3},
    {&TForm1::ComboAudioCodec, "ComboAudioCodec", "Audio Codec : ", 2, 0},
    {&TForm1::ComboAudioBitrate, "ComboAudioBitrate", "Audio Bitrate :", 2, 1},
    {&TForm1::ComboAudioChannels, "ComboAudioChannels", "Audio Channels :", 2, 2},
    {&TForm1::ComboSamplingRate, "ComboSamplingRate", "Sampling Rate : ", 2, 3},
    {&TForm1::ComboLetterBox, "ComboLetterBox", "Video Zoom : ", 3, 0},
    {&TForm1::ComboAspectRatio, "ComboAspectRatio", "Aspect Ratio : ", 3, 1},
};

// Inside each group: where the labels start, where the lists start and how
// wide they are.
struct TGroupColumns {
  int LabelLeft, ListLeft, ListWidth;
};
constexpr TGroupColumns kGroupColumns[] = {{10, 112, 163}, {10, 100, 110}, {10, 92, 112}};
constexpr int kFirstRowTop = 22;
constexpr int kRowPitch = 27;

QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

QLabel* NewLabel(QWidget* parent, const char* text, bool bold) {
  auto* label = new QLabel(text, parent);
  if (bold) label->setFont(Bold(label->font()));
  label->adjustSize();
  return label;
}

// A label that would run into the control beside it gets a narrower face
// (the layout was drawn for a narrow font).
void FitLabel(QLabel* label, int width) {
  QFont font = label->font();
  for (int stretch = QFont::SemiCondensed;
       label->sizeHint().width() > width && stretch >= QFont::ExtraCondensed; stretch -= 6) {
    font.setStretch(stretch);
    label->setFont(font);
  }
  label->adjustSize();
}

void SetHint(QWidget* widget, const char* hint) {
  widget->setToolTip(hint);
  widget->setToolTipDuration(kHintPauseMs);
}

}  // namespace

void TForm1::CreateComponents() {
  auto* client = new QWidget(this);
  client->setObjectName("Client");
  setCentralWidget(client);
  CreateButtonRow(client);
  ListView1 = new TFileListView(client);
  ListView1->setObjectName("ListView1");
  CreateFormatRow(client);
  CreateSettingGroups(client);
  CreateBottomRow(client);
  CreateMenus();
  TimerConvertAgain = new QTimer(this);
  TimerConvertAgain->setObjectName("TimerConvertAgain");
  TimerConvertAgain->setInterval(100);
  PlaceComponents();
  setWindowIcon(ProgramIcon());
}

void TForm1::CreateButtonRow(QWidget* client) {
  for (const TButtonSpec& spec : kButtonRow) {
    auto* button = new QToolButton(client);
    button->setObjectName(spec.Name);
    button->setText(spec.Text);
    button->setIcon(ThemeIcon(spec.Icon, spec.Fallback));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFont(Bold(button->font()));
    SetHint(button, spec.Hint);
    this->*spec.Member = button;
  }
}

void TForm1::CreateFormatRow(QWidget* client) {
  Label2 = NewLabel(client, "Output Format : ", true);
  Label2->setObjectName("Label2");
  ComboOutputFormat = new TComboBox(client);
  ComboOutputFormat->setObjectName("ComboOutputFormat");
  // A list-style popup, so that the number of visible items counts in every style.
  ComboOutputFormat->setStyleSheet("QComboBox { combobox-popup: 0; }");
  FitLabel(Label2, 92);
  Label1 = NewLabel(client, "Output Folder : ", true);
  FitLabel(Label1, 92);
  Label1->setObjectName("Label1");
  EditOutputFolder = new QLineEdit(client);
  EditOutputFolder->setObjectName("EditOutputFolder");
  EditOutputFolder->setReadOnly(true);
  EditOutputFolder->setEnabled(false);
  ButtonBrowseForFolder = new QToolButton(client);
  ButtonBrowseForFolder->setObjectName("ButtonBrowseForFolder");
  ButtonBrowseForFolder->setIcon(ThemeIcon("folder-open", QStyle::SP_DirOpenIcon));
  SetHint(ButtonBrowseForFolder, "Browse For Folder");
}

void TForm1::CreateSettingGroups(QWidget* client) {
  QGroupBox* groups[] = {GroupBox1 = new QGroupBox(" Video Settings ", client),
                         GroupBox2 = new QGroupBox(" Audio Settings ", client),
                         GroupBox3 = new QGroupBox(" General Settings ", client)};
  for (int g = 0; g < 3; ++g) groups[g]->setObjectName(QString("GroupBox%1").arg(g + 1));
  for (const TSettingRow& row : kSettingRows) {
    QGroupBox* group = groups[row.Group - 1];
    const TGroupColumns& columns = kGroupColumns[row.Group - 1];
    const int top = kFirstRowTop + row.Row * kRowPitch;
    QLabel* label = NewLabel(group, row.Label, false);
    label->move(columns.LabelLeft, top + 3);
    FitLabel(label, columns.ListLeft - columns.LabelLeft - 2);
    auto* combo = new TComboBox(group);
    combo->setObjectName(row.Name);
    combo->setGeometry(columns.ListLeft, top, columns.ListWidth, kComboHeight);
    label->setBuddy(combo);
    this->*row.Member = combo;
  }
  SetHint(ComboLetterBox, "Add a letterbox to keep video aspect ratio");
  const TGroupColumns& general = kGroupColumns[2];
  const int volumeTop = kFirstRowTop + 2 * kRowPitch;
  NewLabel(GroupBox3, "Volume : ", false)->move(general.LabelLeft, volumeTop + 3);
  TrackBar1 = new QSlider(Qt::Horizontal, GroupBox3);
  TrackBar1->setObjectName("TrackBar1");
  TrackBar1->setRange(0, 10);
  TrackBar1->setPageStep(1);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setGeometry(general.ListLeft - 4, volumeTop, 80, 26);
  LabelVolume = NewLabel(GroupBox3, "100%", false);
  LabelVolume->setObjectName("LabelVolume");
  LabelVolume->setMinimumWidth(34);
  LabelVolume->move(general.ListLeft + 78, volumeTop + 3);
}

void TForm1::CreateBottomRow(QWidget* client) {
  ProgressBar1 = new QProgressBar(client);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ButtonStopSmall = new QToolButton(client);
  ButtonStopSmall->setObjectName("ButtonStopSmall");
  ButtonStopSmall->setText("Stop");
  ButtonStopSmall->setIcon(ThemeIcon("process-stop", QStyle::SP_MediaStop));
  ButtonStopSmall->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  const int widths[] = {150, 300, 50};
  for (int i = 0; i < 3; ++i) {
    StatusPanel[i] = new QLabel(StatusBar1);
    StatusPanel[i]->setFixedWidth(widths[i]);
    StatusBar1->addWidget(StatusPanel[i]);
  }
  StatusPanel[0]->setText("Ready");
  setStatusBar(StatusBar1);
}

void TForm1::CreateMenus() {
  auto add = [](QMenu* menu, const char* name, const char* text, const char* icon) {
    QAction* action = menu->addAction(QIcon::fromTheme(icon), text);
    action->setObjectName(name);
    return action;
  };
  File1 = menuBar()->addMenu("File");
  AddFiles1 = add(File1, "AddFiles1", "Add Files", "list-add");
  File1->addSeparator();
  Convert1 = add(File1, "Convert1", "Convert", "media-playback-start");
  File1->addSeparator();
  Exit1 = add(File1, "Exit1", "Exit", "application-exit");
  Options1 = menuBar()->addMenu("Options");
  SetGeneralOptions1 = add(Options1, "SetGeneralOptions1", "Set Additional Options", "");
  Help1 = menuBar()->addMenu("Help");
  OpenHelpFile1 = add(Help1, "OpenHelpFile1", "Open Help File", "help-contents");
  Help1->addSeparator();
  VisitOurWebsite1 = add(Help1, "VisitOurWebsite1", "Visit Quillmark Website", "");
  Help1->addSeparator();
  About1 = add(Help1, "About1", "About", "help-about");
  PopupListView1 = new QMenu(this);
  PopupListView1->setObjectName("PopupListView1");
  CheckAllItems1 = add(PopupListView1, "CheckAllItems1", "Check All Items", "");
  UncheckAllItems1 = add(PopupListView1, "UncheckAllItems1", "Uncheck All Items", "");
  PopupListView1->addSeparator();
  DeleteSelectedItem1 = add(PopupListView1, "DeleteSelectedItem1", "Remove Selected Item", "");
  ClearAllItems1 = add(PopupListView1, "ClearAllItems1", "Clear All Items", "");
  File1->setObjectName("File1");
  Options1->setObjectName("Options1");
  Help1->setObjectName("Help1");
  menuBar()->installEventFilter(this);
}

void TForm1::PlaceComponents() {
  for (const TPlace& place : kPlaces) {
    auto* widget = centralWidget()->findChild<QWidget*>(place.Name);
    if (!widget) continue;
    const QSize own = widget->sizeHint();
    widget->setGeometry(place.Left, place.Top, place.Width ? place.Width : own.width(),
                        place.Height ? place.Height : own.height());
  }
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
}
