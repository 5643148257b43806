#include "ConvertFile.h"

#include <cmath>
#include <exception>
#include <filesystem>

#include "BatchRules.h"
#include "Catalogue.h"
#include "LetterBox.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

// One spelling for every way of naming a file.
std::string PathKey(const std::string& path) {
  std::error_code ignored;
  const fs::path canonical = fs::weakly_canonical(fs::absolute(path, ignored), ignored);
  return canonical.empty() ? path : canonical.string();
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

}  // namespace

TOutputNames::TOutputNames(const std::vector<TInputFile>& inputs, bool overwrite)
    : overwrite_(overwrite) {
  for (const TInputFile& input : inputs) inputs_.insert(PathKey(input.Path));
}

std::string TOutputNames::Choose(const std::string& folder, const std::string& source,
                                 const std::string& extension) const {
  const presets::TFileExists exists = [this](const std::string& path) {
    return Taken(path) || (!overwrite_ && Exists(path));
  };
  return presets::OutputFileName(folder, source, extension, false, exists);
}

void TOutputNames::Claim(const std::string& name) {
  claimed_.insert(PathKey(name));
}

bool TOutputNames::Taken(const std::string& path) const {
  const std::string key = PathKey(path);
  return inputs_.count(key) > 0 || claimed_.count(key) > 0;
}

TSourceFacts ProbeSource(TAVProbe& probe, const std::string& path) {
  TSourceFacts facts;
  try {
    if (!probe.LoadFile(path)) return facts;
  } catch (const std::exception&) {
    return facts;
  }
  if (probe.VideoStreamCount() > 0) {
    TVideoStreamInfo video;
    probe.GetVideoStreamInfo(video);
    facts.VideoSizeCell = presets::VideoSizeText(video.Width, video.Height);
    facts.Width = std::max(video.Width, 0);
    facts.Height = std::max(video.Height, 0);
    facts.DisplayAspect = std::isfinite(video.DisplayAspect) ? video.DisplayAspect : 0;
  } else {
    facts.VideoSizeCell = " ";
  }
  probe.Unload();
  return facts;
}

TOutputOptions FileOutputOptions(const TFileSettings& settings, int row,
                                 const TSourceFacts& source) {
  TOutputOptions options;
  InitOutputOptions(options);
  presets::ApplyOutputFormat(settings.Lists, row, options, TCustomMediaConverter::HasEncoder);
  options.AudioVolume = presets::VolumeStep(settings.Volume).Value;
  presets::ApplyAspectChoice(settings.Lists.ComboAspectRatio.ItemIndex(), source.VideoSizeCell,
                             options);
  presets::ApplyLetterBox(settings.Lists, source.Width, source.Height, source.DisplayAspect,
                          options);
  return options;
}

bool AddFileTask(TMediaConverter& converter, const TFileSettings& settings, int row,
                 const std::string& input, const std::string& output, const TSourceFacts& source,
                 std::string& error) {
  TInputOptions inputOptions;
  InitInputOptions(inputOptions);
  inputOptions.FileName = input;
  inputOptions.StartTime = 0;
  const int index = converter.AddInputFile(input, &inputOptions);
  if (index < 0) {
    error = converter.LastError();
    return false;
  }
  try {
    TOutputOptions options = FileOutputOptions(settings, row, source);
    if (converter.SetOutputFile(index, output, &options)) return true;
    error = converter.LastError();
  } catch (const std::exception& e) {
    error = e.what();
  }
  converter.RemoveTask(index);
  return false;
}

}  // namespace cli
