// The files a convert run works on: the files named, and with -r the
// RealMedia files found inside the folders named.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct TInputFile {
  std::string Path;
  // The file's folder relative to the folder it was found in ("" for a file
  // named directly, or one found at the top of a folder): its output goes
  // there under the output folder.
  std::string RelativeFolder;
};

// .rm, .rmvb or .ram in any letter case.
bool IsRealMediaName(const std::string& path);

// Files in the order given; each folder's files sorted by path. A folder
// without -r, or a folder that cannot be read, is an error. A file named
// directly is taken whatever its name (a missing one fails when converted).
bool CollectInputs(const std::vector<std::string>& names, bool recursive,
                   std::vector<TInputFile>& files, std::string& error);

}  // namespace cli
