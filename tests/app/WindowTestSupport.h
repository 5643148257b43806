// Shared by the window's tests: the real window with its two dialogs, started
// as the program starts them, with a scripted person answering its questions,
// the settings in a temporary folder, and short generated clips.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FileList.h"
#include "FixtureMaker.h"
#include "Form1.h"
#include "Prompts.h"
#include "TestSupport.h"

namespace windowtest {

// Answers in place of a person and remembers what was asked.
class TScriptedPrompts : public TPrompts {
 public:
  void Information(QWidget* parent, const QString& text) override;
  bool Confirm(QWidget* parent, const QString& text) override;
  QStringList ChooseFiles(QWidget* parent, const QString& filter) override;
  QString ChooseFolder(QWidget* parent, const QString& headline) override;
  void OpenUrl(const QUrl& url) override;
  void Quit() override { ++Quits; }

  int Count(const QString& information) const;

  std::vector<QString> Informations;
  std::vector<QString> Questions;
  std::vector<QString> FileFilters;
  std::vector<QString> FolderHeadlines;
  std::vector<QUrl> OpenedUrls;
  int Quits = 0;
  QStringList FilesToChoose;
  QString FolderToChoose;
  // Asked for each Confirm; the default answers No.
  std::function<bool()> Answer = [] { return false; };
};

// Spins the event loop until the condition holds (at most timeoutMs).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 30000);

// A short RealMedia clip (rv20 video, AC-3 audio) in the folder.
std::string MakeClip(const std::string& path, double seconds = 1.0, int width = 160,
                     int height = 120, bool video = true);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The forms as the program creates them, then the main window shown.
  void StartWindow();
  // Adds the files through the open-file dialog.
  void AddFiles(const std::vector<std::string>& files);
  // Convert, then wait until the batch has ended (controls enabled again,
  // timer off, no conversion).
  void ConvertAndWait();
  void SelectOutputFormat(const QString& text);
  QString Cell(int row, TColumn column) const { return form->ListView1->Cell(row, column); }
  int Completions() const { return prompts.Count("All Conversions Completed"); }
  std::string Output(const std::string& name) const { return outputs.File(name); }

  testsupport::TempDir config;   // XDG_CONFIG_HOME
  testsupport::TempDir outputs;  // the output folder
  testsupport::TempDir inputs;   // generated clips
  TScriptedPrompts prompts;
  std::unique_ptr<TForm1> form;
};

}  // namespace windowtest
