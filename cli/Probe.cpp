// reelshift-cli probe FILE...: what each file holds, as the window's file list
// shows it, plus the stream counts and the readable title and author.
#include <cstdio>
#include <exception>
#include <string>

#include "Commands.h"
#include "MediaConverter.h"
#include "ProbeText.h"
#include "ReadableText.h"

namespace cli {

namespace {

void PrintVideo(const TAVProbe& probe) {
  if (probe.VideoStreamCount() == 0) {
    std::printf("Video Size: none\nFrameRate: none\n");
    return;
  }
  TVideoStreamInfo video;
  probe.GetVideoStreamInfo(video);
  std::printf("Video Size: %s\n", component::VideoSizeText(video.Width, video.Height).c_str());
  std::printf("FrameRate: %s\n",
              component::FrameRateText(video.FrameRateNum, video.FrameRateDen).c_str());
}

void PrintTag(const char* label, const char* bytes) {
  const std::string text = component::ReadableText(bytes);
  if (!text.empty()) std::printf("%s: %s\n", label, text.c_str());
}

void PrintFacts(const TAVProbe& probe) {
  PrintVideo(probe);
  TFormatInfo format;
  probe.GetFormatInfo(format);
  std::printf("Duration: %s\n", component::DurationText(format.Duration).c_str());
  std::printf("Streams: %d (video %d, audio %d, subtitle %d)\n", probe.StreamCount(),
              probe.VideoStreamCount(), probe.AudioStreamCount(), probe.SubtitleStreamCount());
  PrintTag("Title", format.Title);
  PrintTag("Author", format.Author);
}

// False when the file cannot be probed.
bool ProbeFile(TAVProbe& probe, const std::string& name) {
  std::printf("File: %s\n", name.c_str());
  if (!probe.LoadFile(name)) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", probe.LastError().c_str());
    return false;
  }
  PrintFacts(probe);
  probe.Unload();
  return true;
}

}  // namespace

int Probe(int argc, char** argv) {
  if (argc < 1) {
    std::fprintf(stderr, "usage: reelshift-cli probe FILE...\n");
    return 2;
  }
  TMediaConverter converter;
  if (!converter.LoadLibraries("", true)) {
    std::fprintf(stderr, "%s\n", converter.LastError().c_str());
    return 1;
  }
  int status = 0;
  try {
    for (int i = 0; i < argc; ++i) {
      if (i > 0) std::printf("\n");
      if (!ProbeFile(converter.Probe, argv[i])) status = 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return status;
}

}  // namespace cli
