// The main window's creation, showing and closing, its output-format and
// volume handlers, its menus and the enabling of its controls.
#include "Form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <thread>

#include "BatchRules.h"
#include "Catalogue.h"
#include "Form4.h"
#include "FormAbout.h"
#include "Help.h"
#include "Prompts.h"
#include "SettingsStore.h"
#include "WindowFont.h"

namespace {

constexpr int kInitialDropDownCount = 25;
constexpr int kVolumeStart = 5;
constexpr auto kTaskEndWait = std::chrono::seconds(10);

// Input the menu bar takes no more while its menus are disabled.
bool OpensMenu(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Shortcut:
      return true;
    default:
      return false;
  }
}

}  // namespace

TForm1::TForm1(TPrompts& prompts, const QString& programFolder) : prompts_(prompts) {
  setObjectName("Form1");
  ApplyWindowFont(*this);
  CreateComponents();
  ConnectHandlers();
  FormCreate(programFolder);
}

TForm1::~TForm1() {
  // No event may reach this window once it starts to go.
  Converter.UnassignEvents();
  Converter.StopConvert();
  // A stopped task still drains its encoders and writes its trailer; let it
  // end before the component and its tasks are freed.
  const auto deadline = std::chrono::steady_clock::now() + kTaskEndWait;
  while (Converter.FinishedCount() < Converter.Tasks.Count() &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TForm1::FormCreate(const QString& programFolder) {
  std::string filter;
  presets::GetInputFileFilter(filter);
  inputFilter_ = QString::fromStdString(filter);
  const QString libraryFolder = programFolder + "/Common Files";
  librariesLoaded_ = Converter.LoadLibraries(libraryFolder.toStdString(), true);
  if (!librariesLoaded_) {
    prompts_.Information(this, "Some files are missing. Please re-install this software");
    return;
  }
  setWindowTitle("Reelshift");
  helpFile_ = HelpFilePath(programFolder);
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  TrackBar1->setValue(kVolumeStart);
  TrackBar1Change();
  presets::FillOutputFormatCombo(Lists);
  MirrorLists();
  SetDropDownCount(kInitialDropDownCount);
  TimerConvertAgain->stop();
  Converter.OnProgress = [this](int index, int frame, int fps, int duration, float quality,
                                float bitRate, int64_t size, int total) {
    ConverterProgress(index, frame, fps, duration, quality, bitRate, size, total);
  };
  Converter.OnTerminate = [this](int index, bool finished, bool exception,
                                 const std::string& message) {
    ConverterTerminate(index, finished, exception, message);
  };
  Converter.SetDispatcher([this](int delayMs, std::function<void()> call) {
    QMetaObject::invokeMethod(
        this, [this, delayMs, call] { QTimer::singleShot(delayMs, this, call); },
        Qt::QueuedConnection);
  });
}

void TForm1::ConnectHandlers() {
  connect(ButtonAddFile, &QToolButton::clicked, this, [this] { ButtonAddFileClick(); });
  connect(ButtonRemove, &QToolButton::clicked, this, [this] { DeleteSelectedItem1Click(); });
  connect(ButtonClear, &QToolButton::clicked, this, [this] { ClearAllItems1Click(); });
  connect(ButtonStopConvert, &QToolButton::clicked, this, [this] { ButtonStopConvertClick(); });
  connect(ButtonConvert, &QToolButton::clicked, this, [this] { ButtonConvertClick(); });
  connect(ButtonBrowseForFolder, &QToolButton::clicked, this,
          [this] { ButtonBrowseForFolderClick(); });
  connect(ButtonStopSmall, &QToolButton::clicked, this, [this] { ButtonStopSmallClick(); });
  connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
  connect(TimerConvertAgain, &QTimer::timeout, this, [this] { TimerConvertAgainTimer(); });
  const std::pair<QAction*, void (TForm1::*)()> actions[] = {
      {AddFiles1, &TForm1::AddFiles1Click},
      {Convert1, &TForm1::Convert1Click},
      {Exit1, &TForm1::Exit1Click},
      {SetGeneralOptions1, &TForm1::SetGeneralOptions1Click},
      {OpenHelpFile1, &TForm1::OpenHelpFile1Click},
      {VisitOurWebsite1, &TForm1::VisitOurWebsite1Click},
      {About1, &TForm1::About1Click},
      {CheckAllItems1, &TForm1::CheckAllItems1Click},
      {UncheckAllItems1, &TForm1::UncheckAllItems1Click},
      {DeleteSelectedItem1, &TForm1::DeleteSelectedItem1Click},
      {ClearAllItems1, &TForm1::ClearAllItems1Click},
  };
  for (const auto& [action, handler] : actions)
    connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
  connect(ListView1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& position) { ShowListPopup(position); });
  ListView1->OnFilesDropped = [this](const std::vector<std::string>& files) {
    if (Converting || AddingFiles) return;
    Converter.ClearTasks();
    ClearProgressCells();
    AddFileNames(files);
  };
  for (presets::TComboModel* model :
       {&Lists.ComboOutputFormat, &Lists.ComboVideoCodec, &Lists.ComboVideoSize,
        &Lists.ComboVideoBitrate, &Lists.ComboVideoFramerate, &Lists.ComboAudioCodec,
        &Lists.ComboAudioBitrate, &Lists.ComboSamplingRate, &Lists.ComboAudioChannels,
        &Lists.ComboAspectRatio, &Lists.ComboLetterBox}) {
    auto* combo = findChild<TComboBox*>(QString::fromStdString(model->Name()));
    connect(combo, &QComboBox::activated, this,
            [this, model](int index) { ListPicked(*model, index); });
  }
  ComboOutputFormat->OnDropDown = [this] { ComboOutputFormatDropDown(); };
}

void TForm1::MirrorLists() {
  for (const std::string_view name : presets::TSettingLists::ListNames()) {
    auto* combo = findChild<TComboBox*>(QString::fromUtf8(name.data(), int(name.size())));
    if (combo) MirrorCombo(*Lists.Find(name), *combo);
  }
}

void TForm1::ListPicked(presets::TComboModel& model, int index) {
  model.Select(index);
  if (&model == &Lists.ComboOutputFormat) ComboOutputFormatChange();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous() || shownOnce_) return;  // not again on a restore
  shownOnce_ = true;
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - frameGeometry().center() + pos());
  FormShow();
}

void TForm1::FormShow() {
  ComboOutputFormatChange();
}

void TForm1::ComboOutputFormatChange() {
  const bool isEntry = presets::FindOutputFormat(Lists.ComboOutputFormat.Text()) != nullptr;
  const int index = presets::OutputFormatChanged(Lists, LastFormatIndex);
  MirrorLists();
  if (!isEntry) return;
  ListView1->SetColumnText(colOutput, QString::fromStdString(Lists.OutputExtension));
  ComboOutputFormatDropDown();
  LastFormatIndex = index;
}

void TForm1::ComboOutputFormatDropDown() {
  SetDropDownCount(Form4 ? Form4->DropDownItems() : kInitialDropDownCount);
}

void TForm1::SetDropDownCount(int count) {
  // A typed count is taken as it is, but a list always shows one item at least.
  ComboOutputFormat->setMaxVisibleItems(std::max(count, 1));
  Lists.ComboOutputFormat.SetDropDownCount(count);
}

int TForm1::DropDownCount() const {
  return ComboOutputFormat->maxVisibleItems();
}

void TForm1::RestoreOutputFormat(int index) {
  const auto& items = Lists.ComboOutputFormat.Items();
  if (index < 0 || index >= int(items.size())) return;
  if (!presets::FindOutputFormat(items[index])) return;  // a separator is never restored
  Lists.ComboOutputFormat.Select(index);
  MirrorCombo(Lists.ComboOutputFormat, *ComboOutputFormat);
}

void TForm1::RestoreLetterBox(int index) {
  if (index < 0 || index >= Lists.ComboLetterBox.Count()) return;
  Lists.ComboLetterBox.Select(index);
  MirrorCombo(Lists.ComboLetterBox, *ComboLetterBox);
}

void TForm1::TrackBar1Change() {
  const presets::TVolumeStep step = presets::VolumeStep(TrackBar1->value());
  LabelVolume->setText(QString::fromUtf8(step.Label.data(), int(step.Label.size())));
  VolumeValue = step.Value;
}

void TForm1::AddFiles1Click() {
  ButtonAddFile->click();
}

void TForm1::Convert1Click() {
  ButtonConvert->click();
}

void TForm1::Exit1Click() {
  prompts_.Quit();
}

void TForm1::SetGeneralOptions1Click() {
  if (!Form4) return;
  Form4->show();
  Form4->raise();
  Form4->activateWindow();
}

void TForm1::OpenHelpFile1Click() {
  prompts_.OpenUrl(QUrl::fromLocalFile(helpFile_));
}

void TForm1::VisitOurWebsite1Click() {
  prompts_.OpenUrl(WebsiteUrl());
}

void TForm1::About1Click() {
  if (FormAbout) FormAbout->exec();
}

void TForm1::ShowListPopup(const QPoint& position) {
  if (controlsDisabled_) return;
  PopupListView1->popup(ListView1->viewport()->mapToGlobal(position));
}

void TForm1::DisableControls() {
  controlsDisabled_ = true;
  for (QWidget* control : LockedControls()) control->setEnabled(false);
}

void TForm1::EnableControls() {
  controlsDisabled_ = false;
  for (QWidget* control : LockedControls()) control->setEnabled(true);
}

std::vector<QWidget*> TForm1::LockedControls() const {
  return {ButtonAddFile,     ButtonClear,        ButtonRemove,      ButtonConvert,
          ComboOutputFormat, ComboVideoSize,     ComboVideoBitrate, ComboVideoFramerate,
          ComboAudioBitrate, ComboAudioChannels, ComboVideoCodec,   ComboSamplingRate,
          ComboAudioCodec,   TrackBar1,          ComboAspectRatio,  ComboLetterBox};
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // While the controls are disabled the menus do not open; their titles keep
  // their look.
  if (watched == menuBar() && controlsDisabled_ && OpensMenu(event->type())) return true;
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

bool TForm1::FormCloseQuery() {
  if (Converting) return false;
  Converter.UnassignEvents();
  Converter.StopConvert();
  TimerConvertAgain->stop();
  return true;
}

void TForm1::FormClose() {
  if (Form4) {
    try {
      SaveSettings(*this, *Form4);
    } catch (...) {
    }
    Form4->hide();
  }
  if (FormAbout) FormAbout->hide();
}
