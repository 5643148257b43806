#include "FrameHooks.h"

namespace engine {

void FrameHookRelease(std::vector<TFrameHookEntry>& list) {
  for (TFrameHookEntry& entry : list)
    if (entry.Release) entry.Release(entry.Context);
  list.clear();
}

}  // namespace engine
