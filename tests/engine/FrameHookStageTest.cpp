// The per-picture hook stage in real conversions: the time ranges, the
// before-hook handler, the custom hook on the 24-bit bitmap (also for packed
// B, G, R and palette pictures), and the conversions a hook rules out.
// Outputs are lossless, so pictures the hooks leave alone are compared byte
// for byte with an unhooked run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

const std::string kDrawBox = std::string(REELSHIFT_HOOK_DIR) + "/reelshift_drawbox.so";

constexpr int kWidth = 160, kHeight = 120, kFps = 10, kSeconds = 15;
constexpr size_t kPictures = kFps * kSeconds;
constexpr int64_t kPictureUs = 1000000 / kFps;
constexpr int64_t kSecond = 1000000;

// The rectangle the hooks paint (luma pixels; even, so chroma lines up).
struct Rect {
  int x, y, w, h;
};
constexpr Rect kBox = {40, 30, 32, 24};
// The module's colour as Y, U, V.
constexpr int kBoxYuv[3] = {235, 16, 240};
const std::string kBoxOption = kDrawBox + " 40 30 32 24 235 16 240";

// One decoded 4:2:0 picture, its planes copied out of the decoder's frame.
struct Picture {
  int width = 0;
  std::vector<uint8_t> planes[3];
  uint8_t At(int p, int x, int y) const { return planes[p][y * (p ? width / 2 : width) + x]; }
  bool operator==(const Picture&) const = default;
};

std::vector<Picture> Decode(const std::string& path) {
  std::vector<Picture> pictures;
  fixtures::DecodeFrames(path, "video", [&](const AVFrame* f) {
    Picture picture;
    if (f->format == AV_PIX_FMT_YUV420P) {
      picture.width = f->width;
      for (int p = 0; p < 3; ++p) {
        const int w = p ? f->width / 2 : f->width, h = p ? f->height / 2 : f->height;
        for (int y = 0; y < h; ++y)
          picture.planes[p].insert(picture.planes[p].end(), f->data[p] + y * f->linesize[p],
                                   f->data[p] + y * f->linesize[p] + w);
      }
    }
    pictures.push_back(std::move(picture));
  });
  return pictures;
}

bool Inside(const Rect& r, int p, int x, int y) {
  const int s = p ? 1 : 0;
  return x >= r.x >> s && x < (r.x + r.w) >> s && y >= r.y >> s && y < (r.y + r.h) >> s;
}

// Whether every pixel of the box, in all three planes, has the module's colour.
bool HasBox(const Picture& picture) {
  if (picture.planes[0].empty()) return false;
  for (int p = 0; p < 3; ++p) {
    const int s = p ? 1 : 0;
    for (int y = kBox.y >> s; y < (kBox.y + kBox.h) >> s; ++y)
      for (int x = kBox.x >> s; x < (kBox.x + kBox.w) >> s; ++x)
        if (picture.At(p, x, y) != kBoxYuv[p]) return false;
  }
  return true;
}

// Whether the pictures are equal outside the rectangle.
bool SameOutside(const Picture& a, const Picture& b, const Rect& r) {
  if (a.width != b.width) return false;
  for (int p = 0; p < 3; ++p) {
    const int w = p ? a.width / 2 : a.width;
    const int h = static_cast<int>(a.planes[p].size()) / (w ? w : 1);
    if (a.planes[p].size() != b.planes[p].size()) return false;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (!Inside(r, p, x, y) && a.At(p, x, y) != b.At(p, x, y)) return false;
  }
  return true;
}

int64_t PtsOf(size_t picture) {
  return static_cast<int64_t>(picture) * kPictureUs;
}

// A module entry of the test's own: it records the pts of each picture the
// engine hands to the modules.
void RecordPts(void* context, THookPicture*, int, int, int, int64_t pts) {
  static_cast<std::vector<int64_t>*>(context)->push_back(pts);
}

void AddPtsRecorder(TCustomFFmpeg& engine, std::vector<int64_t>& seen) {
  TFrameHookEntry entry;
  entry.Process = RecordPts;
  entry.Context = &seen;
  engine.HookModules.push_back(entry);
}

struct HookedRun {
  enginetest::Outcome outcome;
  std::vector<Picture> pictures;
};

using BeforeStart = std::function<void(TCustomFFmpeg&)>;

class FrameHookStage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    fixtures::FixtureSpec spec;
    spec.path = clip;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.fpsNum = kFps;
    spec.seconds = kSeconds;
    spec.audioCodec.clear();
    std::string error;
    ASSERT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  }

  // Converts the clip to FFV1 with the extra options; `setup` runs on the
  // engine just before the start.
  HookedRun Convert(TCustomFFmpeg& engine, const enginetest::Options& extra,
                    const BeforeStart& setup = {}) {
    HookedRun run;
    const std::string output = dir.File("out" + std::to_string(runs++) + ".mkv");
    enginetest::Options after = {{"vcodec", "ffv1"}};
    after.insert(after.end(), extra.begin(), extra.end());
    if (!enginetest::Open(engine, {}, clip, after, output, run.outcome.openError)) {
      ADD_FAILURE() << run.outcome.openError;
      return run;
    }
    enginetest::Recorder recorder;
    recorder.Attach(engine, false);
    if (setup) setup(engine);
    engine.Start(false);
    run.outcome = recorder.Take(engine);
    run.outcome.opened = true;
    EXPECT_TRUE(run.outcome.finished) << run.outcome.message;
    EXPECT_EQ(run.outcome.framesDuplicated + run.outcome.framesDropped, 0);
    run.pictures = Decode(output);
    return run;
  }
  HookedRun Convert(const enginetest::Options& extra, const BeforeStart& setup = {}) {
    TCustomFFmpeg engine;
    return Convert(engine, extra, setup);
  }

  // Every picture: the box (and nothing else changed) where `boxed` holds,
  // otherwise exactly the unhooked picture; the recorder saw those pictures.
  void ExpectBoxWhere(const HookedRun& hooked, const std::function<bool(size_t)>& boxed,
                      const std::vector<int64_t>& recorded) {
    const std::vector<Picture>& plain = Plain();
    ASSERT_EQ(hooked.pictures.size(), kPictures);
    ASSERT_EQ(plain.size(), kPictures);
    std::vector<int64_t> expected;
    for (size_t i = 0; i < kPictures; ++i) {
      if (boxed(i)) {
        expected.push_back(PtsOf(i));
        EXPECT_TRUE(HasBox(hooked.pictures[i])) << "picture " << i;
        EXPECT_TRUE(SameOutside(hooked.pictures[i], plain[i], kBox)) << "picture " << i;
      } else {
        EXPECT_TRUE(hooked.pictures[i] == plain[i]) << "picture " << i;
      }
    }
    EXPECT_EQ(recorded, expected);
  }

  const std::vector<Picture>& Plain() {
    if (plain_.empty()) plain_ = Convert({}).pictures;
    return plain_;
  }

  // The pictures of a custom hook that draws nothing and keeps AUpdate: each
  // went to RGB and back.
  const std::vector<Picture>& RoundTrip() {
    if (roundTrip_.empty())
      roundTrip_ =
          Convert({}, [](TCustomFFmpeg& e) {
            e.CustomHookHandler = [](TCustomFFmpeg*, TBitmap*, int, int64_t, bool&, bool&) {};
          }).pictures;
    return roundTrip_;
  }

  testsupport::TempDir dir;
  const std::string clip = dir.File("clip.rm");
  int runs = 0;

 private:
  std::vector<Picture> plain_, roundTrip_;
};

TEST_F(FrameHookStage, TimeRangesChooseThePicturesAndHookingStopsAfterTheLast) {
  struct {
    const char* name;
    std::vector<THookRange> ranges;
    std::function<bool(size_t)> boxed;
    bool stopped;  // hooking switched off before the clip ended
  } cases[] = {
      {"0-5 s and 10-12 s, given unsorted",
       {{10 * kSecond, 12 * kSecond}, {0, 5 * kSecond}},
       [](size_t i) { return i <= 50 || (i >= 100 && i <= 120); },
       true},
      {"overlapping ranges",
       {{kSecond, 8 * kSecond}, {0, 3 * kSecond}},
       [](size_t i) { return i <= 80; },
       true},
      {"the clip ends inside the range",
       {{2 * kSecond, 20 * kSecond}},
       [](size_t i) { return i >= 20; },
       false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomFFmpeg engine;
    std::vector<int64_t> recorded;
    const HookedRun run = Convert(engine, {{"vhook", kBoxOption}}, [&](TCustomFFmpeg& e) {
      AddPtsRecorder(e, recorded);
      e.SetHookRanges(c.ranges);
    });
    ExpectBoxWhere(run, c.boxed, recorded);
    EXPECT_EQ(engine.UsingVHook == 0, c.stopped);
    EXPECT_EQ(engine.HookAction, c.stopped ? haStop : haContinue);
  }
}

TEST_F(FrameHookStage, BeforeHookDecidesPerPictureWithAStickyAction) {
  struct {
    const char* name;
    // Changes the action for picture i (or leaves it as it came).
    std::function<void(size_t i, THookAction& action)> answer;
    std::function<bool(size_t)> boxed;
    size_t calls;
    std::string logged;  // the one level-0 line expected, or empty
  } cases[] = {
      {"odd pictures ignored", [](size_t i, THookAction& a) { a = i % 2 ? haIgnore : haContinue; },
       [](size_t i) { return i % 2 == 0; }, kPictures, ""},
      {"ignoring lasts until the handler says otherwise",
       [](size_t i, THookAction& a) {
         if (i == 40) a = haIgnore;
         if (i == 60) a = haContinue;
       },
       [](size_t i) { return i < 40 || i >= 60; }, kPictures, ""},
      {"haStop once ends hooking",
       [](size_t i, THookAction& a) {
         if (i == 30) a = haStop;
       },
       [](size_t i) { return i < 30; }, 31, ""},
      {"a raising handler ends hooking",
       [](size_t i, THookAction&) {
         if (i == 20) throw std::runtime_error("no more pictures");
       },
       [](size_t i) { return i < 20; }, 21, "Error occurs OnBeforeHook: no more pictures"},
      {"a handler raising something else",
       [](size_t i, THookAction&) {
         if (i == 20) throw static_cast<int>(i);
       },
       [](size_t i) { return i < 20; }, 21, "Error occurs OnBeforeHook: Unknown exception"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int64_t> recorded, asked;
    std::vector<THookAction> given, answered;
    const HookedRun run = Convert({{"vhook", kBoxOption}}, [&](TCustomFFmpeg& e) {
      AddPtsRecorder(e, recorded);
      e.BeforeHookHandler = [&](TCustomFFmpeg* sender, int64_t pts, THookAction& action) {
        EXPECT_EQ(sender, &e);
        asked.push_back(pts);
        given.push_back(action);
        c.answer(static_cast<size_t>(pts / kPictureUs), action);
        answered.push_back(action);
      };
    });
    ExpectBoxWhere(run, c.boxed, recorded);
    ASSERT_EQ(asked.size(), c.calls);
    for (size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i], PtsOf(i));
    // Each call starts from the previous call's answer.
    EXPECT_EQ(given.front(), haContinue);
    for (size_t i = 1; i < given.size(); ++i) EXPECT_EQ(given[i], answered[i - 1]) << i;
    std::vector<std::string> errors;
    for (auto& [level, text] : run.outcome.logs)
      if (level == 0 && text.find("OnBeforeHook") != std::string::npos) errors.push_back(text);
    EXPECT_EQ(errors,
              c.logged.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.logged});
  }
}

// Red as the RGB-to-YUV conversion gives it (limited range, BT.601).
constexpr int kRedYuv[3] = {82, 90, 240};

// Whether the inside of the rectangle (2 pixels in from its edge) is red.
bool IsRed(const Picture& picture) {
  for (int p = 0; p < 3; ++p) {
    const int s = p ? 1 : 0;
    for (int y = (kBox.y >> s) + 2; y < ((kBox.y + kBox.h) >> s) - 2; ++y)
      for (int x = (kBox.x >> s) + 2; x < ((kBox.x + kBox.w) >> s) - 2; ++x)
        if (std::abs(picture.At(p, x, y) - kRedYuv[p]) > 3) return false;
  }
  return true;
}

// The share of luma pixels within 3 of the other picture's.
double LumaAgreement(const Picture& a, const Picture& b) {
  int close = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) close += std::abs(a.At(0, x, y) - b.At(0, x, y)) <= 3;
  return static_cast<double>(close) / (kWidth * kHeight);
}

// The drawn rectangle with the rim the chroma filters spread it over.
constexpr Rect kDrawnArea = {kBox.x - 4, kBox.y - 4, kBox.w + 8, kBox.h + 8};

TEST_F(FrameHookStage, CustomHookDrawsOnTheBitmapAndDecidesWhatIsKept) {
  // The bitmap carries the picture: to RGB and back keeps most of it (not
  // all: the clip's strong chroma next to black lies outside the RGB cube).
  ASSERT_EQ(RoundTrip().size(), kPictures);
  ASSERT_EQ(Plain().size(), kPictures);
  for (size_t i = 0; i < kPictures; ++i)
    EXPECT_GT(LumaAgreement(RoundTrip()[i], Plain()[i]), 0.7) << "picture " << i;
  enum Ending { kReturns, kRaises, kRaisesOther, kResizes };
  struct {
    const char* name;
    size_t stopAt;  // the call that sets AStopHook (0: none)
    bool update;    // AUpdate left true
    Ending ending;  // after drawing
    size_t calls;
    size_t drawn;       // pictures 0..drawn-1 show the drawing
    std::string error;  // logged for every picture; "#" stands for the frame number
  } cases[] = {
      {"drawing kept", 0, true, kReturns, kPictures, kPictures, ""},
      {"drawing discarded", 0, false, kReturns, kPictures, 0, ""},
      {"AStopHook after ten pictures", 10, true, kReturns, 10, 10, ""},
      {"raising on every picture", 0, true, kRaises, kPictures, 0,
       "Error occurs OnCustomHook: picture #"},
      {"raising something else", 0, true, kRaisesOther, kPictures, 0,
       "Error occurs OnCustomHook: Unknown exception"},
      {"resizing the bitmap", 0, true, kResizes, kPictures, 0, ""},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomFFmpeg engine;
    std::vector<int> frameNumbers;
    std::vector<int64_t> times;
    bool lockedDuringCall = true, bitmapRight = true;
    const HookedRun run = Convert(engine, {}, [&](TCustomFFmpeg& e) {
      e.CustomHookHandler = [&](TCustomFFmpeg* sender, TBitmap* bitmap, int frame, int64_t pts,
                                bool& update, bool& stop) {
        EXPECT_EQ(sender, &e);
        EXPECT_TRUE(update);
        EXPECT_FALSE(stop);
        frameNumbers.push_back(frame);
        times.push_back(pts);
        bitmapRight = bitmapRight && bitmap->Width() == kWidth && bitmap->Height() == kHeight;
        std::thread other([&] {
          if (bitmap->TryLock()) {
            lockedDuringCall = false;
            bitmap->Unlock();
          }
        });
        other.join();
        bitmap->FillRect(kBox.x, kBox.y, kBox.x + kBox.w, kBox.y + kBox.h, 255, 0, 0);
        update = c.update;
        stop = frameNumbers.size() == c.stopAt;
        if (c.ending == kRaises) throw std::runtime_error("picture " + std::to_string(frame));
        if (c.ending == kRaisesOther) throw frame;
        if (c.ending == kResizes) bitmap->SetSize(8, 8);
      };
    });
    EXPECT_TRUE(lockedDuringCall);
    EXPECT_TRUE(bitmapRight);
    ASSERT_EQ(frameNumbers.size(), c.calls);
    for (size_t i = 0; i < c.calls; ++i) {
      EXPECT_EQ(frameNumbers[i], static_cast<int>(i + 1));
      EXPECT_EQ(times[i], PtsOf(i));
    }
    const std::vector<Picture>& plain = Plain();
    const std::vector<Picture>& roundTrip = RoundTrip();
    ASSERT_EQ(run.pictures.size(), kPictures);
    ASSERT_EQ(plain.size(), kPictures);
    ASSERT_EQ(roundTrip.size(), kPictures);
    for (size_t i = 0; i < kPictures; ++i) {
      if (i < c.drawn) {
        EXPECT_TRUE(IsRed(run.pictures[i])) << "picture " << i;
        EXPECT_TRUE(SameOutside(run.pictures[i], roundTrip[i], kDrawnArea)) << "picture " << i;
      } else {
        EXPECT_TRUE(run.pictures[i] == plain[i]) << "picture " << i;
      }
    }
    std::vector<std::string> errors, expected;
    for (auto& [level, text] : run.outcome.logs)
      if (level == 0 && text.find("OnCustomHook") != std::string::npos) errors.push_back(text);
    for (size_t i = 1; i <= kPictures && !c.error.empty(); ++i) {
      std::string line = c.error;
      if (line.back() == '#') line.replace(line.size() - 1, 1, std::to_string(i));
      expected.push_back(line);
    }
    EXPECT_EQ(errors, expected);
    const bool stopped = c.stopAt != 0;
    EXPECT_EQ(engine.CustomHookHandler == nullptr, stopped);
    EXPECT_EQ(engine.HookAction, stopped ? haStop : haContinue);
  }
}

// An encoder that reorders pictures for B-frames still gets each hooked
// picture as it was handed over, although the work picture is reused for the
// next one: each picture gets a grey of its own.
TEST_F(FrameHookStage, AReorderingEncoderGetsEachPictureAsItWas) {
  auto grey = [](size_t picture) { return static_cast<uint8_t>(40 + 40 * (picture % 5)); };
  const HookedRun run =
      Convert({{"vcodec", "mpeg4"}, {"qscale", "1"}, {"bf", "2"}}, [&](TCustomFFmpeg& e) {
        e.CustomHookHandler = [&](TCustomFFmpeg*, TBitmap* bitmap, int frame, int64_t, bool&,
                                  bool&) {
          const uint8_t v = grey(frame - 1);
          bitmap->FillRect(kBox.x, kBox.y, kBox.x + kBox.w, kBox.y + kBox.h, v, v, v);
        };
      });
  ASSERT_EQ(run.pictures.size(), kPictures);
  for (size_t i = 0; i < kPictures; ++i) {
    double sum = 0;
    int count = 0;
    for (int y = kBox.y + 4; y < kBox.y + kBox.h - 4; ++y)
      for (int x = kBox.x + 4; x < kBox.x + kBox.w - 4; ++x, ++count)
        sum += run.pictures[i].At(0, x, y);
    EXPECT_NEAR(sum / count, 16 + 219.0 * grey(i) / 255, 6) << "picture " << i;
  }
}

TEST_F(FrameHookStage, StreamCopyRefusesEitherHook) {
  struct {
    const char* name;
    enginetest::Options options;
    bool customHook;
    std::string message;
  } cases[] = {
      {"-vhook",
       {{"vhook", kBoxOption}},
       false,
       "-vcodec copy and -vhook are incompatible (frames are not decoded)"},
      {"custom hook",
       {},
       true,
       "-vcodec copy and CustomHook are incompatible (frames are not decoded)"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TCustomFFmpeg engine;
    enginetest::Options after = {{"vcodec", "copy"}};
    after.insert(after.end(), c.options.begin(), c.options.end());
    std::string error;
    ASSERT_TRUE(enginetest::Open(engine, {}, clip, after, dir.File("copy.mkv"), error)) << error;
    enginetest::Recorder recorder;
    recorder.Attach(engine, false);
    int calls = 0;
    if (c.customHook)
      engine.CustomHookHandler = [&](TCustomFFmpeg*, TBitmap*, int, int64_t, bool&, bool&) {
        ++calls;
      };
    engine.Start(false);
    const enginetest::Outcome outcome = recorder.Take(engine);
    EXPECT_FALSE(outcome.finished);
    EXPECT_TRUE(outcome.exception);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(calls, 0);
  }
}

// Clips whose decoders deliver packed pictures: B, G, R (targa) or palette
// (smc). Each picture is kept as its first plane's bytes and its palette.
struct PackedRun {
  enginetest::Outcome outcome;
  std::vector<std::vector<uint8_t>> pictures;
};

class FrameHookPacked : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }

  // Makes a 2-second clip with `codec` and converts it with the same codec.
  PackedRun Convert(TCustomFFmpeg& engine, const std::string& codec, AVPixelFormat format,
                    const TCustomHookHandler& hook) {
    fixtures::FixtureSpec spec;
    spec.path = dir.File(codec + ".mkv");
    spec.videoCodec = codec;
    spec.width = kWidth;
    spec.height = kHeight;
    spec.fpsNum = kFps;
    spec.seconds = 2;
    spec.audioCodec.clear();
    std::string error;
    PackedRun run;
    if (!testsupport::FileExists(spec.path) && !fixtures::MakeFixture(spec, &error)) {
      ADD_FAILURE() << error;
      return run;
    }
    const std::string output = dir.File("out" + std::to_string(runs++) + ".mkv");
    if (!enginetest::Open(engine, {}, spec.path, {{"vcodec", codec}}, output, error)) {
      ADD_FAILURE() << error;
      return run;
    }
    enginetest::Recorder recorder;
    recorder.Attach(engine, false);
    engine.CustomHookHandler = hook;
    engine.Start(false);
    run.outcome = recorder.Take(engine);
    EXPECT_TRUE(run.outcome.finished) << run.outcome.message;
    const int bytesPerPixel = format == AV_PIX_FMT_BGR24 ? 3 : 1;
    fixtures::DecodeFrames(output, "video", [&](const AVFrame* f) {
      EXPECT_EQ(f->format, format);
      std::vector<uint8_t> bytes;
      if (format == AV_PIX_FMT_PAL8) bytes.assign(f->data[1], f->data[1] + 1024);
      for (int y = 0; y < f->height; ++y)
        bytes.insert(bytes.end(), f->data[0] + y * f->linesize[0],
                     f->data[0] + y * f->linesize[0] + f->width * bytesPerPixel);
      run.pictures.push_back(std::move(bytes));
    });
    return run;
  }
  PackedRun Convert(const std::string& codec, AVPixelFormat format) {
    TCustomFFmpeg engine;
    return Convert(engine, codec, format, nullptr);
  }

  testsupport::TempDir dir;
  int runs = 0;
};

// Draws the red box on the bitmap and counts the calls.
TCustomHookHandler RedBox(int& calls) {
  return [&calls](TCustomFFmpeg*, TBitmap* bitmap, int, int64_t, bool&, bool&) {
    ++calls;
    bitmap->FillRect(kBox.x, kBox.y, kBox.x + kBox.w, kBox.y + kBox.h, 255, 0, 0);
  };
}

// B, G, R pictures: the bitmap is filled from the picture and written back
// into it with no conversion either way.
TEST_F(FrameHookPacked, BgrPicturesAreTheBitmapItself) {
  const PackedRun plain = Convert("targa", AV_PIX_FMT_BGR24);
  TCustomFFmpeg engine;
  int calls = 0;
  const PackedRun drawn = Convert(engine, "targa", AV_PIX_FMT_BGR24, RedBox(calls));
  EXPECT_EQ(calls, 20);
  ASSERT_EQ(plain.pictures.size(), 20u);
  ASSERT_EQ(drawn.pictures.size(), 20u);
  for (size_t i = 0; i < drawn.pictures.size(); ++i) {
    std::vector<uint8_t> expected = plain.pictures[i];
    for (int y = kBox.y; y < kBox.y + kBox.h; ++y)
      for (int x = kBox.x; x < kBox.x + kBox.w; ++x) {
        uint8_t* pixel = expected.data() + (y * kWidth + x) * 3;
        pixel[0] = pixel[1] = 0;
        pixel[2] = 255;
      }
    EXPECT_TRUE(drawn.pictures[i] == expected) << "picture " << i;
  }
}

// Palette pictures go to RGB, but the scaler cannot write them back: the
// failure is logged once, the picture is left as it was and custom hooking
// ends for the run.
TEST_F(FrameHookPacked, AFailingWayBackEndsCustomHooking) {
  const PackedRun plain = Convert("smc", AV_PIX_FMT_PAL8);
  TCustomFFmpeg engine;
  int calls = 0;
  const PackedRun hooked = Convert(engine, "smc", AV_PIX_FMT_PAL8, RedBox(calls));
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(plain.pictures.size(), 20u);
  EXPECT_TRUE(hooked.pictures == plain.pictures);
  int failures = 0;
  for (auto& [level, text] : hooked.outcome.logs)
    failures += level == 0 && text == "Cannot initialize the fromRGB conversion context";
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(engine.CustomHookHandler, nullptr);
  EXPECT_EQ(engine.HookAction, haStop);
}

}  // namespace
