// Turning the window's choices into output options: the worked examples, the
// text rules, the codec maps, the stand-ins and the settled choices.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "Catalogue.h"

using namespace presets;

namespace {

// The encoders of the Debian build, as far as these tests ask.
const std::set<std::string> kBuild = {"aac",   "libopencore_amrnb", "libvorbis", "vorbis",
                                      "mpeg4", "libmp3lame",        "mp2",       "ac3"};
const std::set<std::string> kBuildWithoutAmr = {"aac", "libvorbis", "vorbis"};

TEncoderQuery Has(const std::set<std::string>& build) {
  return [&build](const std::string& name) { return build.count(name) > 0; };
}

// Lists after the window's creation and acceptance of entry, then tweak.
TSettingLists ListsFor(const std::string& entry,
                       const std::function<void(TSettingLists&)>& tweak = {}) {
  TSettingLists lists;
  FillOutputFormatCombo(lists);
  EXPECT_TRUE(lists.ComboOutputFormat.SelectText(entry)) << entry;
  EXPECT_TRUE(SelectOutputFormat(lists)) << entry;
  if (tweak) tweak(lists);
  return lists;
}

// The entry's own translation, without stand-ins.
TOutputOptions Translated(const TSettingLists& lists) {
  TOutputOptions options;
  InitOutputOptions(options);
  FindOutputFormat(lists.ComboOutputFormat.Text())->PresetKey.Translate(lists, 3, options);
  return options;
}

TOutputOptions Applied(const TSettingLists& lists, const TEncoderQuery& has) {
  TOutputOptions options;
  InitOutputOptions(options);
  EXPECT_TRUE(ApplyOutputFormat(lists, 3, options, has));
  return options;
}

std::function<void(TSettingLists&)> Pick(const char* list, const char* item) {
  return [list, item](TSettingLists& lists) {
    std::string error;
    ASSERT_TRUE(SelectSetting(lists, list, item, error)) << error;
  };
}

struct Expected {
  std::string Entry;
  std::string VideoCodec, AudioCodec, FrameSize;
  int VideoBitrate, AudioBitrate, SampleRate, Channels;
  bool DisableVideo;
  std::string FrameRate;
};

void ExpectOptions(const TOutputOptions& o, const Expected& e) {
  SCOPED_TRACE(e.Entry);
  EXPECT_EQ(o.VideoCodec, e.VideoCodec);
  EXPECT_EQ(o.AudioCodec, e.AudioCodec);
  EXPECT_EQ(o.FrameSize, e.FrameSize);
  EXPECT_EQ(o.VideoBitrate, e.VideoBitrate);
  EXPECT_EQ(o.AudioBitrate, e.AudioBitrate);
  EXPECT_EQ(o.AudioSampleRate, e.SampleRate);
  EXPECT_EQ(o.AudioChannels, e.Channels);
  EXPECT_EQ(o.DisableVideo, e.DisableVideo);
  EXPECT_EQ(o.FrameRate, e.FrameRate);
  // Nothing else is written by a translation.
  EXPECT_EQ(o.AspectRatio, "");
  EXPECT_EQ(o.AudioVolume, -1);
  EXPECT_EQ(o.PadTop, -1);
  EXPECT_EQ(o.CropTop, -1);
  EXPECT_EQ(o.FileFormat, "");
}

}  // namespace

TEST(Translate, DefaultChoicesOfEachKindOfEntry) {
  const Expected kCases[] = {
      {"AVI - Audio Video Interleave (*.avi)", "mpeg4", "pcm_s16le", "", 1200000, 128000, 48000, 2,
       false, ""},
      {"MP3 - Mpeg Layer3 Audio (*.mp3)", "", "libmp3lame", "", 0, 192000, 48000, 2, true, ""},
      {"3GP - Mobile Video Format (*.3gp)", "mpeg4", "libamr_nb", "176x144", 128000, 7400, 8000, 1,
       false, ""},
      {"BlackBerry 3GP Video (*.3gp)", "mpeg4", "libamr_nb", "176x144", 120000, 4750, 8000, 1,
       false, "15"},
      {"iPod (*.mp4)", "mpeg4", "libfaac", "320x240", 512000, 64000, 44100, -1, false, ""},
      {"DVD - VOB (*.vob)", "mpeg2video", "ac3", "", 6000000, 224000, 48000, 2, false,
       "30000/1001"},
      {"Apple TV (*.mp4)", "mpeg4", "libfaac", "640x480", 1500000, 128000, 44100, -1, false, ""},
      {"RM - Real Video (*.rm)", "rv10", "ac3", "320x240", 384000, 128000, 48000, 2, false, ""},
      {"MPEG-1 Movie (*.mpg)", "mpeg1video", "mp2", "320x240", 1600000, 192000, 44100, 2, false,
       "25.0"},
      {"PSP Video (*.mp4)", "mpeg4", "libfaac", "368x208", 768000, 64000, 24000, 2, false,
       "30000/1001"},
      {"Zune Mpeg4 Video (*.mp4)", "mpeg4", "libfaac", "320x240", 1500000, 128000, 44100, 2, false,
       ""},
      {"Video CD (*.mpg)", "mpeg1video", "mp2", "352x240", 1150000, 224000, 44100, 2, false,
       "30000/1001"},
      {"AU - SUN Audio (*.au)", "", "pcm_s16be", "", 0, 128000, 48000, 2, true, ""},
      {"WMA - Windows Media Audio (*.wma)", "", "wmav2", "", 0, 128000, 48000, 2, true, ""},
      // ASF fills video lists, yet its output has video switched off.
      {"ASF - Advance Streaming Format (*.asf)", "msmpeg4", "libmp3lame", "", 0, 128000, 48000, 2,
       true, ""},
      // Settled here: ogg is audio-only, and the three iPod entries without a
      // translation of their own take the iPod one.
      {"OGG - Ogg Vorbis Audio (*.ogg)", "", "vorbis", "", 0, 160000, 48000, 2, true, ""},
      {"iPod Video For TV (*.mp4)", "mpeg4", "libfaac", "640x480", 1500000, 64000, 44100, -1, false,
       ""},
      {"iPod Touch (*.mp4)", "mpeg4", "libfaac", "480x320", 1200000, 80000, 44100, -1, false, ""},
      {"iPod Touch Extra (640 x 480) (*.mp4)", "mpeg4", "libfaac", "640x480", 1500000, 80000, 44100,
       -1, false, ""},
  };
  for (const Expected& e : kCases) ExpectOptions(Translated(ListsFor(e.Entry)), e);
}

TEST(Translate, ChangedChoicesReachTheRecord) {
  struct Case {
    const char* Entry;
    const char* List;
    const char* Item;
    std::function<void(const TOutputOptions&)> Check;
  };
  const Case kCases[] = {
      {"RM - Real Video (*.rm)", "ComboVideoBitrate", "600  Kbps",
       [](auto& o) { EXPECT_EQ(o.VideoBitrate, 600000); }},
      {"RA - Real Audio (*.ra)", "ComboSamplingRate", "8000  Hz",
       [](auto& o) { EXPECT_EQ(o.AudioSampleRate, 8000); }},
      {"BlackBerry 3GP Video (*.3gp)", "ComboAudioBitrate", "12200 bps",
       [](auto& o) { EXPECT_EQ(o.AudioBitrate, 12200); }},
      {"BlackBerry 3GP Video (*.3gp)", "ComboAudioCodec", "mpeg4aac",
       [](auto& o) { EXPECT_EQ(o.AudioCodec, "libfaac"); }},
      {"3GP - Mobile Video Format (*.3gp)", "ComboAudioCodec", "mpeg4aac",
       [](auto& o) { EXPECT_EQ(o.AudioCodec, "libamr_nb"); }},
      {"3G2 - Mobile Video Format (*.3g2)", "ComboSamplingRate", "16000 bps",
       [](auto& o) { EXPECT_EQ(o.AudioSampleRate, 16000); }},
      {"Apple TV (*.mp4)", "ComboAudioBitrate", "320 Kbps",
       [](auto& o) { EXPECT_EQ(o.AudioBitrate, 320000); }},
      {"AVI - Audio Video Interleave (*.avi)", "ComboVideoSize", "176 x 144 (QCIF)",
       [](auto& o) { EXPECT_EQ(o.FrameSize, "176x144"); }},
      {"AVI - Audio Video Interleave (*.avi)", "ComboVideoCodec", "H264",
       [](auto& o) { EXPECT_EQ(o.VideoCodec, "libx264"); }},
      {"MP4 - MPEG4 Video (*.mp4)", "ComboVideoCodec", "XVid",
       [](auto& o) { EXPECT_EQ(o.VideoCodec, "libxvid"); }},
      {"AVI - Uncompress (*.avi)", "ComboAudioCodec", "ac3",
       [](auto& o) { EXPECT_EQ(o.AudioCodec, "ac3"); }},
      // Settled here: "Auto" keeps the source size; the frame rate is applied.
      {"Archos AV500/GMini402 (*.avi)", "ComboVideoSize", "Auto",
       [](auto& o) { EXPECT_EQ(o.FrameSize, ""); }},
      {"AVI - Audio Video Interleave (*.avi)", "ComboVideoFramerate", "23.975 fps",
       [](auto& o) { EXPECT_EQ(o.FrameRate, "24000/1001"); }},
      {"Apple TV (*.mp4)", "ComboVideoFramerate", "14.985 fps",
       [](auto& o) { EXPECT_EQ(o.FrameRate, "15000/1001"); }},
      {"3GP - Mobile Video Format (*.3gp)", "ComboVideoFramerate", "11 fps",
       [](auto& o) { EXPECT_EQ(o.FrameRate, "11"); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.Entry) + " / " + c.Item);
    c.Check(Translated(ListsFor(c.Entry, Pick(c.List, c.Item))));
  }
}

TEST(Translate, ChannelsFollowTheChoiceExceptFor3gpAnd3g2) {
  struct Case {
    const char* Entry;
    int Stereo, Mono;
  };
  const Case kCases[] = {
      {"AVI - Audio Video Interleave (*.avi)", 2, 1},
      {"WMV - Windows Media Video (*.wmv)", 2, 1},
      {"MP3 - Mpeg Layer3 Audio (*.mp3)", 2, 1},
      {"3GP - Mobile Video Format (*.3gp)", 1, 1},
      {"3G2 - Mobile Video Format (*.3g2)", 1, 1},
      {"BlackBerry 3GP Video (*.3gp)", 1, 1},  // generic, but the extension is 3GP
      {"iPod (*.mp4)", -1, -1},                // channels are left to the engine
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Translated(ListsFor(c.Entry, Pick("ComboAudioChannels", "Stereo"))).AudioChannels,
              c.Stereo)
        << c.Entry;
    EXPECT_EQ(Translated(ListsFor(c.Entry, Pick("ComboAudioChannels", "Mono"))).AudioChannels,
              c.Mono)
        << c.Entry;
  }
}

TEST(Translate, ANumericTextThatIsNoNumberStopsTheTranslation) {
  const TSettingLists lists = ListsFor("WAV - Waveform Audio (*.wav)",
                                       [](TSettingLists& l) { l.ComboSamplingRate.Select(-1); });
  TOutputOptions options;
  EXPECT_THROW(TranslateSettings(lists, 0, options), EConvertError);
  EXPECT_EQ(options.AudioCodec, "pcm_s16le");  // written before the numbers
  EXPECT_THROW(ApplyOutputFormat(lists, 0, options, Has(kBuild)), EConvertError);
}

TEST(Translate, TextRules) {
  EXPECT_EQ(ValueBeforeBlank("1200 Kbps"), "1200");
  EXPECT_EQ(ValueBeforeBlank("384  Kbps"), "384");
  EXPECT_EQ(ValueBeforeBlank("Auto"), "");
  EXPECT_EQ(ValueBeforeBlank(""), "");

  const std::pair<const char*, const char*> kSizes[] = {{"176 x 144 (QCIF)", "176x144"},
                                                        {"320 x 240 ", "320x240"},
                                                        {"720 x 480", "720x480"},
                                                        {"704 x 576 (4CIF)", "704x576"},
                                                        {"", ""}};
  for (auto [text, size] : kSizes) EXPECT_EQ(FrameSizeFromText(text), size) << text;
  EXPECT_EQ(FrameSizeChoice("Original Video Size"), "");
  EXPECT_EQ(FrameSizeChoice("Auto"), "");
  EXPECT_EQ(FrameSizeChoice("480 x 272"), "480x272");

  const std::pair<const char*, const char*> kRates[] = {{"Auto", ""},
                                                        {"", ""},
                                                        {"14.985 fps", "15000/1001"},
                                                        {"15.0 fps", "15.0"},
                                                        {"23.975 fps", "24000/1001"},
                                                        {"23.976 fps [NTSC]", "24000/1001"},
                                                        {"24 fps", "24"},
                                                        {"25 fps [PAL]", "25"},
                                                        {"29.97 fps", "30000/1001"},
                                                        {"29.97 fps [NTSC]", "30000/1001"},
                                                        {"30.0 fps", "30.0"},
                                                        {"50 fps", "50"},
                                                        {"59.94 fps", "60000/1001"},
                                                        {"11 fps", "11"}};
  for (auto [text, rate] : kRates) EXPECT_EQ(FrameRateFromText(text), rate) << text;

  EXPECT_EQ(StrToInt("000"), 0);
  EXPECT_EQ(StrToInt("1200000"), 1200000);
  for (const char* bad : {"", "Kbps", "12a", "99999999999"})
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
}

TEST(Translate, CodecNameMaps) {
  const std::pair<const char*, const char*> kVideo[] = {
      {"MPEG4", "mpeg4"},     {"H264", "libx264"},
      {"XVID", "libxvid"},    {"XVid", "libxvid"},
      {"H263", "h263"},       {"RAWVIDEO", "rawvideo"},
      {"RV20", "rv20"},       {"MPEG2VIDEO", "mpeg2video"},
      {"MSMPEG4", "msmpeg4"}, {"FLV", "flv"},
      {"WMV2", "wmv2"},       {"", ""}};
  for (auto [text, name] : kVideo) EXPECT_EQ(VideoEncoderName(text), name) << text;
  const std::pair<const char*, const char*> kAudio[] = {
      {"aac", "libfaac"},         {"mpeg4aac", "libfaac"}, {"mp3", "libmp3lame"},
      {"amr_nb", "libamr_nb"},    {"mp2", "mp2"},          {"vorbis", "vorbis"},
      {"pcm_s16be", "pcm_s16be"}, {"wmav2", "wmav2"},      {"", ""}};
  for (auto [text, name] : kAudio) EXPECT_EQ(AudioEncoderName(text), name) << text;
}

TEST(EncoderStandIns, NamesTheBuildLacksAreReplaced) {
  const std::set<std::string> kWithFaac = {"libfaac", "aac"};
  const std::set<std::string> kNothing;
  const std::set<std::string> kOnlyBuiltInVorbis = {"vorbis"};
  struct Case {
    const char* Name;
    const std::set<std::string>* Build;
    const char* Result;
  };
  const Case kCases[] = {
      {"libfaac", &kBuild, "aac"},
      {"libamr_nb", &kBuild, "libopencore_amrnb"},
      {"libamr_nb", &kBuildWithoutAmr, "aac"},
      {"vorbis", &kBuild, "libvorbis"},  // the built-in one is experimental
      {"vorbis", &kOnlyBuiltInVorbis, "vorbis"},
      {"libfaac", &kWithFaac, "libfaac"},
      {"libfaac", &kNothing, "libfaac"},  // nothing to stand in: the engine reports it
      {"mp2", &kNothing, "mp2"},
      {"libx264", &kBuild, "libx264"},
  };
  for (const Case& c : kCases) EXPECT_EQ(EncoderStandIn(c.Name, Has(*c.Build)), c.Result) << c.Name;
  EXPECT_EQ(EncoderStandIn("libfaac", {}), "libfaac");  // no query: every name exists
}

TEST(EncoderStandIns, ApplyOutputFormatPutsThemIn) {
  struct Case {
    const char* Entry;
    const std::set<std::string>* Build;
    const char* AudioCodec;
  };
  const Case kCases[] = {
      {"Apple TV (*.mp4)", &kBuild, "aac"},
      {"iPod (*.mp4)", &kBuild, "aac"},
      {"MOV - QuickTime Video (*.mov)", &kBuild, "aac"},
      {"3GP - Mobile Video Format (*.3gp)", &kBuild, "libopencore_amrnb"},
      {"3G2 - Mobile Video Format (*.3g2)", &kBuildWithoutAmr, "aac"},
      {"BlackBerry 3GP Video (*.3gp)", &kBuild, "libopencore_amrnb"},
      {"OGG - Ogg Vorbis Audio (*.ogg)", &kBuild, "libvorbis"},
      {"MP3 - Mpeg Layer3 Audio (*.mp3)", &kBuild, "libmp3lame"},
  };
  for (const Case& c : kCases) {
    const TOutputOptions o = Applied(ListsFor(c.Entry), Has(*c.Build));
    EXPECT_EQ(o.AudioCodec, c.AudioCodec) << c.Entry;
  }
  // The rest of the translation stays as it is.
  const TOutputOptions phone =
      Applied(ListsFor("3GP - Mobile Video Format (*.3gp)"), Has(kBuildWithoutAmr));
  EXPECT_EQ(phone.AudioBitrate, 7400);
  EXPECT_EQ(phone.AudioSampleRate, 8000);
  EXPECT_EQ(phone.VideoCodec, "mpeg4");
}
