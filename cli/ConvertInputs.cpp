#include "ConvertInputs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <string_view>

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 3> kRealMediaExtensions = {".rm", ".rmvb", ".ram"};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool FindInFolder(const std::string& folder, std::vector<TInputFile>& files, std::string& error) {
  std::vector<TInputFile> found;
  const fs::path root(folder);
  std::error_code failure;
  const auto options = fs::directory_options::skip_permission_denied;
  fs::recursive_directory_iterator it(root, options, failure), end;
  for (; !failure && it != end; it.increment(failure)) {
    std::error_code ignored;
    if (!it->is_regular_file(ignored) || !IsRealMediaName(it->path().filename().string())) continue;
    const fs::path relative = it->path().parent_path().lexically_relative(root);
    const std::string folderText = relative == "." ? "" : relative.string();
    found.push_back({it->path().string(), folderText});
  }
  if (failure) {
    error = folder + ": " + failure.message();
    return false;
  }
  std::sort(found.begin(), found.end(),
            [](const TInputFile& a, const TInputFile& b) { return a.Path < b.Path; });
  files.insert(files.end(), found.begin(), found.end());
  return true;
}

}  // namespace

bool IsRealMediaName(const std::string& path) {
  const std::string extension = Lower(fs::path(path).extension().string());
  return std::find(kRealMediaExtensions.begin(), kRealMediaExtensions.end(), extension) !=
         kRealMediaExtensions.end();
}

bool CollectInputs(const std::vector<std::string>& names, bool recursive,
                   std::vector<TInputFile>& files, std::string& error) {
  for (const std::string& name : names) {
    std::error_code ignored;
    if (!fs::is_directory(name, ignored)) {
      files.push_back({name, ""});
      continue;
    }
    if (!recursive) {
      error = name + " is a folder; -r converts the RealMedia files inside it";
      return false;
    }
    if (!FindInFolder(name, files, error)) return false;
  }
  return true;
}

}  // namespace cli
