// Rules of the batch conversion that the window and the command line share:
// output names, the aspect choice, the volume steps and the texts of the
// file list's cells. Paths use "/".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "OptionRecords.h"

namespace presets {

using TFileExists = std::function<bool(const std::string& path)>;

// name without its extension + ext when no such file exists, else the first
// free name + "-1", "-2", ... + ext. ext includes the dot (".mp4"). The
// default existence test asks the file system.
std::string UniqueOutputName(const std::string& name, const std::string& ext,
                             const TFileExists& exists = {});

// The output file of source in folder: the source's name without its folder,
// its extension replaced by "." + outputExtension in lower case; numbered by
// UniqueOutputName unless overwriting.
std::string OutputFileName(const std::string& folder, const std::string& source,
                           std::string_view outputExtension, bool overwrite,
                           const TFileExists& exists = {});

// The AspectRatio of a file for the ComboAspectRatio item index: 1 "4:3",
// 2 "16:9", 0 the ratio of the "Video Size" cell ("640x480" when blank) to
// four decimals, "1.3333" when that cannot be computed. Another index leaves
// the field as it is.
void ApplyAspectChoice(int aspectItemIndex, const std::string& videoSizeCell,
                       TOutputOptions& options);
std::string SourceAspectText(const std::string& videoSizeCell);

// The volume track bar: position 0..10 (clamped) to its label and volume.
struct TVolumeStep {
  std::string_view Label;
  int Value;
};
TVolumeStep VolumeStep(int position);

// Cell texts of the file list.
std::string VideoSizeText(int width, int height);           // "640x480"
std::string DurationText(int64_t microseconds);             // "01:02:03"; "Unknown" when negative
std::string FrameRateText(int numerator, int denominator);  // "29.97"; " " when unknown

// The "Progress" percentage: current * 100 div total, at most 100; 0 for a
// total that is not positive.
int ProgressPercent(int64_t current, int64_t total);

}  // namespace presets
