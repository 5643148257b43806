/* A frame-hook module without a "Process" entry point: the engine must refuse
 * to load it. */
#include "HookModule.h"

HOOK_EXPORT int Configure(void** context, int argc, char* argv[]) {
  (void)argc;
  (void)argv;
  *context = 0;
  return 0;
}

HOOK_EXPORT void Release(void* context) {
  (void)context;
}
