#include "FFmpeg.h"

void TCustomFFmpeg::Transcode() {}
