// One input packet: decoding it (or passing it through for stream copy) and
// feeding every output stream that takes this input stream; with no packet,
// draining the decoder and then the encoders it feeds.
#include <chrono>
#include <thread>

#include "FFmpeg.h"
#include "TranscodeTypes.h"

namespace {

constexpr int64_t kMicro = 1000000;

int64_t FrameDurationUs(const TInputStreamRec& ist) {
  if (ist.FrameDuration.num == 0 || ist.FrameDuration.den == 0) return 0;
  return kMicro * ist.FrameDuration.num / ist.FrameDuration.den;
}

}  // namespace

void TCustomFFmpeg::EmulateRate(TInputStreamRec& ist) {
  if (!ist.RateEmu) return;
  const AVRational tb = ist.Codec->time_base;
  const int64_t target = ml::av_rescale(static_cast<int64_t>(ist.RateEmuFrame) * tb.num, kMicro,
                                        tb.den > 0 ? tb.den : 1);
  const int64_t elapsed = ml::av_gettime() - ist.RateEmuStart;
  if (target - elapsed > 50000)
    std::this_thread::sleep_for(std::chrono::milliseconds((target - elapsed) / 1000));
  ++ist.RateEmuFrame;
}

// Input data at or past the recording time feeds no output: streams that are
// read ahead of the others (interleaving, encoder delay) end at -t too.
bool TCustomFFmpeg::PastRecordingTime(const TInputStreamRec& ist) const {
  return RecordingTime != INT64_MAX && ist.Pts >= RecordingTime;
}

void TCustomFFmpeg::CopyPacket(TTranscodeRun& run, TInputStreamRec& ist, int number,
                               AVPacket* pkt) {
  if (PastRecordingTime(ist)) return;
  // The last stream-copy output of a stream that is not decoded takes the
  // packet itself; any other gets a new reference to its data.
  TOutputStreamRec* last = nullptr;
  for (auto& ost : run.OutputStreams)
    if (ost->SourceIndex == number && !ost->EncodingNeeded) last = ost.get();
  const AVRational from = ist.Stream->time_base;
  const int64_t pts = pkt->pts, dts = pkt->dts, duration = pkt->duration;
  const int flags = pkt->flags, size = pkt->size;
  for (auto& ostPtr : run.OutputStreams) {
    TOutputStreamRec& ost = *ostPtr;
    if (ost.SourceIndex != number || ost.EncodingNeeded) continue;
    if (ost.FrameNumber == 0 && !(flags & AV_PKT_FLAG_KEY)) continue;
    const AVMediaType type = ost.Stream->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO) AudioSize += size;
    if (type == AVMEDIA_TYPE_VIDEO) {
      VideoSize += size;
      ++ost.SyncOpts;
    }
    AVPacket* out = run.CopyOut.get();
    if (&ost == last && !ist.DecodingNeeded)
      ml::av_packet_move_ref(out, pkt);
    else if (ml::av_packet_ref(out, pkt) < 0)
      throw FFMpegException("av_mallocz fail");
    const AVRational to = ost.Stream->time_base;
    out->stream_index = ost.StreamIndex;
    out->pts = pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : ml::av_rescale_q(pts, from, to);
    out->dts = dts != AV_NOPTS_VALUE ? ml::av_rescale_q(dts, from, to)
                                     : ml::av_rescale_q(ist.Pts, AV_TIME_BASE_Q, to);
    out->duration = ml::av_rescale_q(duration, from, to);
    out->flags = flags;
    out->pos = -1;
    WritePacket(ost, out);
    ml::av_packet_unref(out);
    ++ost.FrameNumber;
  }
}

int TCustomFFmpeg::ProcessInputPacket(TTranscodeRun& run, TInputStreamRec& ist, int number,
                                      AVPacket* pkt) {
  if (ist.NextPts == AV_NOPTS_VALUE) ist.NextPts = ist.Pts;
  if (pkt && pkt->dts != AV_NOPTS_VALUE)
    ist.Pts = ist.NextPts = ml::av_rescale_q(pkt->dts, ist.Stream->time_base, AV_TIME_BASE_Q);
  if (!ist.DecodingNeeded) {
    if (!pkt) return 0;
    ist.Pts = ist.NextPts;
    const AVCodecParameters* par = ist.Stream->codecpar;
    if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0)
      ist.NextPts += kMicro * par->frame_size / par->sample_rate;
    else if (par->codec_type == AVMEDIA_TYPE_VIDEO)
      ist.NextPts += FrameDurationUs(ist);
    EmulateRate(ist);
    CopyPacket(run, ist, number, pkt);
    return 0;
  }
  if (pkt) CopyPacket(run, ist, number, pkt);
  int result = 0;
  switch (ist.Codec->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
    case AVMEDIA_TYPE_VIDEO:
      result = DecodeFrames(run, ist, number, pkt);
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      result = pkt ? DecodeSubtitle(run, ist, number, pkt) : 0;
      break;
    default:
      return -1;
  }
  if (result < 0) return result;
  if (!pkt) DrainEncoders(run, number);
  return 0;
}

int TCustomFFmpeg::DecodeFrames(TTranscodeRun& run, TInputStreamRec& ist, int number,
                                AVPacket* pkt) {
  AVCodecContext* dec = ist.Codec;
  int sent = ml::avcodec_send_packet(dec, pkt);
  if (sent < 0 && sent != AVERROR_EOF && sent != AVERROR(EAGAIN)) return -1;
  AVFrame* frame = run.Frame.get();
  int frames = 0;
  while (true) {
    const int received = ml::avcodec_receive_frame(dec, frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
    if (received < 0) return -1;
    ist.Pts = ist.NextPts;
    if (++frames > 1 && pkt && Verbose > 0)
      LogF(0, "Multiple frames in a packet from stream %d", pkt->stream_index);
    if (dec->codec_type == AVMEDIA_TYPE_AUDIO)
      DecodedAudio(run, ist, number, frame);
    else
      DecodedPicture(run, ist, number, frame);
    ml::av_frame_unref(frame);
  }
  return 0;
}

void TCustomFFmpeg::DecodedAudio(TTranscodeRun& run, TInputStreamRec& ist, int number,
                                 AVFrame* frame) {
  const int size = ToInterleavedS16(ist, frame);
  if (size <= 0) return;
  ist.NextPts += 500000LL * size / (static_cast<int64_t>(ist.SampleRate) * ist.Channels);
  if (AudioVolume != 256) ApplyVolume(AudioDecodeBuffer.data(), size);
  EmulateRate(ist);
  if ((StartTime && StartTime > ist.Pts) || PastRecordingTime(ist)) return;
  for (auto& ost : run.OutputStreams)
    if (ost->SourceIndex == number && ost->EncodingNeeded)
      OutputAudioFrame(run, *ost, ist, AudioDecodeBuffer.data(), size);
}

void TCustomFFmpeg::DecodedPicture(TTranscodeRun& run, TInputStreamRec& ist, int number,
                                   AVFrame* frame) {
  ist.Quality = frame->quality;
  ist.NextPts += FrameDurationUs(ist);
  PreprocessPicture(ist, frame);
  EmulateRate(ist);
  if ((StartTime && StartTime > ist.Pts) || PastRecordingTime(ist)) return;
  for (auto& ost : run.OutputStreams) {
    if (ost->SourceIndex != number || !ost->EncodingNeeded) continue;
    int frameSize = 0;
    OutputVideoFrame(run, *ost, ist, frame, frameSize);
    if (!VStatsFileName.empty() && frameSize) WriteVideoStats(*ost, frameSize);
  }
}

int TCustomFFmpeg::DecodeSubtitle(TTranscodeRun& run, TInputStreamRec& ist, int number,
                                  AVPacket* pkt) {
  AVSubtitle subtitle{};
  int got = 0;
  if (ml::avcodec_decode_subtitle2(ist.Codec, &subtitle, &got, pkt) < 0) return -1;
  if (!got) return 0;
  ist.Pts = ist.NextPts;
  for (auto& ost : run.OutputStreams)
    if (ost->SourceIndex == number && ost->EncodingNeeded)
      OutputSubtitle(run, *ost, ist, &subtitle, pkt->pts);
  ml::avsubtitle_free(&subtitle);
  return 0;
}

void TCustomFFmpeg::DrainEncoders(TTranscodeRun& run, int number) {
  for (auto& ostPtr : run.OutputStreams) {
    TOutputStreamRec& ost = *ostPtr;
    if (ost.SourceIndex != number || !ost.EncodingNeeded) continue;
    const AVMediaType type = ost.Codec->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO) {
      if (ost.Codec->frame_size <= 1) continue;
      FlushAudioFifo(ost);
      EncodeAndWrite(ost, nullptr);
    } else if (type == AVMEDIA_TYPE_VIDEO) {
      EncodeAndWrite(ost, nullptr);
    }
  }
}
