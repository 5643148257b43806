// The media probe on generated files and on every shared real file.
#include "AVProbe.h"
#include "ComponentTestSupport.h"
#include "ProbeText.h"
#include "ReadableText.h"

namespace {

using namespace componenttest;

class Probe : public ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    recorder.Attach(converter);
  }
  std::string Make(fixtures::FixtureSpec spec, const std::string& name) {
    spec.path = dir.File(name);
    std::string error;
    EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
    return spec.path;
  }
  TAVProbe& probe() { return converter.Probe; }
  EventRecorder recorder;
};

TEST(ProbeWithoutLibraries, LoadFileRaisesTheFirstMissingLibrary) {
  medialib::UnloadAll();
  TAVProbe probe;
  try {
    probe.LoadFile("any.rm");
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "LibAVCodec not loaded.");
  }
  EXPECT_EQ(probe.StreamCount(), -1);
  TMediaConverter converter;
  EXPECT_EQ(converter.AddInputFile("any.rm", nullptr), -1);
  EXPECT_EQ(converter.LastError(), "LibAVCodec not loaded.");
  EXPECT_TRUE(medialib::LoadAll("", true)) << medialib::LibraryLoadError();
}

TEST_F(Probe, NothingLoaded) {
  TFormatInfo format;
  probe().GetFormatInfo(format);
  EXPECT_EQ(format.StartTime, -1);
  EXPECT_EQ(format.Duration, -1);
  EXPECT_EQ(format.BitRate, -1);
  EXPECT_EQ(format.Year, -1);
  EXPECT_EQ(format.Title[0], '\0');
  TVideoStreamInfo video;
  probe().GetVideoStreamInfo(video);
  EXPECT_EQ(video.Width, -1);
  EXPECT_TRUE(recorder.HasLog(-1, llInfo, "file not loaded."));
  EXPECT_EQ(probe().StreamCount(), -1);
}

TEST_F(Probe, LoadFailures) {
  const std::string missing = dir.File("missing.rm");
  EXPECT_FALSE(probe().LoadFile(missing));
  EXPECT_EQ(probe().LastError(), missing + ": no such file or directory");
  EXPECT_EQ(probe().VideoStreamCount(), -1);
  EXPECT_FALSE(probe().LoadFile(missing, "no-such-format"));
  EXPECT_EQ(probe().LastError(), "Unknown input format: no-such-format");
  fixtures::WriteTextFile(dir.File("text.rm"), "this is not a media file at all\n");
  EXPECT_FALSE(probe().LoadFile(dir.File("text.rm")));
  EXPECT_FALSE(probe().Loaded());
  EXPECT_EQ(probe().StreamCount(), -1);
}

TEST_F(Probe, VideoStreamFacts) {
  fixtures::FixtureSpec spec;
  spec.width = 320;
  spec.height = 240;
  spec.seconds = 1;
  const std::string file = Make(spec, "clip.rm");
  ASSERT_TRUE(probe().LoadFile(file)) << probe().LastError();
  EXPECT_EQ(probe().StreamCount(), 2);
  EXPECT_EQ(probe().VideoStreamCount(), 1);
  EXPECT_EQ(probe().AudioStreamCount(), 1);
  EXPECT_EQ(probe().SubtitleStreamCount(), 0);
  EXPECT_EQ(probe().FirstSubtitleStream(), -1);
  TVideoStreamInfo video;
  probe().GetVideoStreamInfo(video);
  EXPECT_EQ(video.Width, 320);
  EXPECT_EQ(video.Height, 240);
  EXPECT_STREQ(video.CodecName, "rv20");
  EXPECT_EQ(component::FrameRateText(video.FrameRateNum, video.FrameRateDen), "25");
  EXPECT_EQ(video.PixelFormat, AV_PIX_FMT_YUV420P);

  const int audio = probe().FirstAudioStream();
  TVideoStreamInfo notVideo;
  probe().GetVideoStreamInfo(audio, notVideo);
  EXPECT_EQ(notVideo.Width, -1);
  EXPECT_TRUE(
      recorder.HasLog(-1, llError, "stream #" + std::to_string(audio) + " is not video stream."));
  probe().GetVideoStreamInfo(7, notVideo);
  EXPECT_TRUE(recorder.HasLog(-1, llError, "stream index #7 is invalid."));
  probe().Unload();
  EXPECT_EQ(probe().VideoStreamCount(), -1);
  EXPECT_EQ(probe().FirstVideoStream(), -1);
}

TEST_F(Probe, AudioOnlyFile) {
  fixtures::FixtureSpec spec;
  spec.videoCodec = "";
  spec.seconds = 1;
  ASSERT_TRUE(probe().LoadFile(Make(spec, "audio.rm"))) << probe().LastError();
  EXPECT_EQ(probe().VideoStreamCount(), 0);
  EXPECT_EQ(probe().FirstVideoStream(), -1);
  EXPECT_EQ(probe().FirstAudioStream(), 0);
  TVideoStreamInfo video;
  probe().GetVideoStreamInfo(video);
  EXPECT_EQ(video.Width, -1);
  EXPECT_EQ(video.Height, -1);
  EXPECT_TRUE(recorder.HasLog(-1, llError, "no video stream."));
}

TEST_F(Probe, StreamDurationInMicroseconds) {
  fixtures::FixtureSpec spec;  // RealMedia streams count in milliseconds
  spec.audioCodec = "";
  spec.width = 64;
  spec.height = 48;
  spec.fpsNum = 1;
  spec.seconds = 90;
  ASSERT_TRUE(probe().LoadFile(Make(spec, "long.rm"))) << probe().LastError();
  TVideoStreamInfo video;
  probe().GetVideoStreamInfo(video);
  ASSERT_EQ(video.Duration, 90000) << "a duration of 90 s in a 1/1000 time base";
  EXPECT_EQ(video.DurationUs, 90000000);
}

TEST_F(Probe, UnknownContainerDuration) {
  fixtures::FixtureSpec spec;
  spec.format = "m4v";
  spec.videoCodec = "mpeg4";
  spec.audioCodec = "";
  spec.seconds = 1;
  ASSERT_TRUE(probe().LoadFile(Make(spec, "raw.m4v"))) << probe().LastError();
  TFormatInfo format;
  probe().GetFormatInfo(format);
  EXPECT_EQ(format.Duration, AV_NOPTS_VALUE);
  EXPECT_EQ(component::DurationText(format.Duration), "Unknown");
}

struct SharedFile {
  const char* name;
  bool loads;
  const char* size;  // "" without video
  const char* rate;
  const char* duration;
  int video, audio;
};

const SharedFile kSharedFiles[] = {
    {"rv40-cook-576x324-2m19s.rmvb", true, "576x324", "30", "00:02:18", 1, 1},
    {"rv10-ac3-560x320-5s.rmvb", true, "560x320", "30", "00:00:05", 1, 1},
    {"rv10-ac3mono-352x288-5s.rm", true, "352x288", "30", "00:00:05", 1, 1},
    {"ac3-audio-only-0.8s.rm", true, "", "", "00:00:00", 0, 1},
    {"pointer.ram", false, "", "", "", 0, 0},
};

TEST_F(Probe, EverySharedMediaFile) {
  for (const SharedFile& file : kSharedFiles) {
    SCOPED_TRACE(file.name);
    REQUIRE_MEDIA(file.name);
    const std::string path = testsupport::MediaPath(file.name);
    ASSERT_EQ(probe().LoadFile(path), file.loads) << probe().LastError();
    if (!file.loads) {
      EXPECT_EQ(probe().LastError().rfind(path + ": ", 0), 0u) << probe().LastError();
      continue;
    }
    EXPECT_EQ(probe().VideoStreamCount(), file.video);
    EXPECT_EQ(probe().AudioStreamCount(), file.audio);
    TFormatInfo format;
    probe().GetFormatInfo(format);
    EXPECT_EQ(component::DurationText(format.Duration), file.duration);
    if (!file.video) continue;
    TVideoStreamInfo video;
    probe().GetVideoStreamInfo(video);
    EXPECT_EQ(component::VideoSizeText(video.Width, video.Height), file.size);
    EXPECT_EQ(component::FrameRateText(video.FrameRateNum, video.FrameRateDen), file.rate);
  }
}

TEST_F(Probe, LegacyTagsKeepTheirBytesAndReadAsText) {
  REQUIRE_MEDIA("rv40-cook-576x324-2m19s.rmvb");
  ASSERT_TRUE(probe().LoadFile(testsupport::MediaPath("rv40-cook-576x324-2m19s.rmvb")));
  TFormatInfo format;
  probe().GetFormatInfo(format);
  EXPECT_STREQ(format.Title, "\xD2\xF4\xC0\xD6\xD6\xAE\xC9\xF9") << "the GBK bytes as they are";
  EXPECT_EQ(component::ReadableText(format.Title),
            "\xE9\x9F\xB3\xE4\xB9\x90\xE4\xB9\x8B\xE5\xA3\xB0");
  EXPECT_EQ(component::ReadableText(format.Author),
            "5156edu.com\xE6\x94\xB6\xE9\x9B\x86\xE6\x95\xB4\xE7\x90\x86");
}

}  // namespace
