// Target presets: everything an output needs to be a standard VCD, SVCD, DVD
// or DV stream, for the PAL, NTSC or NTSC film norm.
#include <cmath>
#include <span>

#include "Format.h"
#include "OptionTable.h"

namespace {

enum Norm { kPal = 0, kNtsc = 1, kFilm = 2 };

enum class Step {
  VideoCodec,
  AudioCodec,
  OutputFormat,
  FrameSize,
  PixelFormat,
  FrameRate,  // by norm
  Generic,
  SampleRate,
  Channels,
  ChannelsIfMono,
  MuxPreload,
  AspectIfUnset,
};

// One step of a preset; `ntsc` (NTSC and film) defaults to `pal` when null.
struct PresetStep {
  Step step;
  const char* name;
  const char* pal;
  const char* ntsc;
};

constexpr const char* kFrameRates[] = {"25", "30000/1001", "24000/1001"};

constexpr PresetStep kVcd[] = {
    {Step::VideoCodec, "", "mpeg1video", nullptr},
    {Step::AudioCodec, "", "mp2", nullptr},
    {Step::OutputFormat, "", "vcd", nullptr},
    {Step::FrameSize, "", "352x288", "352x240"},
    {Step::FrameRate, "", "", nullptr},
    {Step::Generic, "gop", "15", "18"},
    {Step::Generic, "b", "1150000", nullptr},
    {Step::Generic, "maxrate", "1150000", nullptr},
    {Step::Generic, "minrate", "1150000", nullptr},
    {Step::Generic, "bufsize", "327680", nullptr},
    {Step::Generic, "ab", "224000", nullptr},
    {Step::SampleRate, "", "44100", nullptr},
    {Step::Channels, "", "2", nullptr},
    {Step::Generic, "packetsize", "2324", nullptr},
    {Step::Generic, "muxrate", "1411200", nullptr},
    {Step::MuxPreload, "", "0.44", nullptr},
    {Step::AspectIfUnset, "", "4:3", nullptr},
};

constexpr PresetStep kSvcd[] = {
    {Step::VideoCodec, "", "mpeg2video", nullptr},
    {Step::AudioCodec, "", "mp2", nullptr},
    {Step::OutputFormat, "", "svcd", nullptr},
    {Step::FrameSize, "", "480x576", "480x480"},
    {Step::FrameRate, "", "", nullptr},
    {Step::Generic, "gop", "15", "18"},
    {Step::Generic, "b", "2040000", nullptr},
    {Step::Generic, "maxrate", "2516000", nullptr},
    {Step::Generic, "minrate", "0", nullptr},
    {Step::Generic, "bufsize", "1835008", nullptr},
    {Step::Generic, "flags", "+SCAN_OFFSET", nullptr},
    {Step::Generic, "ab", "224000", nullptr},
    {Step::SampleRate, "", "44100", nullptr},
    {Step::Generic, "packetsize", "2324", nullptr},
    {Step::ChannelsIfMono, "", "2", nullptr},
    {Step::AspectIfUnset, "", "4:3", nullptr},
};

constexpr PresetStep kDvd[] = {
    {Step::VideoCodec, "", "mpeg2video", nullptr},
    {Step::AudioCodec, "", "ac3", nullptr},
    {Step::OutputFormat, "", "dvd", nullptr},
    {Step::FrameSize, "", "720x576", "720x480"},
    {Step::FrameRate, "", "", nullptr},
    {Step::Generic, "gop", "15", "18"},
    {Step::Generic, "b", "6000000", nullptr},
    {Step::Generic, "maxrate", "9000000", nullptr},
    {Step::Generic, "minrate", "0", nullptr},
    {Step::Generic, "bufsize", "1835008", nullptr},
    {Step::Generic, "packetsize", "2048", nullptr},
    {Step::Generic, "muxrate", "10080000", nullptr},
    {Step::Generic, "ab", "448000", nullptr},
    {Step::SampleRate, "", "48000", nullptr},
    {Step::ChannelsIfMono, "", "2", nullptr},
    {Step::AspectIfUnset, "", "16:9", nullptr},
};

constexpr PresetStep kDv[] = {
    {Step::OutputFormat, "", "dv", nullptr},       {Step::FrameSize, "", "720x576", "720x480"},
    {Step::PixelFormat, "", "yuv420p", "yuv411p"}, {Step::FrameRate, "", "", nullptr},
    {Step::SampleRate, "", "48000", nullptr},      {Step::Channels, "", "2", nullptr},
};

constexpr PresetStep kDv50[] = {
    {Step::OutputFormat, "", "dv", nullptr},     {Step::FrameSize, "", "720x576", "720x480"},
    {Step::PixelFormat, "", "yuv422p", nullptr}, {Step::FrameRate, "", "", nullptr},
    {Step::SampleRate, "", "48000", nullptr},    {Step::Channels, "", "2", nullptr},
};

struct Preset {
  std::string_view kind;
  std::span<const PresetStep> steps;
};

constexpr Preset kPresets[] = {
    {"vcd", kVcd}, {"svcd", kSvcd}, {"dvd", kDvd}, {"dv", kDv}, {"dv50", kDv50},
};

struct NormName {
  std::string_view name;
  Norm norm;
};

constexpr NormName kNorms[] = {{"pal", kPal}, {"ntsc", kNtsc}, {"film", kFilm}};

// PAL for 25 Hz, NTSC for 29.97 and 23.976 Hz (rate x 1000, rounded); -1 otherwise.
int NormOfRate(double millihertz) {
  if (!std::isfinite(millihertz)) return -1;
  const double rounded = std::nearbyint(millihertz);
  if (rounded == 25000) return kPal;
  if (rounded == 29970 || rounded == 23976) return kNtsc;
  return -1;
}

int NamedNorm(const std::string& name) {
  for (const NormName& n : kNorms)
    if (n.name == name) return n.norm;
  return -1;
}

int NormOfInputStreams(const TCustomFFmpeg& e) {
  for (int i = 0; i < e.NbInputFiles; ++i)
    for (const engine::CodecContextPtr& codec : e.InputFiles[i].Codecs) {
      if (!codec || codec->codec_type != AVMEDIA_TYPE_VIDEO || codec->time_base.num <= 0) continue;
      const int norm = NormOfRate(codec->time_base.den * 1000.0 / codec->time_base.num);
      if (norm >= 0) return norm;
    }
  return -1;
}

int DecideNorm(TCustomFFmpeg& e, const std::string& norm, const std::string& fallback) {
  const int named = NamedNorm(norm);
  if (named >= 0) return named;
  if (e.FrameRate.den == 0) throw FFMpegException("frame_rate is invalid.");
  int decided = NormOfRate(static_cast<double>(e.FrameRate.num) * 1000.0 / e.FrameRate.den);
  if (decided < 0) decided = NormOfInputStreams(e);
  if (decided < 0) decided = fallback == "film" ? kFilm : fallback == "ntsc" ? kNtsc : kPal;
  if (e.Verbose > 0) e.LogF(1, "Assuming %s for target.", decided == kPal ? "PAL" : "NTSC");
  return decided;
}

void ApplyStep(TCustomFFmpeg& e, const PresetStep& s, int norm) {
  const std::string value = norm != kPal && s.ntsc ? s.ntsc : s.pal;
  switch (s.step) {
    case Step::VideoCodec:
      return e.SetVideoCodec(value);
    case Step::AudioCodec:
      return e.SetAudioCodec(value);
    case Step::OutputFormat:
      return e.SetOutputFormat(value);
    case Step::FrameSize:
      return e.SetFrameSize(value);
    case Step::PixelFormat:
      return e.ParseOption("pix_fmt", value);
    case Step::FrameRate:
      return e.SetFrameRate(kFrameRates[norm]);
    case Step::Generic:
      e.SetGenericOption(s.name, value);
      return;
    case Step::SampleRate:
      return e.SetSampleRate(engine::StrictInt32(value));
    case Step::Channels:
      e.AudioChannels = engine::StrictInt32(value);
      return;
    case Step::ChannelsIfMono:
      if (e.AudioChannels == 1) e.AudioChannels = engine::StrictInt32(value);
      return;
    case Step::MuxPreload:
      return e.SetMuxPreload(engine::StrictFloat(value));
    case Step::AspectIfUnset:
      if (e.FrameAspectRatio == 0) e.SetAspectRatio(value);
      return;
  }
}

}  // namespace

void TCustomFFmpeg::SetTargetPreset(const std::string& kind, const std::string& norm,
                                    const std::string& fallbackNorm) {
  const int decided = DecideNorm(*this, norm, fallbackNorm);
  for (const Preset& preset : kPresets) {
    if (preset.kind != kind) continue;
    for (const PresetStep& step : preset.steps) ApplyStep(*this, step, decided);
    return;
  }
  throw FFMpegException("Unknown target type");
}
