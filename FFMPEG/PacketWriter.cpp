// The single path by which every packet reaches an output file.
#include "FFmpeg.h"
#include "OpenError.h"

void TCustomFFmpeg::WriteOutputPacket(AVFormatContext* oc, AVPacket* packet) {
  const int result = ml::av_interleaved_write_frame(oc, packet);
  if (result < 0)
    throw FFMpegException(engine::OpenErrorText("av_interleaved_write_frame()", result));
}
