// "LetterBox": the source picture keeps its display aspect inside the chosen
// frame; inner size plus pads make the frame, all even, centred.
#include <gtest/gtest.h>

#include <string>

#include "Catalogue.h"
#include "LetterBox.h"

using namespace presets;

namespace {

TSettingLists LetterBoxed(bool on = true) {
  TSettingLists lists;
  lists.ComboLetterBox.SelectText(on ? "LetterBox" : "None");
  return lists;
}

TOutputOptions WithSize(const std::string& size, const std::string& aspect = "") {
  TOutputOptions options;
  options.FrameSize = size;
  options.AspectRatio = aspect;
  return options;
}

}  // namespace

TEST(LetterBox, PadsToKeepTheSourceAspect) {
  struct Case {
    const char* Name;
    int SourceWidth, SourceHeight;
    double SourceAspect;
    const char *Size, *Aspect;
    const char* Inner;
    int Top, Bottom, Left, Right;
  };
  const Case kCases[] = {
      {"wide into 4:3", 640, 360, 0, "640x480", "", "640x360", 60, 60, 0, 0},
      {"4:3 into wide", 640, 480, 0, "720x480", "", "640x480", 0, 0, 40, 40},
      {"wide into 4:3 shown 4:3", 640, 360, 0, "640x480", "4:3", "640x360", 60, 60, 0, 0},
      {"wide into 720x480 shown 4:3", 640, 360, 0, "720x480", "4:3", "720x360", 60, 60, 0, 0},
      {"anamorphic source", 720, 576, 16.0 / 9, "640x480", "", "640x360", 60, 60, 0, 0},
      {"uneven bands stay even", 640, 360, 0, "352x288", "", "352x198", 44, 46, 0, 0},
      {"scope into QVGA", 1920, 816, 0, "320x240", "1.3333", "320x136", 52, 52, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.Name);
    TOutputOptions options = WithSize(c.Size, c.Aspect);
    ApplyLetterBox(LetterBoxed(), c.SourceWidth, c.SourceHeight, c.SourceAspect, options);
    EXPECT_EQ(options.FrameSize, c.Inner);
    EXPECT_EQ(options.PadTop, c.Top);
    EXPECT_EQ(options.PadBottom, c.Bottom);
    EXPECT_EQ(options.PadLeft, c.Left);
    EXPECT_EQ(options.PadRight, c.Right);
    int w = 0, h = 0;
    ASSERT_EQ(std::sscanf(options.FrameSize.c_str(), "%dx%d", &w, &h), 2);
    int fw = 0, fh = 0;
    std::sscanf(c.Size, "%dx%d", &fw, &fh);
    EXPECT_EQ(w + options.PadLeft + options.PadRight, fw);
    EXPECT_EQ(h + options.PadTop + options.PadBottom, fh);
    for (int v : {w, h, options.PadTop, options.PadBottom, options.PadLeft, options.PadRight})
      EXPECT_EQ(v % 2, 0);
  }
}

TEST(LetterBox, PadsNothingWhenThereIsNothingToFit) {
  struct Case {
    const char* Name;
    bool On;
    int SourceWidth, SourceHeight;
    const char *Size, *Aspect;
    bool DisableVideo;
  };
  const Case kCases[] = {
      {"None chosen", false, 640, 360, "640x480", "", false},
      {"source size kept", true, 640, 360, "", "", false},
      {"no source picture", true, 0, 0, "640x480", "", false},
      {"video off", true, 640, 360, "640x480", "", true},
      {"already fills", true, 640, 480, "320x240", "", false},
      {"shown at the source aspect", true, 640, 360, "640x480", "1.7778", false},
      {"unusable size", true, 640, 360, "Auto", "", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.Name);
    TOutputOptions options = WithSize(c.Size, c.Aspect);
    options.DisableVideo = c.DisableVideo;
    ApplyLetterBox(LetterBoxed(c.On), c.SourceWidth, c.SourceHeight, 0, options);
    EXPECT_EQ(options.FrameSize, c.Size);
    EXPECT_EQ(options.PadTop, -1);
    EXPECT_EQ(options.PadBottom, -1);
    EXPECT_EQ(options.PadLeft, -1);
    EXPECT_EQ(options.PadRight, -1);
  }
}

TEST(LetterBox, AfterAnEntrysTranslation) {
  TSettingLists lists = LetterBoxed();
  FillOutputFormatCombo(lists);
  lists.ComboOutputFormat.SelectText("Archos AV500/GMini402 (*.avi)");  // 480 x 272
  ASSERT_TRUE(SelectOutputFormat(lists));
  TOutputOptions options;
  ASSERT_TRUE(ApplyOutputFormat(lists, 0, options, {}));
  ApplyLetterBox(lists, 640, 480, 0, options);
  EXPECT_EQ(options.FrameSize, "362x272");
  EXPECT_EQ(options.PadLeft, 58);
  EXPECT_EQ(options.PadRight, 60);
  EXPECT_EQ(options.PadTop, 0);
  EXPECT_EQ(options.PadBottom, 0);
}
