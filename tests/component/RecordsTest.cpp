// The option records as the component turns them into engine state.
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "ComponentTestSupport.h"
#include "OptionTranslation.h"

namespace {

using componenttest::ConverterTest;
using componenttest::MakeClip;

struct RangeCase {
  const char* text;
  std::vector<THookRange> ranges;
};

TEST(HookRanges, ParsesItemsAndDropsBadOnes) {
  const RangeCase cases[] = {
      {"", {}},
      {"0-5000,10000-12000", {{0, 5000000}, {10000000, 12000000}}},
      {" 1000 - 2000 ,  3000-4000 ", {{1000000, 2000000}, {3000000, 4000000}}},
      {"-3000", {{-1000, 3000000}}},  // empty start: -1 ms
      {"5000-", {}},                  // empty end: -1 ms, dropped
      {"7000-2000", {}},              // start after end
      {"1000", {}},                   // no minus sign
      {"x-2000,1000-y,2000-3000", {{-1000, 2000000}, {2000000, 3000000}}},
  };
  for (const RangeCase& c : cases) {
    const std::vector<THookRange> got = component::ParseHookRanges(c.text);
    ASSERT_EQ(got.size(), c.ranges.size()) << c.text;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].StartTime, c.ranges[i].StartTime) << c.text;
      EXPECT_EQ(got[i].EndTime, c.ranges[i].EndTime) << c.text;
    }
  }
}

TEST(Splitting, CutsAtTheFirstSeparator) {
  std::string source = "a=b=c";
  EXPECT_EQ(component::SplitOff(source, "=", false), "a");
  EXPECT_EQ(source, "a=b=c");
  EXPECT_EQ(component::SplitOff(source, "=", true), "a");
  EXPECT_EQ(source, "b=c");
  std::string none = "abc";
  EXPECT_EQ(component::SplitOff(none, ",", true), "abc");
  EXPECT_EQ(none, "");
}

// Runs the conversion under a given time zone, restoring the old one.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (hadOld_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

TEST(Timestamps, UseTheStandardTimeZoneBiasOnly) {
  const struct {
    const char* zone;
    double dateTime;
    int64_t seconds;
  } cases[] = {
      {"UTC", 25569.0, 0},
      {"UTC", 25569.5, 43200},
      {"CET-1CEST,M3.5.0,M10.5.0/3", 25569.0, -3600},
      // 1 July 2020 00:00 local: summer time, still corrected by one hour only.
      {"CET-1CEST,M3.5.0,M10.5.0/3", 44013.0, 1593561600 - 3600},
      {"EST5EDT", 25569.0, 5 * 3600},
  };
  for (const auto& c : cases) {
    TimeZone zone(c.zone);
    EXPECT_EQ(component::DateTimeToUnixSeconds(c.dateTime), c.seconds) << c.zone;
  }
}

TEST(Colors, SystemColorsResolveToRGB) {
  EXPECT_EQ(component::ColorToRGB(0x0000FF), 0x0000FF);
  EXPECT_EQ(component::ColorToRGB(static_cast<int32_t>(0xFF000005)), 0xFFFFFF);  // window
  EXPECT_EQ(component::ColorToRGB(static_cast<int32_t>(0xFF000008)), 0x000000);  // window text
}

class Records : public ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    clip = MakeClip(dir, "clip.rm");
  }

  // A task for the clip with the given input record; its engine.
  TFFmpeg* AddWith(TInputOptions* options) {
    const int index = converter.AddInputFile(clip, options);
    EXPECT_GE(index, 0) << converter.LastError();
    return index >= 0 ? converter.Tasks.Items(index) : nullptr;
  }

  // A task for the clip whose output (an AVI) is set with `options`.
  TFFmpeg* OutputWith(TOutputOptions& options, bool expectSuccess = true) {
    TFFmpeg* task = AddWith(nullptr);
    if (!task) return nullptr;
    const std::string name = dir.File("out" + std::to_string(++outputs) + ".avi");
    const bool ok = converter.SetOutputFile(task->Index, name, &options);
    EXPECT_EQ(ok, expectSuccess) << converter.LastError();
    return task;
  }

  std::string clip;
  int outputs = 0;
};

TEST_F(Records, NullInputRecordKeepsDefaultsAndOpensTheFile) {
  TFFmpeg* task = AddWith(nullptr);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->NbInputFiles, 1);
  EXPECT_EQ(task->InputOptions.FileName, "");
  EXPECT_EQ(task->InputOptions.StartTime, -1);
  EXPECT_EQ(converter.Tasks.Count(), 1);
}

TEST_F(Records, EmptyFileNamesAreFilledInTheCallersRecords) {
  TInputOptions input;
  InitInputOptions(input);
  TFFmpeg* task = AddWith(&input);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(input.FileName, clip);
  EXPECT_EQ(task->InputOptions.FileName, clip);
  TOutputOptions output;
  InitOutputOptions(output);
  ASSERT_TRUE(converter.SetOutputFile(task->Index, dir.File("named.avi"), &output));
  EXPECT_EQ(output.FileName, dir.File("named.avi"));
  EXPECT_EQ(task->OutputOptions.FileName, dir.File("named.avi"));
}

TEST_F(Records, StartTimeIsAppliedInMicrosecondsOnlyWhenPositive) {
  int64_t offsets[3];
  const int32_t starts[3] = {-1, 0, 1500};
  for (int i = 0; i < 3; ++i) {
    TInputOptions input;
    InitInputOptions(input);
    input.StartTime = starts[i];
    TFFmpeg* task = AddWith(&input);
    ASSERT_NE(task, nullptr);
    offsets[i] = task->InputFilesTsOffset[0];
  }
  EXPECT_EQ(offsets[0], offsets[1]);
  EXPECT_EQ(offsets[2] - offsets[1], -1500000) << "the input is offset by the start time";
}

TEST_F(Records, AudioVolumeZeroIsAppliedAndMinusOneIsNot) {
  for (int32_t volume : {0, -1, 512}) {
    TOutputOptions output;
    InitOutputOptions(output);
    output.AudioVolume = volume;
    TFFmpeg* task = OutputWith(output);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->AudioVolume, volume < 0 ? 256 : volume);
  }
}

TEST_F(Records, AlwaysWrittenFieldsOverrideTheExtraOptions) {
  TOutputOptions output;
  InitOutputOptions(output);
  output.ExtOptions = "vsync=1\r\nasync=3\r\ntitle=From the extra options\rauthor= spaced";
  output.AudioSync = 0;
  TFFmpeg* task = OutputWith(output);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->VideoSyncMethod, -1) << "VideoSync at its default is still written";
  EXPECT_EQ(task->AudioSyncMethod, 0);
  // Empty record texts leave what the extra options set; values are not trimmed.
  EXPECT_EQ(task->Title, "From the extra options");
  EXPECT_EQ(task->Author, " spaced");
}

TEST_F(Records, FullLengthTitleIsTakenWhole) {
  TOutputOptions output;
  InitOutputOptions(output);
  std::memset(output.Title, 'T', sizeof output.Title);
  std::memcpy(output.Genre, "Drama", 5);
  TFFmpeg* task = OutputWith(output);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->Title, std::string(512, 'T'));
  EXPECT_EQ(task->Genre, "Drama");
}

TEST_F(Records, TimestampMinusOneIsIgnoredAndZeroMeansNow) {
  TOutputOptions output;
  InitOutputOptions(output);
  TFFmpeg* untouched = OutputWith(output);
  ASSERT_NE(untouched, nullptr);
  EXPECT_EQ(untouched->RecTimestamp, 0);
  output.Timestamp = 0;
  output.FileName.clear();
  TFFmpeg* now = OutputWith(output);
  ASSERT_NE(now, nullptr);
  const int64_t expected = component::DateTimeToUnixSeconds(component::NowAsDateTime());
  EXPECT_NEAR(static_cast<double>(now->RecTimestamp), static_cast<double>(expected), 5.0);
}

TEST_F(Records, TargetPresetRunsAfterTheFields) {
  TOutputOptions output;
  InitOutputOptions(output);
  output.FrameSize = "320x240";
  output.Target = 2;
  output.TargetNorm = 2;
  TFFmpeg* task = AddWith(nullptr);
  ASSERT_NE(task, nullptr);
  ASSERT_TRUE(converter.SetOutputFile(task->Index, dir.File("out.mpg"), &output))
      << converter.LastError();
  EXPECT_EQ(task->FrameWidth, 480) << "the NTSC SVCD size replaces the record's";
  EXPECT_EQ(task->FrameHeight, 480);
  ASSERT_EQ(task->NbOutputFiles, 1);
  EXPECT_STREQ(task->OutputFiles[0].Context->oformat->name, "svcd");
}

TEST_F(Records, HookModeIsExactlyOneOfTheThree) {
  const struct {
    bool custom, before;
    bool expectCustom, expectBefore;
    size_t ranges;
  } cases[] = {
      {true, true, true, false, 0},
      {false, true, false, true, 0},
      {false, false, false, false, 2},
  };
  for (const auto& c : cases) {
    TOutputOptions output;
    InitOutputOptions(output);
    output.CustomHook = c.custom;
    output.BeforeHook = c.before;
    output.HookRanges = " 1000 - 2000 , 3000 -4000";
    TFFmpeg* task = OutputWith(output);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(static_cast<bool>(task->CustomHookHandler), c.expectCustom);
    EXPECT_EQ(static_cast<bool>(task->BeforeHookHandler), c.expectBefore);
    ASSERT_EQ(task->HookRanges.size(), c.ranges);
    if (c.ranges) {
      EXPECT_EQ(task->HookRanges[0].StartTime, 1000000);
      EXPECT_EQ(task->HookRanges[1].EndTime, 4000000);
    }
  }
}

TEST_F(Records, FailuresAreReportedThroughTheResult) {
  const int missing = converter.AddInputFile(dir.File("missing.rm"), nullptr);
  EXPECT_EQ(missing, -1);
  EXPECT_EQ(converter.LastError(), dir.File("missing.rm") + ": no such file or directory");
  EXPECT_EQ(converter.Tasks.Count(), 0);

  TOutputOptions output;
  InitOutputOptions(output);
  output.FrameSize = "321x240";
  TFFmpeg* task = OutputWith(output, false);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(converter.LastError(), "Frame size must be a multiple of 2");
  EXPECT_EQ(converter.Tasks.Count(), 1) << "a task whose output failed stays in the list";
  EXPECT_THROW(converter.SetOutputFile(5, dir.File("x.avi"), nullptr), std::out_of_range);
  converter.ClearTasks();
  EXPECT_EQ(converter.LastError(), "");
}

}  // namespace
