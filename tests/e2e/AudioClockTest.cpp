// The audio clock of a conversion without -async: encoder frames are stamped
// by counting samples, so inputs with rounded timestamps (RealMedia keeps
// milliseconds) give evenly spaced audio, while a real gap in the input still
// moves the audio along.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

constexpr char kSource[] = "rv40-cook-576x324-2m19s.rmvb";

using Options = std::vector<std::pair<std::string, std::string>>;

// Converts input with the output options; the run's failure message, empty
// when it finished.
std::string Convert(const std::string& input, const Options& options, const std::string& output) {
  TCustomFFmpeg engine;
  engine.PrepareTask();
  if (!engine.OpenInputFile(input)) return engine.LastError;
  for (const auto& [name, value] : options) engine.ParseOption(name, value);
  if (!engine.OpenOutputFile(output)) return engine.LastError;
  engine.Start(false);
  if (engine.ExceptionRaised) return engine.ExceptionMessage;
  return engine.Finished ? "" : "not finished";
}

class AudioClock : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }
  testsupport::TempDir dir;
};

TEST_F(AudioClock, RoundedInputTimestampsGiveEvenlySpacedFrames) {
  REQUIRE_MEDIA(kSource);
  const std::string output = dir.File("even.mp4");
  ASSERT_EQ(Convert(testsupport::MediaPath(kSource),
                    {{"t", "3"}, {"vn", ""}, {"acodec", "aac"}, {"ar", "44100"}}, output),
            "");
  // MP4 keeps audio timestamps in samples: each frame starts where the one
  // before it ended.
  int64_t expected = AV_NOPTS_VALUE;
  int frames = 0, uneven = 0;
  fixtures::DecodeFrames(output, "audio", [&](const AVFrame* frame) {
    if (expected != AV_NOPTS_VALUE && frame->pts != expected) ++uneven;
    expected = frame->pts + frame->nb_samples;
    ++frames;
  });
  EXPECT_GT(frames, 100);
  EXPECT_EQ(uneven, 0);
}

TEST_F(AudioClock, FrameStampedMuxersTakeTheAudioOfRoundedInputs) {
  REQUIRE_MEDIA(kSource);
  // AVI counts MP3 in whole frames: frames stamped from the rounded input
  // clock used to land on the same tick and the write failed.
  const std::string output = dir.File("mp3.avi");
  ASSERT_EQ(
      Convert(testsupport::MediaPath(kSource),
              {{"t", "3"}, {"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}, {"ar", "48000"}}, output),
      "");
  const fixtures::MediaFacts facts = fixtures::Inspect(output);
  ASSERT_TRUE(facts.ok) << facts.error;
  ASSERT_NE(facts.First("audio"), nullptr);
  EXPECT_NEAR(facts.First("audio")->Duration(), 3.0, 0.2);
}

TEST_F(AudioClock, AudioStartingLateKeepsItsPlace) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("late.mkv");
  spec.videoCodec = "mpeg4";
  spec.audioCodec = "pcm_s16le";
  spec.audioStartSeconds = 0.5;
  spec.seconds = 2;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  const std::string output = dir.File("late.mp4");
  ASSERT_EQ(Convert(spec.path, {{"vcodec", "mpeg4"}, {"acodec", "aac"}}, output), "");
  const fixtures::MediaFacts facts = fixtures::Inspect(output);
  ASSERT_TRUE(facts.ok) << facts.error;
  ASSERT_NE(facts.First("audio"), nullptr);
  EXPECT_NEAR(facts.First("audio")->firstTime, 0.5, 0.05);
}

}  // namespace
