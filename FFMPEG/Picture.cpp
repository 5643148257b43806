#include "Picture.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

bool IsPlanarYuv(const AVPixFmtDescriptor* d) {
  return d && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM |
                            AV_PIX_FMT_FLAG_HWACCEL)) &&
         (d->flags & AV_PIX_FMT_FLAG_PLANAR) && d->comp[0].depth == 8;
}

int PlaneCount(const AVPixFmtDescriptor* d) {
  int planes = 0;
  for (int c = 0; c < d->nb_components; ++c) planes = std::max(planes, d->comp[c].plane + 1);
  return planes;
}

bool IsChromaPlane(const AVPixFmtDescriptor* d, int plane) {
  return (plane == 1 || plane == 2) && !(d->flags & AV_PIX_FMT_FLAG_RGB) && d->nb_components >= 3;
}

void FillRect(uint8_t* plane, int linesize, int x, int y, int w, int h, uint8_t value) {
  for (int row = 0; row < h; ++row) std::memset(plane + (y + row) * linesize + x, value, w);
}

void DeinterlacePlane(uint8_t* dst, int dstLine, const uint8_t* src, int srcLine, int width,
                      int height) {
  for (int y = 0; y < height; ++y) {
    uint8_t* out = dst + y * dstLine;
    const uint8_t* cur = src + y * srcLine;
    if ((y & 1) == 0) {
      std::memcpy(out, cur, width);
      continue;
    }
    const uint8_t* m2 = src + std::max(y - 2, 0) * srcLine;
    const uint8_t* m1 = src + (y - 1) * srcLine;
    const uint8_t* p1 = src + std::min(y + 1, height - 1) * srcLine;
    const uint8_t* p2 = src + std::min(y + 2, height - 1) * srcLine;
    for (int x = 0; x < width; ++x) {
      const int v = (-m2[x] + 4 * m1[x] + 2 * cur[x] + 4 * p1[x] - p2[x] + 4) >> 3;
      out[x] = static_cast<uint8_t>(std::clamp(v, 0, 255));
    }
  }
}

}  // namespace

PictureRef RefOf(const AVFrame* frame) {
  PictureRef ref;
  for (int i = 0; i < 4; ++i) {
    ref.data[i] = frame->data[i];
    ref.linesize[i] = frame->linesize[i];
  }
  return ref;
}

bool CropPicture(const PictureRef& source, AVPixelFormat format, int top, int left,
                 PictureRef& cropped) {
  const AVPixFmtDescriptor* d = ml::av_pix_fmt_desc_get(format);
  if (!d || (d->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL)))
    return false;
  cropped = source;
  const int planes = PlaneCount(d);
  for (int p = 0; p < planes; ++p) {
    const bool chroma = IsChromaPlane(d, p);
    const int rows = chroma ? top >> d->log2_chroma_h : top;
    const int cols = chroma ? left >> d->log2_chroma_w : left;
    int step = 0;
    for (int c = 0; c < d->nb_components; ++c)
      if (d->comp[c].plane == p) step = std::max(step, d->comp[c].step);
    cropped.data[p] = source.data[p] + static_cast<ptrdiff_t>(rows) * source.linesize[p] + cols * step;
  }
  return true;
}

void CopyPicture(const PictureRef& dst, const PictureRef& src, AVPixelFormat format, int width,
                 int height) {
  ml::av_image_copy(const_cast<uint8_t**>(dst.data), const_cast<int*>(dst.linesize),
                    const_cast<const uint8_t**>(src.data), src.linesize, format, width, height);
}

bool PadPicture(const PictureRef& picture, int width, int height, AVPixelFormat format, int top,
                int bottom, int left, int right, const int color[3], const PictureRef* source) {
  const AVPixFmtDescriptor* d = ml::av_pix_fmt_desc_get(format);
  if (!IsPlanarYuv(d)) return false;
  if (source) {
    PictureRef inner;
    CropPicture(picture, format, top, left, inner);
    CopyPicture(inner, *source, format, width - left - right, height - top - bottom);
  }
  const int planes = std::min(PlaneCount(d), 3);
  for (int p = 0; p < planes; ++p) {
    const int sw = p ? d->log2_chroma_w : 0, sh = p ? d->log2_chroma_h : 0;
    const int w = -((-width) >> sw), h = -((-height) >> sh);
    const int t = top >> sh, b = bottom >> sh, l = left >> sw, r = right >> sw;
    const uint8_t value = static_cast<uint8_t>(color[p] & 0xFF);
    uint8_t* plane = picture.data[p];
    const int line = picture.linesize[p];
    FillRect(plane, line, 0, 0, w, t, value);
    FillRect(plane, line, 0, h - b, w, b, value);
    FillRect(plane, line, 0, t, l, h - t - b, value);
    FillRect(plane, line, w - r, t, r, h - t - b, value);
  }
  return true;
}

int DeinterlacePicture(const PictureRef& dst, const PictureRef& src, AVPixelFormat format,
                       int width, int height) {
  const AVPixFmtDescriptor* d = ml::av_pix_fmt_desc_get(format);
  if (!IsPlanarYuv(d) || d->nb_components > 3 || (width & 3) || (height & 3)) return -1;
  for (int p = 0; p < PlaneCount(d); ++p) {
    const int w = p ? width >> d->log2_chroma_w : width;
    const int h = p ? height >> d->log2_chroma_h : height;
    DeinterlacePlane(dst.data[p], dst.linesize[p], src.data[p], src.linesize[p], w, h);
  }
  return 0;
}

}  // namespace engine
