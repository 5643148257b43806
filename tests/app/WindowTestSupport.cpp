#include "WindowTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "Form4.h"
#include "Startup.h"

namespace windowtest {

void TScriptedPrompts::Information(QWidget*, const QString& text) {
  Informations.push_back(text);
}

bool TScriptedPrompts::Confirm(QWidget*, const QString& text) {
  Questions.push_back(text);
  return Answer();
}

QStringList TScriptedPrompts::ChooseFiles(QWidget*, const QString& filter) {
  FileFilters.push_back(filter);
  return FilesToChoose;
}

QString TScriptedPrompts::ChooseFolder(QWidget*, const QString& headline) {
  FolderHeadlines.push_back(headline);
  return FolderToChoose;
}

void TScriptedPrompts::OpenUrl(const QUrl& url) {
  OpenedUrls.push_back(url);
}

int TScriptedPrompts::Count(const QString& information) const {
  return int(std::count(Informations.begin(), Informations.end(), information));
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  return QTest::qWaitFor(condition, timeoutMs);
}

std::string MakeClip(const std::string& path, double seconds, int width, int height, bool video) {
  fixtures::FixtureSpec spec;
  spec.path = path;
  spec.width = width;
  spec.height = height;
  spec.fpsNum = 10;
  spec.seconds = seconds;
  if (!video) spec.videoCodec.clear();
  std::string error;
  EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  return path;
}

void WindowTest::SetUp() {
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path()));
}

void WindowTest::TearDown() {
  if (form && form->Converting) {
    prompts.Answer = [] { return true; };
    form->ButtonStopConvert->click();
  }
  form.reset();
}

void WindowTest::StartWindow() {
  form = CreateForms(prompts, REELSHIFT_APP_DIR);
  ASSERT_TRUE(form) << "the media libraries did not load";
  form->show();
  QApplication::processEvents();
}

void WindowTest::AddFiles(const std::vector<std::string>& files) {
  prompts.FilesToChoose.clear();
  for (const std::string& file : files) prompts.FilesToChoose << QString::fromStdString(file);
  form->ButtonAddFile->click();
}

void WindowTest::ConvertAndWait() {
  form->EditOutputFolder->setText(QString::fromStdString(outputs.Path()));
  form->ButtonConvert->click();
  ASSERT_TRUE(WaitFor([this] {
    return !form->Converting && !form->ControlsDisabled() && !form->TimerConvertAgain->isActive();
  })) << "the batch did not end";
  // Let the end of the batch reach the window.
  WaitFor([this] { return form->Converter.Tasks.Count() == 0; }, 5000);
}

void WindowTest::SelectOutputFormat(const QString& text) {
  const int index = form->ComboOutputFormat->findText(text);
  ASSERT_GE(index, 0) << text.toStdString();
  form->ComboOutputFormat->setCurrentIndex(index);
  form->ComboOutputFormat->activated(index);
}

}  // namespace windowtest
