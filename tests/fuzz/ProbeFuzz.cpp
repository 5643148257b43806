// libFuzzer target: the media probe on mutated files (seed it with a small
// real RealMedia file). Each input is written to a file of its own folder and
// loaded; a loaded file is read through every getter, for every stream index
// and the ones around them.
#include <stdlib.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AVProbe.h"
#include "MediaLib.h"

namespace {

void SilentLog(void*, int, const char*, va_list) {}

bool LibrariesReady() {
  static const bool ready = [] {
    if (!medialib::LoadAll("", true)) return false;
    ml::av_log_set_callback(SilentLog);
    return true;
  }();
  return ready;
}

// The file each input is written to, in a folder made once per process and
// removed at its exit.
std::string folder;
std::string inputPath;

void RemoveFolder() {
  unlink(inputPath.c_str());
  rmdir(folder.c_str());
}

const std::string& InputPath() {
  if (inputPath.empty()) {
    char pattern[] = "/tmp/reelshift-probe-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    folder = pattern;
    inputPath = folder + "/input.rm";
    std::atexit(RemoveFolder);
  }
  return inputPath;
}

bool WriteInput(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void ReadEverything(const TAVProbe& probe) {
  TFormatInfo format;
  probe.GetFormatInfo(format);
  TVideoStreamInfo video;
  probe.GetVideoStreamInfo(video);
  for (int index = -1; index <= probe.StreamCount(); ++index)
    probe.GetVideoStreamInfo(index, video);
  if (probe.FirstVideoStream() >= probe.StreamCount()) std::abort();
  if (probe.AudioStreamCount() + probe.VideoStreamCount() + probe.SubtitleStreamCount() >
      probe.StreamCount())
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!LibrariesReady() || !WriteInput(data, size)) std::abort();
  TAVProbe probe;
  if (probe.LoadFile(InputPath())) ReadEverything(probe);
  probe.Unload();
  if (probe.StreamCount() != -1) std::abort();
  return 0;
}
