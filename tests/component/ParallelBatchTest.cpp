// Batches with several tasks at a time on worker threads (also run under
// ThreadSanitizer by CI).
#include "ComponentTestSupport.h"
#include "MediaInspect.h"

namespace {

using namespace componenttest;

class ParallelBatch : public ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    recorder.Attach(converter);
    hooks.Attach(converter, recorder);
    const std::string clip = MakeClip(dir, "clip.rm");
    for (int i = 0; i < 3; ++i) AddTask(clip, Output(i), HookedOutput());
  }
  std::string Output(int i) const { return dir.File("out" + std::to_string(i) + ".avi"); }

  // Holds tasks 0 and 1 at their first picture until both have begun; false
  // when they did not run at the same time.
  void HoldTheFirstTwoTogether() {
    hooks.OnFirstPicture = [this](int index) {
      if (index > 1) return;
      const bool together = recorder.WaitFor([this] { return hooks.begun.size() >= 2; });
      recorder.Add([&] { overlapped[index] = together; });
      if (!holdForStop) {
        // Task 1 goes on only once task 2 has begun, which task 0's end allows.
        if (index == 1) thirdBegan = recorder.WaitFor([this] { return hooks.begun.size() >= 3; });
        return;
      }
      if (index == 0) bothBegun.Raise();
      stopped.Wait();
    };
  }

  EventRecorder recorder;
  HookWatch hooks;
  std::map<int, bool> overlapped;
  bool thirdBegan = false;
  bool holdForStop = false;
  Signal bothBegun, stopped;
};

TEST_F(ParallelBatch, TwoAtATimeAndTheThirdWhenOneEnds) {
  HoldTheFirstTwoTogether();
  converter.StartConvert(2);
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  std::lock_guard<std::mutex> guard(recorder.lock);
  EXPECT_TRUE(overlapped[0] && overlapped[1]) << "tasks 0 and 1 run at the same time";
  EXPECT_TRUE(thirdBegan) << "task 2 starts when the first of them ends";
  EXPECT_EQ(hooks.terminationsAtBegin[2], 1);
  EXPECT_NE(hooks.threads[0], hooks.threads[1]);
  ASSERT_EQ(recorder.terminations.size(), 4u);
  EXPECT_EQ(recorder.terminations.back().index, -1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(recorder.terminations[i].finished) << recorder.terminations[i].message;
    const fixtures::MediaFacts facts = fixtures::Inspect(Output(i));
    ASSERT_NE(facts.First("video"), nullptr) << Output(i);
    EXPECT_EQ(facts.First("video")->packets, 10);
  }
}

TEST_F(ParallelBatch, StopEndsTheRunningAndTheWaitingTasks) {
  holdForStop = true;
  HoldTheFirstTwoTogether();
  converter.StartConvert(2);
  ASSERT_TRUE(bothBegun.Wait());
  converter.StopConvert();
  stopped.Raise();
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  std::lock_guard<std::mutex> guard(recorder.lock);
  ASSERT_EQ(recorder.terminations.size(), 4u);
  EXPECT_EQ(recorder.terminations.back().index, -1);
  for (const Termination& t : recorder.terminations) {
    if (t.index == 2) {
      EXPECT_FALSE(t.finished);
      EXPECT_FALSE(t.exception);
    }
  }
  EXPECT_EQ(hooks.begun.size(), 2u) << "the waiting task never starts";
}

}  // namespace
