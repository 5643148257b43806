// Rules the window and the command line share: output names, the aspect
// choice, the volume steps and the cell texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <set>
#include <string>

#include "BatchRules.h"
#include "TestSupport.h"

using namespace presets;

namespace {

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

TFileExists In(const std::set<std::string>& files) {
  return [files](const std::string& path) { return files.count(path) > 0; };
}

}  // namespace

TEST(OutputNames, ExistingNamesAreNumbered) {
  testsupport::TempDir dir;
  const std::string source = dir.File("clip.rm");
  EXPECT_EQ(UniqueOutputName(source, ".mp4"), dir.File("clip.mp4"));
  Touch(dir.File("clip.mp4"));
  EXPECT_EQ(UniqueOutputName(source, ".mp4"), dir.File("clip-1.mp4"));
  Touch(dir.File("clip-1.mp4"));
  EXPECT_EQ(UniqueOutputName(source, ".mp4"), dir.File("clip-2.mp4"));
  EXPECT_EQ(UniqueOutputName(source, ".avi"), dir.File("clip.avi"));

  EXPECT_EQ(OutputFileName(dir.Path(), "/media/in/clip.rmvb", "MP4", false),
            dir.File("clip-2.mp4"));
  EXPECT_EQ(OutputFileName(dir.Path(), "/media/in/clip.rmvb", "MP4", true), dir.File("clip.mp4"));
}

TEST(OutputNames, FolderSourceAndExtension) {
  struct Case {
    const char *Folder, *Source, *Extension;
    bool Overwrite;
    const char* Result;
  };
  const Case kCases[] = {
      {"/out", "/in/clip.rm", "AVI", false, "/out/clip.avi"},
      {"/out/", "/in/clip.rm", "3G2", false, "/out/clip.3g2"},
      {"/out", "  /in/clip.rm ", "MP4", false, "/out/clip.mp4"},
      {"/out", "/in.d/clip", "MP4", false, "/out/clip.mp4"},
      {"/out", "/in/my.clip.rmvb", "MPG", false, "/out/my.clip.mpg"},
      {"/out.d", "/in/taken.rm", "MP4", false, "/out.d/taken-1.mp4"},
      {"/out.d", "/in/taken.rm", "MP4", true, "/out.d/taken.mp4"},
      {"/", "/in/clip.ram", "WAV", false, "/clip.wav"},
  };
  const TFileExists exists = In({"/out.d/taken.mp4"});
  for (const Case& c : kCases)
    EXPECT_EQ(OutputFileName(c.Folder, c.Source, c.Extension, c.Overwrite, exists), c.Result)
        << c.Folder << " " << c.Source;
}

TEST(AspectChoice, ItemsAndTheSourceRatio) {
  struct Case {
    int Item;
    const char *Cell, *Aspect;
  };
  const Case kCases[] = {
      {0, "640x480", "1.3333"},  {0, "720x480", "1.5"},      {0, "720x576", "1.25"},
      {0, "1280x720", "1.7778"}, {0, " 352x288 ", "1.2222"}, {0, " ", "1.3333"},
      {0, "", "1.3333"},         {0, "640x0", "1.3333"},     {0, "0x480", "1.3333"},
      {0, "wide", "1.3333"},     {0, "640x480x2", "1.3333"}, {1, "720x576", "4:3"},
      {2, "640x480", "16:9"},    {3, "640x480", "kept"},     {-1, "640x480", "kept"},
  };
  for (const Case& c : kCases) {
    TOutputOptions options;
    options.AspectRatio = "kept";
    ApplyAspectChoice(c.Item, c.Cell, options);
    EXPECT_EQ(options.AspectRatio, c.Aspect) << c.Item << " '" << c.Cell << "'";
  }
}

TEST(VolumeSteps, TrackBarPositions) {
  const std::pair<const char*, int> kSteps[] = {
      {"0%", 1},     {"20%", 50},   {"40%", 100},  {"60%", 150},  {"80%", 200}, {"100%", 255},
      {"120%", 300}, {"140%", 350}, {"160%", 400}, {"180%", 450}, {"200%", 600}};
  for (int p = 0; p <= 10; ++p) {
    EXPECT_EQ(VolumeStep(p).Label, kSteps[p].first) << p;
    EXPECT_EQ(VolumeStep(p).Value, kSteps[p].second) << p;
  }
  EXPECT_EQ(VolumeStep(-3).Value, 1);
  EXPECT_EQ(VolumeStep(11).Value, 600);
}

TEST(CellTexts, DurationFrameRateSizeAndProgress) {
  const std::pair<int64_t, const char*> kDurations[] = {
      {0, "00:00:00"},        {3723000000LL, "01:02:03"},
      {59999999, "00:00:59"}, {360000000000LL, "100:00:00"},
      {-1, "Unknown"},        {INT64_MIN, "Unknown"}};
  for (auto [us, text] : kDurations) EXPECT_EQ(DurationText(us), text) << us;

  struct Rate {
    int Num, Den;
    const char* Text;
  };
  const Rate kRates[] = {{25, 1, "25"},
                         {30000, 1001, "29.97"},
                         {24000, 1001, "23.98"},
                         {15000, 1001, "14.99"},
                         {47, 2, "23.5"},
                         {12, 1, "12"},
                         {0, 0, " "},
                         {25, 0, " "}};
  for (const Rate& r : kRates) EXPECT_EQ(FrameRateText(r.Num, r.Den), r.Text) << r.Num;

  EXPECT_EQ(VideoSizeText(640, 480), "640x480");

  EXPECT_EQ(ProgressPercent(50, 100), 50);
  EXPECT_EQ(ProgressPercent(999, 1000), 99);
  EXPECT_EQ(ProgressPercent(150, 100), 100);
  EXPECT_EQ(ProgressPercent(10, 0), 0);
  EXPECT_EQ(ProgressPercent(10, -5), 0);
  EXPECT_EQ(ProgressPercent(INT64_MAX, INT64_MAX / 2), 100);
}
