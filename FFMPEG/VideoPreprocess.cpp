// Pre-processing of each decoded picture, once per input stream: the work
// picture, deinterlacing and the frame hooks.
#include <cmath>

#include "FFmpeg.h"
#include "Picture.h"
#include "TranscodeTypes.h"

void TCustomFFmpeg::PreprocessPicture(TInputStreamRec& ist, AVFrame* picture) {
  const int64_t pts = ist.Pts;
  ++HookFrameNumber;
  const bool modulesRun = HookGate(pts);
  if (!DoDeinterlace && !CustomHookHandler && !modulesRun) return;

  const AVPixelFormat format = static_cast<AVPixelFormat>(picture->format);
  const int width = picture->width, height = picture->height;
  const int size = ml::av_image_get_buffer_size(format, width, height, 1);
  if (size <= 0) {
    Log(0, "hook buf malloc error.");
    return;
  }
  try {
    if (HookWorkBuffer.size() < static_cast<size_t>(size)) HookWorkBuffer.resize(size);
  } catch (const std::bad_alloc&) {
    Log(0, "hook buf malloc error.");
    return;
  }
  engine::PictureRef work;
  ml::av_image_fill_arrays(work.data, work.linesize, HookWorkBuffer.data(), format, width, height,
                           1);
  const engine::PictureRef source = engine::RefOf(picture);
  bool copied = false;
  if (DoDeinterlace) {
    if (engine::DeinterlacePicture(work, source, format, width, height) < 0)
      Log(0, "deinterlace error.");
    else
      copied = true;
  }
  if (!copied) engine::CopyPicture(work, source, format, width, height);

  RunPictureHooks(work, format, width, height, pts, modulesRun);

  for (int i = 0; i < 4; ++i) {
    picture->data[i] = work.data[i];
    picture->linesize[i] = work.linesize[i];
  }
}
