// Stopping a conversion (with its question), closing the window during one,
// and the File menu's Exit. The real .rmvb is converted with H.264, so that a
// conversion is still running when the test steps in.
#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "SettingsStore.h"
#include "WindowTestSupport.h"

using namespace windowtest;

namespace {

const char* kRmvb = "rv40-cook-576x324-2m19s.rmvb";

std::string FileText(const QString& path) {
  std::ifstream in(path.toStdString());
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class StopTest : public WindowTest {
 protected:
  // Starts converting the .rmvb and waits for its first progress.
  void StartLongConversion() {
    StartWindow();
    AddFiles({testsupport::MediaPath(kRmvb)});
    form->ComboVideoCodec->setCurrentIndex(1);  // H264
    form->ComboVideoCodec->activated(1);
    form->EditOutputFolder->setText(QString::fromStdString(outputs.Path()));
    form->ButtonConvert->click();
    ASSERT_TRUE(form->Converting);
    ASSERT_TRUE(WaitFor([this] { return Cell(0, colProgress).endsWith("%"); }))
        << "no progress arrived";
  }
  int Frames() const { return Cell(0, colFrames).toInt(); }
};

}  // namespace

TEST_F(StopTest, StopThenNoPausesWhileAskingAndResumes) {
  REQUIRE_MEDIA(kRmvb);
  StartLongConversion();
  int framesWhileAsking = -1;
  int framesLater = -1;
  prompts.Answer = [&] {
    QTest::qWait(300);  // what was under way when the pause came in arrives now
    framesWhileAsking = Frames();
    QTest::qWait(1200);
    framesLater = Frames();
    return false;
  };
  form->ButtonStopSmall->click();
  ASSERT_EQ(prompts.Questions, std::vector<QString>{"Stop all conversions?"});
  EXPECT_EQ(framesLater, framesWhileAsking) << "the conversion went on during the question";
  EXPECT_TRUE(form->Converting);
  EXPECT_TRUE(form->ControlsDisabled());
  EXPECT_TRUE(form->TimerConvertAgain->isActive());
  ASSERT_TRUE(WaitFor([&] { return Frames() > framesLater; })) << "the conversion did not resume";
  EXPECT_EQ(Completions(), 0);
}

TEST_F(StopTest, StopThenYesAbortsWithoutACompletionMessage) {
  REQUIRE_MEDIA(kRmvb);
  StartLongConversion();
  prompts.Answer = [] { return true; };
  form->ButtonStopConvert->click();
  EXPECT_TRUE(form->UserAborted);
  EXPECT_TRUE(form->BatchDone);
  EXPECT_FALSE(form->Converting);
  EXPECT_FALSE(form->ControlsDisabled());
  EXPECT_FALSE(form->TimerConvertAgain->isActive());
  ASSERT_TRUE(WaitFor([this] { return Cell(0, colProgress) == "Abort"; }));
  // The end of the batch releases the tasks on the UI thread.
  ASSERT_TRUE(WaitFor([this] { return form->Converter.Tasks.Count() == 0; }));
  QTest::qWait(400);
  EXPECT_EQ(Completions(), 0);
  EXPECT_EQ(form->ProgressBar1->value(), 0);
  EXPECT_TRUE(testsupport::FileExists(Output("rv40-cook-576x324-2m19s.avi")));
}

TEST_F(StopTest, ClosingDuringAConversionIsRefusedSilently) {
  REQUIRE_MEDIA(kRmvb);
  StartLongConversion();
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(prompts.Informations.empty());
  EXPECT_TRUE(prompts.Questions.empty());
  EXPECT_TRUE(form->Converting);

  prompts.Answer = [] { return true; };
  form->ButtonStopConvert->click();
  form->EditOutputFolder->setText("/somewhere/else");
  EXPECT_TRUE(form->close());
  EXPECT_NE(FileText(TSettingsKey::FilePath()).find("/somewhere/else"), std::string::npos);
}

TEST_F(WindowTest, ExitEndsAtOnceWithoutSavingTheSettings) {
  StartWindow();
  const std::string firstRun = FileText(TSettingsKey::FilePath());
  form->EditOutputFolder->setText("/not/saved");
  form->Exit1->trigger();
  EXPECT_EQ(prompts.Quits, 1);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(FileText(TSettingsKey::FilePath()), firstRun);
}
