// "LetterBox": the source picture keeps its display aspect inside the chosen
// frame; inner size plus pads make the frame, all even, centred.
#include <gtest/gtest.h>

#include <string>

#include "Catalogue.h"
#include "LetterBox.h"

using namespace presets;

namespace {

// aspectItem: 0 "Original", 1 "4:3 (Standard", 2 "16:9 (Wide Screen)".
TSettingLists LetterBoxed(bool on = true, int aspectItem = 0) {
  TSettingLists lists;
  lists.ComboLetterBox.SelectText(on ? "LetterBox" : "None");
  lists.ComboAspectRatio.Select(aspectItem);
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
  // Aspect is the driver's AspectRatio and its list item; with "Original" the
  // boxed frame is shown with square pixels and flagged with its own ratio.
  struct Case {
    const char* Name;
    int SourceWidth, SourceHeight;
    double SourceAspect;
    const char* Size;
    int AspectItem;
    const char *Aspect, *Inner;
    int Top, Bottom, Left, Right;
    const char* ResultAspect;
  };
  const Case kCases[] = {
      {"wide into 4:3", 640, 360, 0, "640x480", 0, "1.7778", "640x360", 60, 60, 0, 0, "1.3333"},
      {"4:3 into wide", 640, 480, 0, "720x480", 0, "1.3333", "640x480", 0, 0, 40, 40, "1.5"},
      {"wide into 640x480 shown 4:3", 640, 360, 0, "640x480", 1, "4:3", "640x360", 60, 60, 0, 0,
       "4:3"},
      {"wide into 720x480 shown 4:3", 640, 360, 0, "720x480", 1, "4:3", "720x360", 60, 60, 0, 0,
       "4:3"},
      {"4:3 into 720x576 shown 16:9", 640, 480, 0, "720x576", 2, "16:9", "540x576", 0, 0, 90, 90,
       "16:9"},
      {"anamorphic source", 720, 576, 16.0 / 9, "640x480", 0, "1.25", "640x360", 60, 60, 0, 0,
       "1.3333"},
      {"uneven bands stay even", 640, 360, 0, "352x288", 0, "1.7778", "352x198", 44, 46, 0, 0,
       "1.2222"},
      {"scope into QVGA", 1920, 816, 0, "320x240", 0, "2.3529", "320x136", 52, 52, 0, 0, "1.3333"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.Name);
    TOutputOptions options = WithSize(c.Size, c.Aspect);
    ApplyLetterBox(LetterBoxed(true, c.AspectItem), c.SourceWidth, c.SourceHeight, c.SourceAspect,
                   options);
    EXPECT_EQ(options.FrameSize, c.Inner);
    EXPECT_EQ(options.PadTop, c.Top);
    EXPECT_EQ(options.PadBottom, c.Bottom);
    EXPECT_EQ(options.PadLeft, c.Left);
    EXPECT_EQ(options.PadRight, c.Right);
    EXPECT_EQ(options.AspectRatio, c.ResultAspect);
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
    const char* Size;
    int AspectItem;
    const char* Aspect;
    bool DisableVideo;
  };
  const Case kCases[] = {
      {"None chosen", false, 640, 360, "640x480", 0, "1.7778", false},
      {"source size kept", true, 640, 360, "", 0, "1.7778", false},
      {"no source picture", true, 0, 0, "640x480", 0, "1.3333", false},
      {"video off", true, 640, 360, "640x480", 0, "1.3333", true},
      {"unusable size", true, 640, 360, "Auto", 0, "1.7778", false},
      {"shown at the source aspect", true, 640, 360, "640x480", 2, "16:9", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.Name);
    TOutputOptions options = WithSize(c.Size, c.Aspect);
    options.DisableVideo = c.DisableVideo;
    ApplyLetterBox(LetterBoxed(c.On, c.AspectItem), c.SourceWidth, c.SourceHeight, 0, options);
    EXPECT_EQ(options.FrameSize, c.Size);
    EXPECT_EQ(options.AspectRatio, c.Aspect);
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
  options.AspectRatio = "1.3333";  // "Original" for a 640x480 source
  ApplyLetterBox(lists, 640, 480, 0, options);
  EXPECT_EQ(options.AspectRatio, "1.7647");
  EXPECT_EQ(options.FrameSize, "362x272");
  EXPECT_EQ(options.PadLeft, 58);
  EXPECT_EQ(options.PadRight, 60);
  EXPECT_EQ(options.PadTop, 0);
  EXPECT_EQ(options.PadBottom, 0);
}
