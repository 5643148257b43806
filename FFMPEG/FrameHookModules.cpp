#include <dlfcn.h>

#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "FrameHooks.h"

namespace engine {

namespace {

// The process-wide module cache: file name and handle; modules stay loaded
// for the life of the process.
struct ModuleCache {
  std::mutex lock;
  std::vector<std::pair<std::string, void*>> modules;
};

ModuleCache& Cache() {
  static ModuleCache cache;
  return cache;
}

// The handle of the module, loading it on first use; null (logged) when the
// module cannot be loaded.
void* ModuleHandle(const char* fileName) {
  ModuleCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  for (const auto& [name, handle] : cache.modules)
    if (name == fileName) return handle;
  void* handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    ml::av_log(nullptr, AV_LOG_ERROR, "%s\n", reason ? reason : fileName);
    return nullptr;
  }
  cache.modules.emplace_back(fileName, handle);
  return handle;
}

template <typename Fn>
Fn Bind(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

int FrameHookAdd(std::vector<TFrameHookEntry>& list, int argc, char* argv[]) {
  if (argc < 1 || !argv || !argv[0]) return -2;
  void* handle = ModuleHandle(argv[0]);
  if (!handle) return -1;
  TFrameHookEntry entry;
  entry.Configure = Bind<TFrameHookEntry::ConfigureFn>(handle, "Configure");
  entry.Process = Bind<TFrameHookEntry::ProcessFn>(handle, "Process");
  entry.Release = Bind<TFrameHookEntry::ReleaseFn>(handle, "Release");
  if (!entry.Process) {
    ml::av_log(nullptr, AV_LOG_ERROR, "Failed to find Process entrypoint in %s\n", argv[0]);
    return -2;
  }
  if (!entry.Configure && argc > 1) {
    ml::av_log(nullptr, AV_LOG_ERROR, "Failed to find Configure entrypoint in %s\n", argv[0]);
    return -2;
  }
  if (entry.Configure && entry.Configure(&entry.Context, argc, argv) != 0) {
    ml::av_log(nullptr, AV_LOG_ERROR, "Failed to Configure %s\n", argv[0]);
    return -22;
  }
  try {
    list.push_back(entry);
  } catch (const std::bad_alloc&) {
    if (entry.Release) entry.Release(entry.Context);
    return -12;
  }
  return 0;
}

void FrameHookRelease(std::vector<TFrameHookEntry>& list) {
  for (TFrameHookEntry& entry : list)
    if (entry.Release) entry.Release(entry.Context);
  list.clear();
}

size_t FrameHookCachedModules() {
  ModuleCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return cache.modules.size();
}

}  // namespace engine
