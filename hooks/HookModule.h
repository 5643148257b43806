/* The interface between the engine and a frame-hook module.
 *
 * A module is a shared object exporting, with the C calling convention:
 *   int  Configure(void** context, int argc, char* argv[]);   optional; 0 = success
 *   void Process(void* context, HookPicture* picture, int pix_fmt,
 *                int width, int height, int64_t pts);       required
 *   void Release(void* context);                              optional
 * argv[0] is the module's file name, the rest are its own arguments; the words
 * are valid only during Configure. Process receives the picture in the
 * decoder's pixel format (the media library's pixel format numbers) and may
 * change it in place; pts is in microseconds. */
#ifndef REELSHIFT_HOOK_MODULE_H
#define REELSHIFT_HOOK_MODULE_H

#include <stdint.h>

#define HOOK_EXPORT __attribute__((visibility("default")))

typedef struct HookPicture {
  uint8_t* data[4];
  int linesize[4];
} HookPicture;

#endif
