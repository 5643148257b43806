// Option actions: stream and metadata maps, timestamp scales, time values and
// the video statistics file name.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <ctime>

#include "Format.h"
#include "OptionTable.h"

namespace engine::options {

namespace {

// Moves past one separator character when text remains.
void SkipSeparator(std::string_view text, size_t& pos) {
  if (pos < text.size()) ++pos;
}

int64_t ParseTimeValue(std::string_view option, const std::string& text, bool duration) {
  int64_t microseconds = 0;
  if (ml::av_parse_time(&microseconds, text.c_str(), duration ? 1 : 0) < 0)
    throw FFMpegException(Format("Invalid %s specification for %s: %s",
                                 duration ? "duration" : "date", std::string(option).c_str(),
                                 text.c_str()));
  return microseconds;
}

// The folder of the running program, with a trailing slash; empty when unknown.
std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return std::string();
  const std::string exe(path, static_cast<size_t>(length));
  return exe.substr(0, exe.rfind('/') + 1);
}

std::string LocalTimeHhnnss() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Format("%02d%02d%02d", local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace

void StreamMap(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  if (e.NbStreamMaps >= MAX_STREAMS) throw FFMpegException("Too many stream maps");
  TStreamMapRec& map = e.StreamMaps[e.NbStreamMaps++];
  size_t pos = 0;
  map.FileIndex = LeadingInt(value, pos);
  SkipSeparator(value, pos);
  map.StreamIndex = LeadingInt(value, pos);
  if (pos < value.size()) {
    SkipSeparator(value, pos);
    map.SyncFileIndex = LeadingInt(value, pos);
    SkipSeparator(value, pos);
    map.SyncStreamIndex = LeadingInt(value, pos);
  } else {
    map.SyncFileIndex = map.FileIndex;
    map.SyncStreamIndex = map.StreamIndex;
  }
}

void MetaDataMap(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  if (e.NbMetaDataMaps >= MAX_FILES) throw FFMpegException("Too many metadata maps");
  TMetaDataMapRec& map = e.MetaDataMaps[e.NbMetaDataMaps++];
  size_t pos = 0;
  map.OutFile = LeadingInt(value, pos);
  SkipSeparator(value, pos);
  map.InFile = LeadingInt(value, pos);
}

void TimestampScale(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  size_t pos = 0;
  const int32_t stream = LeadingInt(value, pos);
  SkipSeparator(value, pos);
  const double scale = LeadingDouble(value, pos);
  if (stream < 0 || stream >= MAX_STREAMS)
    throw FFMpegException(Format("stream index over MAX_STREAMS(%d)", MAX_STREAMS));
  if (e.NbInputFiles >= MAX_FILES) throw FFMpegException("Too many input files");
  e.InputFilesTsScale[e.NbInputFiles][stream] = scale;
}

void RecordingTime(TCustomFFmpeg& e, std::string_view name, const std::string& value) {
  const int64_t milliseconds = ParseTimeValue(name, value, true) / 1000;
  // The recording time setter and the total duration hold milliseconds in 32 bits.
  if (milliseconds > INT32_MAX)
    throw FFMpegException(Format("Invalid %s specification for %s: %s", "duration",
                                 std::string(name).c_str(), value.c_str()));
  e.SetRecordingTime(static_cast<int32_t>(std::max<int64_t>(milliseconds, 0)));
}

void StartTime(TCustomFFmpeg& e, std::string_view name, const std::string& value) {
  e.StartTime = ParseTimeValue(name, value, true);
}

void InputTsOffset(TCustomFFmpeg& e, std::string_view name, const std::string& value) {
  e.InputTsOffset = ParseTimeValue(name, value, true);
}

void RecordingTimestamp(TCustomFFmpeg& e, std::string_view name, const std::string& value) {
  const int64_t microseconds = ParseTimeValue(name, value, false);
  e.RecTimestamp = static_cast<int64_t>(std::nearbyint(static_cast<double>(microseconds) / 1e6));
}

void VStats(TCustomFFmpeg& e, std::string_view, const std::string&) {
  e.VStatsFileName = Format("%svstats_%s.log", ProgramFolder().c_str(), LocalTimeHhnnss().c_str());
}

void VStatsFile(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.VStatsFileName = value;
}

}  // namespace engine::options
