#include "RowFacts.h"

#include <cmath>
#include <cstring>
#include <string_view>

#include "BatchRules.h"
#include "ReadableText.h"

namespace {

template <size_t N>
std::string_view Field(const char (&text)[N]) {
  return std::string_view(text, strnlen(text, N));
}

struct TTagField {
  const char* Name;
  std::string_view (*Bytes)(const TFormatInfo& info);
};

constexpr TTagField kTags[] = {
    {"Title", [](const TFormatInfo& i) { return Field(i.Title); }},
    {"Author", [](const TFormatInfo& i) { return Field(i.Author); }},
    {"Copyright", [](const TFormatInfo& i) { return Field(i.Copyright); }},
    {"Comment", [](const TFormatInfo& i) { return Field(i.Comment); }},
    {"Album", [](const TFormatInfo& i) { return Field(i.Album); }},
    {"Genre", [](const TFormatInfo& i) { return Field(i.Genre); }},
};

void FillVideo(const TAVProbe& probe, TRowFacts& facts) {
  facts.VideoSize = " ";
  facts.FrameRate = " ";
  if (probe.VideoStreamCount() == 0) return;
  TVideoStreamInfo video;
  probe.GetVideoStreamInfo(video);
  if (video.Width <= 0 || video.Height <= 0) return;
  facts.Width = video.Width;
  facts.Height = video.Height;
  facts.VideoSize = presets::VideoSizeText(video.Width, video.Height);
  facts.FrameRate = presets::FrameRateText(video.FrameRateNum, video.FrameRateDen);
  if (std::isfinite(video.DisplayAspect) && video.DisplayAspect > 0)
    facts.DisplayAspect = video.DisplayAspect;
}

}  // namespace

TRowFacts ProbeRow(TAVProbe& probe, const std::string& fileName) {
  TRowFacts facts;
  facts.Loaded = probe.LoadFile(fileName);
  if (!facts.Loaded) return facts;
  FillVideo(probe, facts);
  TFormatInfo info;
  probe.GetFormatInfo(info);
  facts.Duration = presets::DurationText(info.Duration);
  facts.Tags = TagText(info);
  probe.Unload();
  return facts;
}

std::string TagText(const TFormatInfo& info) {
  std::string text;
  for (const TTagField& tag : kTags) {
    const std::string value = component::ReadableText(tag.Bytes(info));
    if (value.empty()) continue;
    if (!text.empty()) text += "\n";
    text += std::string(tag.Name) + ": " + value;
  }
  return text;
}
