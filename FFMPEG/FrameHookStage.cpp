// The per-picture hook stage: the gate that decides whether hook modules run
// (before-hook handler or time ranges), the custom hook on a 24-bit bitmap,
// and running the modules.
#include <cstring>

#include "FFmpeg.h"
#include "FrameHooks.h"
#include "Picture.h"

namespace engine {

void FrameHookProcess(std::vector<TFrameHookEntry>& list, THookPicture* picture, int pixFmt,
                      int width, int height, int64_t pts) {
  for (TFrameHookEntry& entry : list)
    if (entry.Process) entry.Process(entry.Context, picture, pixFmt, width, height, pts);
}

}  // namespace engine

namespace {

// What a handler's exception says when it is not a standard exception.
constexpr char kUnknownException[] = "Unknown exception";

}  // namespace

bool TCustomFFmpeg::HookGate(int64_t pts) {
  if (CustomHookHandler || !UsingVHook) return false;
  if (BeforeHookHandler) {
    try {
      BeforeHookHandler(this, pts, HookAction);
    } catch (const std::exception& e) {
      Log(0, std::string("Error occurs OnBeforeHook: ") + e.what());
      HookAction = haStop;
    } catch (...) {
      Log(0, std::string("Error occurs OnBeforeHook: ") + kUnknownException);
      HookAction = haStop;
    }
    if (HookAction == haStop) UsingVHook = 0;
  } else if (!HookRanges.empty()) {
    HookAction = haIgnore;
    const int last = static_cast<int>(HookRanges.size()) - 1;
    for (int i = HookRangeCurrent; i <= last; ++i) {
      const THookRange& range = HookRanges[i];
      if (range.StartTime <= pts && pts <= range.EndTime) {
        HookRangeCurrent = i;
        HookAction = haContinue;
        break;
      }
      if (i == last && range.EndTime < pts) {
        HookAction = haStop;
        UsingVHook = 0;
      }
    }
  }
  return UsingVHook && HookAction == haContinue;
}

bool TCustomFFmpeg::CustomHook(const engine::PictureRef& work, AVPixelFormat format, int width,
                               int height, int64_t pts) {
  if (!HookBitmap) HookBitmap = std::make_unique<TBitmap>(width, height);
  if (HookBitmap->Width() != width || HookBitmap->Height() != height)
    HookBitmap->SetSize(width, height);
  engine::PictureRef rgb;
  const bool convert = format != HookRGBPixFmt;
  if (convert) {
    const int size = ml::av_image_get_buffer_size(HookRGBPixFmt, width, height, 1);
    if (HookRGBBuffer.size() < static_cast<size_t>(size)) HookRGBBuffer.resize(size);
    ml::av_image_fill_arrays(rgb.data, rgb.linesize, HookRGBBuffer.data(), HookRGBPixFmt, width,
                             height, 1);
    HookToRGBContext.reset(ml::sws_getCachedContext(HookToRGBContext.release(), width, height,
                                                    format, width, height, HookRGBPixFmt,
                                                    SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!HookToRGBContext) {
      Log(0, "Cannot initialize the toRGB conversion context");
      return true;
    }
    ml::sws_scale(HookToRGBContext.get(), work.data, work.linesize, 0, height, rgb.data,
                  rgb.linesize);
  } else {
    rgb = work;
  }
  for (int y = 0; y < height; ++y)
    std::memcpy(HookBitmap->ScanLine(y), rgb.data[0] + y * rgb.linesize[0], width * 3);
  bool update = true, stop = false;
  HookBitmap->Lock();
  try {
    CustomHookHandler(this, HookBitmap.get(), HookFrameNumber, pts, update, stop);
  } catch (const std::exception& e) {
    Log(0, std::string("Error occurs OnCustomHook: ") + e.what());
    update = false;
  } catch (...) {
    Log(0, std::string("Error occurs OnCustomHook: ") + kUnknownException);
    update = false;
  }
  HookBitmap->Unlock();
  // A handler that resized the bitmap left no picture of this size to copy
  // back; the bitmap gets its size again with the next picture.
  if (HookBitmap->Width() != width || HookBitmap->Height() != height) update = false;
  if (update) {
    for (int y = 0; y < height; ++y)
      std::memcpy(rgb.data[0] + y * rgb.linesize[0], HookBitmap->ScanLine(y), width * 3);
    if (convert) {
      HookFromRGBContext.reset(ml::sws_getCachedContext(
          HookFromRGBContext.release(), width, height, HookRGBPixFmt, width, height, format,
          SWS_BICUBIC, nullptr, nullptr, nullptr));
      if (!HookFromRGBContext) {
        Log(0, "Cannot initialize the fromRGB conversion context");
        stop = true;
      } else {
        ml::sws_scale(HookFromRGBContext.get(), rgb.data, rgb.linesize, 0, height, work.data,
                      work.linesize);
      }
    }
  }
  return stop;
}

void TCustomFFmpeg::RunPictureHooks(const engine::PictureRef& work, AVPixelFormat format,
                                    int width, int height, int64_t pts, bool modulesRun) {
  if (CustomHookHandler) {
    if (CustomHook(work, format, width, height, pts)) {
      CustomHookHandler = nullptr;
      HookAction = haStop;
      UsingVHook = 0;
    }
    return;
  }
  if (modulesRun) {
    THookPicture picture;
    for (int i = 0; i < 4; ++i) {
      picture.data[i] = work.data[i];
      picture.linesize[i] = work.linesize[i];
    }
    engine::FrameHookProcess(HookModules, &picture, format, width, height, pts);
  }
}
