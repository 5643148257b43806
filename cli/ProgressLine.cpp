#include "ProgressLine.h"

#include <cmath>
#include <cstdio>

#include "BatchRules.h"

namespace cli {

namespace {

std::string Format(const char* format, double value, const char* unit) {
  char text[64];
  std::snprintf(text, sizeof text, format, value, unit);
  return text;
}

struct TSizeUnit {
  double Scale;
  const char* Name;
};
constexpr TSizeUnit kSizeUnits[] = {
    {1024.0 * 1024 * 1024, "GiB"}, {1024.0 * 1024, "MiB"}, {1024.0, "KiB"}};

std::string Speed(const TFileProgress& p) {
  if (p.ElapsedSeconds <= 0 || p.CurrentMs <= 0) return "--x";
  return Format("%.1f%s", p.CurrentMs / 1000.0 / p.ElapsedSeconds, "x");
}

std::string TimeLeft(const TFileProgress& p) {
  if (p.ElapsedSeconds <= 0 || p.CurrentMs <= 0 || p.TotalMs <= 0) return "-- left";
  const double speed = p.CurrentMs / 1000.0 / p.ElapsedSeconds;
  const double left = std::max<int64_t>(p.TotalMs - p.CurrentMs, 0) / 1000.0 / speed;
  return ClockText(left) + " left";
}

}  // namespace

std::string SizeText(int64_t bytes) {
  for (const TSizeUnit& unit : kSizeUnits)
    if (bytes >= unit.Scale) return Format("%.1f %s", bytes / unit.Scale, unit.Name);
  return std::to_string(bytes) + " B";
}

std::string ClockText(double seconds) {
  if (!(seconds > 0)) seconds = 0;
  const auto whole = static_cast<long long>(std::min(seconds, 1e12));
  char text[48];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

std::string ElapsedText(double seconds) {
  if (seconds < 60) return Format("%.1f%s", seconds < 0 ? 0 : seconds, " s");
  return ClockText(seconds);
}

std::string ProgressText(const TFileProgress& p) {
  std::string text = std::to_string(presets::ProgressPercent(p.CurrentMs, p.TotalMs)) + "%";
  if (p.Frames >= 0) text += " " + std::to_string(p.Frames) + " frames";
  text += " " + SizeText(p.Bytes) + " " + Speed(p) + " " + TimeLeft(p);
  return text;
}

std::string SummaryText(int done, int failed, int aborted, double seconds) {
  return std::to_string(done) + " done, " + std::to_string(failed) + " failed, " +
         std::to_string(aborted) + " aborted in " + ElapsedText(seconds);
}

}  // namespace cli
