// Turning the task option records into calls on a task's engine: the extra
// options text, the record fields in their fixed order, the target preset and
// the hook ranges, plus the small conversions they need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FFmpeg.h"
#include "OptionRecords.h"

namespace component {

// Removes the characters up to and including blank (and control characters)
// from both ends.
std::string Trim(const std::string& text);

// Returns the part of `source` before the first `separator` (all of it when the
// separator is absent). With `consume`, `source` keeps only what follows the
// separator (nothing when it is absent).
std::string SplitOff(std::string& source, const std::string& separator, bool consume);

// One option per line, name=value, passed to ParseOption untrimmed.
void ApplyExtOptions(TCustomFFmpeg& engine, const std::string& text);

// "start-end,start-end" in milliseconds to ranges in microseconds; items whose
// start is after their end, or whose end is negative, are dropped.
std::vector<THookRange> ParseHookRanges(const std::string& text);

// A local date-time (days since 30 December 1899) as seconds since 1970 UTC,
// corrected by the standard time-zone bias only.
int64_t DateTimeToUnixSeconds(double dateTime);
// The current local time as days since 30 December 1899.
double NowAsDateTime();

// Resolves a system colour to its plain RGB value; other colours pass through.
int32_t ColorToRGB(TColor color);

// The input record's format, start time and program id.
void ApplyInputFields(TCustomFFmpeg& engine, const TInputOptions& options);
// The output record's fields from FileFormat to Genre, in declaration order.
void ApplyOutputFields(TCustomFFmpeg& engine, const TOutputOptions& options);
// The target preset of the output record, when it names one.
void ApplyTargetPreset(TCustomFFmpeg& engine, const TOutputOptions& options);

}  // namespace component
