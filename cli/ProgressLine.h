// Texts of convert's console output: a file's progress, sizes, clock times
// and the closing summary.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// What the engine last reported for a running file, and for how long it has
// been running.
struct TFileProgress {
  int Frames = -1;        // -1: not known
  int64_t CurrentMs = 0;  // output time written
  int64_t TotalMs = 0;    // expected output duration; 0 or less: not known
  int64_t Bytes = 0;      // output bytes written
  double ElapsedSeconds = 0;
};

// "512 B", "1.5 KiB", "2.0 MiB", "1.2 GiB".
std::string SizeText(int64_t bytes);
// "0:07", "12:34", "1:02:03"; whole seconds, rounded down.
std::string ClockText(double seconds);
// "12.3 s" under a minute, else ClockText.
std::string ElapsedText(double seconds);
// "45% 1234 frames 2.0 MiB 3.1x 0:12 left"; the frame count is left out when
// not known, speed and time left show "--" until they can be told.
std::string ProgressText(const TFileProgress& progress);
// "3 done, 1 failed, 0 aborted in 12.3 s"
std::string SummaryText(int done, int failed, int aborted, double seconds);

}  // namespace cli
