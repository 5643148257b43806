#include <gtest/gtest.h>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "StreamParameters.h"
#include "TestSupport.h"

namespace {

class OutputFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }

  std::string Fixture(const std::string& name, const std::string& video, const std::string& audio,
                      int width = 320, int height = 240) {
    fixtures::FixtureSpec spec;
    spec.path = dir.File(name);
    spec.videoCodec = video;
    spec.audioCodec = audio;
    spec.width = width;
    spec.height = height;
    spec.seconds = 0.5;
    std::string error;
    EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
    return spec.path;
  }

  // Opens `input` in a fresh engine, applies `options`, creates `output`.
  bool Create(TCustomFFmpeg& e, const std::string& input, const enginetest::Options& options,
              const std::string& output) {
    e.PrepareTask();
    if (!e.OpenInputFile(input)) return false;
    enginetest::Apply(e, options);
    return e.OpenOutputFile(output);
  }

  testsupport::TempDir dir;
};

AVCodecContext* StreamCodec(TCustomFFmpeg& e, int stream) {
  return e.OutputFiles[0].Streams[stream].Codec.get();
}

TEST_F(OutputFile, AudioOnlyInputGivesOneAudioStreamInAFormatWithBothDefaults) {
  const std::string input = Fixture("tone.rm", "", "ac3");
  TCustomFFmpeg e;
  ASSERT_TRUE(Create(e, input, {}, dir.File("out.avi"))) << e.LastError;
  AVFormatContext* oc = e.OutputFiles[0].Context.get();
  ASSERT_EQ(oc->nb_streams, 1u);
  EXPECT_EQ(StreamCodec(e, 0)->codec_type, AVMEDIA_TYPE_AUDIO);
}

TEST_F(OutputFile, VideoCopyMakesAStreamCopyAndClearsTheFlag) {
  const std::string input = Fixture("clip.rm", "rv20", "ac3");
  TCustomFFmpeg e;
  ASSERT_TRUE(Create(e, input, {{"vcodec", "copy"}}, dir.File("out.mkv"))) << e.LastError;
  EXPECT_TRUE(e.OutputFiles[0].Streams[0].StreamCopy);
  EXPECT_FALSE(e.OutputFiles[0].Streams[1].StreamCopy);
  EXPECT_EQ(e.VideoStreamCopy, 0);
}

TEST_F(OutputFile, EncoderNamesAreCheckedAtCreation) {
  const std::string input = Fixture("clip.rm", "rv20", "ac3");
  struct Case {
    enginetest::Options options;
    std::string error;
  } cases[] = {
      {{{"vcodec", "no-such-encoder"}}, "new_video_stream fail: Unknown encoder 'no-such-encoder'"},
      {{{"vcodec", "mp2"}}, "new_video_stream fail: Invalid encoder type 'mp2'"},
      {{{"acodec", "mpeg4"}}, "new_audio_stream fail: Invalid encoder type 'mpeg4'"},
      {{{"rc_override", "0,100"}}, "new_video_stream fail: error parsing rc_override"},
  };
  for (const Case& c : cases) {
    TCustomFFmpeg e;
    EXPECT_FALSE(Create(e, input, c.options, dir.File("out.avi")));
    EXPECT_EQ(e.LastError, c.error);
    EXPECT_EQ(e.NbOutputFiles, 0);
    EXPECT_FALSE(testsupport::FileExists(dir.File("out.avi")));
  }
}

TEST_F(OutputFile, RateControlOverrideGroups) {
  const std::string input = Fixture("clip.rm", "rv20", "");
  TCustomFFmpeg e;
  ASSERT_TRUE(Create(e, input, {{"rc_override", "0,100,-20/200,300,4"}}, dir.File("out.avi")))
      << e.LastError;
  AVCodecContext* codec = StreamCodec(e, 0);
  ASSERT_EQ(codec->rc_override_count, 2);
  EXPECT_EQ(codec->rc_override[0].start_frame, 0);
  EXPECT_EQ(codec->rc_override[0].end_frame, 100);
  EXPECT_EQ(codec->rc_override[0].qscale, 0);
  EXPECT_FLOAT_EQ(codec->rc_override[0].quality_factor, 0.2f);
  EXPECT_EQ(codec->rc_override[1].start_frame, 200);
  EXPECT_EQ(codec->rc_override[1].end_frame, 300);
  EXPECT_EQ(codec->rc_override[1].qscale, 4);
  EXPECT_FLOAT_EQ(codec->rc_override[1].quality_factor, 1.0f);
}

TEST(StreamParameters, NearestListedFrameRate) {
  const AVRational list[] = {{24000, 1001}, {25, 1}, {30000, 1001}, {0, 0}};
  struct Case {
    AVRational wanted, chosen;
  } cases[] = {
      {{30000, 1001}, {30000, 1001}}, {{26, 1}, {25, 1}}, {{24, 1}, {24000, 1001}},
      {{60, 1}, {30000, 1001}},       {{1, 1}, {24000, 1001}},
  };
  ASSERT_TRUE(fixtures::EnsureLibraries());
  for (const Case& c : cases) {
    const AVRational r = engine::NearestSupportedRate(list, c.wanted);
    EXPECT_EQ(r.num, c.chosen.num) << c.wanted.num << "/" << c.wanted.den;
    EXPECT_EQ(r.den, c.chosen.den);
  }
}

TEST(StreamParameters, SampleAspectFromTheFrameAspect) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  struct Case {
    float aspect;
    int width, height;
    AVRational sar;
  } cases[] = {
      {4.0f / 3, 352, 288, {12, 11}},
      {4.0f / 3, 640, 480, {1, 1}},
      {16.0f / 9, 720, 576, {64, 45}},
      {0, 320, 240, {0, 1}},
  };
  for (const Case& c : cases) {
    const AVRational sar = engine::SampleAspect(c.aspect, c.width, c.height);
    EXPECT_EQ(sar.num, c.sar.num) << c.width << "x" << c.height;
    EXPECT_EQ(sar.den, c.sar.den);
  }
}

TEST_F(OutputFile, EncoderRateListDecidesTheTimeBase) {
  const std::string input = Fixture("clip.rm", "rv20", "");
  for (auto [rate, expected] : {std::pair<const char*, AVRational>{"30000/1001", {1001, 30000}},
                                {"26", {1, 25}}}) {
    TCustomFFmpeg e;
    ASSERT_TRUE(Create(e, input, {{"vcodec", "mpeg1video"}, {"r", rate}}, dir.File("out.mpg")))
        << e.LastError;
    const AVRational tb = StreamCodec(e, 0)->time_base;
    EXPECT_EQ(tb.num, expected.num) << rate;
    EXPECT_EQ(tb.den, expected.den) << rate;
  }
}

// Of this library generation's muxers only the WebM chunk writer still needs a
// number in its file names.
TEST_F(OutputFile, NumberedFormatWithoutANumberLeavesNoOutput) {
  const std::string input = Fixture("clip.rm", "rv20", "");
  TCustomFFmpeg e;
  e.PrepareTask();
  ASSERT_TRUE(e.OpenInputFile(input));
  e.ParseOption("f", "webm_chunk");
  const std::string name = dir.File("chunk.webm");
  EXPECT_FALSE(e.OpenOutputFile(name));
  EXPECT_EQ(e.LastError.rfind(name + ": Incorrect image filename syntax.", 0), 0u) << e.LastError;
  EXPECT_EQ(e.NbOutputFiles, 0);
  EXPECT_EQ(e.FileOFormat, nullptr);
  EXPECT_FALSE(testsupport::FileExists(name));
}

TEST_F(OutputFile, ExistingFileIsOverwritten) {
  const std::string input = Fixture("clip.rm", "rv20", "ac3");
  const std::string output = dir.File("old.avi");
  ASSERT_TRUE(fixtures::WriteTextFile(output, std::string(5000, 'x')));
  TCustomFFmpeg e;
  ASSERT_TRUE(Create(e, input, {}, output)) << e.LastError;
  EXPECT_EQ(testsupport::FileSize(output), 0) << "truncated when opened";
}

TEST_F(OutputFile, UnknownExtensionHasNoFormat) {
  const std::string input = Fixture("clip.rm", "rv20", "");
  TCustomFFmpeg e;
  EXPECT_FALSE(Create(e, input, {}, dir.File("out.nosuchformat")));
  EXPECT_EQ(e.LastError,
            "Unable to find a suitable output format for '" + dir.File("out.nosuchformat") + "'");
}

TEST_F(OutputFile, UnwritableFolderCannotBeOpened) {
  const std::string input = Fixture("clip.rm", "rv20", "");
  TCustomFFmpeg e;
  const std::string output = dir.File("no/such/folder/out.avi");
  EXPECT_FALSE(Create(e, input, {}, output));
  EXPECT_EQ(e.LastError, "Could not open '" + output + "'");
  EXPECT_EQ(e.NbOutputFiles, 0);
}

TEST_F(OutputFile, StreamsTakeSizeRateAndPadsFromTheOptionState) {
  const std::string input = Fixture("clip.rm", "rv20", "ac3", 352, 288);
  TCustomFFmpeg e;
  ASSERT_TRUE(Create(e, input,
                     {{"vcodec", "mpeg4"}, {"s", "320x240"}, {"padtop", "16"}, {"padbottom", "16"},
                      {"aspect", "4:3"}, {"ar", "22050"}, {"ac", "1"}, {"alang", "eng"}},
                     dir.File("out.mkv")))
      << e.LastError;
  AVCodecContext* video = StreamCodec(e, 0);
  EXPECT_EQ(video->width, 320);
  EXPECT_EQ(video->height, 272);
  AVCodecContext* audio = StreamCodec(e, 1);
  EXPECT_EQ(audio->sample_rate, 22050);
  EXPECT_EQ(audio->ch_layout.nb_channels, 1);
  AVDictionaryEntry* lang =
      ml::av_dict_get(e.OutputFiles[0].Context->streams[1]->metadata, "language", nullptr, 0);
  ASSERT_NE(lang, nullptr);
  EXPECT_STREQ(lang->value, "eng");
  EXPECT_EQ(e.AudioLanguage, "");
}

}  // namespace
