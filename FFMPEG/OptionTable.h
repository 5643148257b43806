// The engine's option vocabulary as data: one entry per option with its name,
// whether it takes a value, and the action that applies it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "FFmpeg.h"
#include "OptionValues.h"

namespace engine {

using OptionAction = void (*)(TCustomFFmpeg& engine, std::string_view name,
                              const std::string& value);

struct OptionEntry {
  std::string_view name;
  bool takesValue;
  OptionAction action;
};

std::span<const OptionEntry> OptionTable();
// The entry of that exact (case-sensitive) name, or null.
const OptionEntry* FindOption(std::string_view name);

// "pgmyuv" is served by "image2" in compatibility mode (flag set, one log
// line); any other name is returned as it is.
std::string ResolveFormatName(TCustomFFmpeg& engine, const std::string& name);

namespace options {

// ---- actions made from a field or a setter ----
template <auto Field>
void Flag(TCustomFFmpeg& e, std::string_view, const std::string&) {
  e.*Field = 1;
}
template <auto Field>
void IntField(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.*Field = StrictInt32(value);
}
template <auto Field>
void FloatField(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.*Field = StrictFloat(value);
}
template <auto Field>
void TextField(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.*Field = value;
}
template <void (TCustomFFmpeg::*Setter)(int32_t)>
void IntSetter(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  (e.*Setter)(StrictInt32(value));
}
template <void (TCustomFFmpeg::*Setter)(const std::string&)>
void TextSetter(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  (e.*Setter)(value);
}

// ---- OptionGeneral.cpp ----
void DoNothing(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void NotSupported(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void ForceFormat(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void Verbosity(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void Target(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void Bitrate(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void FileSizeLimit(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void SampleRate(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void Channels(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void NewVideo(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void NewAudio(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void NewSubtitle(TCustomFFmpeg& e, std::string_view name, const std::string& value);
template <int Kind>
void MaxFrames(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.MaxFrames[Kind] = StrictInt32(value);
}

// ---- OptionFiles.cpp: maps, times, statistics files ----
void StreamMap(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void MetaDataMap(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void TimestampScale(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void RecordingTime(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void StartTime(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void InputTsOffset(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void RecordingTimestamp(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void VStats(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void VStatsFile(TCustomFFmpeg& e, std::string_view name, const std::string& value);

// ---- OptionPicture.cpp ----
void PixelFormat(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void QScale(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void IntraMatrix(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void InterMatrix(TCustomFFmpeg& e, std::string_view name, const std::string& value);
void Pass(TCustomFFmpeg& e, std::string_view name, const std::string& value);

// ---- OptionHook.cpp ----
void VideoHook(TCustomFFmpeg& e, std::string_view name, const std::string& value);

}  // namespace options
}  // namespace engine
