/* A frame-hook module that fills a box in every planar YUV picture.
 * Arguments: x y width height Y U V (the box in luma pixels, the colour as
 * three 0-255 numbers). Pictures in other pixel formats are left alone. */
#include <errno.h>
#include <libavutil/pixfmt.h>
#include <stddef.h>
#include <stdlib.h>

#include "HookModule.h"

typedef struct DrawBox {
  int x, y, w, h;
  uint8_t colour[3];
} DrawBox;

typedef struct ChromaShift {
  int format;
  int log2w, log2h;
} ChromaShift;

static const ChromaShift kPlanarYuv[] = {
    {AV_PIX_FMT_YUV420P, 1, 1},  {AV_PIX_FMT_YUVJ420P, 1, 1}, {AV_PIX_FMT_YUV422P, 1, 0},
    {AV_PIX_FMT_YUVJ422P, 1, 0}, {AV_PIX_FMT_YUV444P, 0, 0},  {AV_PIX_FMT_YUVJ444P, 0, 0},
    {AV_PIX_FMT_YUV410P, 2, 2},  {AV_PIX_FMT_YUV411P, 2, 0},  {AV_PIX_FMT_YUV440P, 0, 1},
    {AV_PIX_FMT_YUVJ440P, 0, 1},
};

/* Reads the whole word as an integer in [low, high]. */
static int ReadNumber(const char* word, long low, long high, int* out) {
  char* end = NULL;
  errno = 0;
  long value = strtol(word, &end, 10);
  if (errno != 0 || end == word || *end != '\0' || value < low || value > high) return 0;
  *out = (int)value;
  return 1;
}

HOOK_EXPORT int Configure(void** context, int argc, char* argv[]) {
  if (argc != 8) return -1;
  DrawBox box;
  int c[3];
  if (!ReadNumber(argv[1], 0, 65535, &box.x) || !ReadNumber(argv[2], 0, 65535, &box.y) ||
      !ReadNumber(argv[3], 1, 65535, &box.w) || !ReadNumber(argv[4], 1, 65535, &box.h))
    return -1;
  for (int i = 0; i < 3; ++i)
    if (!ReadNumber(argv[5 + i], 0, 255, &c[i])) return -1;
  DrawBox* owned = malloc(sizeof *owned);
  if (!owned) return -1;
  *owned = box;
  for (int i = 0; i < 3; ++i) owned->colour[i] = (uint8_t)c[i];
  *context = owned;
  return 0;
}

static const ChromaShift* ShiftOf(int format) {
  for (size_t i = 0; i < sizeof kPlanarYuv / sizeof kPlanarYuv[0]; ++i)
    if (kPlanarYuv[i].format == format) return &kPlanarYuv[i];
  return NULL;
}

static int Min(int a, int b) {
  return a < b ? a : b;
}

/* Fills [x0, x1) x [y0, y1) of one plane. */
static void FillPlane(uint8_t* plane, int linesize, int x0, int y0, int x1, int y1, uint8_t v) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) plane[(ptrdiff_t)y * linesize + x] = v;
}

HOOK_EXPORT void Process(void* context, HookPicture* picture, int pix_fmt, int width, int height,
                         int64_t pts) {
  (void)pts;
  const DrawBox* box = context;
  const ChromaShift* shift = ShiftOf(pix_fmt);
  if (!box || !picture || !shift || box->x >= width || box->y >= height) return;
  const int x1 = Min(box->x + box->w, width), y1 = Min(box->y + box->h, height);
  for (int p = 0; p < 3; ++p) {
    if (!picture->data[p]) continue;
    const int sw = p ? shift->log2w : 0, sh = p ? shift->log2h : 0;
    const int pw = -((-width) >> sw), ph = -((-height) >> sh);
    FillPlane(picture->data[p], picture->linesize[p], box->x >> sw, box->y >> sh,
              Min(-((-x1) >> sw), pw), Min(-((-y1) >> sh), ph), box->colour[p]);
  }
}

HOOK_EXPORT void Release(void* context) {
  free(context);
}
