// Decoded audio on its way to an output stream: volume, synchronisation by
// trimming, padding or drift compensation, channel and rate conversion,
// framing through the FIFO into whole encoder frames, encoding.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "FFmpeg.h"
#include "Format.h"
#include "TranscodeTypes.h"

namespace {

constexpr int kMaxSilenceBytes = 131072;

AVChannelLayout DefaultLayout(int channels) {
  AVChannelLayout layout{};
  ml::av_channel_layout_default(&layout, channels);
  return layout;
}

AVChannelLayout UsableLayout(const AVChannelLayout& layout) {
  if (layout.order == AV_CHANNEL_ORDER_UNSPEC || layout.nb_channels <= 0)
    return DefaultLayout(layout.nb_channels > 0 ? layout.nb_channels : 1);
  AVChannelLayout copy{};
  ml::av_channel_layout_copy(&copy, &layout);
  return copy;
}

SwrContext* MakeSwr(const AVChannelLayout& outLayout, AVSampleFormat outFormat, int outRate,
                    const AVChannelLayout& inLayout, AVSampleFormat inFormat, int inRate) {
  SwrContext* swr = nullptr;
  if (ml::swr_alloc_set_opts2(&swr, const_cast<AVChannelLayout*>(&outLayout), outFormat, outRate,
                              const_cast<AVChannelLayout*>(&inLayout), inFormat, inRate, 0,
                              nullptr) < 0)
    return nullptr;
  if (ml::swr_init(swr) < 0) {
    ml::swr_free(&swr);
    return nullptr;
  }
  return swr;
}

}  // namespace

void TCustomFFmpeg::ApplyVolume(uint8_t* data, int size) {
  auto* samples = reinterpret_cast<int16_t*>(data);
  for (int i = 0; i < size / 2; ++i) {
    const int v = (samples[i] * AudioVolume + 128) >> 8;
    samples[i] = static_cast<int16_t>(std::clamp(v, -32768, 32767));
  }
}

int TCustomFFmpeg::ToInterleavedS16(TInputStreamRec& ist, const AVFrame* frame) {
  const int channels = frame->ch_layout.nb_channels;
  if (channels <= 0 || frame->sample_rate <= 0 || frame->nb_samples <= 0) return 0;
  ist.Channels = channels;
  ist.SampleRate = frame->sample_rate;
  const size_t bytes = static_cast<size_t>(frame->nb_samples) * 2 * channels;
  if (AudioDecodeBuffer.size() < std::max<size_t>(bytes, 192000))
    AudioDecodeBuffer.resize(std::max<size_t>(bytes, 192000));
  if (frame->format == AV_SAMPLE_FMT_S16) {
    std::memcpy(AudioDecodeBuffer.data(), frame->data[0], bytes);
    return static_cast<int>(bytes);
  }
  if (!ist.ToInterleaved || ist.ToInterleavedFormat != frame->format ||
      ist.ToInterleavedChannels != channels || ist.ToInterleavedRate != frame->sample_rate) {
    AVChannelLayout layout = UsableLayout(frame->ch_layout);
    ist.ToInterleaved.reset(MakeSwr(layout, AV_SAMPLE_FMT_S16, frame->sample_rate, layout,
                                    static_cast<AVSampleFormat>(frame->format),
                                    frame->sample_rate));
    ml::av_channel_layout_uninit(&layout);
    if (!ist.ToInterleaved) return 0;
    ist.ToInterleavedFormat = frame->format;
    ist.ToInterleavedChannels = channels;
    ist.ToInterleavedRate = frame->sample_rate;
  }
  uint8_t* out = AudioDecodeBuffer.data();
  const int converted =
      ml::swr_convert(ist.ToInterleaved.get(), &out, frame->nb_samples,
                      const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
  return converted > 0 ? converted * 2 * channels : 0;
}

void TCustomFFmpeg::EnsureResampler(TOutputStreamRec& ost, const TInputStreamRec& ist) {
  AVCodecContext* enc = ost.Codec;
  if (ost.Resampler && ost.ResamplerInChannels == ist.Channels &&
      ost.ResamplerInRate == ist.SampleRate)
    return;
  AVChannelLayout in = DefaultLayout(ist.Channels);
  AVChannelLayout out = UsableLayout(enc->ch_layout);
  ost.Resampler.reset(
      MakeSwr(out, AV_SAMPLE_FMT_S16, enc->sample_rate, in, AV_SAMPLE_FMT_S16, ist.SampleRate));
  ml::av_channel_layout_uninit(&out);
  if (!ost.Resampler)
    throw FFMpegException(
        engine::Format("Can not resample %d channels @ %d Hz to %d channels @ %d Hz", ist.Channels,
                       ist.SampleRate, enc->ch_layout.nb_channels, enc->sample_rate));
  ost.ResamplerInChannels = ist.Channels;
  ost.ResamplerInRate = ist.SampleRate;
}

void TCustomFFmpeg::EncodeAudioSamples(TOutputStreamRec& ost, const uint8_t* samples, int count) {
  AVCodecContext* enc = ost.Codec;
  if (!ost.AudioFrame || ost.AudioFrameCapacity < count) {
    ost.AudioFrame.reset(ml::av_frame_alloc());
    if (!ost.AudioFrame) throw FFMpegException("Audio encoding failed");
    ost.AudioFrameCapacity = std::max(enc->frame_size, count);
    AVFrame* fresh = ost.AudioFrame.get();
    fresh->format = enc->sample_fmt;
    fresh->sample_rate = enc->sample_rate;
    ml::av_channel_layout_copy(&fresh->ch_layout, &enc->ch_layout);
    fresh->nb_samples = ost.AudioFrameCapacity;
    if (ml::av_frame_get_buffer(fresh, 0) < 0) throw FFMpegException("Audio encoding failed");
  }
  AVFrame* frame = ost.AudioFrame.get();
  frame->nb_samples = ost.AudioFrameCapacity;
  if (ml::av_frame_make_writable(frame) < 0) throw FFMpegException("Audio encoding failed");
  frame->nb_samples = count;
  if (enc->sample_fmt == AV_SAMPLE_FMT_S16) {
    std::memcpy(frame->data[0], samples,
                static_cast<size_t>(count) * 2 * enc->ch_layout.nb_channels);
  } else {
    if (!ost.ToEncoderFormat) {
      AVChannelLayout layout = UsableLayout(enc->ch_layout);
      ost.ToEncoderFormat.reset(MakeSwr(layout, enc->sample_fmt, enc->sample_rate, layout,
                                        AV_SAMPLE_FMT_S16, enc->sample_rate));
      ml::av_channel_layout_uninit(&layout);
      if (!ost.ToEncoderFormat) throw FFMpegException("Audio encoding failed");
    }
    const uint8_t* in = samples;
    ml::swr_convert(ost.ToEncoderFormat.get(), frame->extended_data, count, &in, count);
  }
  // The sample clock follows the input's timestamps, which jitter by a few
  // samples; encoder frames must still move strictly forward.
  frame->pts = std::max(ost.SyncOpts, ost.NextAudioPts);
  ost.NextAudioPts = frame->pts + count;
  EncodeAndWrite(ost, frame);
}

bool TCustomFFmpeg::SynchroniseAudio(TOutputStreamRec& ost, TInputStreamRec& ist,
                                     const uint8_t*& buffer, int& size) {
  AVCodecContext* enc = ost.Codec;
  const int encChannels = enc->ch_layout.nb_channels, encRate = enc->sample_rate;
  const double syncTime = static_cast<double>(ost.SyncStream->Pts - StartTime) / 1000000.0;
  const size_t fifoBytes = ml::av_fifo_can_read(ost.AudioFifo.get());
  if (!AudioSyncMethod) {
    // The samples handed to the encoder are counted, so each frame's
    // timestamp follows the one before it exactly. The input clock is taken
    // only across a forward gap larger than the drift threshold: many inputs
    // carry rounded timestamps (RealMedia's milliseconds), and following them
    // chunk by chunk gives frames overlapping timestamps that muxers refuse.
    const int64_t clock = std::llrint(syncTime * encRate) -
                          static_cast<int64_t>(fifoBytes / (2 * static_cast<size_t>(encChannels)));
    if (clock - ost.SyncOpts > AudioDriftThreshold * encRate) ost.SyncOpts = clock;
    return true;
  }
  const double delta = syncTime * encRate - static_cast<double>(ost.SyncOpts) -
                       static_cast<double>(fifoBytes) / (2.0 * encChannels);
  const double idelta = delta * ist.SampleRate / encRate;
  int byteDelta = static_cast<int>(idelta) * 2 * ist.Channels;
  if (std::fabs(delta) <= 50) return true;
  if (ist.IsStart || std::fabs(delta) > AudioDriftThreshold * encRate) {
    if (byteDelta < 0) {
      byteDelta = std::max(byteDelta, -size);
      buffer -= byteDelta;
      size += byteDelta;
      if (Verbose > 2) LogF(1, "discarding %d audio samples", static_cast<int>(-delta));
      if (size <= 0) return false;
      ist.IsStart = 0;
    } else {
      if (byteDelta + size <= kMaxSilenceBytes)
        ist.IsStart = 0;
      else
        byteDelta = std::max(0, kMaxSilenceBytes - size);
      SilenceBuffer.assign(static_cast<size_t>(byteDelta), 0);
      SilenceBuffer.insert(SilenceBuffer.end(), buffer, buffer + size);
      buffer = SilenceBuffer.data();
      size += byteDelta;
      if (Verbose > 2) LogF(1, "adding %d audio samples of silence", static_cast<int>(delta));
    }
  } else if (AudioSyncMethod > 1) {
    const int comp = std::clamp(static_cast<int>(delta), -AudioSyncMethod, AudioSyncMethod);
    if (Verbose > 2)
      LogF(1, "compensating audio timestamp drift:%f compensation:%d in:%d", delta, comp, encRate);
    if (ost.Resampler) ml::swr_set_compensation(ost.Resampler.get(), comp, encRate);
  }
  return true;
}

void TCustomFFmpeg::OutputAudioFrame(TTranscodeRun& run, TOutputStreamRec& ost,
                                     TInputStreamRec& ist, const uint8_t* data, int size) {
  (void)run;
  AVCodecContext* enc = ost.Codec;
  const int encChannels = enc->ch_layout.nb_channels;
  if (encChannels != ist.Channels) ost.AudioResample = 1;
  if (ost.AudioResample) EnsureResampler(ost, ist);
  if (!SynchroniseAudio(ost, ist, data, size)) return;

  const uint8_t* output = data;
  int outputSize = size;
  if (ost.AudioResample) {
    const int inSamples = size / (2 * ist.Channels);
    const int room = ml::swr_get_out_samples(ost.Resampler.get(), inSamples) + 16;
    const size_t needed = static_cast<size_t>(room) * 2 * encChannels;
    if (ResampleBuffer.size() < needed) ResampleBuffer.resize(needed);
    uint8_t* out = ResampleBuffer.data();
    const int produced = ml::swr_convert(ost.Resampler.get(), &out, room, &data, inSamples);
    output = ResampleBuffer.data();
    outputSize = produced > 0 ? produced * 2 * encChannels : 0;
  }
  if (enc->frame_size > 1) {
    if (outputSize > 0 && ml::av_fifo_write(ost.AudioFifo.get(), output, outputSize) < 0)
      throw FFMpegException("av_fifo_init fail");
    EncodeWholeFrames(ost);
  } else if (outputSize > 0) {
    const int samples = outputSize / (2 * encChannels);
    EncodeAudioSamples(ost, output, samples);
    ost.SyncOpts += samples;
  }
}

// Encodes every whole encoder frame waiting in the FIFO.
void TCustomFFmpeg::EncodeWholeFrames(TOutputStreamRec& ost) {
  AVCodecContext* enc = ost.Codec;
  const size_t wanted = static_cast<size_t>(enc->frame_size) * 2 * enc->ch_layout.nb_channels;
  if (FrameBuffer.size() < wanted) FrameBuffer.resize(wanted);
  while (ml::av_fifo_can_read(ost.AudioFifo.get()) >= wanted) {
    ml::av_fifo_read(ost.AudioFifo.get(), FrameBuffer.data(), wanted);
    EncodeAudioSamples(ost, FrameBuffer.data(), enc->frame_size);
    ost.SyncOpts += enc->frame_size;
  }
}

void TCustomFFmpeg::FlushAudioFifo(TOutputStreamRec& ost) {
  AVCodecContext* enc = ost.Codec;
  const int frameBytes = 2 * enc->ch_layout.nb_channels;
  if (ost.Resampler) {
    const int room = ml::swr_get_out_samples(ost.Resampler.get(), 0) + 16;
    std::vector<uint8_t> tail(static_cast<size_t>(room) * frameBytes);
    uint8_t* out = tail.data();
    const int produced = ml::swr_convert(ost.Resampler.get(), &out, room, nullptr, 0);
    if (produced > 0) ml::av_fifo_write(ost.AudioFifo.get(), tail.data(), produced * frameBytes);
  }
  EncodeWholeFrames(ost);
  const size_t rest = ml::av_fifo_can_read(ost.AudioFifo.get());
  if (rest == 0) return;
  ml::av_fifo_read(ost.AudioFifo.get(), FrameBuffer.data(), rest);
  if (enc->codec && (enc->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)) {
    const int samples = static_cast<int>(rest / frameBytes);
    EncodeAudioSamples(ost, FrameBuffer.data(), samples);
    ost.SyncOpts += samples;
  }
}
