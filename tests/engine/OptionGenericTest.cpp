// The generic option setter: the libraries' own option tables, the kind
// prefixes, renamed and private options, the remembered names and their copy
// into real codec and format contexts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FFmpeg.h"
#include "FixtureMaker.h"
#include "TestSupport.h"

namespace {

class GenericOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    engine.PrepareTask();
    engine.LogHandler = [this](TCustomFFmpeg*, int level, const std::string& msg) {
      logs.emplace_back(level, msg);
    };
  }
  AVCodecContext* Kind(int i) { return engine.CodecOptionContexts[i].get(); }
  bool Remembered(const std::string& name) const {
    const auto& names = engine.GenericOptionNames;
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  std::string Private(const char* name) const {
    const AVDictionaryEntry* e = ml::av_dict_get(engine.PrivateOptions.Get(), name, nullptr, 0);
    return e ? e->value : "";
  }
  TCustomFFmpeg engine;
  std::vector<std::pair<int, std::string>> logs;
};

TEST_F(GenericOptions, BitratesReachTheirKindsContexts) {
  struct {
    const char* name;
    const char* value;
    int64_t video, audio;
    const char* remembered;
  } cases[] = {
      {"b", "64000", 64000, 64000, "b"},
      {"vb", "300000", 300000, 0, "b"},
      {"ab", "96000", 0, 96000, "ab"},  // a codec option of its own on these libraries
  };
  engine::CodecContextPtr fresh(ml::avcodec_alloc_context3(nullptr));
  const int64_t defaultRate = fresh->bit_rate;
  for (auto& c : cases) {
    TCustomFFmpeg e;
    e.PrepareTask();
    EXPECT_TRUE(e.SetGenericOption(c.name, c.value)) << c.name;
    EXPECT_EQ(e.CodecOptionContexts[0]->bit_rate, c.video ? c.video : defaultRate) << c.name;
    EXPECT_EQ(e.CodecOptionContexts[1]->bit_rate, c.audio ? c.audio : defaultRate) << c.name;
    EXPECT_EQ(e.GenericOptionNames, std::vector<std::string>{c.remembered}) << c.name;
  }
}

TEST_F(GenericOptions, PrefixAndTrimming) {
  EXPECT_TRUE(engine.SetGenericOption("abt", "4000"));
  EXPECT_EQ(Kind(1)->bit_rate_tolerance, 4000);
  EXPECT_TRUE(Remembered("bt"));
  EXPECT_TRUE(engine.SetGenericOption("  maxrate ", " 900000 "));
  EXPECT_EQ(Kind(0)->rc_max_rate, 900000);
  EXPECT_TRUE(engine.SetGenericOption("bufsize", int64_t{1835008}));
  EXPECT_EQ(Kind(0)->rc_buffer_size, 1835008);
  EXPECT_FALSE(engine.SetGenericOption("", "1"));
  EXPECT_FALSE(engine.SetGenericOption("b", "   "));
}

TEST_F(GenericOptions, UnknownNamesAndBadValuesChangeNothing) {
  engine.ParseOption("nosuchoption", "12");
  EXPECT_FALSE(engine.SetGenericOption("nosuchoption", "12"));
  EXPECT_FALSE(engine.SetGenericOption("b", "fast"));
  EXPECT_FALSE(engine.SetGenericOption("vnosuch", "1"));
  EXPECT_TRUE(engine.GenericOptionNames.empty());
  EXPECT_TRUE(engine.PrivateOptions.Empty());
  engine::CodecContextPtr fresh(ml::avcodec_alloc_context3(nullptr));
  EXPECT_EQ(Kind(0)->bit_rate, fresh->bit_rate);
}

TEST_F(GenericOptions, GopReachesTheEncodersPictureGroupSize) {
  engine.ParseOption("gop", "12");
  EXPECT_EQ(Kind(0)->gop_size, 12);
  EXPECT_TRUE(Remembered("g"));
  const AVCodec* codec = ml::avcodec_find_encoder_by_name("mpeg4");
  ASSERT_NE(codec, nullptr);
  engine::CodecContextPtr encoder(ml::avcodec_alloc_context3(codec));
  engine::CodecContextPtr decoder(ml::avcodec_alloc_context3(nullptr));
  const int decoderDefault = decoder->gop_size;
  engine.CopyRememberedOptions(encoder.get(), Kind(0),
                               AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  engine.CopyRememberedOptions(decoder.get(), Kind(0),
                               AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
  EXPECT_EQ(encoder->gop_size, 12);
  EXPECT_EQ(decoder->gop_size, decoderDefault);
}

TEST_F(GenericOptions, RememberedOptionsCopyInOrderWithTheirMask) {
  engine.ParseOption("packetsize", "2324");
  engine.ParseOption("b", "1000");
  engine.ParseOption("b", "2000");
  EXPECT_EQ(engine.FormatOptionContext->packet_size, 2324u);
  engine::FormatContextPtr muxer(ml::avformat_alloc_context());
  engine.CopyRememberedOptions(muxer.get(), engine.FormatOptionContext.get(),
                               AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_EQ(muxer->packet_size, 2324u);
  engine::CodecContextPtr audio(ml::avcodec_alloc_context3(nullptr));
  engine.CopyRememberedOptions(audio.get(), Kind(1),
                               AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_EQ(audio->bit_rate, 2000);
  engine.CopyRememberedOptions(nullptr, Kind(1), 0);
}

TEST_F(GenericOptions, ScalerOptions) {
  EXPECT_TRUE(engine.SetGenericOption("sws_flags", "bilinear"));
  int64_t flags = 0;
  ASSERT_GE(ml::av_opt_get_int(engine.ScalerOptionContext.get(), "sws_flags", 0, &flags), 0);
  EXPECT_EQ(flags, SWS_BILINEAR);
}

TEST_F(GenericOptions, PrivateOptionsAreKeptForTheirCodecOrMuxer) {
  EXPECT_TRUE(engine.SetGenericOption("muxrate", "1411200"));
  EXPECT_EQ(Private("muxrate"), "1411200");
  engine.ParseOption("flags", "+SCAN_OFFSET");
  EXPECT_EQ(Private("scan_offset"), "1");
  EXPECT_TRUE(engine.GenericOptionNames.empty());
  // A generic name with a bad value is not handed to private classes.
  EXPECT_FALSE(engine.SetGenericOption("flags", "+nosuchflag"));
  EXPECT_EQ(Private("flags"), "");
}

TEST_F(GenericOptions, BitrateWarningBelowOneThousand) {
  struct {
    const char* name;
    const char* value;
    bool warns;
  } cases[] = {{"vb", "64", true}, {"vb", "64000", false}, {"ab", "64", true},
               {"b", "999", true}, {"b", "1000", false},   {"ab", "bad", false}};
  const std::string warning =
      "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s";
  for (auto& c : cases) {
    logs.clear();
    engine.ParseOption(c.name, c.value);
    const bool warned = logs.size() == 1 && logs[0] == std::make_pair(1, warning);
    EXPECT_EQ(warned, c.warns) << c.name << " " << c.value;
    if (!c.warns) {
      EXPECT_TRUE(logs.empty()) << c.name << " " << c.value;
    }
  }
}

TEST_F(GenericOptions, DebugRaisesTheLogLevel) {
  EXPECT_TRUE(engine.SetGenericOption("debug", "1"));
  EXPECT_EQ(engine.Verbose, 2);
  EXPECT_EQ(medialib::CachedLogLevel(), 2);
  medialib::SetLibraryLogLevel(0);
}

}  // namespace
