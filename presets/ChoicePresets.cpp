#include "ChoicePresets.h"

#include "ChoiceLists.h"

namespace presets {
namespace {

using TItems = std::span<const std::string_view>;

constexpr TListEdit Refill(TItems items, std::string_view select) {
  return {laRefill, items, select};
}
// Codec lists always get their first item selected.
constexpr TListEdit Codecs(TItems items) {
  return {laRefill, items, items.front()};
}
constexpr TListEdit kEmptied{laEmpty, {}, {}};
constexpr TListEdit kStereo{laSelectOnly, {}, "Stereo"};
constexpr TListEdit kMono{laSelectOnly, {}, "Mono"};
constexpr TListEdit kOriginal{laSelectOnly, {}, "Original"};

// Items used by one preset or a few.
constexpr std::string_view kMpeg4[] = {"MPEG4"};
constexpr std::string_view kMpeg4H264[] = {"MPEG4", "H264"};
constexpr std::string_view kH264[] = {"H264"};
constexpr std::string_view kH263[] = {"H263"};
constexpr std::string_view kMpeg1Video[] = {"MPEG1VIDEO"};
constexpr std::string_view kMpeg2Video[] = {"MPEG2VIDEO"};
constexpr std::string_view kWmv2[] = {"WMV2"};
constexpr std::string_view kMp3[] = {"mp3"};
constexpr std::string_view kMp2[] = {"mp2"};
constexpr std::string_view kMp2Ac3[] = {"mp2", "ac3"};
constexpr std::string_view kAc3[] = {"ac3"};
constexpr std::string_view kWmav2[] = {"wmav2"};
constexpr std::string_view kMpeg4Aac[] = {"mpeg4aac"};
constexpr std::string_view kMp3Mp2[] = {"mp3", "mp2"};
constexpr std::string_view kAmrAac[] = {"amr_nb", "mpeg4aac"};
constexpr std::string_view kPcmFamily[] = {"pcm_s16le", "mp3", "mp2", "ac3"};
constexpr std::string_view k44100[] = {"44100 Hz"};
constexpr std::string_view kSize320x240[] = {"320 x 240"};
constexpr std::string_view kSize480x320[] = {"480 x 320"};
constexpr std::string_view kSize640x480[] = {"640 x 480"};
constexpr std::string_view kZuneSizes[] = {"320 x 240 ", "640 x 480"};
constexpr std::string_view kZuneVideoBitrates[] = {"256 Kbps",  "512 Kbps",  "768 Kbps",
                                                   "1200 Kbps", "1500 Kbps", "2000 Kbps"};
constexpr std::string_view kNtscRate[] = {"29.97 fps"};
constexpr std::string_view kHighVideoBitrates[] = {"1200 Kbps", "1500 Kbps", "2000 Kbps",
                                                   "2500 Kbps", "3000 Kbps"};
constexpr std::string_view kBlackBerrySizes[] = {"176 x 144", "240 x 180", "320 x 240"};
constexpr std::string_view kBlackBerryVideoBitrates[] = {"80 Kbps",  "120 Kbps", "200 Kbps",
                                                         "256 Kbps", "300 Kbps", "512 Kbps"};
constexpr std::string_view kBlackBerryRates[] = {"11 fps", "15 fps", "20 fps", "24 fps", "25 fps"};
constexpr std::string_view kBlackBerryAudioBitrates[] = {"40 Kbps", "48 Kbps", "64 Kbps",
                                                         "80 Kbps", "96 Kbps", "112 Kbps"};

// One entry's choices for a video format with the first channel and aspect
// items selected.
constexpr TChoicePreset Video(TListEdit codec, TListEdit size, TListEdit bitrate, TListEdit rate,
                              TListEdit audioCodec, TListEdit audioBitrate, TListEdit sampling) {
  return {codec, size, bitrate, rate, audioCodec, audioBitrate, sampling, kStereo, kOriginal};
}

// The same with the channel and aspect choices kept.
constexpr TChoicePreset Device(TListEdit codec, TListEdit size, TListEdit bitrate, TListEdit rate,
                               TListEdit audioCodec, TListEdit audioBitrate, TListEdit sampling) {
  return {codec, size, bitrate, rate, audioCodec, audioBitrate, sampling, {}, {}};
}

// An audio format: the four video lists emptied.
constexpr TChoicePreset Audio(TItems codec, std::string_view bitrate, TItems samples,
                              std::string_view sample) {
  return Video(kEmptied, kEmptied, kEmptied, kEmptied, Codecs(codec),
               Refill(kFullAudioBitrates, bitrate), Refill(samples, sample));
}

// Picks the variant's row of a small table; an unknown variant takes the first.
template <typename Row, size_t N>
const Row& VariantRow(const Row (&rows)[N], std::string_view variant) {
  for (const Row& row : rows)
    if (row.Variant == variant) return row;
  return rows[0];
}

}  // namespace

void RunChoicePreset(const TChoicePreset& preset, TSettingLists& lists) {
  struct TTarget {
    const TListEdit TChoicePreset::*Edit;
    TComboModel TSettingLists::*List;
  };
  static constexpr TTarget kTargets[] = {
      {&TChoicePreset::VideoCodec, &TSettingLists::ComboVideoCodec},
      {&TChoicePreset::VideoSize, &TSettingLists::ComboVideoSize},
      {&TChoicePreset::VideoBitrate, &TSettingLists::ComboVideoBitrate},
      {&TChoicePreset::VideoFramerate, &TSettingLists::ComboVideoFramerate},
      {&TChoicePreset::AudioCodec, &TSettingLists::ComboAudioCodec},
      {&TChoicePreset::AudioBitrate, &TSettingLists::ComboAudioBitrate},
      {&TChoicePreset::SamplingRate, &TSettingLists::ComboSamplingRate},
      {&TChoicePreset::AudioChannels, &TSettingLists::ComboAudioChannels},
      {&TChoicePreset::AspectRatio, &TSettingLists::ComboAspectRatio},
  };
  for (const auto& target : kTargets) {
    const TListEdit& edit = preset.*target.Edit;
    TComboModel& list = lists.*target.List;
    switch (edit.Action) {
      case laKeep:
        break;
      case laEmpty:
        list.Clear();
        break;
      case laRefill:
        list.Clear();
        for (auto item : edit.Items) list.Add(item);
        list.Select(list.IndexOf(edit.Select));
        break;
      case laSelectOnly:
        list.SelectText(edit.Select);
        break;
    }
  }
}

TChoicePreset AviChoices(std::string_view variant) {
  struct TRow {
    std::string_view Variant;
    TItems VideoCodecs, AudioCodecs;
  };
  static constexpr std::string_view kXvid[] = {"XVID"};
  static constexpr std::string_view kRaw[] = {"RAWVIDEO"};
  static constexpr TRow kRows[] = {{"normal", kMpeg4H264, kPcmFamily},
                                   {"divx", kMpeg4, kMp3},
                                   {"xvid", kXvid, kMp3},
                                   {"uncompress", kRaw, kPcmFamily}};
  const TRow& row = VariantRow(kRows, variant);
  return Video(Codecs(row.VideoCodecs), Refill(kFullSizes, "Original Video Size"),
               Refill(kAviVideoBitrates, "1200 Kbps"), Refill(kFullFrameRates, "Auto"),
               Codecs(row.AudioCodecs), Refill(kFullAudioBitrates, "128 Kbps"),
               Refill(kSampleRatesA, "48000 Hz"));
}

TChoicePreset DvdChoices(std::string_view) {
  static constexpr std::string_view kBitrate[] = {"6000 Kbps"};
  static constexpr std::string_view kAc3Mp2[] = {"ac3", "mp2"};
  static constexpr std::string_view kRates[] = {"44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
  // No size is preselected: the output keeps the source's size.
  return Device(Codecs(kMpeg2Video), Refill(kDvdSizes, ""), Refill(kBitrate, "6000 Kbps"),
                Refill(kDiscFrameRates, "29.97 fps [NTSC]"), Codecs(kAc3Mp2),
                Refill(kFullAudioBitrates, "224 Kbps"), Refill(kRates, "48000 Hz"));
}

TChoicePreset FlashChoices(std::string_view) {
  static constexpr std::string_view kFlv[] = {"FLV"};
  static constexpr std::string_view kRates[] = {"11025 Hz", "22050 Hz", "44100 Hz"};
  return Video(Codecs(kFlv), Refill(kFullSizes, "Original Video Size"),
               Refill(kFullVideoBitrates, "200 Kbps"), Refill(kFullFrameRates, "15.0 fps"),
               Codecs(kMp3), Refill(kFullAudioBitrates, "64 Kbps"), Refill(kRates, "44100 Hz"));
}

TChoicePreset MovChoices(std::string_view) {
  return Video(Codecs(kMpeg4), Refill(kFullSizes, "Original Video Size"),
               Refill(kFullVideoBitrates, "1200 Kbps"), Refill(kFullFrameRates, "Auto"),
               Codecs(kMpeg4Aac), Refill(kFullAudioBitrates, "128 Kbps"),
               Refill(kSampleRatesA, "44100 Hz"));
}

TChoicePreset Mp4Choices(std::string_view variant) {
  static constexpr std::string_view kCodecs[] = {"MPEG4", "H264", "XVid"};
  TChoicePreset preset = MovChoices(variant);
  preset.VideoCodec = Codecs(kCodecs);
  return preset;
}

TChoicePreset MpegMovieChoices(std::string_view variant) {
  struct TRow {
    std::string_view Variant;
    TItems VideoCodecs, AudioCodecs;
    std::string_view Bitrate;
  };
  static constexpr TRow kRows[] = {{"mpeg1", kMpeg1Video, kMp2, "1600 Kbps"},
                                   {"mpeg2", kMpeg2Video, kMp2Ac3, "2000 Kbps"}};
  const TRow& row = VariantRow(kRows, variant);
  return Video(Codecs(row.VideoCodecs), Refill(kFullSizes, "320 x 240 (VGA)"),
               Refill(kFullVideoBitrates, row.Bitrate), Refill(kFullFrameRates, "25.0 fps"),
               Codecs(row.AudioCodecs), Refill(kFullAudioBitrates, "192 Kbps"),
               Refill(kSampleRatesA, "44100 Hz"));
}

TChoicePreset RmChoices(std::string_view) {
  static constexpr std::string_view kCodecs[] = {"RV10", "RV20"};
  static constexpr std::string_view kBitrates[] = {"384  Kbps", "400  Kbps", "600  Kbps",
                                                   "1200 Kbps", "1800 Kbps", "2200 Kbps",
                                                   "2600 Kbps", "3000 Kbps"};
  return Video(Codecs(kCodecs), Refill(kFullSizes, "320 x 240 (VGA)"),
               Refill(kBitrates, "384  Kbps"), Refill(kFullFrameRates, "Auto"), Codecs(kAc3),
               Refill(kFullAudioBitrates, "128 Kbps"), Refill(kSampleRatesB, "48000 Hz"));
}

TChoicePreset SvcdChoices(std::string_view) {
  static constexpr std::string_view kBitrate[] = {"2040 Kbps"};
  return Device(Codecs(kMpeg2Video), Refill(kVcdSizes, "480 x 480"), Refill(kBitrate, "2040 Kbps"),
                Refill(kDiscFrameRates, "29.97 fps [NTSC]"), Codecs(kMp2),
                Refill(kFullAudioBitrates, "224 Kbps"), Refill(k44100, "44100 Hz"));
}

TChoicePreset VcdChoices(std::string_view) {
  static constexpr std::string_view kBitrate[] = {"1150 Kbps"};
  return Device(Codecs(kMpeg1Video), Refill(kVcdSizes, "352 x 240"), Refill(kBitrate, "1150 Kbps"),
                Refill(kDiscFrameRates, "29.97 fps [NTSC]"), Codecs(kMp2),
                Refill(kFullAudioBitrates, "224 Kbps"), Refill(k44100, "44100 Hz"));
}

TChoicePreset WmvChoices(std::string_view) {
  return Video(Codecs(kWmv2), Refill(kFullSizes, "320 x 240 (VGA)"),
               Refill(kFullVideoBitrates, "1200 Kbps"), Refill(kFullFrameRates, "Auto"),
               Codecs(kWmav2), Refill(kFullAudioBitrates, "128 Kbps"),
               Refill(kSampleRatesA, "48000 Hz"));
}

TChoicePreset MobileChoices(std::string_view) {
  static constexpr std::string_view kCodecs[] = {"MPEG4", "H263", "H264"};
  static constexpr std::string_view kBitrates[] = {"48 Kbps",  "64 Kbps",  "96 Kbps",
                                                   "128 Kbps", "256 Kbps", "512 Kbps"};
  static constexpr std::string_view kRates[] = {"Auto", "11 fps", "14.985 fps", "15 fps"};
  static constexpr std::string_view kSamples[] = {"8000  bps", "16000 bps"};
  TChoicePreset preset =
      Device(Codecs(kCodecs), Refill(kMobileSizes, "176 x 144 (QCIF)"),
             Refill(kBitrates, "128 Kbps"), Refill(kRates, "Auto"), Codecs(kAmrAac),
             Refill(kAmrBitrates, "7400 bps"), Refill(kSamples, "8000  bps"));
  preset.AudioChannels = kMono;
  return preset;
}

TChoicePreset AacChoices(std::string_view) {
  static constexpr std::string_view kAac[] = {"aac"};
  return Audio(kAac, "128 Kbps", kSampleRatesA, "48000 Hz");
}

TChoicePreset AsfChoices(std::string_view) {
  static constexpr std::string_view kMsmpeg4[] = {"MSMPEG4"};
  // No bitrate is preselected; video is switched off for this extension anyway.
  return Video(Codecs(kMsmpeg4), Refill(kFullSizes, "Original Video Size"),
               Refill(kHighVideoBitrates, ""), Refill(kFullFrameRates, "Auto"), Codecs(kMp3),
               Refill(kFullAudioBitrates, "128 Kbps"), Refill(kSampleRatesA, "48000 Hz"));
}

TChoicePreset AuChoices(std::string_view) {
  static constexpr std::string_view kPcmBe[] = {"pcm_s16be"};
  return Audio(kPcmBe, "128 Kbps", kSampleRatesA, "48000 Hz");
}

TChoicePreset M4aChoices(std::string_view) {
  return Audio(kMpeg4Aac, "128 Kbps", kSampleRatesA, "48000 Hz");
}

TChoicePreset MpegAudioChoices(std::string_view variant) {
  struct TRow {
    std::string_view Variant;
    TItems Codec;
    std::string_view Bitrate;
  };
  static constexpr TRow kRows[] = {{"mp3", kMp3, "192 Kbps"}, {"mp2", kMp2, "224 Kbps"}};
  const TRow& row = VariantRow(kRows, variant);
  return Audio(row.Codec, row.Bitrate, kSampleRatesA, "48000 Hz");
}

TChoicePreset OggChoices(std::string_view) {
  static constexpr std::string_view kVorbis[] = {"vorbis"};
  return Audio(kVorbis, "160 Kbps", kSampleRatesA, "48000 Hz");
}

TChoicePreset RaChoices(std::string_view) {
  return Audio(kAc3, "128 Kbps", kSampleRatesB, "48000 Hz");
}

TChoicePreset WavChoices(std::string_view) {
  static constexpr std::string_view kPcmLe[] = {"pcm_s16le"};
  return Audio(kPcmLe, "128 Kbps", kSampleRatesB, "44100 Hz");
}

TChoicePreset WmaChoices(std::string_view) {
  return Audio(kWmav2, "128 Kbps", kSampleRatesB, "48000 Hz");
}

TChoicePreset AppleTvChoices(std::string_view) {
  return Video(Codecs(kMpeg4), Refill(kSize640x480, "640 x 480"),
               Refill(kDeviceVideoBitrates, "1500 Kbps"), Refill(kFullFrameRates, "Auto"),
               Codecs(kMpeg4Aac), Refill(kFullAudioBitrates, "128 Kbps"),
               Refill(kSampleRatesA, "44100 Hz"));
}

TChoicePreset IPhoneChoices(std::string_view variant) {
  struct TRow {
    std::string_view Variant;
    TItems Size;
    std::string_view VideoBitrate, AudioBitrate;
  };
  static constexpr TRow kRows[] = {{"480 x 320", kSize480x320, "1200 Kbps", "80 Kbps"},
                                   {"640 x 480", kSize640x480, "1500 Kbps", "128 Kbps"}};
  const TRow& row = VariantRow(kRows, variant);
  return Video(Codecs(kMpeg4H264), Refill(row.Size, row.Size.front()),
               Refill(kDeviceVideoBitrates, row.VideoBitrate), Refill(kFullFrameRates, "Auto"),
               Codecs(kMpeg4Aac), Refill(kFullAudioBitrates, row.AudioBitrate),
               Refill(kSampleRatesA, "44100 Hz"));
}

namespace {

struct TPlayerRow {
  std::string_view Variant;
  std::span<const std::string_view> Size;
  std::string_view VideoBitrate;
};

// The iPod family: one size, the device bitrates, channels and aspect kept.
TChoicePreset PocketPlayer(const TPlayerRow& row, std::string_view audioBitrate) {
  return Device(Codecs(kMpeg4H264), Refill(row.Size, row.Size.front()),
                Refill(kDeviceVideoBitrates, row.VideoBitrate), Refill(kFullFrameRates, "Auto"),
                Codecs(kMpeg4Aac), Refill(kFullAudioBitrates, audioBitrate),
                Refill(kSampleRatesA, "44100 Hz"));
}

}  // namespace

TChoicePreset IPodChoices(std::string_view variant) {
  static constexpr TPlayerRow kRows[] = {{"Normal", kSize320x240, "512 Kbps"},
                                         {"Extra", kSize640x480, "1500 Kbps"}};
  return PocketPlayer(VariantRow(kRows, variant), "64 Kbps");
}

TChoicePreset IPodTouchChoices(std::string_view variant) {
  static constexpr TPlayerRow kRows[] = {{"Normal", kSize480x320, "1200 Kbps"},
                                         {"Extra", kSize640x480, "1500 Kbps"}};
  return PocketPlayer(VariantRow(kRows, variant), "80 Kbps");
}

TChoicePreset PspChoices(std::string_view) {
  static constexpr std::string_view kCodecs[] = {"MPEG4", "H264", "XVID"};
  static constexpr std::string_view kSizes[] = {"160 x 112", "320 x 240", "368 x 208", "480 x 272"};
  static constexpr std::string_view kBitrate[] = {"768 Kbps"};
  static constexpr std::string_view kRates[] = {"14.985 fps", "29.97 fps"};
  static constexpr std::string_view kAudioBitrates[] = {"32 Kbps", "48 Kbps",  "64 Kbps",
                                                        "96 Kbps", "128 Kbps", "160 Kbps"};
  static constexpr std::string_view kSamples[] = {"24000 Hz"};
  return Video(Codecs(kCodecs), Refill(kSizes, "368 x 208"), Refill(kBitrate, "768 Kbps"),
               Refill(kRates, "29.97 fps"), Codecs(kMpeg4Aac), Refill(kAudioBitrates, "64 Kbps"),
               Refill(kSamples, "24000 Hz"));
}

TChoicePreset Ps3Choices(std::string_view) {
  static constexpr std::string_view kSizes[] = {"640 x 480", "720 x 480", "720 x 576"};
  return Video(Codecs(kH264), Refill(kSizes, "720 x 480"), Refill(kHighVideoBitrates, "1200 Kbps"),
               Refill(kNtscRate, "29.97 fps"), Codecs(kMpeg4Aac),
               Refill(kFullAudioBitrates, "96 Kbps"), Refill(kSampleRatesB, "44100 Hz"));
}

TChoicePreset ZuneMp4Choices(std::string_view) {
  // The one frame rate is not preselected.
  return Video(Codecs(kMpeg4H264), Refill(kZuneSizes, "320 x 240 "),
               Refill(kZuneVideoBitrates, "1500 Kbps"), Refill(kNtscRate, ""), Codecs(kMpeg4Aac),
               Refill(kFullAudioBitrates, "128 Kbps"), Refill(kSampleRatesB, "44100 Hz"));
}

TChoicePreset ZuneWmvChoices(std::string_view) {
  return Video(Codecs(kWmv2), Refill(kZuneSizes, "320 x 240 "),
               Refill(kZuneVideoBitrates, "1200 Kbps"), Refill(kFullFrameRates, "Auto"),
               Codecs(kWmav2), Refill(kFullAudioBitrates, "128 Kbps"),
               Refill(kSampleRatesB, "48000 Hz"));
}

TChoicePreset ArchosAv500Choices(std::string_view) {
  return Device(Codecs(kMpeg4), Refill(kPlayerSizes, "480 x 272"),
                Refill(kFullVideoBitrates, "1200 Kbps"), Refill(kFullFrameRates, "Auto"),
                Codecs(kMp3Mp2), Refill(kFullAudioBitrates, "128 Kbps"),
                Refill(kSampleRatesA, "48000 Hz"));
}

TChoicePreset ArchosAv700Choices(std::string_view) {
  static constexpr std::string_view kBitrates[] = {"1000 Kbps", "1200 Kbps", "1500 Kbps",
                                                   "2000 Kbps", "2500 Kbps"};
  return Device(Codecs(kMpeg4), Refill(kPlayerSizes, "720 x 480"), Refill(kBitrates, "2000 Kbps"),
                Refill(kFullFrameRates, "Auto"), Codecs(kMp3Mp2),
                Refill(kFullAudioBitrates, "128 Kbps"), Refill(kSampleRatesA, "48000 Hz"));
}

TChoicePreset BlackBerryMp4Choices(std::string_view) {
  return Device(Codecs(kMpeg4), Refill(kBlackBerrySizes, "320 x 240"),
                Refill(kBlackBerryVideoBitrates, "300 Kbps"), Refill(kBlackBerryRates, "24 fps"),
                Codecs(kMpeg4Aac), Refill(kBlackBerryAudioBitrates, "80 Kbps"),
                Refill(kSampleRatesA, "44100 Hz"));
}

TChoicePreset BlackBerryAviChoices(std::string_view variant) {
  static constexpr std::string_view kSize[] = {"176 x 144"};
  static constexpr std::string_view kAudioCodecs[] = {"mp3", "pcm_s16le"};
  TChoicePreset preset = BlackBerryMp4Choices(variant);
  preset.VideoCodec = Codecs(kH263);
  preset.VideoSize = Refill(kSize, "176 x 144");
  preset.AudioCodec = Codecs(kAudioCodecs);
  return preset;
}

TChoicePreset BlackBerry3gpChoices(std::string_view) {
  static constexpr std::string_view kCodecs[] = {"MPEG4", "H263"};
  static constexpr std::string_view kBitrates[] = {"48 Kbps",  "64 Kbps",  "96 Kbps", "120 Kbps",
                                                   "128 Kbps", "256 Kbps", "512 Kbps"};
  static constexpr std::string_view kRates[] = {"Auto",   "11 fps", "15 fps",
                                                "20 fps", "24 fps", "25 fps"};
  static constexpr std::string_view kSamples[] = {"8000  Hz", "16000 Hz"};
  return Device(Codecs(kCodecs), Refill(kBlackBerrySizes, "176 x 144"),
                Refill(kBitrates, "120 Kbps"), Refill(kRates, "15 fps"), Codecs(kAmrAac),
                Refill(kAmrBitrates, "4750 bps"), Refill(kSamples, "8000  Hz"));
}

TChoicePreset PlayerChoices(std::string_view) {
  return Device(Codecs(kMpeg4), Refill(kPlayerSizes, "640 x 480"),
                Refill(kFullVideoBitrates, "1200 Kbps"), Refill(kFullFrameRates, "Auto"),
                Codecs(kMp3Mp2), Refill(kFullAudioBitrates, "128 Kbps"),
                Refill(kSampleRatesA, "48000 Hz"));
}

}  // namespace presets
