// The batch driver through the real window: which rows are converted, the
// refusals, the output names, the aspect rule, and progress into the row,
// the bar and the status bar.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <thread>

#include "Form4.h"
#include "MediaInspect.h"
#include "WindowTestSupport.h"

using namespace windowtest;

TEST_F(WindowTest, ThreeRowsWithTheMiddleUntickedConvertRowsOneAndThree) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("one.rm")), MakeClip(inputs.File("two.rm")),
            MakeClip(inputs.File("three.rm"))});
  form->ListView1->SetChecked(1, false);
  ConvertAndWait();
  EXPECT_EQ(Cell(0, colProgress), "Done");
  EXPECT_EQ(Cell(1, colProgress), "");
  EXPECT_EQ(Cell(1, colFrames), "");
  EXPECT_EQ(Cell(2, colProgress), "Done");
  EXPECT_FALSE(Cell(2, colFrames).isEmpty());
  EXPECT_EQ(Completions(), 1);
  EXPECT_EQ(prompts.Informations.size(), 1u);
  EXPECT_TRUE(testsupport::FileExists(Output("one.avi")));
  EXPECT_FALSE(testsupport::FileExists(Output("two.avi")));
  const fixtures::MediaFacts facts = fixtures::Inspect(Output("three.avi"));
  ASSERT_TRUE(facts.ok) << facts.error;
  EXPECT_EQ(facts.Count("video"), 1);
  EXPECT_EQ(facts.Count("audio"), 1);
  EXPECT_EQ(form->ProgressBar1->value(), 0);
  EXPECT_TRUE(form->StatusPanel[1]->text().startsWith("File Size : "));
  EXPECT_TRUE(form->StatusPanel[1]->text().endsWith(" Bytes"));
  EXPECT_TRUE(form->ButtonConvert->isEnabled());
}

TEST_F(WindowTest, AllRowsUntickedCompleteAtTheNextTickWithoutConverting) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("one.rm")), MakeClip(inputs.File("two.rm"))});
  form->UncheckAllItems1->trigger();
  ConvertAndWait();
  EXPECT_EQ(Completions(), 1);
  EXPECT_EQ(Cell(0, colProgress), "");
  EXPECT_EQ(Cell(1, colProgress), "");
  EXPECT_TRUE(std::filesystem::is_empty(outputs.Path()));
}

TEST_F(WindowTest, LastRowThatCannotBeOpenedFailsAndTheBatchCompletes) {
  StartWindow();
  const std::string text = inputs.File("notes.rm");
  fixtures::WriteTextFile(text, "not a media file");
  AddFiles({MakeClip(inputs.File("clip.rm")), text});
  EXPECT_EQ(Cell(1, colProgress), "Error");
  ConvertAndWait();
  EXPECT_EQ(Cell(0, colProgress), "Done");
  EXPECT_EQ(Cell(1, colProgress), "Fail");
  EXPECT_EQ(Completions(), 1);
}

TEST_F(WindowTest, MiddleRowThatFailsLetsTheBatchGoOn) {
  StartWindow();
  const std::string gone = MakeClip(inputs.File("gone.rm"));
  AddFiles({MakeClip(inputs.File("one.rm")), gone, MakeClip(inputs.File("three.rm"))});
  std::filesystem::remove(gone);
  ConvertAndWait();
  EXPECT_EQ(Cell(0, colProgress), "Done");
  EXPECT_EQ(Cell(1, colProgress), "Fail");
  EXPECT_EQ(Cell(2, colProgress), "Done");
  EXPECT_EQ(Completions(), 1);
}

TEST_F(WindowTest, ExistingOutputGetsANumberedNameUnlessOverwriting) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("clip.rm"))});
  fixtures::WriteTextFile(Output("clip.avi"), "older file");
  fixtures::WriteTextFile(Output("clip-1.avi"), "older file");
  const std::string older = testsupport::Sha256(Output("clip.avi"));
  ConvertAndWait();
  EXPECT_EQ(testsupport::Sha256(Output("clip.avi")), older);
  EXPECT_TRUE(fixtures::Inspect(Output("clip-2.avi")).ok);

  form->Form4->CheckBoxOverWrite->setChecked(true);
  ConvertAndWait();
  EXPECT_NE(testsupport::Sha256(Output("clip.avi")), older);
  EXPECT_TRUE(fixtures::Inspect(Output("clip.avi")).ok);
  EXPECT_FALSE(testsupport::FileExists(Output("clip-3.avi")));
}

TEST_F(WindowTest, AspectRatioComesFromTheChoiceOrTheSourceSize) {
  StartWindow();
  struct TCase {
    const char* Name;
    int Width, Height;  // 0: audio only
    int AspectItem;
    const char* Expected;
  };
  const TCase cases[] = {
      {"audio.rm", 0, 0, 0, "1.3333"},
      {"pal.rm", 720, 576, 0, "1.25"},
      {"wide.rm", 160, 120, 2, "16:9"},
      {"standard.rm", 160, 120, 1, "4:3"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    form->ButtonClear->click();
    AddFiles({MakeClip(inputs.File(c.Name), 0.5, c.Width, c.Height, c.Width > 0)});
    form->ComboAspectRatio->setCurrentIndex(c.AspectItem);
    form->ComboAspectRatio->activated(c.AspectItem);
    ConvertAndWait();
    EXPECT_EQ(Cell(0, colProgress), "Done");
    EXPECT_EQ(form->WindowOutputOptions.AspectRatio, c.Expected);
    EXPECT_EQ(form->WindowOutputOptions.AudioVolume, 255);
  }
}

TEST_F(WindowTest, ConvertRefusesWithoutRowsOrWithoutAUsableFolder) {
  StartWindow();
  form->ButtonConvert->click();
  EXPECT_EQ(prompts.Informations, std::vector<QString>{"Please Add Files To Convert!"});
  AddFiles({MakeClip(inputs.File("clip.rm"))});

  prompts.Informations.clear();
  form->ButtonConvert->click();
  EXPECT_EQ(prompts.Informations, std::vector<QString>{"Please select an output folder!"});
  EXPECT_EQ(prompts.FolderHeadlines.size(), 1u);

  prompts.Informations.clear();
  const QString missing = QString::fromStdString(outputs.File("gone")) + " ";
  form->EditOutputFolder->setText(missing);
  form->ButtonConvert->click();
  const QString expected = "The output folder \"" + missing +
                           "\"\n\rdoes not exist or has been deleted!\n\rPlease choose a new "
                           "output folder.";
  EXPECT_EQ(prompts.Informations, std::vector<QString>{expected});
  EXPECT_EQ(prompts.FolderHeadlines.size(), 2u);
  EXPECT_FALSE(form->Converting);
  EXPECT_FALSE(form->ControlsDisabled());
  EXPECT_FALSE(form->TimerConvertAgain->isActive());
}

TEST_F(WindowTest, ProgressFromAWorkerThreadReachesTheRowBarAndStatusBar) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("clip.rm"))});
  form->CurrentRow = 0;
  struct TCase {
    int Frame, Current, Total;
    const char* Progress;
    const char* Frames;
    int Bar;
  };
  const TCase cases[] = {
      {12, 500, 2000, "25%", "12", 25},
      {-1, 2500, 2000, "100%", " ", 100},  // beyond the total: 100 %, the bar at its end
      {30, 700, 0, "100%", "30", 0},       // no total: frames only, the bar at 0
      {31, 700, -5, "100%", "31", 0},
  };
  for (const TCase& c : cases) {
    std::thread worker(
        [&] { form->ConverterProgress(0, c.Frame, 10, c.Current, 3.0f, 100.0f, 4096, c.Total); });
    worker.join();
    ASSERT_TRUE(WaitFor([&] { return Cell(0, colFrames) == c.Frames; }, 5000)) << c.Frames;
    EXPECT_EQ(Cell(0, colProgress), c.Progress);
    EXPECT_EQ(form->ProgressBar1->value(), c.Bar);
    EXPECT_EQ(form->StatusPanel[1]->text(), "File Size : 4096 Bytes");
  }
}

TEST_F(WindowTest, ConvertFromTheFileMenu) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("clip.rm"))});
  form->EditOutputFolder->setText(QString::fromStdString(outputs.Path()));
  form->Convert1->trigger();
  EXPECT_TRUE(form->Converting);
  EXPECT_TRUE(form->ControlsDisabled());
  ASSERT_TRUE(WaitFor([this] { return Completions() == 1; }));
  EXPECT_EQ(Cell(0, colProgress), "Done");
}

TEST_F(WindowTest, SettingsThatCannotBeTranslatedFailTheRowWithAMessage) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("one.rm")), MakeClip(inputs.File("two.rm"))});
  form->Lists.ComboSamplingRate.Select(-1);  // no sample rate: the number cannot be read
  ConvertAndWait();
  EXPECT_EQ(prompts.Count("Fail to add file to list!"), 2);
  EXPECT_EQ(Cell(0, colProgress), "Fail");
  EXPECT_EQ(Cell(1, colProgress), "Fail");
  EXPECT_EQ(Completions(), 1);
}

TEST_F(WindowTest, LetterBoxKeepsTheSourcePictureInsideTheChosenSize) {
  StartWindow();
  AddFiles({MakeClip(inputs.File("wide.rm"), 0.5, 320, 180)});
  const int size = form->ComboVideoSize->findText("320 x 240 (VGA)");
  form->ComboVideoSize->setCurrentIndex(size);
  form->ComboVideoSize->activated(size);
  form->ComboLetterBox->setCurrentIndex(1);
  form->ComboLetterBox->activated(1);
  ConvertAndWait();
  EXPECT_EQ(Cell(0, colProgress), "Done");
  const TOutputOptions& options = form->WindowOutputOptions;
  EXPECT_EQ(options.FrameSize, "320x180");
  EXPECT_EQ(options.PadTop + options.PadBottom, 60);
  const fixtures::MediaFacts facts = fixtures::Inspect(Output("wide.avi"));
  ASSERT_TRUE(facts.ok) << facts.error;
  ASSERT_TRUE(facts.First("video"));
  EXPECT_EQ(facts.First("video")->width, 320);
  EXPECT_EQ(facts.First("video")->height, 240);
}
