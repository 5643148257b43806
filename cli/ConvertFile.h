// One file of a convert run, set up the way the window's batch driver sets up
// a row: its output name, its input record, its output record from the
// selected entry's translation with the volume, aspect and letterbox rules,
// and the task in the component.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "ConvertInputs.h"
#include "MediaConverter.h"
#include "SettingLists.h"

namespace cli {

// Output names of a run. Without overwriting, an existing file is never
// replaced (numbered names "-1", "-2", ...). In either case a name already
// given to a file of this run, or the name of one of the run's inputs, is
// numbered too: two files of one run never write one output, and no output
// replaces a file that is being read.
class TOutputNames {
 public:
  TOutputNames(const std::vector<TInputFile>& inputs, bool overwrite);
  // The output of source in folder, with the extension (upper case, no dot).
  std::string Choose(const std::string& folder, const std::string& source,
                     const std::string& extension) const;
  void Claim(const std::string& name);

 private:
  bool Taken(const std::string& path) const;

  bool overwrite_;
  std::set<std::string> inputs_;
  std::set<std::string> claimed_;
};

// What the window's file list knows of a source: its "Video Size" cell and
// the picture facts the letterbox needs.
struct TSourceFacts {
  std::string VideoSizeCell;  // "576x324"; " " without video; "" when the probe failed
  int Width = 0;
  int Height = 0;
  double DisplayAspect = 0;  // 0: not known
};
TSourceFacts ProbeSource(TAVProbe& probe, const std::string& path);

struct TFileSettings {
  const presets::TSettingLists& Lists;
  int Volume;  // track-bar position
};

// The output options of a file: translation, volume, aspect, letterbox.
// Throws EConvertError when the translation rejects a setting.
TOutputOptions FileOutputOptions(const TFileSettings& settings, int row,
                                 const TSourceFacts& source);

// Gives converter (which has no task) the file as its one task with its
// output. False with the reason; no task is left behind then.
bool AddFileTask(TMediaConverter& converter, const TFileSettings& settings, int row,
                 const std::string& input, const std::string& output, const TSourceFacts& source,
                 std::string& error);

}  // namespace cli
