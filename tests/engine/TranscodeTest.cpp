#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

using enginetest::Convert;
using enginetest::Outcome;

const char kSample[] = "rv40-cook-576x324-2m19s.rmvb";

class Transcode : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }
  std::string Clip(const std::string& name, double seconds = 2) {
    fixtures::FixtureSpec spec;
    spec.path = dir.File(name);
    spec.seconds = seconds;
    std::string error;
    EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
    return spec.path;
  }
  testsupport::TempDir dir;
};

void ExpectSameStream(const fixtures::MediaFacts& in, const fixtures::MediaFacts& out,
                      const char* type, double tolerance) {
  const fixtures::StreamFacts* a = in.First(type);
  const fixtures::StreamFacts* b = out.First(type);
  ASSERT_TRUE(a && b) << type;
  EXPECT_EQ(b->codec, a->codec) << type;
  EXPECT_NEAR(b->endTime, a->endTime, tolerance) << type;
  EXPECT_NEAR(b->packets, a->packets, 2) << type;
}

// No muxer of this library generation writes cook audio (Matroska refuses it,
// the RealMedia muxer writes only AC-3 and RealAudio 1.0 headers), so the
// sample's RealVideo 4 is copied and its audio encoded.
TEST_F(Transcode, StreamCopyOfTheRealSampleKeepsEveryVideoPacketAndTheDurations) {
  REQUIRE_MEDIA(kSample);
  const std::string source = testsupport::MediaPath(kSample);
  const std::string before = testsupport::Sha256(source);
  const std::string output = dir.File("copy.mkv");
  Outcome run = Convert(source, {{"vcodec", "copy"}, {"acodec", "aac"}}, output);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  EXPECT_FALSE(run.exception) << run.message;
  const fixtures::MediaFacts in = fixtures::Inspect(source), out = fixtures::Inspect(output);
  ASSERT_TRUE(in.ok && out.ok) << out.error;
  ExpectSameStream(in, out, "video", 0.5);
  EXPECT_NEAR(out.First("audio")->endTime, in.First("audio")->endTime, 0.5);
  EXPECT_EQ(testsupport::Sha256(source), before);
}

// RealVideo 2 with AC-3 is what the RealMedia muxer writes (Matroska refuses
// RealVideo 1 and 2).
TEST_F(Transcode, StreamCopyOfBothStreamsIntoRealMedia) {
  const std::string source = Clip("clip.rm", 3);
  const fixtures::MediaFacts in = fixtures::Inspect(source);
  for (const char* name : {"copy.rm"}) {
    const std::string output = dir.File(name);
    Outcome run = Convert(source, {{"vcodec", "copy"}, {"acodec", "copy"}}, output);
    ASSERT_TRUE(run.opened) << run.openError;
    EXPECT_TRUE(run.finished) << name << ": " << run.message;
    const fixtures::MediaFacts out = fixtures::Inspect(output);
    ASSERT_TRUE(out.ok) << out.error;
    ExpectSameStream(in, out, "video", 0.1);
    ExpectSameStream(in, out, "audio", 0.1);
  }
}

TEST_F(Transcode, VideoOnlyCopyWithAudioDisabled) {
  REQUIRE_MEDIA(kSample);
  const std::string output = dir.File("video.mkv");
  Outcome run =
      Convert(testsupport::MediaPath(kSample), {{"vcodec", "copy"}, {"an", ""}, {"t", "10"}}, output);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  const fixtures::MediaFacts out = fixtures::Inspect(output);
  EXPECT_EQ(out.Count("video"), 1);
  EXPECT_EQ(out.Count("audio"), 0);
}

TEST_F(Transcode, AutomaticMappingLinesForOneVideoAndOneAudioStream) {
  const std::string input = Clip("clip.rm", 1);
  Outcome run = Convert(input, {{"vcodec", "copy"}, {"acodec", "copy"}}, dir.File("out.rm"));
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  std::vector<std::string> lines;
  for (auto& l : run.logs)
    if (l.second == "Stream mapping:" || l.second.rfind("  Stream #", 0) == 0) lines.push_back(l.second);
  const std::vector<std::string> expected = {"Stream mapping:", "  Stream #0.0 -> #0.0",
                                             "  Stream #0.1 -> #0.1"};
  EXPECT_EQ(lines, expected);
}

TEST_F(Transcode, TwoAudioOutputsShareTheOnlyAudioInput) {
  const std::string input = Clip("clip.rm", 1);
  TCustomFFmpeg e;
  enginetest::Recorder rec;
  std::string error;
  ASSERT_TRUE(enginetest::Open(e, {}, input, {{"vn", ""}, {"acodec", "mp2"}}, dir.File("two.mkv"),
                               error))
      << error;
  e.ParseOption("acodec", "ac3");
  e.ParseOption("newaudio", "");
  rec.Attach(e);
  e.Start(false);
  Outcome run = rec.Take(e);
  EXPECT_TRUE(run.finished) << run.message;
  EXPECT_TRUE(run.Logged("  Stream #0.1 -> #0.0"));
  EXPECT_TRUE(run.Logged("  Stream #0.1 -> #0.1"));
  const fixtures::MediaFacts out = fixtures::Inspect(dir.File("two.mkv"));
  ASSERT_EQ(out.Count("audio"), 2);
  EXPECT_EQ(out.streams[0].codec, "mp2");
  EXPECT_EQ(out.streams[1].codec, "ac3");
}

TEST_F(Transcode, SetupRefusalsEndTheRunWithTheirMessages) {
  const std::string input = Clip("clip.rm", 1);
  struct Case {
    enginetest::Options before, after;
    std::string message;
  } cases[] = {
      {{{"map", "0.0"}}, {}, "Number of stream maps must match number of output streams"},
      {{{"map", "0.0"}, {"map", "0.2"}}, {}, "Could not find input stream #0.2"},
      {{{"map", "0.0"}, {"map", "0.1:1.0"}}, {}, "Could not find sync stream #1.0"},
      {{{"map", "0.1"}, {"map", "0.0"}}, {}, "Codec type mismatch for mapping #0.1 -> #0.0"},
      {{}, {{"acodec", "copy"}, {"vol", "512"}},
       "-acodec copy and -vol are incompatible (frames are not decoded)"},
  };
  for (const Case& c : cases) {
    const std::string output = dir.File("refused.avi");
    Outcome run = Convert(c.before, input, c.after, output);
    ASSERT_TRUE(run.opened) << run.openError;
    EXPECT_TRUE(run.exception);
    EXPECT_EQ(run.message, c.message);
    EXPECT_EQ(run.terminations, 1);
    EXPECT_FALSE(testsupport::FileExists(output)) << "an output that got no byte is removed";
  }
}

TEST_F(Transcode, RecordingTimeAndFrameLimits) {
  REQUIRE_MEDIA(kSample);
  const std::string source = testsupport::MediaPath(kSample);
  const std::string ten = dir.File("ten.mkv");
  Outcome run = Convert(source, {{"vcodec", "copy"}, {"acodec", "aac"}, {"t", "10"}}, ten);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  const fixtures::MediaFacts out = fixtures::Inspect(ten);
  EXPECT_NEAR(out.First("video")->endTime, 10.0, 0.5);
  EXPECT_NEAR(out.First("audio")->endTime, 10.0, 0.5);

  const std::string hundred = dir.File("hundred.avi");
  run = Convert(source, {{"vcodec", "mpeg4"}, {"vframes", "100"}, {"an", ""}}, hundred);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  EXPECT_EQ(fixtures::DecodeFrames(hundred, "video", nullptr), 100);
}

TEST_F(Transcode, StopRequestEndsWithAPlayableShorterFile) {
  REQUIRE_MEDIA(kSample);
  const std::string output = dir.File("stopped.mp4");
  TCustomFFmpeg e;
  enginetest::Recorder rec;
  std::string error;
  ASSERT_TRUE(enginetest::Open(e, {}, testsupport::MediaPath(kSample),
                               {{"vcodec", "mpeg4"}, {"acodec", "aac"}}, output, error))
      << error;
  rec.Attach(e);
  TFFmpegThread* worker = e.Start(true);
  ASSERT_NE(worker, nullptr);
  worker->Resume();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  e.StopTask();
  ASSERT_TRUE(rec.Wait());
  Outcome run = rec.Take(e);
  EXPECT_FALSE(run.finished);
  EXPECT_FALSE(run.exception) << run.message;
  const fixtures::MediaFacts out = fixtures::Inspect(output);
  ASSERT_TRUE(out.ok) << out.error;
  ASSERT_NE(out.First("video"), nullptr);
  EXPECT_GT(out.First("video")->packets, 0);
  EXPECT_LT(out.First("video")->endTime, 130.0);
  EXPECT_GT(fixtures::DecodeFrames(output, "video", nullptr), 0);
}

TEST_F(Transcode, StopTaskOnAPausedRunResumesItAndFinishesTheFile) {
  REQUIRE_MEDIA(kSample);
  const std::string output = dir.File("paused.mkv");
  TCustomFFmpeg e;
  enginetest::Recorder rec;
  std::string error;
  ASSERT_TRUE(enginetest::Open(e, {}, testsupport::MediaPath(kSample), {{"vcodec", "mpeg4"}},
                               output, error))
      << error;
  rec.Attach(e);
  TFFmpegThread* worker = e.Start(true);
  ASSERT_NE(worker, nullptr);
  worker->Resume();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  e.PauseTask();
  EXPECT_TRUE(worker->Suspended());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  e.StopTask();
  ASSERT_TRUE(rec.Wait(60));
  Outcome run = rec.Take(e);
  EXPECT_FALSE(run.finished);
  EXPECT_FALSE(run.exception) << run.message;
  EXPECT_GT(fixtures::DecodeFrames(output, "video", nullptr), 0);
}

TEST_F(Transcode, DamagedPacketsAreLoggedAndTheRunGoesOn) {
  const std::string clean = Clip("clean.rm", 3);
  const std::string damaged = dir.File("damaged.rm");
  ASSERT_TRUE(fixtures::NoisyCopy(clean, damaged, testsupport::FileSize(clean) / 2, 4000));
  const std::string output = dir.File("out.avi");
  Outcome run = Convert(damaged, {{"vcodec", "mpeg4"}, {"acodec", "mp2"}}, output);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  EXPECT_FALSE(run.exception) << run.message;
  EXPECT_GT(fixtures::DecodeFrames(output, "video", nullptr), 40);
  EXPECT_TRUE(run.Logged("Error while decoding stream #0.")) << "the damage was noticed";
}

// A file-size limit makes the device "full" for this process only: writes past
// it fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST_F(Transcode, WriteFailureOnAFullDeviceClosesEveryCodec) {
  const std::string input = Clip("clip.rm", 3);
  const std::string output = dir.File("full.avi");
  TCustomFFmpeg e;
  enginetest::Recorder rec;
  std::string error;
  ASSERT_TRUE(enginetest::Open(e, {}, input, {{"vcodec", "mpeg4"}, {"b", "2000000"}}, output, error))
      << error;
  bool listsEmptyAtTermination = false, lockFree = false;
  rec.Attach(e);
  auto record = e.TerminateHandler;
  e.TerminateHandler = [&](TCustomFFmpeg* sender) {
    listsEmptyAtTermination = sender->OpenEncoderList.empty() && sender->OpenDecoderList.empty();
    lockFree = CodecOpenLock().try_lock();
    if (lockFree) CodecOpenLock().unlock();
    record(sender);
  };
  {
    FileSizeLimit full(64 * 1024);
    e.Start(false);
  }
  Outcome run = rec.Take(e);
  EXPECT_TRUE(run.exception);
  EXPECT_FALSE(run.finished);
  EXPECT_TRUE(run.message == "av_interleaved_write_frame(): Error while opening file" ||
              run.message == "av_write_trailer(): Error while opening file")
      << run.message;
  EXPECT_TRUE(listsEmptyAtTermination);
  EXPECT_TRUE(lockFree);
}

TEST_F(Transcode, DestroyWaitsForASlowWorker) {
  const std::string input = Clip("clip.rm", 1);
  std::atomic<bool> handlerDone{false};
  {
    TCustomFFmpeg e;
    std::string error;
    ASSERT_TRUE(enginetest::Open(e, {}, input, {{"vcodec", "mpeg4"}}, dir.File("slow.avi"), error))
        << error;
    e.ProgressInterval = 0;
    std::atomic<bool> slept{false};
    e.ProgressHandler = [&](TCustomFFmpeg*, int, int, int, float, float, int64_t, int) {
      if (slept.exchange(true)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // ignores stop requests
      handlerDone = true;
    };
    TFFmpegThread* worker = e.Start(true);
    ASSERT_NE(worker, nullptr);
    worker->Resume();
    for (int i = 0; i < 200 && !slept; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(handlerDone) << "the engine was freed while its worker was still running";
}

}  // namespace
