// Real conversions of the real sample and of generated clips, checked by
// reading the outputs back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

using enginetest::Convert;
using enginetest::Options;
using enginetest::Outcome;

const char kSample[] = "rv40-cook-576x324-2m19s.rmvb";

class Conversion : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }
  std::string Sample() { return testsupport::MediaPath(kSample); }
  // Converts the first `seconds` of the sample; the run must finish cleanly.
  fixtures::MediaFacts Run(const Options& options, const std::string& name, Outcome* out = nullptr,
                           const char* seconds = "10") {
    Options all = options;
    if (seconds) all.insert(all.begin(), {"t", seconds});
    const std::string output = dir.File(name);
    Outcome run = Convert(Sample(), all, output);
    EXPECT_TRUE(run.opened) << run.openError;
    EXPECT_TRUE(run.finished) << name << ": " << run.message;
    EXPECT_FALSE(run.exception) << name << ": " << run.message;
    if (out) *out = run;
    return fixtures::Inspect(output);
  }
  testsupport::TempDir dir;
};

TEST_F(Conversion, RealSampleToMp4KeepsBothDurationsAndTheHeaderFrameRate) {
  REQUIRE_MEDIA(kSample);
  const fixtures::MediaFacts in = fixtures::Inspect(Sample());
  Outcome run;
  const fixtures::MediaFacts out = Run({{"vcodec", "mpeg4"}, {"b", "1200000"}, {"acodec", "aac"},
                                        {"ab", "128000"}, {"ar", "44100"}, {"ac", "2"}},
                                       "full.mp4", &run, nullptr);
  ASSERT_TRUE(out.ok) << out.error;
  const fixtures::StreamFacts* video = out.First("video");
  const fixtures::StreamFacts* audio = out.First("audio");
  ASSERT_TRUE(video && audio);
  EXPECT_EQ(video->codec, "mpeg4");
  EXPECT_EQ(video->width, 576);
  EXPECT_EQ(video->height, 324);
  EXPECT_EQ(audio->codec, "aac");
  EXPECT_EQ(audio->sampleRate, 44100);
  EXPECT_EQ(audio->channels, 2);
  EXPECT_NEAR(video->Duration(), in.First("video")->endTime, 0.3);
  EXPECT_NEAR(audio->Duration(), in.First("audio")->endTime, 0.3);
  const double expectedFrames = video->Duration() * 30;
  EXPECT_NEAR(static_cast<double>(video->packets), expectedFrames, expectedFrames * 0.01);
  EXPECT_GT(run.framesDuplicated, 0) << "the sample's pictures come about 24 a second";

  // Progress: a video output reports only once it has encoded a frame; the
  // output time grows to the source's duration; the summary ends the run.
  ASSERT_GE(run.progress.size(), 3u);
  for (const auto& p : run.progress) {
    EXPECT_GE(p.frames, 1);
    EXPECT_GE(p.quality, 1.0f);
    EXPECT_EQ(p.total, run.progress.front().total);
  }
  for (size_t i = 1; i < run.progress.size(); ++i)
    EXPECT_GE(run.progress[i].current, run.progress[i - 1].current);
  EXPECT_NEAR(run.progress.back().current / 1000.0,
              std::min(video->endTime, audio->endTime), 0.5);
  EXPECT_NEAR(run.progress.back().total / 1000.0, in.duration, 0.5);
  EXPECT_TRUE(run.Logged("muxing overhead"));
}

TEST_F(Conversion, PictureGeometry) {
  REQUIRE_MEDIA(kSample);
  struct Case {
    Options options;
    int width, height;
  } cases[] = {
      {{{"s", "320x240"}}, 320, 240},
      {{{"croptop", "10"}, {"cropbottom", "10"}}, 576, 304},
      {{{"cropleft", "16"}, {"s", "320x240"}}, 320, 240},
      {{{"padtop", "16"}, {"padbottom", "16"}}, 576, 356},
  };
  for (const Case& c : cases) {
    Options options = c.options;
    options.insert(options.begin(), {"vcodec", "mpeg4"});
    options.push_back({"an", ""});
    const fixtures::MediaFacts out = Run(options, "geometry.avi", nullptr, "2");
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.First("video")->width, c.width) << c.options[0].first;
    EXPECT_EQ(out.First("video")->height, c.height) << c.options[0].first;
  }
}

TEST_F(Conversion, PadBandsShowThePadColour) {
  REQUIRE_MEDIA(kSample);
  const std::string output = dir.File("padded.avi");
  Run({{"vcodec", "mpeg4"}, {"qscale", "2"}, {"an", ""}, {"padtop", "16"}, {"padbottom", "16"},
       {"padcolor", "255"}},
      "padded.avi", nullptr, "2");
  int checked = 0;
  fixtures::DecodeFrames(output, "video", [&](const AVFrame* f) {
    if (checked++ != 10) return;
    ASSERT_EQ(f->height, 356);
    // Red (R 255) is Y 76, U 85, V 255 in full range.
    EXPECT_NEAR(f->data[0][4 * f->linesize[0] + 100], 76, 6);
    EXPECT_NEAR(f->data[1][2 * f->linesize[1] + 50], 85, 6);
    EXPECT_NEAR(f->data[2][2 * f->linesize[2] + 50], 255, 6);
    EXPECT_NEAR(f->data[0][(f->height - 4) * f->linesize[0] + 100], 76, 6);
  });
  EXPECT_GT(checked, 10);
}

TEST_F(Conversion, FrameRateChangesDropOrDuplicate) {
  REQUIRE_MEDIA(kSample);
  Outcome slow, fast;
  const fixtures::MediaFacts half = Run({{"vcodec", "mpeg4"}, {"an", ""}, {"r", "15"}}, "r15.avi", &slow);
  const fixtures::MediaFacts twice = Run({{"vcodec", "mpeg4"}, {"an", ""}, {"r", "60"}}, "r60.avi", &fast);
  ASSERT_TRUE(half.ok && twice.ok);
  EXPECT_NEAR(half.First("video")->packets, 150, 5);
  EXPECT_GT(slow.framesDropped, 50);
  EXPECT_NEAR(twice.First("video")->packets, 600, 10);
  EXPECT_GT(fast.framesDuplicated, 300);
}

TEST_F(Conversion, VolumeChannelsAndRate) {
  REQUIRE_MEDIA(kSample);
  Run({{"vn", ""}, {"acodec", "pcm_s16le"}}, "plain.wav", nullptr, "5");
  Run({{"vn", ""}, {"acodec", "pcm_s16le"}, {"vol", "512"}}, "loud.wav", nullptr, "5");
  const double plain = fixtures::AudioPeak(dir.File("plain.wav"));
  const double loud = fixtures::AudioPeak(dir.File("loud.wav"));
  EXPECT_GT(plain, 0.01);
  EXPECT_GT(loud, std::min(0.99, plain * 1.7));
  const fixtures::MediaFacts mono = Run({{"vn", ""}, {"acodec", "mp2"}, {"ac", "1"}, {"ar", "22050"}},
                                        "mono.mp2", nullptr, "5");
  ASSERT_TRUE(mono.ok);
  EXPECT_EQ(mono.First("audio")->channels, 1);
  EXPECT_EQ(mono.First("audio")->sampleRate, 22050);
  EXPECT_NEAR(mono.First("audio")->Duration(), 5.0, 0.2);
}

TEST_F(Conversion, AudioSyncPadsALateAudioStartWithSilence) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("late.mkv");
  spec.videoCodec = "mpeg4";
  spec.audioCodec = "pcm_s16le";
  spec.sampleRate = 44100;
  spec.audioStartSeconds = 0.5;
  spec.seconds = 2;
  spec.amplitude = 0.5;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  const std::string output = dir.File("synced.mkv");
  Outcome run = Convert(spec.path, {{"vcodec", "mpeg4"}, {"acodec", "pcm_s16le"}, {"async", "1"}},
                        output);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  int64_t position = 0, silentSamples = 0;
  bool seenTone = false;
  fixtures::DecodeFrames(output, "audio", [&](const AVFrame* f) {
    const int16_t* samples = reinterpret_cast<const int16_t*>(f->data[0]);
    for (int i = 0; i < f->nb_samples; ++i, ++position) {
      const bool quiet = std::abs(samples[i * f->ch_layout.nb_channels]) < 100;
      if (!seenTone && quiet) ++silentSamples;
      if (!quiet) seenTone = true;
    }
  });
  EXPECT_NEAR(silentSamples, 22050, 400);
}

TEST_F(Conversion, DeinterlacingSmoothsAlternatingLines) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("combed.mkv");
  spec.videoCodec = "mpeg4";
  spec.audioCodec = "";
  spec.interlacedPattern = true;
  spec.videoBitrate = 4000000;
  spec.seconds = 1;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  auto lineContrast = [&](const std::string& file) {
    double sum = 0;
    int frames = 0;
    fixtures::DecodeFrames(file, "video", [&](const AVFrame* f) {
      const uint8_t* a = f->data[0] + 100 * f->linesize[0];
      const uint8_t* b = a + f->linesize[0];
      for (int x = 0; x < f->width; ++x) sum += std::abs(a[x] - b[x]);
      frames += f->width;
    });
    return sum / std::max(frames, 1);
  };
  for (const char* option : {"", "deinterlace"}) {
    Options options = {{"vcodec", "mpeg4"}, {"qscale", "2"}};
    if (*option) options.push_back({option, ""});
    const std::string output = dir.File(*option ? "smooth.mkv" : "combed-out.mkv");
    Outcome run = Convert(spec.path, options, output);
    ASSERT_TRUE(run.finished) << run.message;
    if (*option) {
      EXPECT_LT(lineContrast(output), lineContrast(dir.File("combed-out.mkv")) / 2);
    }
  }
}

TEST_F(Conversion, TwoPassesWriteAndReadTheirLog) {
  REQUIRE_MEDIA(kSample);
  const std::string log = dir.File("stats");
  Outcome first, second;
  Run({{"vcodec", "mpeg4"}, {"b", "400000"}, {"an", ""}, {"pass", "1"}, {"passlogfile", log}},
      "pass1.avi", &first, "5");
  EXPECT_GT(testsupport::FileSize(log + "-0.log"), 100);
  const fixtures::MediaFacts out =
      Run({{"vcodec", "mpeg4"}, {"b", "400000"}, {"an", ""}, {"pass", "2"}, {"passlogfile", log}},
          "pass2.avi", &second, "5");
  ASSERT_TRUE(out.ok);
  EXPECT_NEAR(out.First("video")->packets, 150, 3);
}

TEST_F(Conversion, EncoderAndContainerPairs) {
  REQUIRE_MEDIA(kSample);
  struct Case {
    const char* file;
    Options options;
    const char* video;  // expected codec, or "" for none
    const char* audio;
  } cases[] = {
      {"pcm.wav", {{"acodec", "pcm_s16le"}}, "", "pcm_s16le"},
      {"lame.mp3", {{"vn", ""}, {"acodec", "libmp3lame"}, {"ab", "128000"}}, "", "mp3"},
      {"dolby.ac3", {{"acodec", "ac3"}, {"ar", "48000"}}, "", "ac3"},
      {"layer2.mp2", {{"acodec", "mp2"}, {"ar", "44100"}}, "", "mp2"},
      {"windows.wmv", {{"vcodec", "wmv2"}, {"acodec", "wmav2"}, {"ar", "44100"}}, "wmv2", "wmav2"},
      {"real.rm", {{"vcodec", "rv20"}, {"acodec", "ac3"}, {"ar", "44100"}}, "rv20", "ac3"},
      {"x264.mp4", {{"vcodec", "libx264"}, {"acodec", "aac"}}, "h264", "aac"},
      {"xvid.avi", {{"vcodec", "libxvid"}, {"acodec", "libmp3lame"}}, "mpeg4", "mp3"},
      // AVI counts MP3 in whole frames: jittery input timestamps must not
      // give two frames the same time.
      {"divx.avi", {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}, {"ar", "44100"}}, "mpeg4", "mp3"},
      {"flash.flv", {{"ar", "22050"}}, "flv1", "mp3"},
      {"vorbis.ogg", {{"vn", ""}, {"acodec", "libvorbis"}}, "", "vorbis"},
  };
  for (const Case& c : cases) {
    const fixtures::MediaFacts out = Run(c.options, c.file, nullptr, "3");
    ASSERT_TRUE(out.ok) << c.file << ": " << out.error;
    if (*c.video) {
      ASSERT_NE(out.First("video"), nullptr) << c.file;
      EXPECT_EQ(out.First("video")->codec, c.video) << c.file;
      EXPECT_GT(out.First("video")->packets, 60) << c.file;
    } else {
      EXPECT_EQ(out.First("video"), nullptr) << c.file;
    }
    ASSERT_NE(out.First("audio"), nullptr) << c.file;
    EXPECT_EQ(out.First("audio")->codec, c.audio) << c.file;
    EXPECT_NEAR(out.First("audio")->Duration(), 3.0, 0.3) << c.file;
  }
}

TEST_F(Conversion, AudioOnlyProgressReportsNoVideo) {
  REQUIRE_MEDIA(kSample);
  Outcome run;
  const std::string output = dir.File("audio.mp2");
  TCustomFFmpeg e;
  enginetest::Recorder rec;
  std::string error;
  ASSERT_TRUE(enginetest::Open(e, {}, Sample(), {{"t", "20"}, {"acodec", "mp2"}, {"ar", "44100"}},
                               output, error))
      << error;
  rec.Attach(e);
  e.ProgressInterval = 10000;
  e.Start(false);
  run = rec.Take(e);
  ASSERT_FALSE(run.progress.empty());
  for (const auto& p : run.progress) {
    EXPECT_EQ(p.frames, -1);
    EXPECT_EQ(p.fps, -1);
    EXPECT_FLOAT_EQ(p.quality, -1.0f);
    EXPECT_EQ(p.total, 20000);
  }
  EXPECT_NEAR(run.progress.back().current, 20000, 300);
}

}  // namespace
