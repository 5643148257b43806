// What accepting each of the 45 entries leaves in the setting lists, checked
// against one table of expected items and selections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Catalogue.h"

using namespace presets;

namespace {

using Items = std::vector<std::string>;

// The shared lists, as the window shows them.
const Items kFullSizes = {
    "Original Video Size", "128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 120", "176 x 144 (QCIF)",
    "192 x 144",           "208 x 176",        "220 x 176",        "240 x 180", "320 x 200",
    "320 x 240 (VGA)",     "352 x 240",        "352 x 288 (CIF)",  "480 x 272", "480 x 360",
    "480 x 480",           "480 x 576",        "624 x 352",        "640 x 352", "640 x 480",
    "704 x 576 (4CIF)",    "720 x 480",        "720 x 576"};
const Items kVcdSizes = {"128 x 96 (SQCIF)", "176 x 144 (QCIF)", "352 x 240", "352 x 288 (CIF)",
                         "480 x 272",        "480 x 480",        "640 x 480", "704 x 576 (4CIF)"};
const Items kDvdSizes = {"128 x 96 (SQCIF)", "176 x 144 (QCIF)", "352 x 240", "352 x 288 (CIF)",
                         "480 x 272",        "480 x 480",        "640 x 480", "704 x 576 (4CIF)",
                         "724 x 480",        "724 x 576"};
const Items kMobileSizes = {"128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 144 (QCIF)", "208 x 176",
                            "220 x 176",        "320 x 240 (VGA)",  "352 x 288 (CIF)"};
const Items kPlayerSizes = {"Auto",      "160 x 120", "320 x 240",
                            "480 x 272", "720 x 480", "640 x 480"};
const Items kFullVb = {"192 Kbps",  "200 Kbps",  "216 Kbps",  "384 Kbps",  "512 Kbps",
                       "640 Kbps",  "768 Kbps",  "1000 Kbps", "1200 Kbps", "1500 Kbps",
                       "1600 Kbps", "2000 Kbps", "2500 Kbps"};
const Items kAviVb = {"192 Kbps", "200 Kbps",  "216 Kbps",  "384 Kbps",  "512 Kbps", "640 Kbps",
                      "768 Kbps", "1000 Kbps", "1200 Kbps", "1500 Kbps", "2500 Kbps"};
const Items kDeviceVb = {"512 Kbps", "800 Kbps", "1200 Kbps", "1500 Kbps", "2500 Kbps"};
const Items kFullFr = {"Auto",     "14.985 fps", "15.0 fps", "23.975 fps",
                       "25.0 fps", "29.97 fps",  "30.0 fps"};
const Items kDiscFr = {"23.976 fps [NTSC]", "24 fps", "25 fps [PAL]", "29.97 fps [NTSC]",
                       "30.0 fps",          "50 fps", "59.94 fps"};
const Items kFullAb = {"32 Kbps",  "40 Kbps",  "48 Kbps",  "64 Kbps",  "80 Kbps",
                       "96 Kbps",  "112 Kbps", "128 Kbps", "160 Kbps", "192 Kbps",
                       "224 Kbps", "256 Kbps", "320 Kbps"};
const Items kAmrAb = {"4750 bps", "5150 bps", "5900 bps",  "6700 bps",
                      "7400 bps", "7950 bps", "10200 bps", "12200 bps"};
const Items kRatesA = {"8000 Hz",  "16000 Hz", "22050 Hz", "32000 Hz",
                       "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
const Items kRatesB = {"8000  Hz", "16000 Hz", "22050 Hz", "32000 Hz",
                       "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
const Items kZuneSizes = {"320 x 240 ", "640 x 480"};
const Items kZuneVb = {"256 Kbps", "512 Kbps", "768 Kbps", "1200 Kbps", "1500 Kbps", "2000 Kbps"};
const Items kBbVb = {"80 Kbps", "120 Kbps", "200 Kbps", "256 Kbps", "300 Kbps", "512 Kbps"};
const Items kBbFr = {"11 fps", "15 fps", "20 fps", "24 fps", "25 fps"};
const Items kBbAb = {"40 Kbps", "48 Kbps", "64 Kbps", "80 Kbps", "96 Kbps", "112 Kbps"};
const Items kBbSizes = {"176 x 144", "240 x 180", "320 x 240"};
const Items kHighVb = {"1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps", "3000 Kbps"};

struct Cell {
  Items List;
  std::string Selected;
};
Cell L(const Items& items, const std::string& selected) {
  return {items, selected};
}
Cell C(const Items& codecs) {
  return {codecs, codecs.front()};
}  // codec lists: first item
const Cell kEmptied{{}, ""};

// "" in Channels or Aspect: the list is kept as the previous entry left it.
struct Row {
  std::string Entry;
  Cell VideoCodec, Size, VideoBitrate, FrameRate, AudioCodec, AudioBitrate, SampleRate;
  std::string Channels, Aspect;
};

const std::string S = "Stereo", O = "Original", K = "";
const Items kPcmFamily = {"pcm_s16le", "mp3", "mp2", "ac3"};

Row Audio(const std::string& entry, const std::string& codec, const std::string& bitrate,
          const Items& rates, const std::string& rate) {
  return {entry,          kEmptied, kEmptied, kEmptied, kEmptied, C({codec}), L(kFullAb, bitrate),
          L(rates, rate), S,        O};
}

const std::vector<Row> kRows = {
    {"AVI - Audio Video Interleave (*.avi)", C({"MPEG4", "H264"}),
     L(kFullSizes, "Original Video Size"), L(kAviVb, "1200 Kbps"), L(kFullFr, "Auto"),
     C(kPcmFamily), L(kFullAb, "128 Kbps"), L(kRatesA, "48000 Hz"), S, O},
    {"AVI - DivX Video (*.avi)", C({"MPEG4"}), L(kFullSizes, "Original Video Size"),
     L(kAviVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mp3"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "48000 Hz"), S, O},
    {"AVI - Uncompress (*.avi)", C({"RAWVIDEO"}), L(kFullSizes, "Original Video Size"),
     L(kAviVb, "1200 Kbps"), L(kFullFr, "Auto"), C(kPcmFamily), L(kFullAb, "128 Kbps"),
     L(kRatesA, "48000 Hz"), S, O},
    {"AVI - XviD Video (*.avi)", C({"XVID"}), L(kFullSizes, "Original Video Size"),
     L(kAviVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mp3"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "48000 Hz"), S, O},
    {"DVD - VOB (*.vob)", C({"MPEG2VIDEO"}), L(kDvdSizes, ""), L({"6000 Kbps"}, "6000 Kbps"),
     L(kDiscFr, "29.97 fps [NTSC]"), C({"ac3", "mp2"}), L(kFullAb, "224 Kbps"),
     L({"44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"}, "48000 Hz"), K, K},
    {"FLV - Flash Video (*.flv)", C({"FLV"}), L(kFullSizes, "Original Video Size"),
     L(kFullVb, "200 Kbps"), L(kFullFr, "15.0 fps"), C({"mp3"}), L(kFullAb, "64 Kbps"),
     L({"11025 Hz", "22050 Hz", "44100 Hz"}, "44100 Hz"), S, O},
    {"MOV - QuickTime Video (*.mov)", C({"MPEG4"}), L(kFullSizes, "Original Video Size"),
     L(kFullVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "44100 Hz"), S, O},
    {"MP4 - MPEG4 Video (*.mp4)", C({"MPEG4", "H264", "XVid"}),
     L(kFullSizes, "Original Video Size"), L(kFullVb, "1200 Kbps"), L(kFullFr, "Auto"),
     C({"mpeg4aac"}), L(kFullAb, "128 Kbps"), L(kRatesA, "44100 Hz"), S, O},
    {"MPEG-1 Movie (*.mpg)", C({"MPEG1VIDEO"}), L(kFullSizes, "320 x 240 (VGA)"),
     L(kFullVb, "1600 Kbps"), L(kFullFr, "25.0 fps"), C({"mp2"}), L(kFullAb, "192 Kbps"),
     L(kRatesA, "44100 Hz"), S, O},
    {"MPEG-2 Movie (*.mpg)", C({"MPEG2VIDEO"}), L(kFullSizes, "320 x 240 (VGA)"),
     L(kFullVb, "2000 Kbps"), L(kFullFr, "25.0 fps"), C({"mp2", "ac3"}), L(kFullAb, "192 Kbps"),
     L(kRatesA, "44100 Hz"), S, O},
    {"RM - Real Video (*.rm)", C({"RV10", "RV20"}), L(kFullSizes, "320 x 240 (VGA)"),
     L({"384  Kbps", "400  Kbps", "600  Kbps", "1200 Kbps", "1800 Kbps", "2200 Kbps", "2600 Kbps",
        "3000 Kbps"},
       "384  Kbps"),
     L(kFullFr, "Auto"), C({"ac3"}), L(kFullAb, "128 Kbps"), L(kRatesB, "48000 Hz"), S, O},
    {"SWF - Flash Swf (*.swf)", C({"FLV"}), L(kFullSizes, "Original Video Size"),
     L(kFullVb, "200 Kbps"), L(kFullFr, "15.0 fps"), C({"mp3"}), L(kFullAb, "64 Kbps"),
     L({"11025 Hz", "22050 Hz", "44100 Hz"}, "44100 Hz"), S, O},
    {"Super Video CD (*.mpg)", C({"MPEG2VIDEO"}), L(kVcdSizes, "480 x 480"),
     L({"2040 Kbps"}, "2040 Kbps"), L(kDiscFr, "29.97 fps [NTSC]"), C({"mp2"}),
     L(kFullAb, "224 Kbps"), L({"44100 Hz"}, "44100 Hz"), K, K},
    {"Video CD (*.mpg)", C({"MPEG1VIDEO"}), L(kVcdSizes, "352 x 240"),
     L({"1150 Kbps"}, "1150 Kbps"), L(kDiscFr, "29.97 fps [NTSC]"), C({"mp2"}),
     L(kFullAb, "224 Kbps"), L({"44100 Hz"}, "44100 Hz"), K, K},
    {"WMV - Windows Media Video (*.wmv)", C({"WMV2"}), L(kFullSizes, "320 x 240 (VGA)"),
     L(kFullVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"wmav2"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "48000 Hz"), S, O},
    {"3GP - Mobile Video Format (*.3gp)", C({"MPEG4", "H263", "H264"}),
     L(kMobileSizes, "176 x 144 (QCIF)"),
     L({"48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"}, "128 Kbps"),
     L({"Auto", "11 fps", "14.985 fps", "15 fps"}, "Auto"), C({"amr_nb", "mpeg4aac"}),
     L(kAmrAb, "7400 bps"), L({"8000  bps", "16000 bps"}, "8000  bps"), "Mono", K},
    {"3G2 - Mobile Video Format (*.3g2)", C({"MPEG4", "H263", "H264"}),
     L(kMobileSizes, "176 x 144 (QCIF)"),
     L({"48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"}, "128 Kbps"),
     L({"Auto", "11 fps", "14.985 fps", "15 fps"}, "Auto"), C({"amr_nb", "mpeg4aac"}),
     L(kAmrAb, "7400 bps"), L({"8000  bps", "16000 bps"}, "8000  bps"), "Mono", K},
    Audio("AAC - Advance Audio Coding (*.aac)", "aac", "128 Kbps", kRatesA, "48000 Hz"),
    {"ASF - Advance Streaming Format (*.asf)", C({"MSMPEG4"}), L(kFullSizes, "Original Video Size"),
     L(kHighVb, ""), L(kFullFr, "Auto"), C({"mp3"}), L(kFullAb, "128 Kbps"), L(kRatesA, "48000 Hz"),
     S, O},
    Audio("AU - SUN Audio (*.au)", "pcm_s16be", "128 Kbps", kRatesA, "48000 Hz"),
    Audio("M4A - Mpeg4 Audio File (*.m4a)", "mpeg4aac", "128 Kbps", kRatesA, "48000 Hz"),
    Audio("MP2 - Mpeg Layer2 Audio (*.mp2)", "mp2", "224 Kbps", kRatesA, "48000 Hz"),
    Audio("MP3 - Mpeg Layer3 Audio (*.mp3)", "mp3", "192 Kbps", kRatesA, "48000 Hz"),
    Audio("OGG - Ogg Vorbis Audio (*.ogg)", "vorbis", "160 Kbps", kRatesA, "48000 Hz"),
    Audio("RA - Real Audio (*.ra)", "ac3", "128 Kbps", kRatesB, "48000 Hz"),
    Audio("WAV - Waveform Audio (*.wav)", "pcm_s16le", "128 Kbps", kRatesB, "44100 Hz"),
    Audio("WMA - Windows Media Audio (*.wma)", "wmav2", "128 Kbps", kRatesB, "48000 Hz"),
    {"Apple TV (*.mp4)", C({"MPEG4"}), L({"640 x 480"}, "640 x 480"), L(kDeviceVb, "1500 Kbps"),
     L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "128 Kbps"), L(kRatesA, "44100 Hz"), S, O},
    {"iPhone (*.mp4)", C({"MPEG4", "H264"}), L({"480 x 320"}, "480 x 320"),
     L(kDeviceVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "80 Kbps"),
     L(kRatesA, "44100 Hz"), S, O},
    {"iPhone Extra (640 x 480) (*.mp4)", C({"MPEG4", "H264"}), L({"640 x 480"}, "640 x 480"),
     L(kDeviceVb, "1500 Kbps"), L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "44100 Hz"), S, O},
    {"iPod (*.mp4)", C({"MPEG4", "H264"}), L({"320 x 240"}, "320 x 240"), L(kDeviceVb, "512 Kbps"),
     L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "64 Kbps"), L(kRatesA, "44100 Hz"), K, K},
    {"iPod Video For TV (*.mp4)", C({"MPEG4", "H264"}), L({"640 x 480"}, "640 x 480"),
     L(kDeviceVb, "1500 Kbps"), L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "64 Kbps"),
     L(kRatesA, "44100 Hz"), K, K},
    {"iPod Touch (*.mp4)", C({"MPEG4", "H264"}), L({"480 x 320"}, "480 x 320"),
     L(kDeviceVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "80 Kbps"),
     L(kRatesA, "44100 Hz"), K, K},
    {"iPod Touch Extra (640 x 480) (*.mp4)", C({"MPEG4", "H264"}), L({"640 x 480"}, "640 x 480"),
     L(kDeviceVb, "1500 Kbps"), L(kFullFr, "Auto"), C({"mpeg4aac"}), L(kFullAb, "80 Kbps"),
     L(kRatesA, "44100 Hz"), K, K},
    {"PSP Video (*.mp4)", C({"MPEG4", "H264", "XVID"}),
     L({"160 x 112", "320 x 240", "368 x 208", "480 x 272"}, "368 x 208"),
     L({"768 Kbps"}, "768 Kbps"), L({"14.985 fps", "29.97 fps"}, "29.97 fps"), C({"mpeg4aac"}),
     L({"32 Kbps", "48 Kbps", "64 Kbps", "96 Kbps", "128 Kbps", "160 Kbps"}, "64 Kbps"),
     L({"24000 Hz"}, "24000 Hz"), S, O},
    {"PS3 Video (*.mp4)", C({"H264"}), L({"640 x 480", "720 x 480", "720 x 576"}, "720 x 480"),
     L(kHighVb, "1200 Kbps"), L({"29.97 fps"}, "29.97 fps"), C({"mpeg4aac"}), L(kFullAb, "96 Kbps"),
     L(kRatesB, "44100 Hz"), S, O},
    {"Zune Mpeg4 Video (*.mp4)", C({"MPEG4", "H264"}), L(kZuneSizes, "320 x 240 "),
     L(kZuneVb, "1500 Kbps"), L({"29.97 fps"}, ""), C({"mpeg4aac"}), L(kFullAb, "128 Kbps"),
     L(kRatesB, "44100 Hz"), S, O},
    {"Zune WMV Windows Media Video (*.wmv)", C({"WMV2"}), L(kZuneSizes, "320 x 240 "),
     L(kZuneVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"wmav2"}), L(kFullAb, "128 Kbps"),
     L(kRatesB, "48000 Hz"), S, O},
    {"Archos AV500/GMini402 (*.avi)", C({"MPEG4"}), L(kPlayerSizes, "480 x 272"),
     L(kFullVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mp3", "mp2"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "48000 Hz"), K, K},
    {"Archos AV700 (*.avi)", C({"MPEG4"}), L(kPlayerSizes, "720 x 480"),
     L({"1000 Kbps", "1200 Kbps", "1500 Kbps", "2000 Kbps", "2500 Kbps"}, "2000 Kbps"),
     L(kFullFr, "Auto"), C({"mp3", "mp2"}), L(kFullAb, "128 Kbps"), L(kRatesA, "48000 Hz"), K, K},
    {"BlackBerry MPEG-4 Video (*.mp4)", C({"MPEG4"}), L(kBbSizes, "320 x 240"),
     L(kBbVb, "300 Kbps"), L(kBbFr, "24 fps"), C({"mpeg4aac"}), L(kBbAb, "80 Kbps"),
     L(kRatesA, "44100 Hz"), K, K},
    {"BlackBerry AVI Video (*.avi)", C({"H263"}), L({"176 x 144"}, "176 x 144"),
     L(kBbVb, "300 Kbps"), L(kBbFr, "24 fps"), C({"mp3", "pcm_s16le"}), L(kBbAb, "80 Kbps"),
     L(kRatesA, "44100 Hz"), K, K},
    {"BlackBerry 3GP Video (*.3gp)", C({"MPEG4", "H263"}), L(kBbSizes, "176 x 144"),
     L({"48 Kbps", "64 Kbps", "96 Kbps", "120 Kbps", "128 Kbps", "256 Kbps", "512 Kbps"},
       "120 Kbps"),
     L({"Auto", "11 fps", "15 fps", "20 fps", "24 fps", "25 fps"}, "15 fps"),
     C({"amr_nb", "mpeg4aac"}), L(kAmrAb, "4750 bps"), L({"8000  Hz", "16000 Hz"}, "8000  Hz"), K,
     K},
    {"Creative Zen Vision (*.avi)", C({"MPEG4"}), L(kPlayerSizes, "640 x 480"),
     L(kFullVb, "1200 Kbps"), L(kFullFr, "Auto"), C({"mp3", "mp2"}), L(kFullAb, "128 Kbps"),
     L(kRatesA, "48000 Hz"), K, K},
    {"iRiver PMP100 (*.avi)", C({"MPEG4"}), L(kPlayerSizes, "640 x 480"), L(kFullVb, "1200 Kbps"),
     L(kFullFr, "Auto"), C({"mp3", "mp2"}), L(kFullAb, "128 Kbps"), L(kRatesA, "48000 Hz"), K, K},
};

// Lists that every preset must replace hold a marker; the kept lists hold a
// choice no preset makes for them.
TSettingLists MarkedLists() {
  TSettingLists lists;
  FillOutputFormatCombo(lists);
  for (TComboModel* list : {&lists.ComboVideoCodec, &lists.ComboVideoSize, &lists.ComboVideoBitrate,
                            &lists.ComboVideoFramerate, &lists.ComboAudioCodec,
                            &lists.ComboAudioBitrate, &lists.ComboSamplingRate}) {
    list->Add("marker");
    list->Select(0);
  }
  lists.ComboAudioChannels.SelectText("Mono");
  lists.ComboAspectRatio.SelectText("16:9 (Wide Screen)");
  return lists;
}

void Accept(TSettingLists& lists, const std::string& entry) {
  ASSERT_TRUE(lists.ComboOutputFormat.SelectText(entry)) << entry;
  ASSERT_TRUE(SelectOutputFormat(lists)) << entry;
}

void ExpectCell(const TComboModel& list, const Cell& cell) {
  EXPECT_EQ(list.Items(), cell.List) << list.Name();
  EXPECT_EQ(list.Text(), cell.Selected) << list.Name();
}

}  // namespace

TEST(ChoicePresets, EveryEntryFillsItsListsAsTabled) {
  ASSERT_EQ(kRows.size(), 45u);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.Entry);
    TSettingLists lists = MarkedLists();
    Accept(lists, row.Entry);
    ExpectCell(lists.ComboVideoCodec, row.VideoCodec);
    ExpectCell(lists.ComboVideoSize, row.Size);
    ExpectCell(lists.ComboVideoBitrate, row.VideoBitrate);
    ExpectCell(lists.ComboVideoFramerate, row.FrameRate);
    ExpectCell(lists.ComboAudioCodec, row.AudioCodec);
    ExpectCell(lists.ComboAudioBitrate, row.AudioBitrate);
    ExpectCell(lists.ComboSamplingRate, row.SampleRate);
    EXPECT_EQ(lists.ComboAudioChannels.Text(), row.Channels.empty() ? "Mono" : row.Channels);
    EXPECT_EQ(lists.ComboAspectRatio.Text(),
              row.Aspect.empty() ? "16:9 (Wide Screen)" : row.Aspect);
    // Fixed lists keep their items; the letterbox choice is never touched.
    EXPECT_EQ(lists.ComboAudioChannels.Count(), 2);
    EXPECT_EQ(lists.ComboAspectRatio.Count(), 3);
    EXPECT_EQ(lists.ComboLetterBox.Text(), "None");
  }
}

TEST(ChoicePresets, RunningAPresetTwiceEqualsOnce) {
  for (const Row& row : kRows) {
    TSettingLists lists = MarkedLists();
    Accept(lists, row.Entry);
    const TSettingLists once = lists;
    Accept(lists, row.Entry);
    EXPECT_TRUE(lists == once) << row.Entry;
  }
}

TEST(ChoicePresets, ChannelAndAspectChoicesSurviveDevicesAfter3gp) {
  TSettingLists lists;
  FillOutputFormatCombo(lists);
  Accept(lists, "AVI - Audio Video Interleave (*.avi)");
  lists.ComboAspectRatio.SelectText("4:3 (Standard");
  Accept(lists, "3GP - Mobile Video Format (*.3gp)");
  EXPECT_EQ(lists.ComboAudioChannels.Text(), "Mono");
  EXPECT_EQ(lists.ComboAspectRatio.Text(), "4:3 (Standard");
  for (const char* device :
       {"DVD - VOB (*.vob)", "Video CD (*.mpg)", "iPod (*.mp4)", "Archos AV700 (*.avi)",
        "BlackBerry AVI Video (*.avi)", "iRiver PMP100 (*.avi)"}) {
    Accept(lists, device);
    EXPECT_EQ(lists.ComboAudioChannels.Text(), "Mono") << device;
    EXPECT_EQ(lists.ComboAspectRatio.Text(), "4:3 (Standard") << device;
  }
  Accept(lists, "MP4 - MPEG4 Video (*.mp4)");
  EXPECT_EQ(lists.ComboAudioChannels.Text(), "Stereo");
  EXPECT_EQ(lists.ComboAspectRatio.Text(), "Original");
}
