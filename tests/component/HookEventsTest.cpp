// The hook fields of the output record through the component: the time
// ranges, the before-hook and custom-hook events, and the refusals.
#include <cstdlib>
#include <string>
#include <vector>

#include "ComponentTestSupport.h"
#include "MediaInspect.h"

namespace {

const std::string kHookDir = REELSHIFT_HOOK_DIR;
const std::string kBoxHook = kHookDir + "/reelshift_drawbox.so 40 30 32 24 235 16 240";
const std::string kNoProcess = kHookDir + "/reelshift_noprocess.so";

constexpr int kPictures = 150;  // 15 s at 10 fps
constexpr int64_t kPictureUs = 100000;

// For each decoded picture: whether the rectangle x 40-71, y 30-53 (inset by
// `inset`) has the colour Y, U, V within `tolerance`.
std::vector<bool> ColourPerPicture(const std::string& path, const int yuv[3], int inset,
                                   int tolerance) {
  std::vector<bool> coloured;
  fixtures::DecodeFrames(path, "video", [&](const AVFrame* f) {
    bool all = f->format == AV_PIX_FMT_YUV420P;
    for (int y = 30 + inset; all && y < 54 - inset; ++y)
      for (int x = 40 + inset; all && x < 72 - inset; ++x)
        all = std::abs(f->data[0][y * f->linesize[0] + x] - yuv[0]) <= tolerance &&
              std::abs(f->data[1][(y / 2) * f->linesize[1] + x / 2] - yuv[1]) <= tolerance &&
              std::abs(f->data[2][(y / 2) * f->linesize[2] + x / 2] - yuv[2]) <= tolerance;
    coloured.push_back(all);
  });
  return coloured;
}

constexpr int kBoxYuv[3] = {235, 16, 240};
constexpr int kRedYuv[3] = {82, 90, 240};  // red through the RGB-to-YUV conversion

// The three planes of every decoded 4:2:0 picture, one after the other.
std::vector<std::vector<uint8_t>> DecodedBytes(const std::string& path) {
  std::vector<std::vector<uint8_t>> pictures;
  fixtures::DecodeFrames(path, "video", [&](const AVFrame* f) {
    std::vector<uint8_t> bytes;
    for (int p = 0; p < 3; ++p) {
      const int w = p ? f->width / 2 : f->width, h = p ? f->height / 2 : f->height;
      for (int y = 0; y < h; ++y)
        bytes.insert(bytes.end(), f->data[p] + y * f->linesize[p],
                     f->data[p] + y * f->linesize[p] + w);
    }
    pictures.push_back(std::move(bytes));
  });
  return pictures;
}

template <typename Predicate>
std::vector<bool> Pictures(Predicate predicate) {
  std::vector<bool> pictures;
  for (int i = 0; i < kPictures; ++i) pictures.push_back(predicate(i));
  return pictures;
}

class HookEvents : public componenttest::ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    clip = componenttest::MakeClip(dir, "clip.rm", 15);
    recorder.Attach(converter);
  }

  static TOutputOptions Output() {
    TOutputOptions options;
    InitOutputOptions(options);
    options.VideoCodec = "ffv1";
    options.DisableAudio = true;
    return options;
  }

  // Runs one task with the options into `output`; its termination.
  componenttest::Termination RunTask(const TOutputOptions& options, const std::string& output) {
    if (AddTask(clip, output, options) < 0) return {};
    converter.StartConvert(1);
    EXPECT_TRUE(recorder.WaitForBatchEnd());
    std::lock_guard<std::mutex> guard(recorder.lock);
    return recorder.terminations.empty() ? componenttest::Termination{}
                                         : recorder.terminations.front();
  }

  // Frees the previous case's task (its thread is gone after this) and
  // forgets its terminations.
  void Reset() {
    converter.ClearTasks();
    std::lock_guard<std::mutex> guard(recorder.lock);
    recorder.terminations.clear();
  }

  componenttest::EventRecorder recorder;
  std::string clip;
};

TEST_F(HookEvents, RangesOrTheBeforeHookChooseThePicturesTheModuleDrawsOn) {
  struct {
    const char* name;
    bool beforeHook;
    std::string ranges;
    std::vector<bool> boxed;
    int events;
    bool stopped;  // module processing switched off before the clip ended
  } cases[] = {
      {"ranges 0-5 s and 10-12 s", false, " 10000 - 12000 , 0-5000",
       Pictures([](int i) { return i <= 50 || (i >= 100 && i <= 120); }), 0, true},
      {"the before-hook ignores odd pictures; ranges are ignored", true, "0-1000",
       Pictures([](int i) { return i % 2 == 0; }), kPictures, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    std::vector<int> indexes;
    std::vector<int64_t> times;
    converter.OnBeforeHook = [&](int index, int64_t pts, THookAction& action) {
      indexes.push_back(index);
      times.push_back(pts);
      action = (pts / kPictureUs) % 2 ? haIgnore : haContinue;
    };
    TOutputOptions options = Output();
    options.ExtOptions = "vhook=" + kBoxHook;
    options.BeforeHook = c.beforeHook;
    options.HookRanges = c.ranges;
    const std::string output = dir.File(std::string(c.beforeHook ? "before" : "ranges") + ".mkv");
    const componenttest::Termination end = RunTask(options, output);
    EXPECT_TRUE(end.finished) << end.message;
    EXPECT_EQ(ColourPerPicture(output, kBoxYuv, 0, 0), c.boxed);
    EXPECT_EQ(indexes, std::vector<int>(c.events, 0));
    for (size_t i = 0; i < times.size(); ++i)
      EXPECT_EQ(times[i], kPictureUs * static_cast<int64_t>(i));
    EXPECT_EQ(converter.Tasks.Items(0)->UsingVHook == 0, c.stopped);
  }
}

TEST_F(HookEvents, TheCustomHookEventDrawsIntoTheOutput) {
  struct {
    const char* name;
    bool assigned;  // OnCustomHook assigned
    std::vector<bool> red;
  } cases[] = {
      {"drawing handler", true, std::vector<bool>(kPictures, true)},
      // Nothing draws, so the pictures do not go through RGB and back.
      {"no handler assigned", false, std::vector<bool>(kPictures, false)},
  };
  TOutputOptions plainOptions = Output();
  const std::string plain = dir.File("plain.mkv");
  ASSERT_TRUE(RunTask(plainOptions, plain).finished);
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    std::vector<int> indexes, frames;
    int beforeHooks = 0;
    converter.OnBeforeHook = [&](int, int64_t, THookAction&) { ++beforeHooks; };
    converter.OnCustomHook = nullptr;
    if (c.assigned)
      converter.OnCustomHook = [&](int index, TBitmap* bitmap, int frame, int64_t, bool&, bool&) {
        indexes.push_back(index);
        frames.push_back(frame);
        bitmap->FillRect(40, 30, 72, 54, 255, 0, 0);
      };
    TOutputOptions options = Output();
    options.CustomHook = true;
    options.BeforeHook = true;  // the custom hook wins
    const std::string output = dir.File(std::string(c.assigned ? "drawn" : "unassigned") + ".mkv");
    ASSERT_TRUE(RunTask(options, output).finished);
    EXPECT_EQ(ColourPerPicture(output, kRedYuv, 2, 3), c.red);
    EXPECT_EQ(beforeHooks, 0);
    if (c.assigned) {
      EXPECT_EQ(indexes, std::vector<int>(kPictures, 0));
      for (int i = 0; i < static_cast<int>(frames.size()); ++i) EXPECT_EQ(frames[i], i + 1);
    } else {
      EXPECT_TRUE(DecodedBytes(output) == DecodedBytes(plain));
    }
  }
}

TEST_F(HookEvents, StreamCopyWithAHookFailsTheRun) {
  struct {
    const char* name;
    bool customHook;
    std::string extOptions;
    std::string message;
  } cases[] = {
      {"custom hook", true, "",
       "-vcodec copy and CustomHook are incompatible (frames are not decoded)"},
      {"-vhook", false, "vhook=" + kBoxHook,
       "-vcodec copy and -vhook are incompatible (frames are not decoded)"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    TOutputOptions options = Output();
    options.VideoCodec = "copy";
    options.CustomHook = c.customHook;
    options.ExtOptions = c.extOptions;
    const componenttest::Termination end = RunTask(options, dir.File("copy.mkv"));
    EXPECT_FALSE(end.finished);
    EXPECT_TRUE(end.exception);
    EXPECT_EQ(end.message, c.message);
  }
}

TEST_F(HookEvents, AModuleWithoutProcessFailsTheOutput) {
  const int index = converter.AddInputFile(clip, nullptr);
  ASSERT_GE(index, 0) << converter.LastError();
  TOutputOptions options = Output();
  options.ExtOptions = "vhook=" + kNoProcess + " 1 2";
  EXPECT_FALSE(converter.SetOutputFile(index, dir.File("out.mkv"), &options));
  EXPECT_EQ(converter.LastError(), "Failed to add video hook function: " + kNoProcess + " 1 2");
  std::lock_guard<std::mutex> guard(recorder.lock);
  bool logged = false;
  for (const componenttest::LogLine& line : recorder.logs)
    logged = logged || line.text == "Failed to find Process entrypoint in " + kNoProcess;
  EXPECT_TRUE(logged);
}

}  // namespace
