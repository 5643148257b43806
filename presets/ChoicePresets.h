// Settings-choice presets: what accepting a catalogue entry does to the
// window's setting lists. Each preset is data: for every list it names, a
// refill (items and the item to select), a selection only, or an emptying;
// a list it does not name keeps its items and selection.
#pragma once

#include <span>
#include <string_view>

#include "SettingLists.h"

namespace presets {

enum TListAction { laKeep, laRefill, laSelectOnly, laEmpty };

struct TListEdit {
  TListAction Action = laKeep;
  std::span<const std::string_view> Items;  // laRefill
  std::string_view Select;                  // the item to select; empty selects none
};

struct TChoicePreset {
  TListEdit VideoCodec, VideoSize, VideoBitrate, VideoFramerate;
  TListEdit AudioCodec, AudioBitrate, SamplingRate;
  TListEdit AudioChannels, AspectRatio;
};

void RunChoicePreset(const TChoicePreset& preset, TSettingLists& lists);

// A preset operation; the variant picks among presets that differ in a few
// values ("divx", "mpeg2", "Extra", ...) and is ignored by the others.
using TChoiceFn = TChoicePreset (*)(std::string_view variant);

TChoicePreset AviChoices(std::string_view variant);  // "normal", "divx", "xvid", "uncompress"
TChoicePreset DvdChoices(std::string_view variant);
TChoicePreset FlashChoices(std::string_view variant);  // FLV and SWF
TChoicePreset MovChoices(std::string_view variant);
TChoicePreset Mp4Choices(std::string_view variant);
TChoicePreset MpegMovieChoices(std::string_view variant);  // "mpeg1", "mpeg2"
TChoicePreset RmChoices(std::string_view variant);
TChoicePreset SvcdChoices(std::string_view variant);
TChoicePreset VcdChoices(std::string_view variant);
TChoicePreset WmvChoices(std::string_view variant);
TChoicePreset MobileChoices(std::string_view variant);  // 3GP and 3G2
TChoicePreset AacChoices(std::string_view variant);
TChoicePreset AsfChoices(std::string_view variant);
TChoicePreset AuChoices(std::string_view variant);
TChoicePreset M4aChoices(std::string_view variant);
TChoicePreset MpegAudioChoices(std::string_view variant);  // "mp3", "mp2"
TChoicePreset OggChoices(std::string_view variant);
TChoicePreset RaChoices(std::string_view variant);
TChoicePreset WavChoices(std::string_view variant);
TChoicePreset WmaChoices(std::string_view variant);
TChoicePreset AppleTvChoices(std::string_view variant);
TChoicePreset IPhoneChoices(std::string_view variant);     // "480 x 320", "640 x 480"
TChoicePreset IPodChoices(std::string_view variant);       // "Normal", "Extra"
TChoicePreset IPodTouchChoices(std::string_view variant);  // "Normal", "Extra"
TChoicePreset PspChoices(std::string_view variant);
TChoicePreset Ps3Choices(std::string_view variant);
TChoicePreset ZuneMp4Choices(std::string_view variant);
TChoicePreset ZuneWmvChoices(std::string_view variant);
TChoicePreset ArchosAv500Choices(std::string_view variant);
TChoicePreset ArchosAv700Choices(std::string_view variant);
TChoicePreset BlackBerryMp4Choices(std::string_view variant);
TChoicePreset BlackBerryAviChoices(std::string_view variant);
TChoicePreset BlackBerry3gpChoices(std::string_view variant);
TChoicePreset PlayerChoices(std::string_view variant);  // Creative Zen Vision and iRiver PMP100

}  // namespace presets
