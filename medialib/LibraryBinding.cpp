#include "LibraryBinding.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>

namespace medialib {

namespace {

std::string Format(const char* pattern, const std::string& a, const std::string& b) {
  char buffer[1024];
  std::snprintf(buffer, sizeof buffer, pattern, a.c_str(), b.c_str());
  return buffer;
}

std::string LastDlError() {
  const char* text = dlerror();
  return text ? text : "unknown error";
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

LibraryBinding::LibraryBinding(const char* versionedPattern, int major, const char* plainName,
                               std::span<const EntryPoint> entries)
    : versionedPattern_(versionedPattern), major_(major), plainName_(plainName), entries_(entries) {}

std::string LibraryBinding::FileName(bool versioned) const {
  if (!versioned) return plainName_;
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, versionedPattern_, major_);
  return buffer;
}

bool LibraryBinding::Load(const std::string& folder) {
  if (handle_) return true;
  const std::string name = FileName(versioned_);
  std::string path = name;
  if (!folder.empty()) {
    const std::string inFolder = folder + (folder.back() == '/' ? "" : "/") + name;
    if (IsFile(inFolder)) path = inFolder;
  }
  dlerror();
  // The media libraries keep process-wide state (and may start threads), so
  // their code stays mapped after an unload; loading again finds it.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle_) {
    error_ = Format("Load libraray %s error: %s", name, LastDlError());
    return false;
  }
  return true;
}

bool LibraryBinding::BindAll() {
  const std::string name = FileName(versioned_);
  for (const EntryPoint& entry : entries_) {
    dlerror();
    void* address = dlsym(handle_, entry.Name);
    if (!address) {
      char buffer[1024];
      std::snprintf(buffer, sizeof buffer, "Load function %s@%s error: %s", entry.Name,
                    name.c_str(), LastDlError().c_str());
      error_ = buffer;
      for (const EntryPoint& e : entries_) e.Assign(nullptr);
      return false;
    }
    entry.Assign(address);
  }
  bound_ = true;
  return true;
}

bool LibraryBinding::LoadAndBind(const std::string& folder, bool versioned) {
  versioned_ = versioned;
  if (!Load(folder)) return false;
  if (!bound_ && !BindAll()) return false;
  return true;
}

void LibraryBinding::Unload() {
  if (!handle_) return;
  for (const EntryPoint& e : entries_) e.Assign(nullptr);
  dlclose(handle_);
  handle_ = nullptr;
  bound_ = false;
}

}  // namespace medialib
