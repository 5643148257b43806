// Encoding a decoded subtitle for one output stream (twice for DVB).
#include "FFmpeg.h"
#include "TranscodeTypes.h"

void TCustomFFmpeg::OutputSubtitle(TTranscodeRun& run, TOutputStreamRec& ost,
                                   TInputStreamRec& ist, AVSubtitle* subtitle, int64_t pts) {
  (void)run;
  if (pts == AV_NOPTS_VALUE) {
    Log(0, "Subtitle packets must have a pts");
    return;
  }
  constexpr int kBufferSize = 65536;
  if (SubtitleBuffer.size() < kBufferSize) SubtitleBuffer.resize(kBufferSize);
  const bool dvb = ost.Codec->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
  for (int i = 0; i < (dvb ? 2 : 1); ++i) {
    const int size =
        ml::avcodec_encode_subtitle(ost.Codec, SubtitleBuffer.data(), kBufferSize, subtitle);
    if (size <= 0) continue;
    engine::PacketPtr pkt(ml::av_packet_alloc());
    if (!pkt || ml::av_new_packet(pkt.get(), size) < 0) throw FFMpegException("av_malloc fail");
    std::copy(SubtitleBuffer.begin(), SubtitleBuffer.begin() + size, pkt->data);
    pkt->stream_index = ost.StreamIndex;
    pkt->pts = ml::av_rescale_q(pts, ist.Stream->time_base, ost.Stream->time_base);
    if (dvb) pkt->pts += 90LL * (i == 0 ? subtitle->start_display_time : subtitle->end_display_time);
    pkt->dts = pkt->pts;
    WritePacket(ost, pkt.get());
  }
}
