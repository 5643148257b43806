// Faults through the window: Stop answered Yes while a file opens, in its
// first second and near its end; Stop answered No after ten seconds; the
// output folder removed or made read-only during a batch; a full device;
// and an output that would be the source itself.
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "Form4.h"
#include "MediaInspect.h"
#include "ReliabilitySupport.h"
#include "WindowTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace reliability;
using windowtest::WaitFor;
using windowtest::WindowTest;

constexpr const char* kLongSample = "rv40-cook-576x324-2m19s.rmvb";

int Percent(const QString& cell) {
  return cell.endsWith('%') ? cell.chopped(1).toInt() : -1;
}

class FaultsWindow : public WindowTest {
 protected:
  void StartWindowFast() {
    StartWindow();
    form->Converter.SetProgressInterval(100);  // finer steps to stop at
  }

  // Convert without waiting; the caller acts, then WaitForEnd.
  void StartConvert() {
    form->EditOutputFolder->setText(QString::fromStdString(outputs.Path()));
    form->ButtonConvert->click();
  }
  bool WaitForEnd() {
    const bool ended = WaitFor(
        [this] {
          return !form->Converting && !form->ControlsDisabled() &&
                 !form->TimerConvertAgain->isActive();
        },
        60000);
    WaitFor([this] { return form->Converter.Tasks.Count() == 0; }, 5000);
    return ended;
  }

  std::string Clip(const std::string& name, double seconds, int width = 320, int height = 240) {
    const std::string path = MakeClip(inputs.File(name), seconds, width, height);
    sources.push_back(path);
    return path;
  }
  void Seal() { before = Checksums(sources); }
  void TearDown() override {
    WindowTest::TearDown();
    EXPECT_EQ(Checksums(sources), before) << "the sources are unchanged";
  }

  // The long real sample, under a name of our own (it is never copied).
  std::string LongSample() {
    const std::string path = inputs.File("long.rmvb");
    fs::create_symlink(testsupport::MediaPath(kLongSample), path);
    sources.push_back(path);
    return path;
  }

  std::vector<std::string> sources;
  std::map<std::string, std::string> before;
};

TEST_F(FaultsWindow, StopInEachPhaseEndsTheRowAbortWithAFinishedOutput) {
  REQUIRE_MEDIA(kLongSample);
  const std::string clip = LongSample();
  Seal();
  StartWindowFast();
  AddFiles({clip});
  const struct {
    const char* Phase;
    std::function<bool()> Reached;
    bool PacketsExpected;
  } phases[] = {
      {"opening", [] { return true; }, false},
      {"the first second", [this] { return Cell(0, colFrames).toInt() > 0; }, true},
      {"the end", [this] { return Percent(Cell(0, colProgress)) >= 90; }, true},
  };
  prompts.Answer = [] { return true; };
  for (const auto& p : phases) {
    SCOPED_TRACE(p.Phase);
    fs::remove(Output("long.avi"));
    StartConvert();
    ASSERT_TRUE(WaitFor([&] { return p.Reached() || !form->Converting; }));
    ASSERT_TRUE(form->Converting) << "the file ended before the stop";
    const QString at = Cell(0, colProgress);
    form->ButtonStopConvert->click();
    ASSERT_TRUE(WaitForEnd());
    std::printf("stop during %s (at \"%s\"): %s\n", p.Phase, at.toUtf8().constData(),
                Cell(0, colProgress).toUtf8().constData());
    EXPECT_EQ(Cell(0, colProgress), "Abort");
    const fixtures::MediaFacts facts = fixtures::Inspect(Output("long.avi"));
    ASSERT_TRUE(facts.ok) << "the stopped output is finished: " << facts.error;
    std::string why;
    if (p.PacketsExpected) {
      EXPECT_TRUE(Playable(Output("long.avi"), why)) << why;
    }
    EXPECT_LT(facts.duration, 135);
  }
  EXPECT_EQ(Completions(), 0) << "no completion message after Stop";
}

TEST_F(FaultsWindow, StopAnsweredNoAfterTenSecondsResumesWhereItPaused) {
  REQUIRE_MEDIA(kLongSample);
  const std::string clip = LongSample();
  Seal();
  StartWindowFast();
  AddFiles({clip});
  form->Form4->CheckBoxOverWrite->setChecked(true);
  ConvertAndWait();  // the same file without a pause, to compare with
  const fixtures::MediaFacts whole = fixtures::Inspect(Output("long.avi"));
  ASSERT_TRUE(whole.ok && whole.First("video")) << whole.error;

  int64_t sizeAtQuestion = -1, sizeAtAnswer = -1;
  prompts.Answer = [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // a packet under way lands
    sizeAtQuestion = testsupport::FileSize(Output("long.avi"));
    std::this_thread::sleep_for(std::chrono::seconds(10));
    sizeAtAnswer = testsupport::FileSize(Output("long.avi"));
    return false;
  };
  StartConvert();
  ASSERT_TRUE(WaitFor([this] { return Cell(0, colFrames).toInt() > 0 || !form->Converting; }));
  ASSERT_TRUE(form->Converting);
  form->ButtonStopConvert->click();
  EXPECT_EQ(sizeAtAnswer, sizeAtQuestion) << "nothing is written while the question is open";
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Cell(0, colProgress), "Done");
  EXPECT_EQ(Completions(), 2);
  const fixtures::MediaFacts facts = fixtures::Inspect(Output("long.avi"));
  ASSERT_TRUE(facts.ok && facts.First("video")) << facts.error;
  EXPECT_EQ(facts.First("video")->packets, whole.First("video")->packets)
      << "the whole file, resumed where it paused";
  EXPECT_NEAR(facts.duration, whole.duration, 0.1);
}

TEST_F(FaultsWindow, OutputFolderRemovedOrMadeReadOnlyDuringABatch) {
  const std::vector<std::string> files = {Clip("a.rm", 60), Clip("b.rm", 1, 160, 120),
                                          Clip("c.rm", 1, 160, 120)};
  Seal();
  StartWindowFast();
  AddFiles(files);
  const bool permissionsHold = PermissionBitsHoldHere();
  const struct {
    const char* Name;
    std::function<void(const std::string&)> Act;
    std::vector<QString> Rows;
  } cases[] = {
      // The first output goes with its folder; the next rows cannot be made.
      {"removed",
       [](const std::string& folder) { fs::remove_all(folder); },
       {"Fail", "Fail", "Fail"}},
      // The first row keeps what it opened; the next cannot be created.
      {"read-only",
       [](const std::string& folder) { chmod(folder.c_str(), 0555); },
       {"Done", permissionsHold ? "Fail" : "Done", permissionsHold ? "Fail" : "Done"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::create_directories(outputs.Path());
    for (const char* name : {"a.avi", "b.avi", "c.avi"}) fs::remove(Output(name));
    prompts.Informations.clear();
    StartConvert();
    ASSERT_TRUE(WaitFor([this] { return testsupport::FileSize(Output("a.avi")) > 0; }));
    c.Act(outputs.Path());
    ASSERT_TRUE(WaitForEnd());
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Cell(row, colProgress), c.Rows[row]) << row;
    EXPECT_EQ(Completions(), 1);
    chmod(outputs.Path().c_str(), 0700);
    if (fs::exists(outputs.Path())) {
      EXPECT_EQ(EmptyFilesUnder(outputs.Path()), std::vector<std::string>{});
    }
  }
}

TEST_F(FaultsWindow, FullDeviceFailsTheRowsThatDoNotFitAndTheBatchGoesOn) {
  const std::vector<std::string> files = {
      Clip("big.rm", 8, 640, 480), Clip("small.rm", 0.5, 96, 64), Clip("after.rm", 8, 640, 480)};
  Seal();
  StartWindowFast();
  AddFiles(files);
  {
    // Writes of this process beyond 256 kB fail, as on a full device.
    const TFileSizeLimit limit(256 * 1024);
    ConvertAndWait();
  }
  EXPECT_EQ(Cell(0, colProgress), "Fail");
  EXPECT_EQ(Cell(1, colProgress), "Done");
  EXPECT_EQ(Cell(2, colProgress), "Fail");
  std::string why;
  EXPECT_TRUE(Playable(Output("small.avi"), why)) << why;
  EXPECT_EQ(Completions(), 1);
  EXPECT_EQ(EmptyFilesUnder(outputs.Path()), std::vector<std::string>{});
}

// The RealVideo entry writes .rm: converting into the sources' own folder
// names a source as the output. Overwriting replaces old outputs, never a
// file of the list: row 1 (a.rmvb) must not replace row 2's a.rm before it is
// converted, and no row replaces itself.
TEST_F(FaultsWindow, AnOutputThatWouldBeASourceIsNeverWritten) {
  const std::string first = Clip("a.rmvb", 1, 160, 120);
  const std::string second = Clip("a.rm", 1, 160, 120);
  Seal();
  const std::string before = testsupport::Sha256(second);
  StartWindow();
  SelectOutputFormat("RM - Real Video (*.rm)");
  AddFiles({first, second});
  form->Form4->CheckBoxOverWrite->setChecked(true);
  form->EditOutputFolder->setText(QString::fromStdString(inputs.Path()));
  form->ButtonConvert->click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Cell(0, colProgress), "Done");
  EXPECT_EQ(Cell(1, colProgress), "Done");
  EXPECT_EQ(testsupport::Sha256(second), before) << "a later row's source was replaced";
  std::string why;
  EXPECT_TRUE(Playable(inputs.File("a-1.rm"), why)) << why;
}

}  // namespace
