#include "MediaLib.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "LibraryBinding.h"

namespace medialib {

namespace {

#define ML_ENTRY(name) \
  {#name, [](void* address) { std::memcpy(&ml::name, &address, sizeof address); }},

constexpr EntryPoint kCodecEntries[] = {
#include "avcodec.def"
};
constexpr EntryPoint kContainerEntries[] = {
#include "avformat.def"
};
constexpr EntryPoint kUtilityEntries[] = {
#include "avutil.def"
};
constexpr EntryPoint kScalerEntries[] = {
#include "swscale.def"
};
constexpr EntryPoint kResampleEntries[] = {
#include "swresample.def"
};
#undef ML_ENTRY

// The majors are those of the headers the program is built against.
std::array<LibraryBinding, 5>& Bindings() {
  static std::array<LibraryBinding, 5> bindings{
      LibraryBinding("libavcodec.so.%d", LIBAVCODEC_VERSION_MAJOR, "libavcodec.so", kCodecEntries),
      LibraryBinding("libavformat.so.%d", LIBAVFORMAT_VERSION_MAJOR, "libavformat.so",
                     kContainerEntries),
      LibraryBinding("libavutil.so.%d", LIBAVUTIL_VERSION_MAJOR, "libavutil.so", kUtilityEntries),
      LibraryBinding("libswscale.so.%d", LIBSWSCALE_VERSION_MAJOR, "libswscale.so",
                     kScalerEntries),
      LibraryBinding("libswresample.so.%d", LIBSWRESAMPLE_VERSION_MAJOR, "libswresample.so",
                     kResampleEntries),
  };
  return bindings;
}

bool gLoaded = false;
std::string gLoadError;
std::atomic<int> gCachedLevel{1};

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string CurrentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

// Makes the folder current and puts it at the front of PATH when PATH lacks it,
// so that libraries beside the media libraries are found too.
void EnterFolder(const std::string& folder) {
  if (chdir(folder.c_str()) != 0) return;
  const char* path = std::getenv("PATH");
  const std::string old = path ? path : "";
  if (Upper(old).find(Upper(folder)) == std::string::npos) {
    const std::string updated = folder + ":" + old;
    setenv("PATH", updated.c_str(), 1);
  }
}

}  // namespace

bool LoadAll(const std::string& folder, bool versionedNames) {
  if (gLoaded) return true;
  gLoadError.clear();
  std::string remembered;
  if (!folder.empty()) {
    remembered = CurrentDirectory();
    EnterFolder(folder);
  }
  bool ok = true;
  for (LibraryBinding& binding : Bindings()) {
    if (!binding.LoadAndBind(folder, versionedNames)) {
      gLoadError = binding.ErrorText();
      ok = false;
      break;
    }
  }
  gLoaded = ok;
  if (!folder.empty() && !remembered.empty()) {
    if (chdir(remembered.c_str()) != 0) {
      // The folder we came from is gone; stay where we are.
    }
  }
  if (ok) {
    RefreshCachedLogLevel();
  } else {
    UnloadAll();
  }
  return gLoaded;
}

void UnloadAll() {
  for (LibraryBinding& binding : Bindings()) binding.Unload();
  gLoaded = false;
}

bool LibrariesLoaded() { return gLoaded; }

std::string LibraryLoadError() { return gLoadError; }

bool LibraryBound(Library lib) { return Bindings()[static_cast<size_t>(lib)].Bound(); }

std::string LibraryFileName(Library lib, bool versionedNames) {
  return Bindings()[static_cast<size_t>(lib)].FileName(versionedNames);
}

int ToLibraryLogLevel(int engineLevel) {
  if (engineLevel < 0) return AV_LOG_QUIET;
  switch (engineLevel) {
    case 0:
      return AV_LOG_WARNING;
    case 1:
      return AV_LOG_INFO;
    case 2:
      return AV_LOG_DEBUG;
    default:
      return AV_LOG_TRACE;
  }
}

int ToEngineLogLevel(int libraryLevel) {
  if (libraryLevel < 0) return -1;
  if (libraryLevel <= AV_LOG_WARNING) return 0;
  if (libraryLevel <= AV_LOG_INFO) return 1;
  if (libraryLevel <= AV_LOG_DEBUG) return 2;
  return 3;
}

int CachedLogLevel() { return gCachedLevel.load(); }

void SetLibraryLogLevel(int engineLevel) {
  if (gLoaded) {
    ml::av_log_set_level(ToLibraryLogLevel(engineLevel));
    RefreshCachedLogLevel();
  } else {
    gCachedLevel = engineLevel;
  }
}

void RefreshCachedLogLevel() {
  if (gLoaded) gCachedLevel = ToEngineLogLevel(ml::av_log_get_level());
}

}  // namespace medialib
