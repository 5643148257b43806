// TForm1, the program's main window: the button row, the file list, the
// output format and folder, the video, audio and general settings, the
// progress bar and the status bar; the menus; and the batch driver that
// converts the ticked rows one after another.
//
// Threads: everything here runs on the UI thread, except ConverterProgress and
// ConverterTerminate, which the component raises on a conversion's worker
// thread. They only post their work to the UI thread (queued calls) and never
// wait for it.
#pragma once

#include <QMainWindow>
#include <atomic>
#include <string>
#include <vector>

#include "ComboMirror.h"
#include "FileList.h"
#include "MediaConverter.h"
#include "OptionRecords.h"
#include "SettingLists.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSlider;
class QStatusBar;
class QTimer;
class QToolButton;
class TForm4;
class TFormAbout;
class TPrompts;

class TForm1 : public QMainWindow {
 public:
  // Builds the window and runs FormCreate: loads the media libraries from
  // programFolder + "/Common Files"; without them LibrariesLoaded() is false
  // after the message, and the program is to end.
  TForm1(TPrompts& prompts, const QString& programFolder);
  ~TForm1() override;

  bool LibrariesLoaded() const { return librariesLoaded_; }
  TPrompts& Prompts() { return prompts_; }
  const QString& HelpFile() const { return helpFile_; }

  // Components, named as on the form.
  QToolButton* ButtonAddFile = nullptr;
  QToolButton* ButtonRemove = nullptr;
  QToolButton* ButtonClear = nullptr;
  QToolButton* ButtonStopConvert = nullptr;
  QToolButton* ButtonConvert = nullptr;
  TFileListView* ListView1 = nullptr;
  QLabel* Label2 = nullptr;
  TComboBox* ComboOutputFormat = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* EditOutputFolder = nullptr;
  QToolButton* ButtonBrowseForFolder = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  TComboBox* ComboVideoCodec = nullptr;
  TComboBox* ComboVideoSize = nullptr;
  TComboBox* ComboVideoBitrate = nullptr;
  TComboBox* ComboVideoFramerate = nullptr;
  TComboBox* ComboAudioCodec = nullptr;
  TComboBox* ComboAudioBitrate = nullptr;
  TComboBox* ComboAudioChannels = nullptr;
  TComboBox* ComboSamplingRate = nullptr;
  TComboBox* ComboLetterBox = nullptr;
  TComboBox* ComboAspectRatio = nullptr;
  QSlider* TrackBar1 = nullptr;
  QLabel* LabelVolume = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QToolButton* ButtonStopSmall = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel[3] = {};
  QMenu* File1 = nullptr;
  QMenu* Options1 = nullptr;
  QMenu* Help1 = nullptr;
  QMenu* PopupListView1 = nullptr;
  QAction* AddFiles1 = nullptr;
  QAction* Convert1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* SetGeneralOptions1 = nullptr;
  QAction* OpenHelpFile1 = nullptr;
  QAction* VisitOurWebsite1 = nullptr;
  QAction* About1 = nullptr;
  QAction* CheckAllItems1 = nullptr;
  QAction* UncheckAllItems1 = nullptr;
  QAction* DeleteSelectedItem1 = nullptr;
  QAction* ClearAllItems1 = nullptr;
  QTimer* TimerConvertAgain = nullptr;
  TFormAbout* FormAbout = nullptr;
  TForm4* Form4 = nullptr;

  TMediaConverter Converter;
  // The window's setting lists; the combo boxes above show them.
  presets::TSettingLists Lists;
  TOutputOptions WindowOutputOptions;

  // Window state.
  bool AddingFiles = false;
  std::atomic<bool> Converting{false};
  std::atomic<bool> UserAborted{false};
  int CurrentRow = 0;
  bool LastRow = false;
  bool BatchDone = false;
  int TickCount = 0;
  int VolumeValue = 0;
  int LastFormatIndex = 0;
  const std::string& OutputExtension() const { return Lists.OutputExtension; }

  // Handlers of the main window and its file list.
  void FormShow();
  void ButtonAddFileClick();
  void DeleteSelectedItem1Click();
  void ClearAllItems1Click();
  void CheckAllItems1Click();
  void UncheckAllItems1Click();
  void ButtonBrowseForFolderClick();
  void ComboOutputFormatChange();
  void ComboOutputFormatDropDown();
  void TrackBar1Change();
  void AddFiles1Click();
  void Convert1Click();
  void Exit1Click();
  void SetGeneralOptions1Click();
  void OpenHelpFile1Click();
  void VisitOurWebsite1Click();
  void About1Click();
  // The add-files routine for files already chosen (the open-file dialog's
  // choice, or a drop on the list).
  void AddFileNames(const std::vector<std::string>& fileNames);
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return controlsDisabled_; }

  // The batch driver.
  void ButtonConvertClick();
  void ButtonStopConvertClick();
  void ButtonStopSmallClick();
  void TimerConvertAgainTimer();
  void StartNextRow();
  // Raised on a worker thread; hand over to ShowProgress / ShowTermination.
  void ConverterProgress(int AIndex, int AFrameNumber, int AFPS, int ACurrentDuration,
                         float AQuality, float ABitRate, int64_t ACurrentSize,
                         int ATotalOutputDuration);
  void ConverterTerminate(int AIndex, bool AFinished, bool AException, const std::string& AMessage);
  // FormCloseQuery: false while converting. FormClose saves the settings.
  bool FormCloseQuery();
  void FormClose();

  // For the settings: the selected items, and restoring them (the item must
  // exist; an output format must be a real entry, not a separator).
  int OutputFormatIndex() const { return Lists.ComboOutputFormat.ItemIndex(); }
  int LetterBoxIndex() const { return Lists.ComboLetterBox.ItemIndex(); }
  void RestoreOutputFormat(int index);
  void RestoreLetterBox(int index);
  // The output-format list's number of visible items when it drops down.
  void SetDropDownCount(int count);
  int DropDownCount() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window (Form1Layout.cpp).
  void CreateComponents();
  void CreateButtonRow(QWidget* client);
  void CreateFormatRow(QWidget* client);
  void CreateSettingGroups(QWidget* client);
  void CreateBottomRow(QWidget* client);
  void CreateMenus();
  void ConnectHandlers();
  void PlaceComponents();

  void FormCreate(const QString& programFolder);
  void MirrorLists();
  void ListPicked(presets::TComboModel& model, int index);
  void ShowListPopup(const QPoint& position);
  std::vector<QWidget*> LockedControls() const;

  // Batch steps (Form1Batch.cpp).
  bool PrepareRow(int row);
  bool IsListedSource(const std::string& path) const;
  void BuildOutputOptions(int row);
  void RowFailed(int row);
  void EndBatch();
  void StartBatch();
  void ShowProgress(int frameNumber, int64_t currentDuration, int64_t currentSize,
                    int64_t totalDuration);
  void ShowTermination(int index, bool exception);
  void ClearProgressCells();

  TPrompts& prompts_;
  bool librariesLoaded_ = false;
  bool controlsDisabled_ = false;
  bool shownOnce_ = false;
  QString inputFilter_;
  QString helpFile_;
};
