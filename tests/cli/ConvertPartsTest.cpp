// The parts of `reelshift-cli convert` that need no conversion: its
// arguments, the setting lists they give, output names, the files it finds
// and the texts it prints.
#include <gtest/gtest.h>

#include <filesystem>

#include "ConvertConsole.h"
#include "ConvertFile.h"
#include "ConvertInputs.h"
#include "ConvertOptions.h"
#include "ConvertSettings.h"
#include "FixtureMaker.h"
#include "ProgressLine.h"
#include "TestSupport.h"

namespace {

using cli::TConvertRequest;

bool Parse(std::vector<std::string> words, TConvertRequest& request, std::string& error) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  return cli::ParseConvertArguments(static_cast<int>(argv.size()), argv.data(), request, error);
}

TEST(ConvertArguments, ReadsEveryOptionInBothSpellings) {
  TConvertRequest r;
  std::string error;
  ASSERT_TRUE(Parse(
      {"-f", "24", "--output-folder=out", "--overwrite", "--set", "ComboVideoSize=320 x 240 (VGA)",
       "--set=ComboAudioChannels=Mono", "--volume", "10", "--aspect", "16:9", "--letterbox", "-j2",
       "-r", "--log", "run.log", "a.rm", "--", "-odd.rm"},
      r, error))
      << error;
  EXPECT_EQ(r.Format, "24");
  EXPECT_EQ(r.OutputFolder, "out");
  EXPECT_TRUE(r.Overwrite);
  ASSERT_EQ(r.Settings.size(), 2u);
  EXPECT_EQ(r.Settings[0].List, "ComboVideoSize");
  EXPECT_EQ(r.Settings[0].Item, "320 x 240 (VGA)");
  EXPECT_EQ(r.Settings[1].Item, "Mono");
  EXPECT_EQ(r.Volume, 10);
  EXPECT_EQ(r.AspectItem, 2);
  EXPECT_TRUE(r.LetterBox);
  EXPECT_EQ(r.Jobs, 2);
  EXPECT_TRUE(r.Recursive);
  EXPECT_EQ(r.LogFile, "run.log");
  EXPECT_EQ(r.Inputs, (std::vector<std::string>{"a.rm", "-odd.rm"}));
}

TEST(ConvertArguments, DefaultsAreTheWindowsStartValues) {
  TConvertRequest r;
  std::string error;
  ASSERT_TRUE(Parse({"clip.rm"}, r, error)) << error;
  EXPECT_EQ(r.Format, "0");
  EXPECT_EQ(r.OutputFolder, ".");
  EXPECT_FALSE(r.Overwrite);
  EXPECT_EQ(r.Volume, 5);
  EXPECT_EQ(r.AspectItem, 0);
  EXPECT_FALSE(r.LetterBox);
  EXPECT_EQ(r.Jobs, 1);
  EXPECT_FALSE(r.Recursive);
}

TEST(ConvertArguments, RefusesWhatItCannotUse) {
  const struct {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      {{}, "no FILE_OR_FOLDER"},
      {{"--volume", "11", "a.rm"}, "--volume takes a position from 0 to 10"},
      {{"--volume", "5x", "a.rm"}, "--volume takes"},
      {{"-j", "0", "a.rm"}, "--jobs takes"},
      {{"--jobs=two", "a.rm"}, "--jobs takes"},
      {{"--aspect", "5:4", "a.rm"}, "--aspect takes original, 4:3 or 16:9"},
      {{"--set", "ComboAudioChannels", "a.rm"}, "--set takes LIST=ITEM"},
      {{"--set", "=Mono", "a.rm"}, "--set takes LIST=ITEM"},
      {{"--colour", "a.rm"}, "unknown option --colour"},
      {{"-x", "a.rm"}, "unknown option -x"},
      {{"-rf", "a.rm"}, "unknown option -rf"},
      {{"--overwrite=yes", "a.rm"}, "--overwrite takes no value"},
      {{"a.rm", "-o"}, "-o needs a value"},
  };
  for (const auto& c : cases) {
    TConvertRequest r;
    std::string error;
    EXPECT_FALSE(Parse(c.words, r, error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST(ConvertFormats, FindsAnEntryByTextOrPosition) {
  const struct {
    std::string text;
    int position;
    std::string message;
  } cases[] = {
      {"0", 0, ""},
      {"24", 24, ""},
      {"MP4 - MPEG4 Video (*.mp4)", 7, ""},
      {"15", -1, "is a separator"},
      {"50", -1, "outside the list (0 to 49)"},
      {"99999999999", -1, "outside the list"},
      {"mp4 - mpeg4 video (*.mp4)", -1, "unknown format"},
      {"", -1, "unknown format"},
      {"              -----------------------------------------", -1, "unknown format"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(cli::FindFormatPosition(c.text, error), c.position) << c.text;
    if (!c.message.empty()) {
      EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
  }
}

TEST(ConvertFormats, SetPicksComeAfterTheEntrysPreset) {
  TConvertRequest r;
  r.Format = "24";
  presets::TSettingLists lists;
  std::string error;
  ASSERT_TRUE(cli::BuildSettingLists(r, lists, error)) << error;
  EXPECT_EQ(lists.OutputExtension, "MP3");
  EXPECT_EQ(lists.ComboVideoSize.Count(), 0) << "an audio entry has no picture sizes";

  r.Format = "7";
  r.AspectItem = 2;
  r.LetterBox = true;
  r.Settings = {{"ComboVideoSize", "320 x 240 (VGA)"}, {"ComboAudioChannels", "Mono"}};
  ASSERT_TRUE(cli::BuildSettingLists(r, lists, error)) << error;
  EXPECT_EQ(lists.OutputExtension, "MP4");
  EXPECT_EQ(lists.ComboVideoSize.Text(), "320 x 240 (VGA)");
  EXPECT_EQ(lists.ComboAudioChannels.Text(), "Mono");
  EXPECT_EQ(lists.ComboAspectRatio.Text(), "16:9 (Wide Screen)");
  EXPECT_EQ(lists.ComboLetterBox.Text(), "LetterBox");
}

TEST(ConvertFormats, AWrongPickNamesWhatTheListHas) {
  const struct {
    cli::TSettingChoice choice;
    std::string message;
  } cases[] = {
      {{"ComboVideoSize", "321 x 240"}, "\"320 x 240 (VGA)\""},
      {{"ComboAudioChannels", "mono"}, "\"Mono\""},
      {{"ComboNoSuchList", "x"}, "ComboVideoSize"},
      {{"ComboOutputFormat", "MP3 - Mpeg Layer3 Audio (*.mp3)"}, "chosen with -f"},
  };
  for (const auto& c : cases) {
    TConvertRequest r;
    r.Settings = {c.choice};
    presets::TSettingLists lists;
    std::string error;
    EXPECT_FALSE(cli::BuildSettingLists(r, lists, error)) << c.choice.List;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST(ConvertNames, NeverReplaceAnotherFileOfTheRunOrAnInput) {
  testsupport::TempDir dir;
  ASSERT_TRUE(fixtures::WriteTextFile(dir.File("clip.mp4"), "x"));
  ASSERT_TRUE(fixtures::WriteTextFile(dir.File("clip.rm"), "x"));
  const std::vector<cli::TInputFile> inputs = {{dir.File("clip.rm"), ""}};

  cli::TOutputNames numbered(inputs, false);
  EXPECT_EQ(numbered.Choose(dir.Path(), "/elsewhere/clip.rm", "MP4"), dir.File("clip-1.mp4"));
  numbered.Claim(dir.File("clip-1.mp4"));
  EXPECT_EQ(numbered.Choose(dir.Path(), "/elsewhere/clip.rmvb", "MP4"), dir.File("clip-2.mp4"));

  cli::TOutputNames overwriting(inputs, true);
  EXPECT_EQ(overwriting.Choose(dir.Path(), "/elsewhere/clip.rm", "MP4"), dir.File("clip.mp4"));
  overwriting.Claim(dir.Path() + "/./clip.mp4");
  EXPECT_EQ(overwriting.Choose(dir.Path(), "/elsewhere/clip.rmvb", "MP4"), dir.File("clip-1.mp4"))
      << "two files of one run never write one output";
  EXPECT_EQ(overwriting.Choose(dir.Path(), dir.File("clip.rm"), "RM"), dir.File("clip-1.rm"))
      << "an output never replaces the file it is read from";
}

TEST(ConvertInputs, FindsRealMediaInAnyCaseAndKeepsTheirFolders) {
  const struct {
    const char* name;
    bool realMedia;
  } names[] = {{"a.rm", true},   {"b.RMVB", true}, {"c.Ram", true},      {"d.rm.txt", false},
               {"e.rmv", false}, {"rm", false},    {".rmvb.avi", false}, {"dir.rm/x", false}};
  for (const auto& n : names) EXPECT_EQ(cli::IsRealMediaName(n.name), n.realMedia) << n.name;
  testsupport::TempDir dir;
  std::filesystem::create_directories(dir.File("x/y"));
  for (const char* name : {"x/y/b.RM", "x/y/a.rmvb", "x/y/notes.txt", "top.ram", "x/skip.avi"})
    ASSERT_TRUE(fixtures::WriteTextFile(dir.File(name), "x"));
  std::vector<cli::TInputFile> files;
  std::string error;
  ASSERT_TRUE(cli::CollectInputs({dir.Path(), dir.File("x/skip.avi")}, true, files, error))
      << error;
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].Path, dir.File("top.ram"));
  EXPECT_EQ(files[0].RelativeFolder, "");
  EXPECT_EQ(files[1].Path, dir.File("x/y/a.rmvb"));
  EXPECT_EQ(files[1].RelativeFolder, "x/y");
  EXPECT_EQ(files[2].Path, dir.File("x/y/b.RM"));
  EXPECT_EQ(files[3].Path, dir.File("x/skip.avi")) << "a file named directly is taken as it is";
  EXPECT_EQ(files[3].RelativeFolder, "");

  files.clear();
  EXPECT_FALSE(cli::CollectInputs({dir.Path()}, false, files, error));
  EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
}

TEST(ConvertTexts, ProgressSizesAndClock) {
  const struct {
    cli::TFileProgress progress;
    std::string text;
  } cases[] = {
      {{1234, 45000, 100000, 2 * 1024 * 1024, 15}, "45% 1234 frames 2.0 MiB 3.0x 0:18 left"},
      {{-1, 0, 100000, 0, 0.2}, "0% 0 B --x -- left"},
      {{10, 5000, 0, 900, 1}, "0% 10 frames 900 B 5.0x -- left"},
      {{10, 5000, 4000, 1536, 1}, "100% 10 frames 1.5 KiB 5.0x 0:00 left"},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::ProgressText(c.progress), c.text);
  EXPECT_EQ(cli::SizeText(1023), "1023 B");
  EXPECT_EQ(cli::SizeText(3LL << 30), "3.0 GiB");
  EXPECT_EQ(cli::ClockText(59.9), "0:59");
  EXPECT_EQ(cli::ClockText(3723), "1:02:03");
  EXPECT_EQ(cli::ClockText(-4), "0:00");
  EXPECT_EQ(cli::SummaryText(3, 1, 0, 12.34), "3 done, 1 failed, 0 aborted in 12.3 s");
  EXPECT_EQ(cli::SummaryText(0, 0, 2, 61), "0 done, 0 failed, 2 aborted in 1:01");
  EXPECT_EQ(cli::FitToWidth("ab\xC3\xA9"
                            "cd",
                            3),
            "ab")
      << "a UTF-8 sequence stays whole";
  EXPECT_EQ(cli::FitToWidth("abc", 3), "abc");
}

}  // namespace
