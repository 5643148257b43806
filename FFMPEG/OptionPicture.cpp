// Picture options: frame rate, size, aspect, pixel format, crop and pad bands,
// pad colour, quantiser, matrices and the pass number.
#include <cmath>
#include <cstring>

#include "Format.h"
#include "OptionTable.h"

namespace {

using O = TFFmpegOptions;

struct CropSide {
  const char* parityMessage;
  int32_t O::*band;
  int32_t O::*dimension;  // reduced by the band
  const char* rangeMessage;
};

constexpr const char* kVerticalRange =
    "Vertical crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";
constexpr const char* kHorizontalRange =
    "Horizontal crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";

enum Side { kTop, kBottom, kLeft, kRight };

constexpr CropSide kCropSides[] = {
    {"Top crop size must be a multiple of 2", &O::FrameTopBand, &O::FrameHeight, kVerticalRange},
    {"Bottom crop size must be a multiple of 2", &O::FrameBottomBand, &O::FrameHeight,
     kVerticalRange},
    {"Left crop size must be a multiple of 2", &O::FrameLeftBand, &O::FrameWidth, kHorizontalRange},
    {"Right crop size must be a multiple of 2", &O::FrameRightBand, &O::FrameWidth,
     kHorizontalRange},
};

struct PadSide {
  const char* parityMessage;
  int32_t O::*band;
};

constexpr PadSide kPadSides[] = {
    {"Top pad size must be a multiple of 2", &O::FramePadTop},
    {"Bottom pad size must be a multiple of 2", &O::FramePadBottom},
    {"Left pad size must be a multiple of 2", &O::FramePadLeft},
    {"Right pad size must be a multiple of 2", &O::FramePadRight},
};

void ApplyCrop(TFFmpegOptions& o, const CropSide& side, int32_t band) {
  if (band < 0) return;
  if (band % 2 != 0) throw FFMpegException(side.parityMessage);
  if (band >= o.*side.dimension) throw FFMpegException(side.rangeMessage);
  o.*side.band = band;
  o.*side.dimension -= band;
}

void ApplyPad(TFFmpegOptions& o, const PadSide& side, int32_t band) {
  if (band < 0) return;
  if (band % 2 != 0) throw FFMpegException(side.parityMessage);
  o.*side.band = band;
}

// "w:h" as two integers (not an integer counts as 0), otherwise a decimal.
double AspectValue(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return engine::DoubleOrDefault(text, 0);
  const int32_t num = engine::Int32OrDefault(text.substr(0, colon), 0);
  const int32_t den = engine::Int32OrDefault(text.substr(colon + 1), 0);
  return den <= 0 ? 0.0 : static_cast<double>(num) / den;
}

// 64 comma-separated coefficients; extra text after the last is ignored.
MatrixPtr ParseMatrix(const std::string& text) {
  uint16_t coefficients[64] = {};
  const char* p = text.c_str();
  for (int i = 0;; ++i) {
    coefficients[i] = static_cast<uint16_t>(std::strtol(p, nullptr, 10));
    if (i == 63) break;
    p = std::strchr(p, ',');
    if (!p)
      throw FFMpegException(
          engine::Format("Syntax error in matrix \"%s\" at coeff %d", text.c_str(), i));
    ++p;
  }
  MatrixPtr matrix(static_cast<uint16_t*>(ml::av_mallocz(sizeof coefficients)));
  if (!matrix) throw FFMpegException("av_mallocz fail");
  std::memcpy(matrix.get(), coefficients, sizeof coefficients);
  return matrix;
}

}  // namespace

namespace engine::options {

void PixelFormat(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  if (value != "list") {
    e.FramePixFmt = ml::av_get_pix_fmt(value.c_str());
    return;
  }
  if (!e.LogHandler) return;
  for (int i = -1; i < 40; ++i) {
    char line[128] = {};
    ml::av_get_pix_fmt_string(line, sizeof line, static_cast<AVPixelFormat>(i));
    e.Log(1, Trimmed(line));
  }
}

void QScale(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  const float q = StrictFloat(value);
  if (!(q > 0) || q > 255) throw FFMpegException("qscale must be > 0.0 and <= 255");
  e.VideoQScale = q;
}

void IntraMatrix(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.IntraMatrix = ParseMatrix(value);
}

void InterMatrix(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  e.InterMatrix = ParseMatrix(value);
}

void Pass(TCustomFFmpeg& e, std::string_view, const std::string& value) {
  const int32_t pass = StrictInt32(value);
  if (pass != 1 && pass != 2) throw FFMpegException("pass number can be only 1 or 2");
  e.DoPass = pass;
}

}  // namespace engine::options

void TCustomFFmpeg::SetFrameRate(const std::string& rate) {
  if (rate.empty()) return;
  AVRational parsed{0, 0};
  if (ml::av_parse_video_rate(&parsed, rate.c_str()) < 0)
    throw FFMpegException("Incorrect frame rate");
  FrameRate = parsed;
}

void TCustomFFmpeg::SetFrameSize(const std::string& size) {
  if (size.empty()) return;
  int width = 0, height = 0;
  if (ml::av_parse_video_size(&width, &height, size.c_str()) < 0)
    throw FFMpegException("Incorrect frame size");
  FrameWidth = width;
  FrameHeight = height;
  if (width % 2 != 0 || height % 2 != 0)
    throw FFMpegException("Frame size must be a multiple of 2");
}

void TCustomFFmpeg::SetAspectRatio(const std::string& aspect) {
  if (aspect.empty()) return;
  const double ratio = AspectValue(aspect);
  // A ratio must be a positive, representable number.
  if (!(ratio > 0) || !std::isfinite(static_cast<float>(ratio)))
    throw FFMpegException("Incorrect aspect ratio specification.");
  FrameAspectRatio = static_cast<float>(ratio);
}

void TCustomFFmpeg::SetCropTop(int32_t band) {
  ApplyCrop(*this, kCropSides[kTop], band);
}
void TCustomFFmpeg::SetCropBottom(int32_t band) {
  ApplyCrop(*this, kCropSides[kBottom], band);
}
void TCustomFFmpeg::SetCropLeft(int32_t band) {
  ApplyCrop(*this, kCropSides[kLeft], band);
}
void TCustomFFmpeg::SetCropRight(int32_t band) {
  ApplyCrop(*this, kCropSides[kRight], band);
}
void TCustomFFmpeg::SetPadTop(int32_t band) {
  ApplyPad(*this, kPadSides[kTop], band);
}
void TCustomFFmpeg::SetPadBottom(int32_t band) {
  ApplyPad(*this, kPadSides[kBottom], band);
}
void TCustomFFmpeg::SetPadLeft(int32_t band) {
  ApplyPad(*this, kPadSides[kLeft], band);
}
void TCustomFFmpeg::SetPadRight(int32_t band) {
  ApplyPad(*this, kPadSides[kRight], band);
}

void TCustomFFmpeg::SetPadColor(int32_t rgb) {
  const int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  PadColor[0] = (307 * r + 602 * g + 117 * b + 512) >> 10;
  PadColor[1] = ((-173 * r - 340 * g + 512 * b + 511) >> 10) + 128;
  PadColor[2] = ((512 * r - 429 * g - 84 * b + 511) >> 10) + 128;
}
