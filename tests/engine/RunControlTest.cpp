#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "TestSupport.h"

namespace {

struct Recorder {
  std::mutex lock;
  std::vector<std::pair<int, std::string>> logs;
  std::atomic<int> terminations{0};
  std::thread::id terminatedOn;

  void Attach(TCustomFFmpeg& engine) {
    engine.LogHandler = [this](TCustomFFmpeg*, int level, const std::string& msg) {
      std::lock_guard<std::mutex> guard(lock);
      logs.emplace_back(level, msg);
    };
    engine.TerminateHandler = [this](TCustomFFmpeg*) {
      {
        std::lock_guard<std::mutex> guard(lock);
        terminatedOn = std::this_thread::get_id();
      }
      ++terminations;
    };
  }
  bool WaitForTerminations(int n) {
    for (int i = 0; i < 200 && terminations < n; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return terminations >= n;
  }
};

class RunControl : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }
};

TEST_F(RunControl, PrepareAllocatesTheOptionContexts) {
  TCustomFFmpeg engine;
  EXPECT_EQ(engine.FormatOptionContext, nullptr);
  engine.PrepareTask();
  for (auto& context : engine.CodecOptionContexts) EXPECT_NE(context, nullptr);
  EXPECT_EQ(engine.CodecOptionContexts[0]->codec_type, AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(engine.CodecOptionContexts[1]->codec_type, AVMEDIA_TYPE_AUDIO);
  EXPECT_EQ(engine.CodecOptionContexts[3]->codec_type, AVMEDIA_TYPE_SUBTITLE);
  EXPECT_NE(engine.FormatOptionContext, nullptr);
  EXPECT_NE(engine.ScalerOptionContext, nullptr);
  EXPECT_EQ(engine.TotalDurationMs, -1);
  EXPECT_EQ(engine.BitBufferSize, 262144);
}

TEST_F(RunControl, ResetOptionsRestoresDefaults) {
  TCustomFFmpeg engine;
  engine.PrepareTask();
  engine.FrameWidth = 640;
  engine.AudioSampleRate = 8000;
  engine.VideoCodecName = "mpeg4";
  engine.NbStreamMaps = 3;
  engine.RecordingTime = 5;
  engine.ResetOptions();
  EXPECT_EQ(engine.FrameWidth, 0);
  EXPECT_EQ(engine.AudioSampleRate, 44100);
  EXPECT_EQ(engine.VideoCodecName, "");
  EXPECT_EQ(engine.NbStreamMaps, 0);
  EXPECT_EQ(engine.RecordingTime, INT64_MAX);
  EXPECT_EQ(engine.PadColor[0], 16);
  EXPECT_EQ(engine.VideoSyncMethod, -1);
  EXPECT_FLOAT_EQ(engine.MuxPreload, 0.5f);
}

TEST_F(RunControl, StartWithoutOutputIsRefusedOnce) {
  TCustomFFmpeg engine;
  engine.PrepareTask();
  Recorder rec;
  rec.Attach(engine);
  EXPECT_EQ(engine.Start(true), nullptr);
  EXPECT_EQ(rec.terminations, 1);
  EXPECT_EQ(rec.terminatedOn, std::this_thread::get_id()) << "refusals end on the caller's thread";
  ASSERT_EQ(rec.logs.size(), 1u);
  EXPECT_EQ(rec.logs[0], std::make_pair(-1, std::string("Must supply at least one output file")));
  EXPECT_TRUE(engine.ExceptionRaised);
  EXPECT_EQ(engine.ExceptionMessage, "Must supply at least one output file");
  EXPECT_TRUE(engine.Terminated);
  EXPECT_EQ(engine.WorkerThread, nullptr);
  // A terminated engine cannot be started again.
  EXPECT_EQ(engine.Start(true), nullptr);
  EXPECT_EQ(engine.Start(false), nullptr);
  EXPECT_EQ(rec.terminations, 1);
}

TEST_F(RunControl, StopTaskOnAnIdleTaskTerminatesOnceFromAnotherThread) {
  TCustomFFmpeg engine;
  engine.PrepareTask();
  Recorder rec;
  rec.Attach(engine);
  engine.StopTask();
  engine.StopTask();
  ASSERT_TRUE(rec.WaitForTerminations(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(rec.terminations, 1);
  EXPECT_NE(rec.terminatedOn, std::this_thread::get_id());
  EXPECT_FALSE(engine.Finished);
  EXPECT_FALSE(engine.ExceptionRaised);
  EXPECT_TRUE(engine.Terminated);
  engine.StopTask();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(rec.terminations, 1);
}

TEST_F(RunControl, ReleaseDeletesAnEmptyOutputAndKeepsAWrittenOne) {
  testsupport::TempDir dir;
  for (bool write : {false, true}) {
    const std::string name = dir.File(write ? "written.avi" : "empty.avi");
    TCustomFFmpeg engine;
    engine.PrepareTask();
    AVFormatContext* oc = nullptr;
    ASSERT_GE(ml::avformat_alloc_output_context2(&oc, nullptr, nullptr, name.c_str()), 0);
    engine.OutputFiles[0].Context.reset(oc);
    engine.NbOutputFiles = 1;
    ASSERT_GE(ml::avio_open(&oc->pb, name.c_str(), AVIO_FLAG_WRITE), 0);
    if (write) {
      static const unsigned char bytes[16] = {1, 2, 3};
      ml::avio_write(oc->pb, bytes, sizeof bytes);
    }
    engine.ReleaseAll();
    EXPECT_EQ(engine.NbOutputFiles, 0);
    EXPECT_EQ(testsupport::FileExists(name), write) << name;
  }
}

}  // namespace
