// Adding the video, audio and subtitle streams of an output file, with their
// encoder parameters taken from the option state.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "CodecLookup.h"
#include "FFmpeg.h"
#include "Format.h"
#include "StreamParameters.h"

namespace {

constexpr float kLambdaPerQuantiser = 118.0f;  // FF_QP2LAMBDA

AVPixelFormat ChoosePixelFormat(const AVCodec* encoder, int wanted) {
  AVPixelFormat format = static_cast<AVPixelFormat>(wanted);
  if (!encoder || !encoder->pix_fmts) return format;
  for (const AVPixelFormat* p = encoder->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
    if (*p == format) return format;
  return encoder->pix_fmts[0];
}

AVSampleFormat ChooseSampleFormat(const AVCodec* encoder) {
  if (!encoder || !encoder->sample_fmts) return AV_SAMPLE_FMT_S16;
  for (const AVSampleFormat* p = encoder->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
    if (*p == AV_SAMPLE_FMT_S16) return AV_SAMPLE_FMT_S16;
  return encoder->sample_fmts[0];
}

// Parses "start,end,q/start,end,q..." into override entries.
bool ParseRcOverride(const std::string& text, std::vector<RcOverride>& out) {
  const char* p = text.c_str();
  while (*p) {
    char* end;
    const long start = std::strtol(p, &end, 10);
    if (end == p || !*end) return false;
    p = end + 1;
    const long last = std::strtol(p, &end, 10);
    if (end == p || !*end) return false;
    p = end + 1;
    const long q = std::strtol(p, &end, 10);
    if (end == p) return false;
    p = end;
    RcOverride entry{};
    entry.start_frame = static_cast<int>(start);
    entry.end_frame = static_cast<int>(last);
    if (q > 0) {
      entry.qscale = static_cast<int>(q);
      entry.quality_factor = 1.0f;
    } else {
      entry.qscale = 0;
      entry.quality_factor = static_cast<float>(-q) / 100.0f;
    }
    out.push_back(entry);
    if (*p == '/') ++p;
    else if (*p) return false;
  }
  return true;
}

uint16_t* CopyMatrix(const uint16_t* matrix) {
  if (!matrix) return nullptr;
  auto* copy = static_cast<uint16_t*>(ml::av_malloc(64 * sizeof(uint16_t)));
  if (copy) std::memcpy(copy, matrix, 64 * sizeof(uint16_t));
  return copy;
}

}  // namespace

TOutputFileSlot* TCustomFFmpeg::OutputSlotFor(AVFormatContext* oc) {
  if (pendingOutput_ && pendingOutput_->Context.get() == oc) return pendingOutput_;
  for (int i = 0; i < NbOutputFiles; ++i)
    if (OutputFiles[i].Context.get() == oc) return &OutputFiles[i];
  return nullptr;
}

AVStream* TCustomFFmpeg::AddStream(AVFormatContext* oc, std::string& codecName) {
  AVStream* st = oc ? ml::avformat_new_stream(oc, nullptr) : nullptr;
  if (!st || !OutputSlotFor(oc)) {
    codecName.clear();
    throw FFMpegException("Could not alloc stream");
  }
  st->id = st->index;
  return st;
}

// The encoder of a new stream: the named one, or the format's default for the
// kind. The codec id is set even when this build has no encoder for it (the
// run then reports the stream as unsupported).
const AVCodec* TCustomFFmpeg::OutputEncoder(AVFormatContext* oc, std::string& name,
                                            AVMediaType type, AVCodecID& id) {
  id = AV_CODEC_ID_NONE;
  if (!name.empty()) {
    std::string error;
    if (!engine::LookupCodec(name, type, true, id, error)) {
      name.clear();
      throw FFMpegException(error);
    }
    return ml::avcodec_find_encoder_by_name(name.c_str());
  }
  id = ml::av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, type);
  return ml::avcodec_find_encoder(id);
}

// What every new stream starts with: the muxer's stream, an encoder context
// (for the encoder when there is one) of the kind, and the codec tag.
AVCodecContext* TCustomFFmpeg::StartStream(AVFormatContext* oc, std::string& name,
                                           AVMediaType type, bool copy, int32_t tag,
                                           TOutputStreamSlot& slot, const AVCodec*& encoder) {
  AddStream(oc, name);
  AVCodecID id = AV_CODEC_ID_NONE;
  encoder = copy ? nullptr : OutputEncoder(oc, name, type, id);
  slot.Codec.reset(ml::avcodec_alloc_context3(encoder));
  if (!slot.Codec) throw FFMpegException("Could not alloc stream");
  AVCodecContext* codec = slot.Codec.get();
  codec->codec_type = type;
  codec->codec_id = id;
  if (tag) codec->codec_tag = static_cast<unsigned>(tag);
  slot.StreamCopy = copy;
  return codec;
}

void TCustomFFmpeg::NewVideoStream(AVFormatContext* oc) {
  TOutputStreamSlot slot;
  const AVCodec* encoder = nullptr;
  const bool copy = VideoStreamCopy != 0;
  AVCodecContext* codec = StartStream(oc, VideoCodecName, AVMEDIA_TYPE_VIDEO, copy, VideoCodecTag,
                                      slot, encoder);
  AVStream* st = oc->streams[oc->nb_streams - 1];
  TOutputFileSlot& file = *OutputSlotFor(oc);
  AVCodecContext* options = CodecOptionContexts[0].get();
  if ((VideoGlobalHeader & 1) || (VideoGlobalHeader == 0 && (oc->oformat->flags & AVFMT_GLOBALHEADER))) {
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    options->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  if (VideoGlobalHeader & 2) {
    codec->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
    options->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
  }
  if (!copy) {
    AVRational rate = FrameRate.num ? FrameRate : AVRational{25, 1};
    CopyRememberedOptions(codec, options, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    if (encoder && encoder->supported_framerates)
      rate = engine::NearestSupportedRate(encoder->supported_framerates, rate);
    codec->time_base = AVRational{rate.den, rate.num};
    codec->framerate = rate;
    codec->width = FrameWidth + FramePadLeft + FramePadRight;
    codec->height = FrameHeight + FramePadTop + FramePadBottom;
    if (codec->width > 0 && codec->height > 0)
      codec->sample_aspect_ratio = engine::SampleAspect(FrameAspectRatio, codec->width, codec->height);
    st->sample_aspect_ratio = codec->sample_aspect_ratio;
    codec->pix_fmt = ChoosePixelFormat(encoder, FramePixFmt);
    if (IntraOnly) codec->gop_size = 0;
    if (VideoQScale != 0 || SameQuality) {
      codec->flags |= AV_CODEC_FLAG_QSCALE;
      slot.Quality = kLambdaPerQuantiser * VideoQScale;
      codec->global_quality = static_cast<int>(slot.Quality);
    }
    codec->intra_matrix = CopyMatrix(IntraMatrix.get());
    codec->inter_matrix = CopyMatrix(InterMatrix.get());
    codec->thread_count = ThreadCount;
    if (!VideoRcOverrideString.empty()) {
      std::vector<RcOverride> entries;
      if (!ParseRcOverride(VideoRcOverrideString, entries)) {
        VideoCodecName.clear();
        throw FFMpegException("error parsing rc_override");
      }
      codec->rc_override = static_cast<RcOverride*>(
          ml::av_malloc(sizeof(RcOverride) * std::max<size_t>(entries.size(), 1)));
      std::memcpy(codec->rc_override, entries.data(), sizeof(RcOverride) * entries.size());
      codec->rc_override_count = static_cast<int>(entries.size());
      slot.RcOverrides = entries;
    }
    if (codec->rc_initial_buffer_occupancy == 0)
      codec->rc_initial_buffer_occupancy = codec->rc_buffer_size * 3 / 4;
    codec->intra_dc_precision = IntraDcPrecision - 8;
    if (DoPsnr) codec->flags |= AV_CODEC_FLAG_PSNR;
    if (DoPass == 1) codec->flags |= AV_CODEC_FLAG_PASS1;
    if (DoPass == 2) codec->flags |= AV_CODEC_FLAG_PASS2;
  }
  slot.EncoderOptions = PrivateOptions;
  file.Streams.push_back(std::move(slot));
  VideoDisable = 0;
  VideoCodecName.clear();
  VideoStreamCopy = 0;
}

void TCustomFFmpeg::NewAudioStream(AVFormatContext* oc) {
  TOutputStreamSlot slot;
  const AVCodec* encoder = nullptr;
  const bool copy = AudioStreamCopy != 0;
  AVCodecContext* codec = StartStream(oc, AudioCodecName, AVMEDIA_TYPE_AUDIO, copy, AudioCodecTag,
                                      slot, encoder);
  AVStream* st = oc->streams[oc->nb_streams - 1];
  TOutputFileSlot& file = *OutputSlotFor(oc);
  AVCodecContext* options = CodecOptionContexts[1].get();
  if (oc->oformat->flags & AVFMT_GLOBALHEADER) {
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    options->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  if (!copy) {
    CopyRememberedOptions(codec, options, AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    if (AudioQScale > -99999) {
      codec->flags |= AV_CODEC_FLAG_QSCALE;
      slot.Quality = kLambdaPerQuantiser * AudioQScale;
      codec->global_quality = static_cast<int>(slot.Quality);
    }
    codec->thread_count = ThreadCount;
    codec->sample_fmt = ChooseSampleFormat(encoder);
  }
  ml::av_channel_layout_uninit(&codec->ch_layout);
  ml::av_channel_layout_default(&codec->ch_layout, AudioChannels);
  codec->sample_rate = AudioSampleRate;
  if (AudioSampleRate > 0) codec->time_base = AVRational{1, AudioSampleRate};
  if (!AudioLanguage.empty()) {
    ml::av_dict_set(&st->metadata, "language", AudioLanguage.substr(0, 3).c_str(), 0);
    AudioLanguage.clear();
  }
  slot.EncoderOptions = PrivateOptions;
  file.Streams.push_back(std::move(slot));
  AudioDisable = 0;
  AudioCodecName.clear();
  AudioStreamCopy = 0;
}

void TCustomFFmpeg::NewSubtitleStream(AVFormatContext* oc) {
  AVStream* st = nullptr;
  try {
    st = AddStream(oc, SubtitleCodecName);
  } catch (...) {
    SubtitleLanguage.clear();
    throw;
  }
  TOutputFileSlot& file = *OutputSlotFor(oc);
  TOutputStreamSlot slot;
  const bool copy = SubtitleStreamCopy != 0;
  AVCodecID id = AV_CODEC_ID_NONE;
  if (!copy) {
    std::string error;
    if (!engine::LookupCodec(SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, true, id, error)) {
      SubtitleCodecName.clear();
      throw FFMpegException(error);
    }
  }
  slot.Codec.reset(ml::avcodec_alloc_context3(copy ? nullptr : ml::avcodec_find_encoder(id)));
  AVCodecContext* codec = slot.Codec.get();
  codec->codec_type = AVMEDIA_TYPE_SUBTITLE;
  if (copy) {
    slot.StreamCopy = true;
  } else {
    CopyRememberedOptions(codec, CodecOptionContexts[3].get(),
                          AV_OPT_FLAG_SUBTITLE_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    codec->codec_id = id;
  }
  if (!SubtitleLanguage.empty()) {
    ml::av_dict_set(&st->metadata, "language", SubtitleLanguage.substr(0, 3).c_str(), 0);
    SubtitleLanguage.clear();
  }
  slot.EncoderOptions = PrivateOptions;
  file.Streams.push_back(std::move(slot));
  SubtitleDisable = 0;
  SubtitleCodecName.clear();
  SubtitleStreamCopy = 0;
}
