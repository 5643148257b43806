// Frame-hook modules: shared objects exporting "Configure", "Process" and
// "Release", kept loaded for the life of the process.
#pragma once

#include <vector>

#include "FFmpeg.h"

namespace engine {

// Loads (or reuses from the process-wide module cache) the module argv[0],
// binds its entry points, configures it with the words argv[0..argc-1] and
// appends it to the list. Returns 0, or -2 (no argument, missing entry point),
// -1 (module not loadable), -12 (no memory), -22 (Configure failed); the
// details go to the library log.
int FrameHookAdd(std::vector<TFrameHookEntry>& list, int argc, char* argv[]);

// Calls every entry's Process with its context, in list order.
void FrameHookProcess(std::vector<TFrameHookEntry>& list, THookPicture* picture, int pixFmt,
                      int width, int height, int64_t pts);

// The number of distinct module files loaded so far by the process.
size_t FrameHookCachedModules();

// Calls every entry's Release (when present) and empties the list.
void FrameHookRelease(std::vector<TFrameHookEntry>& list);

}  // namespace engine
