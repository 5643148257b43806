// Every catalogue entry with its default choices: the first 10 s of the real
// RealMedia source go through the per-file steps of the batch driver and the
// component, and the output is checked against one table of expected streams.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "BatchRules.h"
#include "Catalogue.h"
#include "LetterBox.h"
#include "MediaConverter.h"
#include "MediaInspect.h"
#include "TestSupport.h"

using namespace presets;

namespace {

constexpr char kSource[] = "rv40-cook-576x324-2m19s.rmvb";
constexpr int kSourceWidth = 576;
constexpr int kSourceHeight = 324;
constexpr double kSeconds = 10.0;
constexpr int kVolumePosition = 5;  // the track bar's default, 100%

// What one entry's output must hold. 3GP and 3G2 carry AAC: the build has no
// AMR-NB encoder, and AAC stands in for it. A width of 0 means the source's size.
// Audio channels of 0 mean whatever the source has (the entry sets none).
struct Expected {
  std::string_view Entry;
  std::string_view Video;  // codec name, empty for no video stream
  int Width, Height;
  std::string_view Audio;
  int SampleRate, Channels;
};

// clang-format off
constexpr Expected kExpected[] = {
    {"AVI - Audio Video Interleave (*.avi)",   "mpeg4",      0,   0,   "pcm_s16le", 48000, 2},
    {"AVI - DivX Video (*.avi)",               "mpeg4",      0,   0,   "mp3",       48000, 2},
    {"AVI - Uncompress (*.avi)",               "rawvideo",   0,   0,   "pcm_s16le", 48000, 2},
    {"AVI - XviD Video (*.avi)",               "mpeg4",      0,   0,   "mp3",       48000, 2},
    {"DVD - VOB (*.vob)",                      "mpeg2video", 0,   0,   "ac3",       48000, 2},
    {"FLV - Flash Video (*.flv)",              "flv1",       0,   0,   "mp3",       44100, 2},
    {"MOV - QuickTime Video (*.mov)",          "mpeg4",      0,   0,   "aac",       44100, 2},
    {"MP4 - MPEG4 Video (*.mp4)",              "mpeg4",      0,   0,   "aac",       44100, 2},
    {"MPEG-1 Movie (*.mpg)",                   "mpeg1video", 320, 240, "mp2",       44100, 2},
    {"MPEG-2 Movie (*.mpg)",                   "mpeg2video", 320, 240, "mp2",       44100, 2},
    {"RM - Real Video (*.rm)",                 "rv10",       320, 240, "ac3",       48000, 2},
    {"SWF - Flash Swf (*.swf)",                "flv1",       0,   0,   "mp3",       44100, 2},
    {"Super Video CD (*.mpg)",                 "mpeg2video", 480, 480, "mp2",       44100, 2},
    {"Video CD (*.mpg)",                       "mpeg1video", 352, 240, "mp2",       44100, 2},
    {"WMV - Windows Media Video (*.wmv)",      "wmv2",       320, 240, "wmav2",     48000, 2},
    {"3GP - Mobile Video Format (*.3gp)",      "mpeg4",      176, 144, "aac",       8000,  1},
    {"3G2 - Mobile Video Format (*.3g2)",      "mpeg4",      176, 144, "aac",       8000,  1},
    {"AAC - Advance Audio Coding (*.aac)",     "",           0,   0,   "aac",       48000, 2},
    {"ASF - Advance Streaming Format (*.asf)", "",           0,   0,   "mp3",       48000, 2},
    {"AU - SUN Audio (*.au)",                  "",           0,   0,   "pcm_s16be", 48000, 2},
    {"M4A - Mpeg4 Audio File (*.m4a)",         "",           0,   0,   "aac",       48000, 2},
    {"MP2 - Mpeg Layer2 Audio (*.mp2)",        "",           0,   0,   "mp2",       48000, 2},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)",        "",           0,   0,   "mp3",       48000, 2},
    {"OGG - Ogg Vorbis Audio (*.ogg)",         "",           0,   0,   "vorbis",    48000, 2},
    {"RA - Real Audio (*.ra)",                 "",           0,   0,   "ac3",       48000, 2},
    {"WAV - Waveform Audio (*.wav)",           "",           0,   0,   "pcm_s16le", 44100, 2},
    {"WMA - Windows Media Audio (*.wma)",      "",           0,   0,   "wmav2",     48000, 2},
    {"Apple TV (*.mp4)",                       "mpeg4",      640, 480, "aac",       44100, 0},
    {"iPhone (*.mp4)",                         "mpeg4",      480, 320, "aac",       44100, 2},
    {"iPhone Extra (640 x 480) (*.mp4)",       "mpeg4",      640, 480, "aac",       44100, 2},
    {"iPod (*.mp4)",                           "mpeg4",      320, 240, "aac",       44100, 0},
    {"iPod Video For TV (*.mp4)",              "mpeg4",      640, 480, "aac",       44100, 0},
    {"iPod Touch (*.mp4)",                     "mpeg4",      480, 320, "aac",       44100, 0},
    {"iPod Touch Extra (640 x 480) (*.mp4)",   "mpeg4",      640, 480, "aac",       44100, 0},
    {"PSP Video (*.mp4)",                      "mpeg4",      368, 208, "aac",       24000, 2},
    {"PS3 Video (*.mp4)",                      "h264",       720, 480, "aac",       44100, 2},
    {"Zune Mpeg4 Video (*.mp4)",               "mpeg4",      320, 240, "aac",       44100, 2},
    {"Zune WMV Windows Media Video (*.wmv)",   "wmv2",       320, 240, "wmav2",     48000, 2},
    {"Archos AV500/GMini402 (*.avi)",          "mpeg4",      480, 272, "mp3",       48000, 2},
    {"Archos AV700 (*.avi)",                   "mpeg4",      720, 480, "mp3",       48000, 2},
    {"BlackBerry MPEG-4 Video (*.mp4)",        "mpeg4",      320, 240, "aac",       44100, 2},
    {"BlackBerry AVI Video (*.avi)",           "h263",       176, 144, "mp3",       44100, 2},
    {"BlackBerry 3GP Video (*.3gp)",           "mpeg4",      176, 144, "aac",       8000,  1},
    {"Creative Zen Vision (*.avi)",            "mpeg4",      640, 480, "mp3",       48000, 2},
    {"iRiver PMP100 (*.avi)",                  "mpeg4",      640, 480, "mp3",       48000, 2},
};
// clang-format on

// Waits for the end of a one-task batch and keeps the task's result.
class BatchEnd {
 public:
  void Attach(TCustomMediaConverter& converter) {
    converter.OnTerminate = [this](int index, bool, bool exception, const std::string& message) {
      std::lock_guard<std::mutex> guard(lock_);
      if (index >= 0) {
        failed_ = exception;
        message_ = message;
      } else {
        ended_ = true;
      }
      changed_.notify_all();
    };
    converter.OnLog = [this](int, TLogLevel level, const std::string& line) {
      std::lock_guard<std::mutex> guard(lock_);
      if (level <= llError) errors_ += line + "\n";
    };
  }
  bool Wait() {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(240), [this] { return ended_; });
  }
  bool Failed() {
    std::lock_guard<std::mutex> guard(lock_);
    return failed_;
  }
  std::string Report() {
    std::lock_guard<std::mutex> guard(lock_);
    return message_ + "\n" + errors_;
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool ended_ = false;
  bool failed_ = false;
  std::string message_;
  std::string errors_;
};

class CatalogueConversion : public ::testing::TestWithParam<Expected> {
 protected:
  void SetUp() override {
    REQUIRE_MEDIA(kSource);
    source = testsupport::MediaPath(kSource);
    ASSERT_TRUE(converter.LoadLibraries("", true)) << converter.LastError();
    batch.Attach(converter);
  }
  void TearDown() override {
    converter.ClearTasks();
    converter.UnassignEvents();
  }

  // The entry's default choices, as the window shows them after accepting it.
  TSettingLists ListsFor(std::string_view entry) {
    TSettingLists lists;
    FillOutputFormatCombo(lists);
    EXPECT_TRUE(lists.ComboOutputFormat.SelectText(entry)) << entry;
    EXPECT_TRUE(SelectOutputFormat(lists)) << entry;
    return lists;
  }

  // The batch driver's per-file steps for the source; the output's path.
  std::string Convert(const TSettingLists& lists) {
    EXPECT_TRUE(converter.Probe.LoadFile(source)) << converter.Probe.LastError();
    TVideoStreamInfo info;
    converter.Probe.GetVideoStreamInfo(info);
    converter.Probe.Unload();
    EXPECT_EQ(info.Width, kSourceWidth);
    EXPECT_EQ(info.Height, kSourceHeight);

    TInputOptions input;
    InitInputOptions(input);
    input.FileName = source;
    input.StartTime = 0;
    const int index = converter.AddInputFile(source, &input);
    EXPECT_GE(index, 0) << converter.LastError();
    if (index < 0) return {};

    TOutputOptions options;
    InitOutputOptions(options);
    EXPECT_TRUE(ApplyOutputFormat(lists, 0, options, TCustomMediaConverter::HasEncoder));
    options.AudioVolume = VolumeStep(kVolumePosition).Value;
    ApplyAspectChoice(lists.ComboAspectRatio.ItemIndex(), VideoSizeText(info.Width, info.Height),
                      options);
    ApplyLetterBox(lists, info.Width, info.Height, info.DisplayAspect, options);
    options.ExtOptions = "t=" + std::to_string(static_cast<int>(kSeconds));

    const std::string output = OutputFileName(dir.Path(), source, lists.OutputExtension, true);
    EXPECT_TRUE(converter.SetOutputFile(index, output, &options)) << converter.LastError();
    converter.StartConvert(1);
    EXPECT_TRUE(batch.Wait()) << "the conversion did not end";
    return output;
  }

  std::string source;
  testsupport::TempDir dir;
  TMediaConverter converter;
  BatchEnd batch;
};

void ExpectAboutTenSeconds(const fixtures::StreamFacts& stream) {
  EXPECT_NEAR(stream.Duration(), kSeconds, 0.5) << stream.type << " stream";
}

TEST_P(CatalogueConversion, ConvertsWithItsDefaultChoices) {
  const Expected& expected = GetParam();
  const TSettingLists lists = ListsFor(expected.Entry);
  const std::string output = Convert(lists);
  ASSERT_FALSE(HasFailure());
  ASSERT_FALSE(batch.Failed()) << batch.Report();

  const fixtures::MediaFacts facts = fixtures::Inspect(output);
  ASSERT_TRUE(facts.ok) << facts.error;
  const fixtures::StreamFacts* video = facts.First("video");
  if (expected.Video.empty()) {
    EXPECT_EQ(video, nullptr) << "an audio entry's output has no video";
  } else if (video == nullptr) {
    ADD_FAILURE() << "no video stream";
  } else {
    EXPECT_EQ(video->codec, expected.Video);
    EXPECT_EQ(video->width, expected.Width ? expected.Width : kSourceWidth);
    EXPECT_EQ(video->height, expected.Height ? expected.Height : kSourceHeight);
    ExpectAboutTenSeconds(*video);
  }
  const fixtures::StreamFacts* audio = facts.First("audio");
  ASSERT_NE(audio, nullptr) << "no audio stream";
  EXPECT_EQ(audio->codec, expected.Audio);
  EXPECT_EQ(audio->sampleRate, expected.SampleRate);
  if (expected.Channels) {
    EXPECT_EQ(audio->channels, expected.Channels);
  }
  ExpectAboutTenSeconds(*audio);
  EXPECT_GT(fixtures::AudioPeak(output), 0.01) << "the audio is not silent";
  EXPECT_EQ(facts.Count("audio"), 1);
  EXPECT_LE(facts.Count("video"), 1);
}

std::string CaseName(const ::testing::TestParamInfo<Expected>& info) {
  std::string name;
  for (char c : info.param.Entry)
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryEntry, CatalogueConversion, ::testing::ValuesIn(kExpected), CaseName);

TEST(CatalogueConversionTable, NamesEveryEntryInOrder) {
  std::vector<std::string_view> table, catalogue;
  for (const Expected& expected : kExpected) table.push_back(expected.Entry);
  for (const TheAVCodec& entry : OutputFormatCatalogue()) catalogue.push_back(entry.DisplayName);
  EXPECT_EQ(table, catalogue);
}

}  // namespace
