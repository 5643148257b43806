// Frame-hook modules: loading, entry points, configuration, the module cache,
// the -vhook option with its word splitting and folder handling, and a module
// drawing into a real conversion.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "FrameHooks.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

const std::string kHookDir = REELSHIFT_HOOK_DIR;
const std::string kDrawBox = kHookDir + "/reelshift_drawbox.so";
const std::string kNoProcess = kHookDir + "/reelshift_noprocess.so";

// The library log lines of the test, collected from the log callback.
std::mutex gLogLock;
std::vector<std::string> gLibraryLog;

void CollectLog(void*, int level, const char* format, va_list args) {
  if (level > AV_LOG_ERROR) return;
  char line[1024];
  std::vsnprintf(line, sizeof line, format, args);
  std::lock_guard<std::mutex> guard(gLogLock);
  gLibraryLog.push_back(line);
}

// Owns the words handed to FrameHookAdd.
struct Words {
  explicit Words(std::vector<std::string> words) : text(std::move(words)) {
    for (std::string& w : text) pointers.push_back(w.data());
  }
  int Count() { return static_cast<int>(pointers.size()); }
  char** Argv() { return pointers.data(); }
  std::vector<std::string> text;
  std::vector<char*> pointers;
};

// A planar 4:2:0 picture of one grey level.
struct Picture {
  Picture(int w, int h)
      : width(w),
        height(h),
        planes{std::vector<uint8_t>(w * h, 16), std::vector<uint8_t>(w * h / 4, 128),
               std::vector<uint8_t>(w * h / 4, 128)} {
    for (int p = 0; p < 3; ++p) {
      record.data[p] = planes[p].data();
      record.linesize[p] = p ? w / 2 : w;
    }
    record.data[3] = nullptr;
    record.linesize[3] = 0;
  }
  uint8_t At(int plane, int x, int y) const {
    return planes[plane][y * record.linesize[plane] + x];
  }
  int width, height;
  std::vector<uint8_t> planes[3];
  THookPicture record;
};

class HookModules : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    ml::av_log_set_callback(CollectLog);
    std::lock_guard<std::mutex> guard(gLogLock);
    gLibraryLog.clear();
  }
  void TearDown() override {
    engine::FrameHookRelease(list);
    ml::av_log_set_callback(ml::av_log_default_callback);
  }
  std::vector<std::string> LibraryLog() {
    std::lock_guard<std::mutex> guard(gLogLock);
    return gLibraryLog;
  }
  int Add(std::vector<std::string> words) {
    Words w(std::move(words));
    return engine::FrameHookAdd(list, w.Count(), w.Argv());
  }
  std::vector<TFrameHookEntry> list;
};

TEST_F(HookModules, DrawBoxFillsItsBoxInEveryPlane) {
  ASSERT_EQ(Add({kDrawBox, "8", "6", "16", "12", "200", "50", "100"}), 0);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_NE(list[0].Context, nullptr);
  Picture picture(64, 48);
  engine::FrameHookProcess(list, &picture.record, AV_PIX_FMT_YUV420P, 64, 48, 0);
  EXPECT_EQ(picture.At(0, 8, 6), 200);
  EXPECT_EQ(picture.At(0, 23, 17), 200);
  EXPECT_EQ(picture.At(0, 24, 17), 16);
  EXPECT_EQ(picture.At(0, 8, 18), 16);
  EXPECT_EQ(picture.At(0, 7, 6), 16);
  EXPECT_EQ(picture.At(1, 4, 3), 50);
  EXPECT_EQ(picture.At(2, 11, 8), 100);
  EXPECT_EQ(picture.At(1, 12, 9), 128);
  // Other pixel formats are left alone.
  Picture packed(64, 48);
  engine::FrameHookProcess(list, &packed.record, AV_PIX_FMT_RGB24, 64, 48, 0);
  EXPECT_EQ(packed.At(0, 8, 6), 16);
  EXPECT_TRUE(LibraryLog().empty());
}

TEST_F(HookModules, FailuresReturnTheirCodesAndLogTheirLines) {
  struct {
    std::vector<std::string> words;
    int code;
    std::string logged;  // start of the library log line
  } cases[] = {
      {{kNoProcess}, -2, "Failed to find Process entrypoint in " + kNoProcess + "\n"},
      {{kDrawBox, "1", "2", "3"}, -22, "Failed to Configure " + kDrawBox + "\n"},
      {{kDrawBox, "0", "0", "0", "8", "1", "2", "3"}, -22, "Failed to Configure " + kDrawBox},
      {{kHookDir + "/missing.so"}, -1, kHookDir + "/missing.so: cannot open shared object file"},
  };
  for (auto& c : cases) {
    {
      std::lock_guard<std::mutex> guard(gLogLock);
      gLibraryLog.clear();
    }
    EXPECT_EQ(Add(c.words), c.code) << c.words[0];
    const std::vector<std::string> log = LibraryLog();
    ASSERT_EQ(log.size(), 1u) << c.words[0];
    EXPECT_EQ(log[0].rfind(c.logged, 0), 0u) << log[0];
  }
  EXPECT_EQ(engine::FrameHookAdd(list, 0, nullptr), -2);
  EXPECT_TRUE(list.empty());
}

TEST_F(HookModules, TheCacheLoadsEachFileOnce) {
  ASSERT_EQ(Add({kDrawBox, "0", "0", "2", "2", "1", "1", "1"}), 0);
  const size_t cached = engine::FrameHookCachedModules();
  ASSERT_EQ(Add({kDrawBox, "4", "4", "2", "2", "9", "9", "9"}), 0);
  EXPECT_EQ(engine::FrameHookCachedModules(), cached);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_NE(list[0].Context, list[1].Context);
  Picture picture(16, 16);
  engine::FrameHookProcess(list, &picture.record, AV_PIX_FMT_YUV420P, 16, 16, 0);
  EXPECT_EQ(picture.At(0, 0, 0), 1);
  EXPECT_EQ(picture.At(0, 4, 4), 9);
}

class VideoHookOption : public HookModules {
 protected:
  void SetUp() override {
    HookModules::SetUp();
    e.PrepareTask();
  }
  std::string Refusal(const std::string& text) {
    try {
      e.ParseOption("vhook", text);
    } catch (const FFMpegException& ex) {
      return ex.what();
    }
    return "(accepted)";
  }
  TCustomFFmpeg e;
};

TEST_F(VideoHookOption, WordsSplitAtBlanksOrBars) {
  for (const std::string& text :
       {kDrawBox + " 8  6 16 12 200 50 100", kDrawBox + "|8|6|16|12|200|50|100",
        kDrawBox + "|8||6|16|12|200|50|100"}) {
    TCustomFFmpeg fresh;
    fresh.PrepareTask();
    fresh.ParseOption("vhook", text);
    EXPECT_EQ(fresh.UsingVHook, 1) << text;
    ASSERT_EQ(fresh.HookModules.size(), 1u) << text;
  }
}

TEST_F(VideoHookOption, FailuresNameTheWholeText) {
  const std::string noProcess = kNoProcess + " a b";
  EXPECT_EQ(Refusal(noProcess), "Failed to add video hook function: " + noProcess);
  const std::vector<std::string> log = LibraryLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "Failed to find Process entrypoint in " + kNoProcess + "\n");
  std::string tooMany = kDrawBox;
  for (int i = 0; i < 64; ++i) tooMany += " 1";
  EXPECT_EQ(Refusal(tooMany), "Failed to add video hook function: " + tooMany);
  EXPECT_EQ(Refusal(" | "), "Failed to add video hook function:  | ");
  EXPECT_EQ(e.UsingVHook, 0);
  EXPECT_TRUE(e.HookModules.empty());
}

TEST_F(VideoHookOption, RelativeFolderIsFoundAndTheDirectoryRestored) {
  char before[PATH_MAX];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  const std::string parent = kHookDir.substr(0, kHookDir.rfind('/'));
  const std::string folder = kHookDir.substr(kHookDir.rfind('/') + 1);
  ASSERT_EQ(chdir(parent.c_str()), 0);
  const std::string text = folder + "/reelshift_drawbox.so 0 0 2 2 1 2 3";
  EXPECT_EQ(Refusal(text), "(accepted)");
  EXPECT_EQ(Refusal(folder + "/reelshift_noprocess.so"),
            "Failed to add video hook function: " + folder + "/reelshift_noprocess.so");
  char after[PATH_MAX];
  ASSERT_NE(getcwd(after, sizeof after), nullptr);
  EXPECT_EQ(std::string(after), parent);
  const char* path = std::getenv("PATH");
  ASSERT_NE(path, nullptr);
  EXPECT_NE(std::string(path).find(kHookDir + ":"), std::string::npos);
  ASSERT_EQ(chdir(before), 0);
  EXPECT_EQ(e.HookModules.size(), 1u);
}

TEST_F(VideoHookOption, TheBoxIsInTheConvertedPictures) {
  testsupport::TempDir dir;
  fixtures::FixtureSpec spec;
  spec.path = dir.File("in.rm");
  spec.seconds = 1;
  spec.audioCodec.clear();
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  const enginetest::Options common = {{"vcodec", "mpeg4"}, {"qscale", "2"}};
  enginetest::Options hooked = common;
  hooked.push_back({"vhook", kDrawBox + " 32 32 64 48 200 60 180"});
  const std::string withHook = dir.File("hooked.avi"), without = dir.File("plain.avi");
  ASSERT_TRUE(enginetest::Convert(spec.path, hooked, withHook).finished);
  ASSERT_TRUE(enginetest::Convert(spec.path, common, without).finished);
  auto boxCentre = [](const std::string& file) {
    std::vector<std::array<int, 3>> centres;
    fixtures::DecodeFrames(file, "video", [&](const AVFrame* f) {
      centres.push_back({f->data[0][56 * f->linesize[0] + 64], f->data[1][28 * f->linesize[1] + 32],
                         f->data[2][28 * f->linesize[2] + 32]});
    });
    return centres;
  };
  const auto hookedCentres = boxCentre(withHook), plainCentres = boxCentre(without);
  ASSERT_FALSE(hookedCentres.empty());
  ASSERT_EQ(hookedCentres.size(), plainCentres.size());
  int differing = 0;
  for (size_t i = 0; i < hookedCentres.size(); ++i) {
    EXPECT_NEAR(hookedCentres[i][0], 200, 4) << i;
    EXPECT_NEAR(hookedCentres[i][1], 60, 4) << i;
    EXPECT_NEAR(hookedCentres[i][2], 180, 4) << i;
    if (std::abs(plainCentres[i][0] - 200) > 8) ++differing;
  }
  EXPECT_GT(differing, 0);
}

}  // namespace
