// A stop through the conversion component in each phase of a file, and a
// pause of ten seconds: the file ends "Abort" (or "Done" when the stop came
// after the last packet), never with a failure, within a bounded time, and
// its output is finished and playable.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "FixtureMaker.h"
#include "MediaConverter.h"
#include "MediaInspect.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

namespace {

using namespace reliability;
using namespace std::chrono_literals;

constexpr double kClipSeconds = 4;

// Public: the phase table reaches into the fixture.
class StopPhases : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    ASSERT_TRUE(converter.LoadLibraries("", true)) << converter.LastError();
    converter.SetProgressInterval(100);
    converter.OnProgress = [this](int, int frames, int, int current, float, float, int64_t,
                                  int total) {
      Change([&] {
        frames_ = frames;
        currentMs_ = current;
        totalMs_ = total;
      });
    };
    converter.OnTerminate = [this](int index, bool finished, bool exception,
                                   const std::string& message) {
      Change([&] {
        if (index < 0) {
          batchEnded_ = true;
          return;
        }
        ++ends_;
        finished_ = finished;
        exception_ = exception;
        message_ = message;
      });
    };
    clip = MakeClip(dir.File("clip.rm"), kClipSeconds);
    digest = testsupport::Sha256(clip);
  }

  void TearDown() override {
    converter.ClearTasks();
    converter.UnassignEvents();
    EXPECT_EQ(testsupport::Sha256(clip), digest) << "the source is unchanged";
  }

  // The clip at its own pace (the input's rate is kept), into MPEG-4 and MP2.
  void Start() {
    TInputOptions input;
    InitInputOptions(input);
    input.ExtOptions = "re";
    const int index = converter.AddInputFile(clip, &input);
    ASSERT_GE(index, 0) << converter.LastError();
    TOutputOptions options;
    InitOutputOptions(options);
    options.VideoCodec = "mpeg4";
    options.AudioCodec = "mp2";
    ASSERT_TRUE(converter.SetOutputFile(index, output, &options)) << converter.LastError();
    converter.StartConvert(1);
  }

  template <typename Condition>
  bool WaitUntil(Condition condition, std::chrono::seconds limit = 30s) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, limit, condition);
  }
  bool WaitForEnd() {
    return WaitUntil([this] { return batchEnded_; }, 60s);
  }
  int CurrentMs() {
    std::lock_guard<std::mutex> guard(lock_);
    return currentMs_;
  }
  int Frames() {
    std::lock_guard<std::mutex> guard(lock_);
    return frames_;
  }

  template <typename Body>
  void Change(Body body) {
    std::lock_guard<std::mutex> guard(lock_);
    body();
    changed_.notify_all();
  }

  testsupport::TempDir dir;
  std::string clip;
  std::string digest;
  const std::string output = dir.File("clip.avi");
  TMediaConverter converter;

  std::mutex lock_;
  std::condition_variable changed_;
  int frames_ = 0;
  int currentMs_ = 0;
  int totalMs_ = 0;
  int ends_ = 0;
  bool finished_ = false;
  bool exception_ = false;
  std::string message_;
  bool batchEnded_ = false;
};

TEST_F(StopPhases, AStopInEachPhaseEndsTheFileWithAFinishedOutput) {
  const struct {
    const char* Phase;
    std::function<void(StopPhases&)> WaitForPhase;
    bool PacketsExpected;
  } phases[] = {
      {"opening", [](StopPhases&) {}, false},
      {"the first second",
       [](StopPhases& t) {
         ASSERT_TRUE(t.WaitUntil([&t] { return t.currentMs_ >= 200; }));
         EXPECT_LT(t.CurrentMs(), 1000);
       },
       true},
      {"the drain",
       [](StopPhases& t) {
         ASSERT_TRUE(t.WaitUntil([&t] {
           return t.batchEnded_ || (t.totalMs_ > 0 && t.currentMs_ >= t.totalMs_ - 300);
         }));
       },
       true},
  };
  for (const auto& p : phases) {
    SCOPED_TRACE(p.Phase);
    Change([this] {
      ends_ = frames_ = currentMs_ = totalMs_ = 0;
      batchEnded_ = false;
    });
    Start();
    p.WaitForPhase(*this);
    converter.StopConvert();
    ASSERT_TRUE(WaitForEnd()) << "the stopped file did not end";
    EXPECT_EQ(ends_, 1);
    EXPECT_FALSE(exception_) << message_;
    std::printf("stop during %s: %s after %d ms of output\n", p.Phase, finished_ ? "Done" : "Abort",
                currentMs_);
    const fixtures::MediaFacts facts = fixtures::Inspect(output);
    ASSERT_TRUE(facts.ok) << "the output is finished: " << facts.error;
    std::string why;
    if (p.PacketsExpected) {
      EXPECT_TRUE(Playable(output, why)) << why;
    }
    EXPECT_LE(facts.duration, kClipSeconds + 0.5);
    converter.ClearTasks();
    std::filesystem::remove(output);
  }
}

TEST_F(StopPhases, TenSecondsOfPauseHoldTheFileAndResumeCompletesIt) {
  Start();
  ASSERT_TRUE(WaitUntil([this] { return currentMs_ >= 500; }));
  converter.PauseConvert();
  std::this_thread::sleep_for(300ms);  // what was under way settles
  const int frames = Frames();
  const int64_t size = testsupport::FileSize(output);
  std::this_thread::sleep_for(10s);
  EXPECT_EQ(Frames(), frames) << "no frame while paused";
  EXPECT_EQ(testsupport::FileSize(output), size) << "no byte while paused";
  EXPECT_FALSE(batchEnded_);
  converter.ResumeConvert();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_TRUE(finished_);
  EXPECT_FALSE(exception_) << message_;
  std::string why;
  ASSERT_TRUE(Playable(output, why)) << why;
  EXPECT_NEAR(fixtures::Inspect(output).duration, kClipSeconds, 0.5);
}

}  // namespace
