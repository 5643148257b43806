// ParseOption: looks the name up in the option table and applies its action;
// names the table does not know go to the generic option setter.
#include "OptionTable.h"

#include <array>

namespace engine {

namespace {

using O = TFFmpegOptions;
using C = TCustomFFmpeg;
using namespace options;

constexpr bool kValue = true;
constexpr bool kNone = false;

constexpr OptionEntry kOptions[] = {
    // Accepted and ignored.
    {"L", kNone, DoNothing},
    {"h", kNone, DoNothing},
    {"version", kNone, DoNothing},
    {"formats", kNone, DoNothing},
    {"i", kValue, DoNothing},
    {"y", kNone, DoNothing},
    {"benchmark", kNone, DoNothing},
    {"apre", kValue, DoNothing},
    {"vpre", kValue, DoNothing},
    {"spre", kValue, DoNothing},
    // Refused.
    {"threads", kValue, NotSupported},
    {"absf", kValue, NotSupported},
    {"vbsf", kValue, NotSupported},
    {"sbsf", kValue, NotSupported},
    // Files, maps, times and metadata.
    {"f", kValue, ForceFormat},
    {"map", kValue, StreamMap},
    {"map_meta_data", kValue, MetaDataMap},
    {"t", kValue, RecordingTime},
    {"fs", kValue, FileSizeLimit},
    {"ss", kValue, StartTime},
    {"itsoffset", kValue, InputTsOffset},
    {"itsscale", kValue, TimestampScale},
    {"title", kValue, TextSetter<&C::SetTitle>},
    {"author", kValue, TextSetter<&C::SetAuthor>},
    {"copyright", kValue, TextSetter<&C::SetCopyright>},
    {"comment", kValue, TextSetter<&C::SetComment>},
    {"genre", kValue, TextSetter<&C::SetGenre>},
    {"album", kValue, TextSetter<&C::SetAlbum>},
    {"timestamp", kValue, RecordingTimestamp},
    {"dframes", kValue, MaxFrames<2>},
    {"dump", kNone, Flag<&O::DoPktDump>},
    {"hex", kNone, Flag<&O::DoHexDump>},
    {"re", kNone, Flag<&O::RateEmu>},
    {"loop_input", kNone, Flag<&O::LoopInput>},
    {"loop_output", kValue, IntField<&O::LoopOutput>},
    {"v", kValue, Verbosity},
    {"target", kValue, Target},
    {"vsync", kValue, IntField<&O::VideoSyncMethod>},
    {"async", kValue, IntField<&O::AudioSyncMethod>},
    {"adrift_threshold", kValue, FloatField<&O::AudioDriftThreshold>},
    {"vglobal", kValue, IntField<&O::VideoGlobalHeader>},
    {"copyts", kNone, Flag<&O::CopyTs>},
    {"shortest", kNone, Flag<&O::OptShortest>},
    {"dts_delta_threshold", kValue, FloatField<&O::DtsDeltaThreshold>},
    {"programid", kValue, IntField<&O::OptProgramId>},
    // Video.
    {"b", kValue, Bitrate},
    {"vb", kValue, Bitrate},
    {"ab", kValue, Bitrate},
    {"vframes", kValue, MaxFrames<0>},
    {"r", kValue, TextSetter<&C::SetFrameRate>},
    {"s", kValue, TextSetter<&C::SetFrameSize>},
    {"aspect", kValue, TextSetter<&C::SetAspectRatio>},
    {"pix_fmt", kValue, PixelFormat},
    {"croptop", kValue, IntSetter<&C::SetCropTop>},
    {"cropbottom", kValue, IntSetter<&C::SetCropBottom>},
    {"cropleft", kValue, IntSetter<&C::SetCropLeft>},
    {"cropright", kValue, IntSetter<&C::SetCropRight>},
    {"padtop", kValue, IntSetter<&C::SetPadTop>},
    {"padbottom", kValue, IntSetter<&C::SetPadBottom>},
    {"padleft", kValue, IntSetter<&C::SetPadLeft>},
    {"padright", kValue, IntSetter<&C::SetPadRight>},
    {"padcolor", kValue, IntSetter<&C::SetPadColor>},
    {"intra", kNone, Flag<&O::IntraOnly>},
    {"vn", kNone, Flag<&O::VideoDisable>},
    {"vdt", kValue, IntField<&O::VideoDiscard>},
    {"qscale", kValue, QScale},
    {"rc_override", kValue, TextField<&O::VideoRcOverrideString>},
    {"vcodec", kValue, TextSetter<&C::SetVideoCodec>},
    {"me_threshold", kValue, IntField<&O::MeThreshold>},
    {"sameq", kNone, Flag<&O::SameQuality>},
    {"pass", kValue, Pass},
    {"passlogfile", kValue, TextField<&O::PassLogFileName>},
    {"deinterlace", kNone, Flag<&O::DoDeinterlace>},
    {"psnr", kNone, Flag<&O::DoPsnr>},
    {"vstats", kNone, VStats},
    {"vstats_file", kValue, VStatsFile},
    {"vhook", kValue, VideoHook},
    {"intra_matrix", kValue, IntraMatrix},
    {"inter_matrix", kValue, InterMatrix},
    {"top", kValue, IntField<&O::TopFieldFirst>},
    {"dc", kValue, IntField<&O::IntraDcPrecision>},
    {"vtag", kValue, TextSetter<&C::SetVideoTag>},
    {"newvideo", kNone, NewVideo},
    {"qphist", kNone, Flag<&O::QpHist>},
    // Audio.
    {"aframes", kValue, MaxFrames<1>},
    {"aq", kValue, FloatField<&O::AudioQScale>},
    {"ar", kValue, SampleRate},
    {"ac", kValue, Channels},
    {"an", kNone, Flag<&O::AudioDisable>},
    {"acodec", kValue, TextSetter<&C::SetAudioCodec>},
    {"atag", kValue, TextSetter<&C::SetAudioTag>},
    {"vol", kValue, IntField<&O::AudioVolume>},
    {"newaudio", kNone, NewAudio},
    {"alang", kValue, TextField<&O::AudioLanguage>},
    // Subtitles.
    {"sn", kNone, Flag<&O::SubtitleDisable>},
    {"scodec", kValue, TextSetter<&C::SetSubtitleCodec>},
    {"newsubtitle", kNone, NewSubtitle},
    {"slang", kValue, TextField<&O::SubtitleLanguage>},
    // Capture and muxing.
    {"vc", kValue, IntField<&O::VideoChannel>},
    {"tvstd", kValue, TextField<&O::VideoStandard>},
    {"isync", kNone, Flag<&O::InputSync>},
    {"muxdelay", kValue, FloatField<&O::MuxMaxDelay>},
    {"muxpreload", kValue, FloatField<&O::MuxPreload>},
};

}  // namespace

std::span<const OptionEntry> OptionTable() {
  return kOptions;
}

const OptionEntry* FindOption(std::string_view name) {
  for (const OptionEntry& entry : kOptions)
    if (entry.name == name) return &entry;
  return nullptr;
}

}  // namespace engine

void TCustomFFmpeg::ParseOption(const std::string& name, const std::string& value) {
  if (const engine::OptionEntry* entry = engine::FindOption(name)) {
    entry->action(*this, name, value);
    return;
  }
  SetGenericOption(name, value);
}

bool TCustomFFmpeg::IsKnownOption(const std::string& name) {
  return engine::FindOption(name) != nullptr;
}

bool TCustomFFmpeg::OptionTakesValue(const std::string& name) {
  const engine::OptionEntry* entry = engine::FindOption(name);
  return entry == nullptr || entry->takesValue;
}
