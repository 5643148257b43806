// Target presets: the norm decision with its log line and refusals, the
// settings of each kind, and the private options reaching real encoders.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

class Targets : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    engine.PrepareTask();
    engine.LogHandler = [this](TCustomFFmpeg*, int level, const std::string& msg) {
      logs.emplace_back(level, msg);
    };
  }
  std::string Refusal(const std::string& kind, const std::string& norm,
                      const std::string& fallback) {
    try {
      engine.SetTargetPreset(kind, norm, fallback);
    } catch (const FFMpegException& e) {
      return e.what();
    }
    return "(accepted)";
  }
  int64_t Int(int kind, const char* option) {
    int64_t value = -1;
    ml::av_opt_get_int(engine.CodecOptionContexts[kind].get(), option, 0, &value);
    return value;
  }
  std::string Private(const char* name) const {
    const AVDictionaryEntry* e = ml::av_dict_get(engine.PrivateOptions.Get(), name, nullptr, 0);
    return e ? e->value : "";
  }
  // A video decoder context as an opened input leaves it.
  void AddInputVideo(AVRational timeBase) {
    engine::CodecContextPtr codec(ml::avcodec_alloc_context3(nullptr));
    codec->codec_type = AVMEDIA_TYPE_VIDEO;
    codec->time_base = timeBase;
    engine.InputFiles[engine.NbInputFiles].Codecs.push_back(std::move(codec));
    ++engine.NbInputFiles;
  }
  TCustomFFmpeg engine;
  std::vector<std::pair<int, std::string>> logs;
};

TEST_F(Targets, PalDvdAfterOpeningAnInput) {
  testsupport::TempDir dir;
  fixtures::FixtureSpec spec;
  spec.path = dir.File("in.rm");
  spec.channels = 1;
  spec.seconds = 1;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  ASSERT_TRUE(engine.OpenInputFile(spec.path)) << engine.LastError;
  const float inputAspect = engine.FrameAspectRatio;
  ASSERT_GT(inputAspect, 0);
  engine.ParseOption("target", "pal-dvd");
  EXPECT_EQ(engine.FrameWidth, 720);
  EXPECT_EQ(engine.FrameHeight, 576);
  EXPECT_EQ(engine.FrameRate.num, 25);
  EXPECT_EQ(engine.FrameRate.den, 1);
  EXPECT_EQ(Int(0, "g"), 15);
  EXPECT_EQ(Int(0, "b"), 6000000);
  EXPECT_EQ(Int(0, "maxrate"), 9000000);
  EXPECT_EQ(Int(0, "bufsize"), 1835008);
  EXPECT_EQ(engine.VideoCodecName, "mpeg2video");
  EXPECT_EQ(engine.AudioCodecName, "ac3");
  EXPECT_EQ(Int(1, "b"), 448000);
  EXPECT_EQ(engine.AudioSampleRate, 48000);
  EXPECT_EQ(engine.AudioChannels, 2);  // the mono input becomes stereo
  ASSERT_NE(engine.FileOFormat, nullptr);
  EXPECT_STREQ(engine.FileOFormat->name, "dvd");
  EXPECT_EQ(engine.FormatOptionContext->packet_size, 2048u);
  EXPECT_EQ(Private("muxrate"), "10080000");
  EXPECT_FLOAT_EQ(engine.FrameAspectRatio, inputAspect);  // known: kept
  EXPECT_TRUE(logs.empty());                              // the norm was given
}

TEST_F(Targets, DvdAspectDefaultsWhenNoneIsKnown) {
  engine.FrameRate = {25, 1};
  engine.SetTargetPreset("dvd", "auto", "ntsc");
  EXPECT_FLOAT_EQ(engine.FrameAspectRatio, 16.0f / 9.0f);
  EXPECT_EQ(engine.FrameHeight, 576);
}

TEST_F(Targets, VcdOnNtscFrameRateAssumesNtsc) {
  engine.FrameRate = {30000, 1001};
  AddInputVideo({1, 25});  // the frame rate decides first
  engine.ParseOption("target", "vcd");
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0], std::make_pair(1, std::string("Assuming NTSC for target.")));
  EXPECT_EQ(engine.FrameWidth, 352);
  EXPECT_EQ(engine.FrameHeight, 240);
  EXPECT_EQ(engine.FrameRate.num, 30000);
  EXPECT_EQ(engine.FrameRate.den, 1001);
  EXPECT_EQ(Int(0, "g"), 18);
  EXPECT_EQ(Int(0, "minrate"), 1150000);
  EXPECT_EQ(Int(0, "bufsize"), 327680);
  EXPECT_EQ(engine.VideoCodecName, "mpeg1video");
  EXPECT_EQ(engine.AudioCodecName, "mp2");
  EXPECT_EQ(Int(1, "b"), 224000);
  EXPECT_EQ(engine.AudioSampleRate, 44100);
  EXPECT_FLOAT_EQ(engine.MuxPreload, 0.44f);
  EXPECT_EQ(engine.FormatOptionContext->packet_size, 2324u);
  EXPECT_EQ(Private("muxrate"), "1411200");
  EXPECT_FLOAT_EQ(engine.FrameAspectRatio, 4.0f / 3.0f);
  ASSERT_NE(engine.FileOFormat, nullptr);
  EXPECT_STREQ(engine.FileOFormat->name, "vcd");
}

TEST_F(Targets, QuietVerbosityLogsNoAssumption) {
  engine.FrameRate = {25, 1};
  engine.Verbose = 0;
  engine.SetTargetPreset("vcd", "auto", "ntsc");
  EXPECT_TRUE(logs.empty());
  EXPECT_EQ(engine.FrameHeight, 288);
}

TEST_F(Targets, NoFrameRateIsRefusedEvenWithAFallback) {
  EXPECT_EQ(Refusal("vcd", "auto", "pal"), "frame_rate is invalid.");
  EXPECT_EQ(engine.VideoCodecName, "");
  EXPECT_TRUE(logs.empty());
}

TEST_F(Targets, NormDecisions) {
  struct {
    AVRational frameRate;
    AVRational streamTimeBase;  // {0, 0}: no input video
    const char* norm;
    const char* fallback;
    int height;
    const char* logged;
  } cases[] = {
      {{12, 1}, {0, 0}, "auto", "pal", 576, "Assuming PAL for target."},
      {{12, 1}, {0, 0}, "auto", "ntsc", 480, "Assuming NTSC for target."},
      {{12, 1}, {0, 0}, "auto", "film", 480, "Assuming NTSC for target."},
      {{12, 1}, {1001, 30000}, "auto", "pal", 480, "Assuming NTSC for target."},
      {{12, 1}, {1001, 24000}, "auto", "pal", 480, "Assuming NTSC for target."},
      {{12, 1}, {1, 25}, "auto", "ntsc", 576, "Assuming PAL for target."},
      {{24000, 1001}, {0, 0}, "auto", "pal", 480, "Assuming NTSC for target."},
      {{0, 0}, {0, 0}, "pal", "ntsc", 576, nullptr},
      {{0, 0}, {0, 0}, "ntsc", "pal", 480, nullptr},
      {{25, 1}, {0, 0}, "PAL", "ntsc", 576, "Assuming PAL for target."},  // names are exact
  };
  for (auto& c : cases) {
    TCustomFFmpeg e;
    e.PrepareTask();
    std::vector<std::string> lines;
    e.LogHandler = [&](TCustomFFmpeg*, int, const std::string& msg) { lines.push_back(msg); };
    e.FrameRate = c.frameRate;
    if (c.streamTimeBase.den) {
      engine::CodecContextPtr codec(ml::avcodec_alloc_context3(nullptr));
      codec->codec_type = AVMEDIA_TYPE_VIDEO;
      codec->time_base = c.streamTimeBase;
      e.InputFiles[0].Codecs.push_back(std::move(codec));
      e.NbInputFiles = 1;
    }
    e.SetTargetPreset("svcd", c.norm, c.fallback);
    EXPECT_EQ(e.FrameHeight, c.height) << c.norm << " " << c.fallback << " " << c.frameRate.num;
    EXPECT_EQ(lines, c.logged ? std::vector<std::string>{c.logged} : std::vector<std::string>{})
        << c.norm << " " << c.fallback;
  }
}

TEST_F(Targets, DvKinds) {
  struct {
    const char* target;
    int width, height;
    AVPixelFormat pixFmt;
    AVRational rate;
  } cases[] = {
      {"film-dv", 720, 480, AV_PIX_FMT_YUV411P, {24000, 1001}},
      {"ntsc-dv", 720, 480, AV_PIX_FMT_YUV411P, {30000, 1001}},
      {"pal-dv", 720, 576, AV_PIX_FMT_YUV420P, {25, 1}},
      {"pal-dv50", 720, 576, AV_PIX_FMT_YUV422P, {25, 1}},
      {" ntsc-dv50 ", 720, 480, AV_PIX_FMT_YUV422P, {30000, 1001}},
  };
  for (auto& c : cases) {
    TCustomFFmpeg e;
    e.PrepareTask();
    e.AudioChannels = 1;
    e.ParseOption("target", c.target);
    EXPECT_EQ(e.FrameWidth, c.width) << c.target;
    EXPECT_EQ(e.FrameHeight, c.height) << c.target;
    EXPECT_EQ(e.FramePixFmt, c.pixFmt) << c.target;
    EXPECT_EQ(e.FrameRate.num, c.rate.num) << c.target;
    EXPECT_EQ(e.FrameRate.den, c.rate.den) << c.target;
    EXPECT_EQ(e.AudioSampleRate, 48000) << c.target;
    EXPECT_EQ(e.AudioChannels, 2) << c.target;
    EXPECT_STREQ(e.FileOFormat->name, "dv") << c.target;
    EXPECT_EQ(e.VideoCodecName, "") << c.target;
    EXPECT_FLOAT_EQ(e.FrameAspectRatio, 0) << c.target;
  }
}

TEST_F(Targets, UnknownKindAfterTheNormDecision) {
  engine.FrameRate = {25, 1};
  EXPECT_EQ(Refusal("vhs", "auto", "ntsc"), "Unknown target type");
  EXPECT_EQ(logs, (std::vector<std::pair<int, std::string>>{{1, "Assuming PAL for target."}}));
  EXPECT_EQ(Refusal("DVD", "pal", "ntsc"), "Unknown target type");
  EXPECT_EQ(engine.FrameWidth, 0);
}

TEST_F(Targets, SvcdScanOffsetReachesTheMpeg2Encoder) {
  engine.ParseOption("target", "ntsc-svcd");
  EXPECT_EQ(engine.AudioChannels, 2);
  EXPECT_EQ(Int(0, "b"), 2040000);
  EXPECT_EQ(Int(0, "maxrate"), 2516000);
  EXPECT_EQ(engine.FormatOptionContext->packet_size, 2324u);
  EXPECT_EQ(Private("muxrate"), "");
  EXPECT_EQ(Private("scan_offset"), "1");
  const AVCodec* codec = ml::avcodec_find_encoder_by_name(engine.VideoCodecName.c_str());
  ASSERT_NE(codec, nullptr);
  engine::CodecContextPtr encoder(ml::avcodec_alloc_context3(codec));
  engine.CopyRememberedOptions(encoder.get(), engine.CodecOptionContexts[0].get(),
                               AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  encoder->width = engine.FrameWidth;
  encoder->height = engine.FrameHeight;
  encoder->time_base = {engine.FrameRate.den, engine.FrameRate.num};
  encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  engine::Dictionary options = engine.PrivateOptions;
  {
    std::lock_guard<std::mutex> lock(CodecOpenLock());
    ASSERT_EQ(ml::avcodec_open2(encoder.get(), codec, options.Address()), 0);
  }
  EXPECT_EQ(ml::av_dict_get(options.Get(), "scan_offset", nullptr, 0), nullptr);  // consumed
  int64_t scanOffset = 0;
  ASSERT_GE(ml::av_opt_get_int(encoder->priv_data, "scan_offset", 0, &scanOffset), 0);
  EXPECT_EQ(scanOffset, 1);
  EXPECT_EQ(encoder->gop_size, 18);
  EXPECT_EQ(encoder->rc_max_rate, 2516000);
}

TEST_F(Targets, PalDvdConversionWritesADvdStream) {
  testsupport::TempDir dir;
  fixtures::FixtureSpec spec;
  spec.path = dir.File("in.rm");
  spec.seconds = 1;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  const std::string output = dir.File("out.vob");
  const enginetest::Outcome run =
      enginetest::Convert({}, spec.path, {{"target", "pal-dvd"}}, output);
  ASSERT_TRUE(run.opened) << run.openError;
  EXPECT_TRUE(run.finished) << run.message;
  const fixtures::MediaFacts facts = fixtures::Inspect(output);
  ASSERT_TRUE(facts.ok) << facts.error;
  const fixtures::StreamFacts* video = facts.First("video");
  const fixtures::StreamFacts* audio = facts.First("audio");
  ASSERT_TRUE(video && audio);
  EXPECT_EQ(video->codec, "mpeg2video");
  EXPECT_EQ(video->width, 720);
  EXPECT_EQ(video->height, 576);
  EXPECT_EQ(audio->codec, "ac3");
  EXPECT_EQ(audio->sampleRate, 48000);
  EXPECT_EQ(audio->channels, 2);
}

}  // namespace
