// -vhook: loads a frame-hook module with its arguments.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "FrameHooks.h"
#include "OptionTable.h"

namespace {

constexpr int kMaxHookWords = 64;

// Splits the text at "|" when it holds one, otherwise at blanks; empty words
// are skipped. False when there are more words than the list holds.
bool SplitWords(std::string& text, std::vector<char*>& words) {
  const char* separator = text.find('|') != std::string::npos ? "|" : " ";
  char* state = nullptr;
  for (char* word = strtok_r(text.data(), separator, &state); word;
       word = strtok_r(nullptr, separator, &state)) {
    if (static_cast<int>(words.size()) == kMaxHookWords) return false;
    words.push_back(word);
  }
  return true;
}

std::string CurrentDirectory() {
  char path[PATH_MAX];
  return getcwd(path, sizeof path) ? std::string(path) : std::string();
}

// While it lives, the module's folder is the current directory and is on
// PATH, so that the module's own libraries are found; the previous directory
// comes back on destruction.
class ModuleFolderScope {
 public:
  explicit ModuleFolderScope(const std::string& folder) : saved_(CurrentDirectory()) {
    if (saved_.empty() || chdir(folder.c_str()) != 0) {
      saved_.clear();
      return;
    }
    const char* path = std::getenv("PATH");
    const std::string old = path ? path : "";
    if (engine::UpperCase(old).find(engine::UpperCase(folder)) == std::string::npos)
      setenv("PATH", (folder + ":" + old).c_str(), 1);
  }
  ~ModuleFolderScope() {
    if (!saved_.empty() && chdir(saved_.c_str()) != 0) {
      // Nothing better to do: the previous folder is gone.
    }
  }
  ModuleFolderScope(const ModuleFolderScope&) = delete;
  ModuleFolderScope& operator=(const ModuleFolderScope&) = delete;

 private:
  std::string saved_;
};

// The module name made absolute before the current directory changes, so a
// relative name with a folder part still names the same file.
std::string AbsoluteModuleName(const std::string& name) {
  if (name.empty() || name[0] == '/') return name;
  const std::string cwd = CurrentDirectory();
  return cwd.empty() ? name : cwd + "/" + name;
}

}  // namespace

namespace engine::options {

void VideoHook(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  const std::string failure = "Failed to add video hook function: " + value;
  std::string text = value;
  std::vector<char*> words;
  if (!SplitWords(text, words) || words.empty()) throw FFMpegException(failure);
  std::string module = words[0];
  int result = 0;
  const size_t slash = module.rfind('/');
  if (slash != std::string::npos) {
    module = AbsoluteModuleName(module);
    words[0] = module.data();
    const size_t folderEnd = module.rfind('/');
    ModuleFolderScope scope(folderEnd == 0 ? "/" : module.substr(0, folderEnd));
    result = FrameHookAdd(e.HookModules, static_cast<int>(words.size()), words.data());
  } else {
    result = FrameHookAdd(e.HookModules, static_cast<int>(words.size()), words.data());
  }
  if (result != 0) throw FFMpegException(failure);
  e.UsingVHook = 1;
}

}  // namespace engine::options
