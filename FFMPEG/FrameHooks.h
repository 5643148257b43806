// Frame-hook modules: shared objects exporting "Configure", "Process" and
// "Release", kept loaded for the life of the process.
#pragma once

#include <vector>

#include "FFmpeg.h"

namespace engine {

// Calls every entry's Release (when present) and empties the list.
void FrameHookRelease(std::vector<TFrameHookEntry>& list);

}  // namespace engine
