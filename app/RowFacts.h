// What the file list shows of a file before it is converted: its probed
// picture size, frame rate and duration, and its tags as readable text.
#pragma once

#include <string>

#include "AVProbe.h"

struct TRowFacts {
  bool Loaded = false;    // false: the file could not be probed ("Error" row)
  std::string VideoSize;  // "640x480", or " " without video
  std::string FrameRate;  // "29.97", or " " without video
  std::string Duration;   // "01:02:03" or "Unknown"
  std::string Tags;       // "Title: ...\nAuthor: ..." as UTF-8, empty without tags
  int Width = 0;          // of the first video stream, 0 without video
  int Height = 0;
  double DisplayAspect = 0;  // 0 when the file does not say
};

// Probes the file and closes it again. Throws std::runtime_error when the
// media libraries are not loaded.
TRowFacts ProbeRow(TAVProbe& probe, const std::string& fileName);

// The non-empty tags of a probed file, one "Name: text" line each, as UTF-8
// (legacy code pages are decoded, see ReadableText.h).
std::string TagText(const TFormatInfo& info);
