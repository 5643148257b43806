// Emitting a decoded picture to one output stream: frame-rate
// synchronisation, crop, scale, pad, encode.
#include <algorithm>
#include <cmath>

#include "FFmpeg.h"
#include "Picture.h"
#include "TranscodeTypes.h"

namespace {

bool AllocFrame(engine::FramePtr& frame, AVPixelFormat format, int width, int height) {
  frame.reset(ml::av_frame_alloc());
  if (!frame) return false;
  frame->format = format;
  frame->width = width;
  frame->height = height;
  return ml::av_frame_get_buffer(frame.get(), 0) >= 0;
}

}  // namespace

int TCustomFFmpeg::FramesToEmit(TOutputStreamRec& ost) {
  const double tb = av_q2d(ost.Codec->time_base);
  const double syncTime = static_cast<double>(ost.SyncStream->Pts - StartTime) / 1000000.0;
  int nb = 1;
  if (VideoSyncMethod > 0 || (VideoSyncMethod < 0 && tb > 0.001)) {
    const double vdelta = syncTime / tb - static_cast<double>(ost.SyncOpts);
    if (vdelta < -1.1)
      nb = 0;
    else if (VideoSyncMethod == 2)
      ost.SyncOpts = std::llrint(syncTime / tb);
    else if (vdelta > 1.1)
      nb = static_cast<int>(std::lrint(vdelta));
    if (nb == 0) {
      ++NbFramesDrop;
      if (Verbose > 2) Log(1, "*** drop!");
    } else if (nb > 1) {
      NbFramesDup += nb;
      if (Verbose > 2) LogF(1, "*** %d dup!", nb - 1);
    }
  } else {
    ost.SyncOpts = std::llrint(syncTime / tb);
  }
  return std::min(nb, MaxFrames[0] - ost.FrameNumber);
}

// Scales the cropped picture into the output's inner area; builds (or
// rebuilds, when the decoder's pictures changed shape) the scaler as needed.
bool TCustomFFmpeg::ScalePicture(TOutputStreamRec& ost, const engine::PictureRef& formatted,
                                 AVPixelFormat format, int width, int height,
                                 const engine::PictureRef& destination) {
  AVCodecContext* enc = ost.Codec;
  const int outWidth = enc->width - ost.PadLeftBand - ost.PadRightBand;
  const int outHeight = enc->height - ost.PadTopBand - ost.PadBottomBand;
  if (!ost.ScaleContext || width != ost.ScaleSourceWidth || height != ost.ScaleSourceHeight ||
      format != ost.ScaleSourceFormat) {
    ost.ScaleContext.reset(ml::sws_getCachedContext(ost.ScaleContext.release(), width, height,
                                                    format, outWidth, outHeight, enc->pix_fmt,
                                                    SwsFlags, nullptr, nullptr, nullptr));
    if (!ost.ScaleContext) {
      Log(0, "Cannot get resampling context");
      return false;
    }
    ost.ScaleSourceWidth = width;
    ost.ScaleSourceHeight = height;
    ost.ScaleSourceFormat = format;
    ost.ResampleHeight = height;
  }
  ml::sws_scale(ost.ScaleContext.get(), formatted.data, formatted.linesize, 0, ost.ResampleHeight,
                destination.data, destination.linesize);
  return true;
}

// The frame handed to the encoder. Cropped, scaled or padded pictures are
// built in the output's own picture (made writable first: the encoder may
// still hold the previous one); a picture that passes unchanged is sent as a
// reference to the decoder's frame, without a copy, unless pre-processing
// moved it into the engine's work buffer.
AVFrame* TCustomFFmpeg::PictureToEncode(TOutputStreamRec& ost, AVFrame* picture) {
  AVCodecContext* enc = ost.Codec;
  const AVPixelFormat inFormat = static_cast<AVPixelFormat>(picture->format);
  engine::PictureRef formatted = engine::RefOf(picture);
  if (ost.VideoCrop &&
      !engine::CropPicture(formatted, inFormat, ost.CropTopBand, ost.CropLeftBand, formatted)) {
    Log(0, "error cropping picture");
    return nullptr;
  }
  const int croppedWidth = picture->width - ost.CropLeftBand - ost.CropRightBand;
  const int croppedHeight = picture->height - ost.CropTopBand - ost.CropBottomBand;
  const int innerWidth = enc->width - ost.PadLeftBand - ost.PadRightBand;
  const int innerHeight = enc->height - ost.PadTopBand - ost.PadBottomBand;
  // The decoder may deliver pictures of another shape than it announced.
  const bool resample = ost.VideoResample || croppedWidth != innerWidth ||
                        croppedHeight != innerHeight || inFormat != enc->pix_fmt;
  const bool inWorkBuffer = !HookWorkBuffer.empty() && picture->data[0] >= HookWorkBuffer.data() &&
                            picture->data[0] < HookWorkBuffer.data() + HookWorkBuffer.size();
  if (!resample && !ost.VideoPad && !ost.VideoCrop && !inWorkBuffer && picture->buf[0]) {
    if (!ost.EncodeFrame) ost.EncodeFrame.reset(ml::av_frame_alloc());
    ml::av_frame_unref(ost.EncodeFrame.get());
    if (!ost.EncodeFrame || ml::av_frame_ref(ost.EncodeFrame.get(), picture) < 0)
      throw FFMpegException("Video encoding failed");
    return ost.EncodeFrame.get();
  }
  if (!ost.TempPicture && !AllocFrame(ost.TempPicture, enc->pix_fmt, enc->width, enc->height))
    throw FFMpegException("Video encoding failed");
  AVFrame* target = ost.TempPicture.get();
  if (ml::av_frame_make_writable(target) < 0) throw FFMpegException("Video encoding failed");
  const engine::PictureRef final = engine::RefOf(target);
  if (resample) {
    engine::PictureRef destination = final;
    if (ost.VideoPad && !engine::CropPicture(final, enc->pix_fmt, ost.PadTopBand, ost.PadLeftBand,
                                             destination)) {
      Log(0, "error padding picture");
      return nullptr;
    }
    if (!ScalePicture(ost, formatted, inFormat, croppedWidth, croppedHeight, destination))
      return nullptr;
  }
  if (ost.VideoPad) {
    if (!engine::PadPicture(final, enc->width, enc->height, enc->pix_fmt, ost.PadTopBand,
                            ost.PadBottomBand, ost.PadLeftBand, ost.PadRightBand, PadColor,
                            resample ? nullptr : &formatted)) {
      Log(0, "error padding picture");
      return nullptr;
    }
  } else if (!resample) {
    engine::CopyPicture(final, formatted, enc->pix_fmt, enc->width, enc->height);
  }
  return target;
}

void TCustomFFmpeg::OutputVideoFrame(TTranscodeRun& run, TOutputStreamRec& ost,
                                     TInputStreamRec& ist, AVFrame* picture, int& frameSize) {
  (void)run;
  frameSize = 0;
  const int nb = FramesToEmit(ost);
  if (nb <= 0) return;
  AVFrame* out = PictureToEncode(ost, picture);
  if (!out) return;
  const bool interlacedCoding = CodecOptionContexts[0] &&
                                (CodecOptionContexts[0]->flags &
                                 (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME));
  out->interlaced_frame = picture->interlaced_frame;
  if (interlacedCoding)
    out->top_field_first = TopFieldFirst == -1 ? picture->top_field_first : TopFieldFirst;
  out->quality = SameQuality ? ist.Quality : static_cast<int>(std::lrint(ost.Slot->Quality));
  out->pict_type = MeThreshold == 0 ? AV_PICTURE_TYPE_NONE : picture->pict_type;
  for (int i = 0; i < nb; ++i) {
    PausePoint();
    if (StopRequested) break;
    out->pts = ost.SyncOpts;
    const int bytes = EncodeAndWrite(ost, out);
    if (bytes > 0) frameSize = bytes;
    ++ost.SyncOpts;
    ++ost.FrameNumber;
  }
  if (out == ost.EncodeFrame.get()) ml::av_frame_unref(out);
}
