// The option table: refusals with their messages, the values each option
// stores, the informational log lines and the named setters' guards.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "TestSupport.h"

namespace {

using Getter = std::function<double(const TCustomFFmpeg&)>;

class Options : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    engine.PrepareTask();
    engine.LogHandler = [this](TCustomFFmpeg*, int level, const std::string& msg) {
      logs.emplace_back(level, msg);
    };
  }
  std::string Refusal(const std::string& name, const std::string& value) {
    try {
      engine.ParseOption(name, value);
    } catch (const FFMpegException& e) {
      return e.what();
    }
    return "(accepted)";
  }
  TCustomFFmpeg engine;
  std::vector<std::pair<int, std::string>> logs;
};

std::string Numbers(int count, const std::string& tail = "") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += (i > 1 ? "," : "") + std::to_string(i);
  return text + tail;
}

// The time-value refusal, filled the way the engine fills its message.
std::string Invalid(const char* kind, const char* name, const char* text) {
  char message[256];
  std::snprintf(message, sizeof message, "Invalid %s specification for %s: %s", kind, name, text);
  return message;
}

struct RefusalCase {
  const char* name;
  std::string value;
  std::string message;
};

TEST_F(Options, RefusalsCarryTheirMessages) {
  const std::vector<RefusalCase> cases = {
      {"threads", "2", "TODO: option - threads"},
      {"absf", "aac_adtstoasc", "TODO: option - absf"},
      {"vbsf", "x", "TODO: option - vbsf"},
      {"sbsf", "x", "TODO: option - sbsf"},
      {"f", "nosuchformat", "Unknown input or output format: nosuchformat"},
      {"itsscale", "20:1.5", "stream index over MAX_STREAMS(20)"},
      {"itsscale", "-1:2", "stream index over MAX_STREAMS(20)"},
      {"t", "abc", Invalid("duration", "t", "abc")},
      {"ss", "1:xx", Invalid("duration", "ss", "1:xx")},
      {"itsoffset", "?", Invalid("duration", "itsoffset", "?")},
      {"timestamp", "yesterday", Invalid("date", "timestamp", "yesterday")},
      // More milliseconds than the recording time setter can hold.
      {"t", "1000000:00:00", Invalid("duration", "t", "1000000:00:00")},
      {"r", "fast", "Incorrect frame rate"},
      {"r", "0", "Incorrect frame rate"},
      {"s", "big", "Incorrect frame size"},
      {"aspect", "4:0", "Incorrect aspect ratio specification."},
      {"aspect", "0", "Incorrect aspect ratio specification."},
      {"aspect", "wide", "Incorrect aspect ratio specification."},
      {"aspect", "-4:3", "Incorrect aspect ratio specification."},
      {"croptop", "7", "Top crop size must be a multiple of 2"},
      {"cropbottom", "3", "Bottom crop size must be a multiple of 2"},
      {"cropleft", "1", "Left crop size must be a multiple of 2"},
      {"cropright", "9", "Right crop size must be a multiple of 2"},
      {"croptop", "10",
       "Vertical crop dimensions are outside the range of the original image.\n"
       "Remember to crop first and scale second."},
      {"cropright", "0",
       "Horizontal crop dimensions are outside the range of the original image.\n"
       "Remember to crop first and scale second."},
      {"padtop", "3", "Top pad size must be a multiple of 2"},
      {"padbottom", "5", "Bottom pad size must be a multiple of 2"},
      {"padleft", "7", "Left pad size must be a multiple of 2"},
      {"padright", "1", "Right pad size must be a multiple of 2"},
      {"qscale", "0", "qscale must be > 0.0 and <= 255"},
      {"qscale", "255.5", "qscale must be > 0.0 and <= 255"},
      {"pass", "3", "pass number can be only 1 or 2"},
      {"intra_matrix", Numbers(63), "Syntax error in matrix \"" + Numbers(63) + "\" at coeff 62"},
      {"inter_matrix", "8 16", "Syntax error in matrix \"8 16\" at coeff 0"},
      {"vframes", "12x", "'12x' is not a valid integer value"},
      {"vol", "99999999999", "'99999999999' is not a valid integer value"},
      {"ar", "", "'' is not a valid integer value"},
      {"aq", "1,5", "'1,5' is not a valid floating point value"},
      {"muxdelay", "nan", "'nan' is not a valid floating point value"},
      {"newvideo", "", "At least one output file must be specified"},
      {"newaudio", "", "At least one output file must be specified"},
      {"newsubtitle", "", "At least one output file must be specified"},
      {"vhook", "", "Failed to add video hook function: "},
      {"vhook", "/nonexistent/hook.so 1",
       "Failed to add video hook function: /nonexistent/hook.so 1"},
  };
  for (const RefusalCase& c : cases)
    EXPECT_EQ(Refusal(c.name, c.value), c.message) << c.name << " " << c.value;
}

TEST_F(Options, RefusalsLeaveTheStateAsItWas) {
  Refusal("intra_matrix", Numbers(63));
  EXPECT_EQ(engine.IntraMatrix, nullptr);
  Refusal("qscale", "300");
  EXPECT_EQ(engine.VideoQScale, 0);
  Refusal("itsscale", "25:2");
  Refusal("t", "abc");
  EXPECT_EQ(engine.RecordingTime, INT64_MAX);
  EXPECT_EQ(engine.TotalDurationMs, -1);
  Refusal("f", "nosuchformat");
  EXPECT_EQ(engine.FileIFormat, nullptr);
  EXPECT_EQ(engine.FileOFormat, nullptr);
  EXPECT_EQ(engine.UsingVHook, 0);
}

TEST_F(Options, OddFrameSizeIsRefusedButKept) {
  EXPECT_EQ(Refusal("s", "353x240"), "Frame size must be a multiple of 2");
  EXPECT_EQ(engine.FrameWidth, 353);
  EXPECT_EQ(engine.FrameHeight, 240);
}

struct ValueCase {
  const char* name;
  std::string value;
  Getter get;
  double expected;
};

#define FIELD(f) [](const TCustomFFmpeg& e) { return static_cast<double>(e.f); }

TEST_F(Options, EachOptionStoresItsValue) {
  const std::vector<ValueCase> cases = {
      {"t", "10", FIELD(RecordingTime), 10e6},
      {"t", "10", FIELD(TotalDurationMs), 10000},
      {"t", "2:00:00", FIELD(RecordingTime), 7200e6},
      {"t", "2:00:00", FIELD(TotalDurationMs), 7200000},
      {"ss", "1.5", FIELD(StartTime), 1.5e6},
      {"itsoffset", "-2", FIELD(InputTsOffset), -2e6},
      {"timestamp", "1970-01-01 00:00:10.5Z", FIELD(RecTimestamp), 10},
      {"timestamp", "1970-01-01 00:00:11.5Z", FIELD(RecTimestamp), 12},
      {"itsscale", "1:1.5", FIELD(InputFilesTsScale[0][1]), 1.5},
      {"itsscale", "19:0.5", FIELD(InputFilesTsScale[0][19]), 0.5},
      {"aspect", "16:9", FIELD(FrameAspectRatio), 16.0f / 9.0f},
      {"aspect", "1.3333", FIELD(FrameAspectRatio), 1.3333f},
      {"padcolor", "255", FIELD(PadColor[0]), 76},
      {"padcolor", "255", FIELD(PadColor[1]), 85},
      {"padcolor", "255", FIELD(PadColor[2]), 255},
      {"padcolor", "0", FIELD(PadColor[0]), 0},
      {"padcolor", "0x0000FF00", FIELD(PadColor[0]), (602 * 255 + 512) >> 10},
      {"vtag", "XVID", FIELD(VideoCodecTag), 'X' | 'V' << 8 | 'I' << 16 | 'D' << 24},
      {"atag", "mp4a", FIELD(AudioCodecTag), 'm' | 'p' << 8 | '4' << 16 | 'a' << 24},
      {"r", "30000/1001", FIELD(FrameRate.num), 30000},
      {"r", "ntsc", FIELD(FrameRate.den), 1001},
      {"s", "640x480", FIELD(FrameWidth), 640},
      {"s", "vga", FIELD(FrameHeight), 480},
      {"pix_fmt", "yuv422p", FIELD(FramePixFmt), AV_PIX_FMT_YUV422P},
      {"pix_fmt", "nosuchformat", FIELD(FramePixFmt), AV_PIX_FMT_NONE},
      {"v", "0", FIELD(Verbose), 0},
      {"ar", "22050", FIELD(AudioSampleRate), 22050},
      {"ar", "0", FIELD(AudioSampleRate), 44100},
      {"ac", "1", FIELD(AudioChannels), 1},
      {"ac", "-2", FIELD(AudioChannels), 2},
      {"vol", "-5", FIELD(AudioVolume), -5},
      {"fs", "5000000000", FIELD(LimitFileSize), 5e9},
      {"vframes", "100", FIELD(MaxFrames[0]), 100},
      {"aframes", "5", FIELD(MaxFrames[1]), 5},
      {"dframes", " 3 ", FIELD(MaxFrames[2]), 3},
      {"loop_output", "3", FIELD(LoopOutput), 3},
      {"vsync", "-1", FIELD(VideoSyncMethod), -1},
      {"async", "+1", FIELD(AudioSyncMethod), 1},
      {"adrift_threshold", "0.5", FIELD(AudioDriftThreshold), 0.5},
      {"vglobal", "2", FIELD(VideoGlobalHeader), 2},
      {"dts_delta_threshold", "1e1", FIELD(DtsDeltaThreshold), 10},
      {"programid", "7", FIELD(OptProgramId), 7},
      {"vdt", "2", FIELD(VideoDiscard), 2},
      {"qscale", "3.5", FIELD(VideoQScale), 3.5},
      {"qscale", "255", FIELD(VideoQScale), 255},
      {"me_threshold", "4", FIELD(MeThreshold), 4},
      {"pass", "2", FIELD(DoPass), 2},
      {"top", "1", FIELD(TopFieldFirst), 1},
      {"dc", "$A", FIELD(IntraDcPrecision), 10},
      {"aq", "-3.25", FIELD(AudioQScale), -3.25},
      {"vc", "1", FIELD(VideoChannel), 1},
      {"muxdelay", "0.25", FIELD(MuxMaxDelay), 0.25},
      {"muxpreload", "0", FIELD(MuxPreload), 0},
      {"padtop", "-4", FIELD(FramePadTop), 0},
      {"padleft", "8", FIELD(FramePadLeft), 8},
      {"croptop", "-2", FIELD(FrameTopBand), 0},
      {"dump", "", FIELD(DoPktDump), 1},
      {"hex", "", FIELD(DoHexDump), 1},
      {"re", "", FIELD(RateEmu), 1},
      {"loop_input", "", FIELD(LoopInput), 1},
      {"copyts", "", FIELD(CopyTs), 1},
      {"shortest", "", FIELD(OptShortest), 1},
      {"intra", "", FIELD(IntraOnly), 1},
      {"vn", "", FIELD(VideoDisable), 1},
      {"an", "", FIELD(AudioDisable), 1},
      {"sn", "", FIELD(SubtitleDisable), 1},
      {"sameq", "", FIELD(SameQuality), 1},
      {"deinterlace", "", FIELD(DoDeinterlace), 1},
      {"psnr", "", FIELD(DoPsnr), 1},
      {"qphist", "", FIELD(QpHist), 1},
      {"isync", "", FIELD(InputSync), 1},
      {"benchmark", "", FIELD(DoBenchmark), 0},
      {"acodec", "copy", FIELD(AudioStreamCopy), 1},
      {"scodec", "copy", FIELD(SubtitleStreamCopy), 1},
      {"vcodec", "", FIELD(VideoStreamCopy), 0},
  };
  for (const ValueCase& c : cases) {
    TCustomFFmpeg fresh;
    fresh.PrepareTask();
    fresh.ParseOption(c.name, c.value);
    EXPECT_DOUBLE_EQ(c.get(fresh), c.expected) << c.name << " " << c.value;
  }
}

struct TextCase {
  const char* name;
  std::string TFFmpegOptions::*field;
};

TEST_F(Options, TextOptionsStoreTheirText) {
  const std::vector<TextCase> cases = {
      {"title", &TFFmpegOptions::Title},
      {"author", &TFFmpegOptions::Author},
      {"copyright", &TFFmpegOptions::Copyright},
      {"comment", &TFFmpegOptions::Comment},
      {"genre", &TFFmpegOptions::Genre},
      {"album", &TFFmpegOptions::Album},
      {"alang", &TFFmpegOptions::AudioLanguage},
      {"slang", &TFFmpegOptions::SubtitleLanguage},
      {"tvstd", &TFFmpegOptions::VideoStandard},
      {"passlogfile", &TFFmpegOptions::PassLogFileName},
      {"rc_override", &TFFmpegOptions::VideoRcOverrideString},
      {"vstats_file", &TFFmpegOptions::VStatsFileName},
  };
  for (const TextCase& c : cases) {
    engine.ParseOption(c.name, "some text");
    EXPECT_EQ(engine.*c.field, "some text") << c.name;
  }
  // Empty metadata leaves the text as it was.
  engine.ParseOption("title", "");
  EXPECT_EQ(engine.Title, "some text");
}

TEST_F(Options, CodecNamesAndTheCopyFlag) {
  engine.ParseOption("vcodec", "copy");
  engine.ParseOption("vcodec", "mpeg4");
  EXPECT_EQ(engine.VideoStreamCopy, 1);
  EXPECT_EQ(engine.VideoCodecName, "mpeg4");
  engine.ParseOption("acodec", "mp2");
  engine.ParseOption("acodec", "copy");
  EXPECT_EQ(engine.AudioStreamCopy, 1);
  EXPECT_EQ(engine.AudioCodecName, "");
  engine.ParseOption("scodec", "mov_text");
  engine.ParseOption("scodec", "");
  EXPECT_EQ(engine.SubtitleCodecName, "mov_text");
}

TEST_F(Options, TagsOfOtherLengthsRaiseTheAssertion) {
  struct {
    const char* name;
    const char* value;
    const char* message;
  } cases[] = {{"vtag", "XVIDX", "video tag parameter must be 4 chars"},
               {"vtag", "DX5", "video tag parameter must be 4 chars"},
               {"atag", "a", "audio tag parameter must be 4 chars"}};
  for (auto& c : cases) {
    try {
      engine.ParseOption(c.name, c.value);
      ADD_FAILURE() << c.name << " " << c.value << " accepted";
    } catch (const EAssertionFailed& e) {
      const std::regex expected(std::string(c.message) + R"( \(FFmpeg, line [0-9]+\))");
      EXPECT_TRUE(std::regex_match(e.what(), expected)) << e.what();
    }
  }
  EXPECT_EQ(engine.VideoCodecTag, 0);
  engine.ParseOption("vtag", "");
  EXPECT_EQ(engine.VideoCodecTag, 0);
}

TEST_F(Options, QuantiserMatricesTakeSixtyFourCoefficients) {
  engine.ParseOption("intra_matrix", Numbers(64, ",99,junk"));
  ASSERT_NE(engine.IntraMatrix, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(engine.IntraMatrix.get()[i], i + 1);
  EXPECT_EQ(Refusal("inter_matrix", "16,16"), "Syntax error in matrix \"16,16\" at coeff 1");
  EXPECT_EQ(engine.InterMatrix, nullptr);
}

TEST_F(Options, StreamAndMetadataMaps) {
  engine.ParseOption("map", "0.1");
  engine.ParseOption("map", "0.1:1.0");
  engine.ParseOption("map", "0x1:010");
  engine.ParseOption("map", "x");
  ASSERT_EQ(engine.NbStreamMaps, 4);
  auto expectMap = [&](int i, int f, int s, int sf, int ss) {
    const TStreamMapRec& m = engine.StreamMaps[i];
    EXPECT_EQ(m.FileIndex, f) << i;
    EXPECT_EQ(m.StreamIndex, s) << i;
    EXPECT_EQ(m.SyncFileIndex, sf) << i;
    EXPECT_EQ(m.SyncStreamIndex, ss) << i;
  };
  expectMap(0, 0, 1, 0, 1);
  expectMap(1, 0, 1, 1, 0);
  expectMap(2, 1, 8, 1, 8);
  expectMap(3, 0, 0, 0, 0);
  engine.ParseOption("map_meta_data", "1:0");
  ASSERT_EQ(engine.NbMetaDataMaps, 1);
  EXPECT_EQ(engine.MetaDataMaps[0].OutFile, 1);
  EXPECT_EQ(engine.MetaDataMaps[0].InFile, 0);
}

TEST_F(Options, MapTablesRefuseMoreThanTheyHold) {
  for (int i = 4; i < MAX_STREAMS; ++i) engine.ParseOption("map", "0.0");
  EXPECT_EQ(Refusal("map", "0.0"), "(accepted)");
  EXPECT_EQ(Refusal("map", "0.0"), "(accepted)");
  EXPECT_EQ(Refusal("map", "0.0"), "(accepted)");
  EXPECT_EQ(Refusal("map", "0.0"), "(accepted)");
  EXPECT_EQ(engine.NbStreamMaps, MAX_STREAMS);
  EXPECT_EQ(Refusal("map", "0.0"), "Too many stream maps");
  EXPECT_EQ(engine.NbStreamMaps, MAX_STREAMS);
  for (int i = 0; i < MAX_FILES; ++i) engine.ParseOption("map_meta_data", "0:0");
  EXPECT_EQ(Refusal("map_meta_data", "0:0"), "Too many metadata maps");
}

TEST_F(Options, TimestampScaleNeedsAFreeInputSlot) {
  engine.NbInputFiles = 3;
  engine.ParseOption("itsscale", "2:0.25");
  EXPECT_EQ(engine.InputFilesTsScale[3][2], 0.25);
  engine.NbInputFiles = MAX_FILES;
  EXPECT_EQ(Refusal("itsscale", "0:2"), "Too many input files");
  engine.NbInputFiles = 0;
}

TEST_F(Options, FormatsForInputAndOutput) {
  engine.ParseOption("f", "mpeg");
  EXPECT_NE(engine.FileIFormat, nullptr);
  ASSERT_NE(engine.FileOFormat, nullptr);
  EXPECT_STREQ(engine.FileOFormat->name, "mpeg");
  // Known only as an output format.
  engine.ParseOption("f", "svcd");
  EXPECT_EQ(engine.FileIFormat, nullptr);
  ASSERT_NE(engine.FileOFormat, nullptr);
  EXPECT_STREQ(engine.FileOFormat->name, "svcd");
  EXPECT_TRUE(logs.empty());
  engine.ParseOption("f", "pgmyuv");
  EXPECT_EQ(engine.PgmyuvCompatibility, 1);
  EXPECT_STREQ(engine.FileOFormat->name, "image2");
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0], std::make_pair(1, std::string("pgmyuv format is deprecated, use image2")));
}

TEST_F(Options, IgnoredOptionsOnlyLog) {
  for (const char* name :
       {"L", "h", "version", "formats", "i", "y", "benchmark", "apre", "vpre", "spre"}) {
    logs.clear();
    engine.ParseOption(name, "x");
    ASSERT_EQ(logs.size(), 1u) << name;
    EXPECT_EQ(logs[0], std::make_pair(1, "Do nothing: option - " + std::string(name)));
  }
  engine.LogHandler = nullptr;
  engine.ParseOption("y", "");
}

TEST_F(Options, PixelFormatListLogsFortyOneLines) {
  engine.ParseOption("pix_fmt", "list");
  ASSERT_EQ(logs.size(), 41u);
  for (auto& l : logs) {
    EXPECT_EQ(l.first, 1);
    EXPECT_FALSE(l.second.empty());
    EXPECT_NE(l.second.front(), ' ');
    EXPECT_NE(l.second.back(), ' ');
  }
  EXPECT_EQ(logs[1].second.rfind("yuv420p", 0), 0u) << logs[1].second;
  EXPECT_EQ(engine.FramePixFmt, -1);
}

TEST_F(Options, VideoStatisticsNameUsesTheProgramFolder) {
  engine.ParseOption("vstats", "");
  const std::regex expected(".*/vstats_[0-9]{6}\\.log");
  EXPECT_TRUE(std::regex_match(engine.VStatsFileName, expected)) << engine.VStatsFileName;
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  const std::string folder(exe, std::string(exe).rfind('/') + 1);
  EXPECT_EQ(engine.VStatsFileName.rfind(folder, 0), 0u);
}

TEST_F(Options, VerbositySetsTheLibrariesLevel) {
  engine.ParseOption("v", "0");
  EXPECT_EQ(medialib::CachedLogLevel(), 0);
  EXPECT_EQ(ml::av_log_get_level(), AV_LOG_WARNING);
  engine.SetVerbosity(1);
  EXPECT_EQ(engine.Verbose, 1);
  EXPECT_EQ(medialib::CachedLogLevel(), 1);
}

TEST_F(Options, CropsNeedAKnownFrameSize) {
  engine.FrameWidth = 640;
  engine.FrameHeight = 480;
  engine.ParseOption("croptop", "10");
  EXPECT_EQ(engine.FrameHeight, 470);
  EXPECT_EQ(engine.FrameTopBand, 10);
  engine.ParseOption("cropbottom", "20");
  EXPECT_EQ(engine.FrameHeight, 450);
  engine.ParseOption("cropleft", "40");
  engine.ParseOption("cropright", "0");
  EXPECT_EQ(engine.FrameWidth, 600);
  EXPECT_EQ(engine.FrameLeftBand, 40);
  EXPECT_EQ(Refusal("cropbottom", "450"),
            "Vertical crop dimensions are outside the range of the original image.\n"
            "Remember to crop first and scale second.");
  EXPECT_EQ(engine.FrameHeight, 450);
  EXPECT_EQ(engine.FrameBottomBand, 20);
}

TEST_F(Options, TableKnowsWhichOptionsTakeAValue) {
  struct {
    const char* name;
    bool known, takesValue;
  } cases[] = {{"vn", true, false},    {"y", true, false},        {"i", true, true},
               {"vcodec", true, true}, {"newvideo", true, false}, {"vstats", true, false},
               {"target", true, true}, {"gop", false, true},      {"VN", false, true}};
  for (auto& c : cases) {
    EXPECT_EQ(TCustomFFmpeg::IsKnownOption(c.name), c.known) << c.name;
    EXPECT_EQ(TCustomFFmpeg::OptionTakesValue(c.name), c.takesValue) << c.name;
  }
}

TEST_F(Options, SettersKeepTheirGuards) {
  engine.SetStartTime(0);
  engine.SetProgramId(-1);
  engine.SetRecordingTime(0);
  engine.SetAudioVolume(-1);
  engine.SetMuxDelay(0);
  engine.SetMuxPreload(-1);
  engine.SetYear(0);
  engine.SetTrack(-3);
  engine.SetSampleRate(0);
  engine.SetChannels(0);
  engine.SetInputFormat("");
  engine.SetOutputFormat("");
  TCustomFFmpeg fresh;
  fresh.PrepareTask();
  EXPECT_EQ(engine.StartTime, fresh.StartTime);
  EXPECT_EQ(engine.OptProgramId, fresh.OptProgramId);
  EXPECT_EQ(engine.RecordingTime, fresh.RecordingTime);
  EXPECT_EQ(engine.TotalDurationMs, -1);
  EXPECT_EQ(engine.AudioVolume, 256);
  EXPECT_EQ(engine.MuxMaxDelay, 0.7f);
  EXPECT_EQ(engine.MuxPreload, 0.5f);
  EXPECT_EQ(engine.Year, 0);
  EXPECT_EQ(engine.Track, 0);
  EXPECT_EQ(engine.AudioSampleRate, 44100);
  EXPECT_EQ(engine.AudioChannels, 2);

  engine.SetRecordingTime(3000000);  // 50 minutes: microseconds beyond 32 bits
  EXPECT_EQ(engine.RecordingTime, 3000000000LL);
  EXPECT_EQ(engine.TotalDurationMs, 3000000);
  engine.SetStartTime(5);
  engine.SetProgramId(0);
  engine.SetAudioVolume(0);
  engine.SetYear(2008);
  engine.SetTrack(3);
  engine.SetAudioSync(-7);
  engine.SetVideoSync(2);
  EXPECT_EQ(engine.StartTime, 5);
  EXPECT_EQ(engine.AudioVolume, 0);
  EXPECT_EQ(engine.Year, 2008);
  EXPECT_EQ(engine.Track, 3);
  EXPECT_EQ(engine.AudioSyncMethod, -7);
  EXPECT_EQ(engine.VideoSyncMethod, 2);

  engine.SetOutputFormat("avi");
  ASSERT_NE(engine.FileOFormat, nullptr);
  EXPECT_STREQ(engine.FileOFormat->name, "avi");
  engine.SetInputFormat("rm");
  ASSERT_NE(engine.FileIFormat, nullptr);
  EXPECT_STREQ(engine.FileIFormat->name, "rm");
  try {
    engine.SetInputFormat("bogus");
    ADD_FAILURE();
  } catch (const FFMpegException& e) {
    EXPECT_STREQ(e.what(), "Unknown input format: bogus");
  }
  try {
    engine.SetOutputFormat("bogus");
    ADD_FAILURE();
  } catch (const FFMpegException& e) {
    EXPECT_STREQ(e.what(), "Unknown output format: bogus");
  }
  EXPECT_STREQ(engine.FileOFormat->name, "avi");
}

TEST_F(Options, HookRangesAreSortedByTheirEnd) {
  engine.HookRangeCurrent = 3;
  engine.SetHookRanges({{10, 12}, {0, 5}, {6, 8}});
  ASSERT_EQ(engine.HookRanges.size(), 3u);
  EXPECT_EQ(engine.HookRanges[0].EndTime, 5);
  EXPECT_EQ(engine.HookRanges[1].EndTime, 8);
  EXPECT_EQ(engine.HookRanges[2].StartTime, 10);
  EXPECT_EQ(engine.HookRangeCurrent, 0);
}

}  // namespace
