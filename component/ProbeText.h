// The probe's facts as short texts for a person: the window's "Video Size",
// "FrameRate" and "Duration" cells and the lines of `reelshift-cli probe`.
#pragma once

#include <cstdint>
#include <string>

namespace component {

// "640x480".
std::string VideoSizeText(int width, int height);
// The rate rounded to two decimals in its shortest form: "25", "29.97",
// "23.98"; "Unknown" when the fraction is not a positive rate.
std::string FrameRateText(int numerator, int denominator);
// "HH:MM:SS" of a duration in microseconds (truncated to whole seconds);
// "Unknown" for a negative duration (the libraries could not tell it).
std::string DurationText(int64_t microseconds);

}  // namespace component
