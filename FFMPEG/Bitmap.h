// A small 24-bit bitmap (B, G, R bytes per pixel, rows top to bottom) with
// scan-line access and a canvas lock, free of any user-interface toolkit.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }

  void SetSize(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    stride_ = (width_ * 3 + 3) & ~3;
    pixels_.assign(static_cast<size_t>(stride_) * height_, 0);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }
  uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* ScanLine(int y) const {
    return pixels_.data() + static_cast<size_t>(y) * stride_;
  }
  // Held while a handler draws on the bitmap.
  void Lock() { canvas_.lock(); }
  void Unlock() { canvas_.unlock(); }
  bool TryLock() { return canvas_.try_lock(); }

  // Fills a rectangle with a colour given as red, green, blue.
  void FillRect(int left, int top, int right, int bottom, uint8_t r, uint8_t g, uint8_t b) {
    for (int y = top < 0 ? 0 : top; y < bottom && y < height_; ++y) {
      uint8_t* line = ScanLine(y);
      for (int x = left < 0 ? 0 : left; x < right && x < width_; ++x) {
        line[x * 3] = b;
        line[x * 3 + 1] = g;
        line[x * 3 + 2] = r;
      }
    }
  }

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<uint8_t> pixels_;
  std::recursive_mutex canvas_;
};
