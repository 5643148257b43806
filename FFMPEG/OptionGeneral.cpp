// Option actions: ignored and refused options, formats, verbosity, targets,
// bitrates, audio basics and the extra streams of the last output file.
#include "Format.h"
#include "OptionTable.h"

namespace engine {

std::string ResolveFormatName(TCustomFFmpeg& engine, const std::string& name) {
  if (name != "pgmyuv") return name;
  engine.PgmyuvCompatibility = 1;
  engine.Log(1, "pgmyuv format is deprecated, use image2");
  return "image2";
}

namespace options {

namespace {

struct NormPrefix {
  std::string_view prefix;
  const char* norm;
};

constexpr NormPrefix kNormPrefixes[] = {{"pal-", "pal"}, {"ntsc-", "ntsc"}, {"film-", "film"}};

AVFormatContext* LastOutputFile(TCustomFFmpeg& e) {
  if (e.NbOutputFiles <= 0) throw FFMpegException("At least one output file must be specified");
  return e.OutputFiles[e.NbOutputFiles - 1].Context.get();
}

}  // namespace

void DoNothing(TCustomFFmpeg& e, std::string_view name, const std::string&) {
  e.Log(1, "Do nothing: option - " + std::string(name));
}

void NotSupported(TCustomFFmpeg&, std::string_view name, const std::string&) {
  throw FFMpegException("TODO: option - " + std::string(name));
}

void ForceFormat(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  const std::string name = ResolveFormatName(e, value);
  const AVInputFormat* input = ml::av_find_input_format(name.c_str());
  const AVOutputFormat* output = ml::av_guess_format(name.c_str(), nullptr, nullptr);
  if (!input && !output)
    throw FFMpegException(Format("Unknown input or output format: %s", value.c_str()));
  e.FileIFormat = input;
  e.FileOFormat = output;
}

void Verbosity(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.SetVerbosity(StrictInt32(value));
}

void Target(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  const std::string text = Trimmed(value);
  for (const NormPrefix& p : kNormPrefixes)
    if (std::string_view(text).starts_with(p.prefix)) {
      e.SetTargetPreset(text.substr(p.prefix.size()), p.norm, "ntsc");
      return;
    }
  e.SetTargetPreset(text, "auto", "ntsc");
}

void Bitrate(TCustomFFmpeg& e, std::string_view name, const std::string& value) {
  if (!e.SetGenericOption(std::string(name), value) || !e.LogHandler) return;
  AVCodecContext* context = e.CodecOptionContexts[name.starts_with("a") ? 1 : 0].get();
  int64_t rate = 0;
  if (context && ml::av_opt_get_int(context, "b", 0, &rate) >= 0 && rate < 1000)
    e.Log(1,
          "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not "
          "kbits/s");
}

void FileSizeLimit(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.LimitFileSize = StrictInt64(value);
}

void SampleRate(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.SetSampleRate(StrictInt32(value));
}

void Channels(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.SetChannels(StrictInt32(value));
}

void NewVideo(TCustomFFmpeg& e, std::string_view, const std::string&) {
  e.NewVideoStream(LastOutputFile(e));
}

void NewAudio(TCustomFFmpeg& e, std::string_view, const std::string&) {
  e.NewAudioStream(LastOutputFile(e));
}

void NewSubtitle(TCustomFFmpeg& e, std::string_view, const std::string&) {
  e.NewSubtitleStream(LastOutputFile(e));
}

}  // namespace options
}  // namespace engine
