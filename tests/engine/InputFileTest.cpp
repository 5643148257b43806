#include <gtest/gtest.h>

#include <cmath>

#include "EngineRunner.h"
#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "OpenError.h"
#include "TestSupport.h"

namespace {

const char kSample[] = "rv40-cook-576x324-2m19s.rmvb";

class InputFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    engine.PrepareTask();
  }
  void ExpectConsumed() {
    EXPECT_EQ(engine.VideoCodecName, "");
    EXPECT_EQ(engine.AudioCodecName, "");
    EXPECT_EQ(engine.FileIFormat, nullptr);
    EXPECT_EQ(engine.FileOFormat, nullptr);
    EXPECT_EQ(engine.VideoChannel, 0);
    EXPECT_EQ(engine.RateEmu, 0);
  }
  TCustomFFmpeg engine;
  testsupport::TempDir dir;
};

TEST(OpenErrorText, CoversTheTableAndFallsBack) {
  struct Case {
    int code;
    std::string text;
  } cases[] = {
      {AVERROR(EINVAL), "f.rm: Error while parsing header"},
      {AVERROR_INVALIDDATA, "f.rm: Unknown format"},
      {AVERROR(EIO),
       "f.rm: I/O error occurred\r\nUsually that means that input file is truncated and/or "
       "corrupted."},
      {AVERROR(ENOMEM), "f.rm: memory allocation error occurred"},
      {AVERROR(ENOENT), "f.rm: no such file or directory"},
      {AVERROR(EACCES), "f.rm: Error while opening file"},
      {-12345, "f.rm: Error while opening file"},
  };
  for (const Case& c : cases) EXPECT_EQ(engine::OpenErrorText("f.rm", c.code), c.text);
  const std::string image = engine::OpenErrorText("img.jpg", AVERROR(EDOM));
  EXPECT_EQ(image.rfind("img.jpg: Incorrect image filename syntax.\r\nUse '%d' to specify", 0), 0u)
      << image;
  EXPECT_NE(image.find("use 'img%03d.jpg'."), std::string::npos);
}

TEST_F(InputFile, MissingFileFailsAndStillConsumesTheInputOptions) {
  engine.ParseOption("f", "rm");
  engine.ParseOption("vcodec", "rv40");
  engine.ParseOption("vc", "3");
  engine.ParseOption("re", "");
  const std::string name = dir.File("missing.rm");
  EXPECT_FALSE(engine.OpenInputFile(name));
  EXPECT_EQ(engine.LastError, name + ": no such file or directory");
  EXPECT_EQ(engine.NbInputFiles, 0);
  ExpectConsumed();
}

TEST_F(InputFile, TextFileIsAnUnknownFormat) {
  const std::string name = dir.File("notes.rm");
  ASSERT_TRUE(fixtures::WriteTextFile(name, "these are not the frames you are looking for\n"));
  EXPECT_FALSE(engine.OpenInputFile(name));
  EXPECT_EQ(engine.LastError, name + ": Unknown format");
}

TEST_F(InputFile, UnknownForcedDecoderOpensNothing) {
  REQUIRE_MEDIA(kSample);
  engine.ParseOption("vcodec", "no-such-codec");
  EXPECT_FALSE(engine.OpenInputFile(testsupport::MediaPath(kSample)));
  EXPECT_EQ(engine.LastError, "Unknown decoder 'no-such-codec'");
  EXPECT_EQ(engine.NbInputFiles, 0);
  ExpectConsumed();
}

TEST_F(InputFile, EncoderNameIsTheWrongKindForAnAudioDecoder) {
  REQUIRE_MEDIA(kSample);
  engine.ParseOption("acodec", "h264");
  EXPECT_FALSE(engine.OpenInputFile(testsupport::MediaPath(kSample)));
  EXPECT_EQ(engine.LastError, "Invalid decoder type 'h264'");
}

TEST_F(InputFile, RealSampleCarriesItsPropertiesIntoTheOptionState) {
  REQUIRE_MEDIA(kSample);
  ASSERT_TRUE(engine.OpenInputFile(testsupport::MediaPath(kSample))) << engine.LastError;
  EXPECT_EQ(engine.NbInputFiles, 1);
  EXPECT_EQ(engine.FrameWidth, 576);
  EXPECT_EQ(engine.FrameHeight, 324);
  EXPECT_EQ(engine.FrameRate.num, 30);
  EXPECT_EQ(engine.FrameRate.den, 1);
  EXPECT_EQ(engine.AudioSampleRate, 11025);
  EXPECT_EQ(engine.AudioChannels, 2);
  EXPECT_EQ(engine.FramePixFmt, AV_PIX_FMT_YUV420P);
  EXPECT_NEAR(engine.FrameAspectRatio, 576.0 / 324.0, 1e-4);
  EXPECT_GE(engine.TotalDurationMs, 138000);
  EXPECT_LE(engine.TotalDurationMs, 139500);
  EXPECT_EQ(engine.InputFilesTsOffset[0], -engine.InputFiles[0].Context->start_time);
}

// A decoder that has not seen a picture yet may report no pixel format;
// RealMedia variable-bit-rate files are then assumed to be YUV 4:2:0 so that
// scaling can be set up before the first picture. (RealVideo 4's decoder
// always names its format, so an H.264 stream cut short after its header
// shows the rule.)
TEST_F(InputFile, RmvbWithoutAKnownPixelFormatIsAssumedYuv420) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("whole.mkv");
  spec.videoCodec = "libx264";
  spec.audioCodec = "";
  spec.seconds = 1;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  const std::string rmvb = dir.File("clip.RMVB"), rm = dir.File("clip.rm");
  ASSERT_TRUE(fixtures::TruncatedCopy(spec.path, rmvb, 0.02));
  ASSERT_TRUE(fixtures::TruncatedCopy(spec.path, rm, 0.02));
  for (const std::string& name : {rmvb, rm}) {
    TCustomFFmpeg e;
    e.PrepareTask();
    e.ParseOption("v", "-1");  // a probe that could not decode anything is not fatal then
    ASSERT_TRUE(e.OpenInputFile(name)) << e.LastError;
    EXPECT_EQ(e.FrameWidth, 320);
    EXPECT_EQ(e.FramePixFmt, name == rmvb ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_NONE) << name;
  }
  medialib::SetLibraryLogLevel(1);
}

TEST_F(InputFile, UnsetSampleAspectGivesTheFrameShape) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("vga.mkv");
  spec.videoCodec = "mpeg4";
  spec.width = 640;
  spec.height = 480;
  spec.audioCodec = "";
  spec.seconds = 0.5;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  ASSERT_TRUE(engine.OpenInputFile(spec.path)) << engine.LastError;
  EXPECT_FLOAT_EQ(engine.FrameAspectRatio, 640.0f / 480.0f);
}

TEST_F(InputFile, StartTimeSeeksPastTheFileStartAndShiftsTheOffset) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("late.mkv");
  spec.videoCodec = "";
  spec.audioCodec = "mp2";
  spec.audioStartSeconds = 1.2;
  spec.seconds = 2;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  engine.ParseOption("ss", "30");
  ASSERT_TRUE(engine.OpenInputFile(spec.path)) << engine.LastError;
  const int64_t start = engine.InputFiles[0].Context->start_time;
  EXPECT_NEAR(start, 1200000, 20000);
  EXPECT_EQ(engine.StartTime, 0);
  EXPECT_EQ(engine.InputFilesTsOffset[0], -(30000000 + start));
}

TEST_F(InputFile, CopiedTimestampsKeepTheGivenOffset) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("short.rm");
  spec.seconds = 0.5;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  engine.ParseOption("copyts", "");
  engine.ParseOption("itsoffset", "2");
  ASSERT_TRUE(engine.OpenInputFile(spec.path)) << engine.LastError;
  EXPECT_EQ(engine.InputFilesTsOffset[0], 2000000);
}

TEST_F(InputFile, DisabledKindsAreDiscarded) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File("both.rm");
  spec.seconds = 0.5;
  ASSERT_TRUE(fixtures::MakeFixture(spec));
  engine.ParseOption("vn", "");
  ASSERT_TRUE(engine.OpenInputFile(spec.path)) << engine.LastError;
  AVFormatContext* ic = engine.InputFiles[0].Context.get();
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    const bool video = ic->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    EXPECT_EQ(ic->streams[i]->discard, video ? AVDISCARD_ALL : AVDISCARD_DEFAULT);
  }
}

}  // namespace
