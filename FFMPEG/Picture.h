// Picture operations on plane pointers: crop without copying, paint pad
// borders, and the classic vertical low-pass deinterlacer.
#pragma once

#include <cstdint>

#include "MediaLib.h"

namespace engine {

struct PictureRef {
  uint8_t* data[4] = {};
  int linesize[4] = {};
};

PictureRef RefOf(const AVFrame* frame);

// Moves the plane pointers `top` rows down and `left` columns right.
// Returns false for formats whose planes cannot be offset that way.
bool CropPicture(const PictureRef& source, AVPixelFormat format, int top, int left,
                 PictureRef& cropped);

// Paints the borders of a `width` x `height` picture with the colour (Y, U, V
// of planar YUV; only the low 8 bits are used). With a source, the source is
// first copied into the area inside the borders.
bool PadPicture(const PictureRef& picture, int width, int height, AVPixelFormat format, int top,
                int bottom, int left, int right, const int color[3], const PictureRef* source);

// Deinterlaces planar YUV pictures (dimensions multiples of 4) into `dst`:
// odd rows become a (-1 4 2 4 -1)/8 blend of their column. Returns a
// negative value for formats it does not handle.
int DeinterlacePicture(const PictureRef& dst, const PictureRef& src, AVPixelFormat format,
                       int width, int height);

void CopyPicture(const PictureRef& dst, const PictureRef& src, AVPixelFormat format, int width,
                 int height);

}  // namespace engine
