// Batches one at a time: on worker threads (StartConvert(1)) and on the host's
// thread (StartConvert(0)); stop, pause and resume; refused starts; the list.
#include "ComponentTestSupport.h"
#include "DispatchLoop.h"
#include "MediaInspect.h"

namespace {

using namespace componenttest;

class Batch : public ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    recorder.Attach(converter);
    hooks.Attach(converter, recorder);
    clip = MakeClip(dir, "clip.rm");
  }

  // `count` hooked tasks writing out0.avi, out1.avi, ...
  void AddHookedTasks(int count) {
    for (int i = 0; i < count; ++i) AddTask(clip, Output(i), HookedOutput());
  }
  std::string Output(int i) const { return dir.File("out" + std::to_string(i) + ".avi"); }

  int64_t VideoPackets(int i) {
    const fixtures::MediaFacts facts = fixtures::Inspect(Output(i));
    const fixtures::StreamFacts* video = facts.First("video");
    return video ? video->packets : -1;
  }

  EventRecorder recorder;
  HookWatch hooks;
  std::string clip;
};

TEST_F(Batch, OneAtATimeOnWorkerThreads) {
  AddHookedTasks(3);
  hooks.OnFirstPicture = [](int index) {
    ml::av_log(nullptr, AV_LOG_INFO, "from task %d\n", index);
  };
  converter.StartConvert(1);
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  EXPECT_EQ(recorder.TerminatedIndexes(), (std::vector<int>{0, 1, 2, -1}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(hooks.terminationsAtBegin[i], i) << "task " << i << " began after the ones before";
    EXPECT_NE(hooks.threads[i], CurrentThreadId());
    EXPECT_TRUE(recorder.terminations[i].finished);
    EXPECT_FALSE(recorder.terminations[i].exception) << recorder.terminations[i].message;
    EXPECT_EQ(VideoPackets(i), 10);
    EXPECT_TRUE(recorder.HasLog(i, llInfo, "from task " + std::to_string(i)))
        << "a library line logged on a task's thread carries its index";
  }
  EXPECT_EQ(recorder.terminations[3].thread, recorder.terminations[2].thread)
      << "the end of the batch comes on the thread of the last termination";
}

TEST_F(Batch, OneAtATimeOnTheHostThreadThroughTheDispatcher) {
  AddHookedTasks(3);
  TDispatchLoop loop;
  std::vector<int> delays;
  converter.SetDispatcher([&](int delayMs, std::function<void()> call) {
    delays.push_back(delayMs);
    loop.Post(delayMs, std::move(call));
  });
  converter.StartConvert(0);
  EXPECT_TRUE(recorder.terminations.empty()) << "the first task waits for its timer";
  auto ended = [this] {
    std::lock_guard<std::mutex> guard(recorder.lock);
    return !recorder.terminations.empty() && recorder.terminations.back().index == -1;
  };
  ASSERT_TRUE(loop.RunUntil(ended, std::chrono::seconds(60)));
  EXPECT_EQ(recorder.TerminatedIndexes(), (std::vector<int>{0, 1, 2, -1}));
  EXPECT_EQ(delays, (std::vector<int>{100, 100, 100}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(hooks.threads[i], CurrentThreadId()) << "task " << i << " runs on the host thread";
    EXPECT_EQ(recorder.terminations[i].thread, CurrentThreadId());
    EXPECT_TRUE(recorder.terminations[i].finished);
    EXPECT_EQ(VideoPackets(i), 10);
  }
}

TEST_F(Batch, StopDuringTheFirstTaskEndsEveryTask) {
  AddHookedTasks(3);
  Signal begun, stopped;
  hooks.OnFirstPicture = [&](int index) {
    if (index != 0) return;
    begun.Raise();
    stopped.Wait();
  };
  converter.StartConvert(1);
  ASSERT_TRUE(begun.Wait());
  converter.StopConvert();
  stopped.Raise();
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  const std::vector<int> order = recorder.TerminatedIndexes();
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(std::count(order.begin(), order.end(), -1), 1);
  for (const Termination& t : recorder.terminations) {
    if (t.index < 0) continue;
    EXPECT_FALSE(t.finished) << "task " << t.index;
    EXPECT_FALSE(t.exception) << "task " << t.index << ": " << t.message;
  }
  EXPECT_EQ(hooks.begun, std::vector<int>{0}) << "the other tasks never start";
  const fixtures::MediaFacts stoppedOutput = fixtures::Inspect(Output(0));
  EXPECT_TRUE(stoppedOutput.ok) << "the stopped output is finished and readable: "
                                << stoppedOutput.error;
  EXPECT_LT(VideoPackets(0), 10);
}

TEST_F(Batch, PauseHoldsTheTaskAndResumeCompletesTheOutput) {
  AddHookedTasks(1);
  Signal begun, paused;
  hooks.OnFirstPicture = [&](int) {
    begun.Raise();
    paused.Wait();
  };
  converter.StartConvert(1);
  ASSERT_TRUE(begun.Wait());
  converter.PauseConvert();
  paused.Raise();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const int held = hooks.Pictures(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(hooks.Pictures(0), held) << "no picture is processed while paused";
  EXPECT_LT(held, 10);
  EXPECT_TRUE(recorder.TerminatedIndexes().empty());
  converter.ResumeConvert();
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  EXPECT_TRUE(recorder.terminations[0].finished);
  EXPECT_EQ(hooks.Pictures(0), 10);
  EXPECT_EQ(VideoPackets(0), 10);
}

TEST_F(Batch, EmptyListStartsNothing) {
  TDispatchLoop loop;
  converter.SetDispatcher(loop.Dispatcher());
  converter.StartConvert(1);
  converter.StartConvert(0);
  converter.StartConvert(3);
  loop.RunUntil([] { return false; }, std::chrono::milliseconds(300));
  EXPECT_TRUE(recorder.TerminatedIndexes().empty());
  EXPECT_EQ(converter.PendingCount(), 0);
}

TEST_F(Batch, RefusedStartFailsThatTaskAndTheBatchGoesOn) {
  ASSERT_EQ(converter.AddInputFile(clip, nullptr), 0);  // no output
  AddTask(clip, Output(1), HookedOutput());
  converter.SetProgressInterval(1000);
  converter.StartConvert(1);
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  EXPECT_EQ(recorder.TerminatedIndexes(), (std::vector<int>{0, 1, -1}));
  const Termination& refused = recorder.terminations[0];
  EXPECT_FALSE(refused.finished);
  EXPECT_TRUE(refused.exception);
  EXPECT_EQ(refused.message, "Must supply at least one output file");
  EXPECT_TRUE(recorder.HasLog(0, llQuiet, "Must supply at least one output file"));
  EXPECT_TRUE(recorder.terminations[1].finished);
  EXPECT_EQ(converter.Tasks.Items(0)->ProgressInterval, 1000000);
}

TEST_F(Batch, TasksMayBeClearedFromTheirOwnTermination) {
  AddHookedTasks(2);
  converter.OnTerminate = [this](int index, bool finished, bool exception,
                                 const std::string& message) {
    if (index < 0) converter.ClearTasks();
    recorder.Add([&] {
      recorder.terminations.push_back({index, finished, exception, message, CurrentThreadId()});
    });
  };
  converter.StartConvert(1);
  ASSERT_TRUE(recorder.WaitForBatchEnd());
  EXPECT_EQ(converter.Tasks.Count(), 0);
  EXPECT_EQ(VideoPackets(1), 10);
}

TEST_F(Batch, ListAndProperties) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(converter.AddInputFile(clip, nullptr), i);
  converter.RemoveTask(0);
  ASSERT_EQ(converter.Tasks.Count(), 2);
  EXPECT_EQ(converter.Tasks.Items(0)->Index, 0);
  EXPECT_EQ(converter.Tasks.Items(1)->Index, 1);
  EXPECT_THROW(converter.RemoveTask(2), std::out_of_range);
  converter.SetProgressInterval(50);
  EXPECT_EQ(converter.ProgressInterval(), 100);
  converter.SetProgressInterval(1000);
  EXPECT_EQ(converter.ProgressInterval(), 1000);
  EXPECT_EQ(converter.Version(), "2.0b");
  EXPECT_EQ(converter.LogLevel(), llInfo);
  EXPECT_EQ(converter.ThreadPriority(), tpNormal);
  EXPECT_TRUE(TCustomMediaConverter::HasEncoder("mpeg4"));
  EXPECT_FALSE(TCustomMediaConverter::HasEncoder("no-such-encoder"));
  converter.ClearTasks();
  EXPECT_EQ(converter.Tasks.Count(), 0);
  EXPECT_EQ(converter.ParallelCount(), 0);
}

}  // namespace

namespace {

// A stopped task may still be draining its encoder when the component goes
// away; its termination then arrives while the task is being destroyed and
// must still see the whole task (the sanitizer build checks the object).
TEST(BatchTeardown, ComponentDestroyedRightAfterAStopStillReportsTheTask) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir;
  fixtures::FixtureSpec spec;
  spec.path = dir.File("long.rm");
  spec.seconds = 20;
  spec.width = 640;
  spec.height = 480;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  std::mutex lock;
  std::vector<int> indexes;
  std::atomic<bool> started{false};
  {
    TMediaConverter converter;
    ASSERT_TRUE(converter.LoadLibraries("", true));
    TOutputOptions options;
    InitOutputOptions(options);
    options.VideoCodec = "libx264";
    options.DisableAudio = true;
    const int index = converter.AddInputFile(spec.path, nullptr);
    ASSERT_EQ(index, 0) << converter.LastError();
    ASSERT_TRUE(converter.SetOutputFile(index, dir.File("long.mp4"), &options));
    converter.OnProgress = [&](int, int, int, int, float, float, int64_t, int) { started = true; };
    converter.OnTerminate = [&](int i, bool, bool, const std::string&) {
      std::lock_guard<std::mutex> guard(lock);
      indexes.push_back(i);
    };
    converter.SetProgressInterval(100);
    converter.StartConvert(1);
    for (int i = 0; i < 500 && !started; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    converter.StopConvert();
  }
  std::lock_guard<std::mutex> guard(lock);
  ASSERT_FALSE(indexes.empty());
  EXPECT_EQ(indexes.front(), 0);
}

}  // namespace
