// Handing frames to an encoder and its packets to the output file.
#include <algorithm>
#include <cstring>

#include "FFmpeg.h"
#include "TranscodeTypes.h"

namespace {

// Reads the quality, picture type and plane errors the encoder attached.
void ReadCodedInfo(const AVPacket* pkt, AVRational encoderBase, TCodedFrameInfo& info) {
  info.KeyFrame = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
  info.Pts = pkt->pts;
  (void)encoderBase;
  size_t size = 0;
  const uint8_t* stats = ml::av_packet_get_side_data(pkt, AV_PKT_DATA_QUALITY_STATS, &size);
  if (stats && size >= 6) {
    uint32_t quality;
    std::memcpy(&quality, stats, 4);
    info.Quality = static_cast<int>(quality);
    info.PictType = stats[4];
    const int errors = std::min<int>(stats[5], 4);
    for (int i = 0; i < errors && size >= 8 + 8 * static_cast<size_t>(i + 1); ++i)
      std::memcpy(&info.Error[i], stats + 8 + 8 * i, 8);
  }
  info.Valid = true;
}

}  // namespace

void TCustomFFmpeg::WritePacket(TOutputStreamRec& ost, AVPacket* pkt) {
  const int64_t ts = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
  if (ts != AV_NOPTS_VALUE) ost.CurrentPts = std::max(ost.CurrentPts, ts + pkt->duration);
  WriteOutputPacket(ost.File, pkt);
}

int TCustomFFmpeg::EncodeAndWrite(TOutputStreamRec& ost, AVFrame* frame) {
  AVCodecContext* enc = ost.Codec;
  const bool video = enc->codec_type == AVMEDIA_TYPE_VIDEO;
  const char* failure = video ? "Video encoding failed" : "Audio encoding failed";
  const int sent = ml::avcodec_send_frame(enc, frame);
  if (sent == AVERROR_EOF) return 0;
  if (sent < 0) throw FFMpegException(failure);
  engine::PacketPtr pkt(ml::av_packet_alloc());
  if (!pkt) throw FFMpegException("av_mallocz fail");
  int written = 0;
  while (true) {
    const int received = ml::avcodec_receive_packet(enc, pkt.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
    if (received < 0) throw FFMpegException(failure);
    ReadCodedInfo(pkt.get(), enc->time_base, ost.Coded);
    written += pkt->size;
    if (video) {
      VideoSize += pkt->size;
      if (ost.PassLogFile && enc->stats_out) std::fprintf(ost.PassLogFile.get(), "%s", enc->stats_out);
    } else {
      AudioSize += pkt->size;
    }
    ml::av_packet_rescale_ts(pkt.get(), enc->time_base, ost.Stream->time_base);
    pkt->stream_index = ost.StreamIndex;
    WritePacket(ost, pkt.get());
    ml::av_packet_unref(pkt.get());
  }
  return written;
}
