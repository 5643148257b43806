#include "Catalogue.h"

namespace presets {
namespace {

constexpr TTranslateFn kGeneric = TranslateSettings;
constexpr TTranslateFn kAacDevice = TranslateAacDeviceSettings;
constexpr TTranslateFn kAmrPhone = TranslateAmrPhoneSettings;

constexpr TheAVCodec kCatalogue[] = {
    {"AVI - Audio Video Interleave (*.avi)", "AVI", {AviChoices, "normal", kGeneric}},
    {"AVI - DivX Video (*.avi)", "AVI", {AviChoices, "divx", kGeneric}},
    {"AVI - Uncompress (*.avi)", "AVI", {AviChoices, "uncompress", kGeneric}},
    {"AVI - XviD Video (*.avi)", "AVI", {AviChoices, "xvid", kGeneric}},
    {"DVD - VOB (*.vob)", "VOB", {DvdChoices, "", kGeneric}},
    {"FLV - Flash Video (*.flv)", "FLV", {FlashChoices, "", kGeneric}},
    {"MOV - QuickTime Video (*.mov)", "MOV", {MovChoices, "", kGeneric}},
    {"MP4 - MPEG4 Video (*.mp4)", "MP4", {Mp4Choices, "", kGeneric}},
    {"MPEG-1 Movie (*.mpg)", "MPG", {MpegMovieChoices, "mpeg1", kGeneric}},
    {"MPEG-2 Movie (*.mpg)", "MPG", {MpegMovieChoices, "mpeg2", kGeneric}},
    {"RM - Real Video (*.rm)", "RM", {RmChoices, "", kGeneric}},
    {"SWF - Flash Swf (*.swf)", "SWF", {FlashChoices, "", kGeneric}},
    {"Super Video CD (*.mpg)", "MPG", {SvcdChoices, "", kGeneric}},
    {"Video CD (*.mpg)", "MPG", {VcdChoices, "", kGeneric}},
    {"WMV - Windows Media Video (*.wmv)", "WMV", {WmvChoices, "", kGeneric}},

    {"3GP - Mobile Video Format (*.3gp)", "3GP", {MobileChoices, "", kAmrPhone}},
    {"3G2 - Mobile Video Format (*.3g2)", "3G2", {MobileChoices, "", kAmrPhone}},

    {"AAC - Advance Audio Coding (*.aac)", "AAC", {AacChoices, "", kGeneric}},
    {"ASF - Advance Streaming Format (*.asf)", "ASF", {AsfChoices, "", kGeneric}},
    {"AU - SUN Audio (*.au)", "AU", {AuChoices, "", kGeneric}},
    {"M4A - Mpeg4 Audio File (*.m4a)", "M4A", {M4aChoices, "", kGeneric}},
    {"MP2 - Mpeg Layer2 Audio (*.mp2)", "MP2", {MpegAudioChoices, "mp2", kGeneric}},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", "MP3", {MpegAudioChoices, "mp3", kGeneric}},
    {"OGG - Ogg Vorbis Audio (*.ogg)", "OGG", {OggChoices, "", kGeneric}},
    {"RA - Real Audio (*.ra)", "RA", {RaChoices, "", kGeneric}},
    {"WAV - Waveform Audio (*.wav)", "WAV", {WavChoices, "", kGeneric}},
    {"WMA - Windows Media Audio (*.wma)", "WMA", {WmaChoices, "", kGeneric}},

    {"Apple TV (*.mp4)", "MP4", {AppleTvChoices, "", kAacDevice}},
    {"iPhone (*.mp4)", "MP4", {IPhoneChoices, "480 x 320", kGeneric}},
    {"iPhone Extra (640 x 480) (*.mp4)", "MP4", {IPhoneChoices, "640 x 480", kGeneric}},
    {"iPod (*.mp4)", "MP4", {IPodChoices, "Normal", kAacDevice}},
    // These three show the iPod codecs, size and bitrates; the same
    // translation makes them reach the output.
    {"iPod Video For TV (*.mp4)", "MP4", {IPodChoices, "Extra", kAacDevice}},
    {"iPod Touch (*.mp4)", "MP4", {IPodTouchChoices, "Normal", kAacDevice}},
    {"iPod Touch Extra (640 x 480) (*.mp4)", "MP4", {IPodTouchChoices, "Extra", kAacDevice}},

    {"PSP Video (*.mp4)", "MP4", {PspChoices, "", kGeneric}},
    {"PS3 Video (*.mp4)", "MP4", {Ps3Choices, "", kGeneric}},
    {"Zune Mpeg4 Video (*.mp4)", "MP4", {ZuneMp4Choices, "", kGeneric}},
    {"Zune WMV Windows Media Video (*.wmv)", "WMV", {ZuneWmvChoices, "", kGeneric}},

    {"Archos AV500/GMini402 (*.avi)", "AVI", {ArchosAv500Choices, "", kGeneric}},
    {"Archos AV700 (*.avi)", "AVI", {ArchosAv700Choices, "", kGeneric}},
    {"BlackBerry MPEG-4 Video (*.mp4)", "MP4", {BlackBerryMp4Choices, "", kGeneric}},
    {"BlackBerry AVI Video (*.avi)", "AVI", {BlackBerryAviChoices, "", kGeneric}},
    {"BlackBerry 3GP Video (*.3gp)", "3GP", {BlackBerry3gpChoices, "", kGeneric}},
    {"Creative Zen Vision (*.avi)", "AVI", {PlayerChoices, "", kGeneric}},
    {"iRiver PMP100 (*.avi)", "AVI", {PlayerChoices, "", kGeneric}},
};

// Entries per group of the list, in order; a separator follows every group
// but the last.
constexpr int kGroupSizes[] = {15, 2, 10, 7, 4, 7};

const TheAVCodec* SelectedEntry(const TSettingLists& lists) {
  return FindOutputFormat(lists.ComboOutputFormat.Text());
}

}  // namespace

std::span<const TheAVCodec> OutputFormatCatalogue() {
  return kCatalogue;
}

bool IsSeparatorItem(std::string_view text) {
  return text.find(kSeparatorMarker) != std::string_view::npos;
}

std::vector<std::string_view> OutputFormatItems() {
  std::vector<std::string_view> items;
  size_t next = 0;
  for (int group = 0; group < std::ssize(kGroupSizes); ++group) {
    if (group > 0) items.push_back(kSeparatorItem);
    for (int i = 0; i < kGroupSizes[group]; ++i) items.push_back(kCatalogue[next++].DisplayName);
  }
  return items;
}

const TheAVCodec* FindOutputFormat(std::string_view text) {
  for (const auto& entry : kCatalogue)
    if (entry.DisplayName == text) return &entry;
  return nullptr;
}

void FillOutputFormatCombo(TSettingLists& lists) {
  TComboModel& combo = lists.ComboOutputFormat;
  combo.Clear();
  for (auto item : OutputFormatItems()) combo.Add(item);
  combo.SetDropDownCount(combo.Count());
  combo.Select(0);
}

void GetInputFileFilter(std::string& Filter) {
  Filter = "All Supported Files (*.rm;*.rmvb;*.ram)|*.rm;*.rmvb;*.ram|";
}

bool SelectOutputFormat(TSettingLists& lists) {
  const TheAVCodec* entry = SelectedEntry(lists);
  if (!entry) return false;
  lists.OutputExtension = std::string(entry->Extension);
  RunChoicePreset(entry->PresetKey.Choices(entry->PresetKey.Variant), lists);
  return true;
}

bool ApplyOutputFormat(const TSettingLists& lists, int RowIndex, TOutputOptions& options,
                       const TEncoderQuery& hasEncoder) {
  const TheAVCodec* entry = SelectedEntry(lists);
  if (!entry || !entry->PresetKey.Translate) return false;
  entry->PresetKey.Translate(lists, RowIndex, options);
  ApplyEncoderStandIns(options, hasEncoder);
  return true;
}

int OutputFormatChanged(TSettingLists& lists, int lastAcceptedIndex) {
  if (!SelectOutputFormat(lists)) {
    lists.ComboOutputFormat.Select(lastAcceptedIndex);
    return lastAcceptedIndex;
  }
  return lists.ComboOutputFormat.ItemIndex();
}

}  // namespace presets
