// Opening an input file: probing its streams, applying the pending input
// options and carrying the input's properties back into the option state.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "CodecLookup.h"
#include "FFmpeg.h"
#include "Format.h"
#include "OpenError.h"

namespace {

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

// The open options the old format-parameters record carried; demuxers that
// know them (raw and capture formats) use them, the rest leave them alone.
engine::Dictionary OpenParameters(const TCustomFFmpeg& e) {
  engine::Dictionary d = e.PrivateOptions;
  if (e.FrameRate.num > 0 && e.FrameRate.den > 0)
    d.Set("framerate", engine::Format("%d/%d", e.FrameRate.num, e.FrameRate.den).c_str());
  d.Set("sample_rate", std::to_string(e.AudioSampleRate).c_str());
  d.Set("channels", std::to_string(e.AudioChannels).c_str());
  const int width = e.FrameWidth + e.FramePadLeft + e.FramePadRight;
  const int height = e.FrameHeight + e.FramePadTop + e.FramePadBottom;
  if (width > 0 && height > 0) d.Set("video_size", engine::Format("%dx%d", width, height).c_str());
  if (e.FramePixFmt >= 0) {
    const char* name = ml::av_get_pix_fmt_name(static_cast<AVPixelFormat>(e.FramePixFmt));
    if (name) d.Set("pixel_format", name);
  }
  if (e.VideoChannel) d.Set("channel", std::to_string(e.VideoChannel).c_str());
  if (!e.VideoStandard.empty()) d.Set("standard", e.VideoStandard.c_str());
  if (e.LoopInput) d.Set("loop", "1");
  return d;
}

}  // namespace

void TCustomFFmpeg::ConsumeInputOptions() {
  VideoCodecName.clear();
  AudioCodecName.clear();
  SubtitleCodecName.clear();
  FileIFormat = nullptr;
  FileOFormat = nullptr;
  VideoChannel = 0;
  RateEmu = 0;
}

bool TCustomFFmpeg::ResolveForcedDecoders(AVFormatContext* ic) {
  AVCodecID video = AV_CODEC_ID_NONE, audio = AV_CODEC_ID_NONE, subtitle = AV_CODEC_ID_NONE;
  if (!engine::LookupCodec(VideoCodecName, AVMEDIA_TYPE_VIDEO, false, video, LastError) ||
      !engine::LookupCodec(AudioCodecName, AVMEDIA_TYPE_AUDIO, false, audio, LastError) ||
      !engine::LookupCodec(SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, false, subtitle, LastError))
    return false;
  if (PgmyuvCompatibility) video = AV_CODEC_ID_PGMYUV;
  ic->video_codec_id = video;
  ic->audio_codec_id = audio;
  ic->subtitle_codec_id = subtitle;
  return true;
}

void TCustomFFmpeg::ApplyInputStream(TInputFileSlot& slot, unsigned index,
                                     const std::string& fileName) {
  AVFormatContext* ic = slot.Context.get();
  AVStream* st = ic->streams[index];
  const AVCodec* decoder = ml::avcodec_find_decoder(st->codecpar->codec_id);
  engine::CodecContextPtr codec(ml::avcodec_alloc_context3(decoder));
  if (!codec) throw FFMpegException("av_mallocz fail");
  ml::avcodec_parameters_to_context(codec.get(), st->codecpar);
  codec->pkt_timebase = st->time_base;
  codec->thread_count = ThreadCount;
  uint8_t rateEmu = 0;
  switch (st->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO: {
      CopyRememberedOptions(codec.get(), CodecOptionContexts[0].get(),
                            AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
      FrameHeight = codec->height;
      FrameWidth = codec->width;
      FrameAspectRatio = static_cast<float>(av_q2d(codec->sample_aspect_ratio) * codec->width /
                                            codec->height);
      if (FrameAspectRatio == 0 || std::isnan(FrameAspectRatio))
        SetAspectRatio(engine::Format("%d:%d", codec->width, codec->height));
      if (codec->pix_fmt == AV_PIX_FMT_NONE && LowerExtension(fileName).rfind(".rmvb", 0) == 0)
        codec->pix_fmt = AV_PIX_FMT_YUV420P;
      FramePixFmt = codec->pix_fmt;
      FrameRate = st->r_frame_rate;
      if (st->r_frame_rate.num > 0 && st->r_frame_rate.den > 0)
        codec->time_base = av_inv_q(st->r_frame_rate);
      rateEmu = RateEmu ? 1 : 0;
      if (VideoDisable)
        st->discard = AVDISCARD_ALL;
      else if (VideoDiscard)
        st->discard = static_cast<AVDiscard>(VideoDiscard);
      break;
    }
    case AVMEDIA_TYPE_AUDIO:
      CopyRememberedOptions(codec.get(), CodecOptionContexts[1].get(),
                            AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
      AudioChannels = codec->ch_layout.nb_channels;
      AudioSampleRate = codec->sample_rate;
      if (codec->sample_rate > 0) codec->time_base = AVRational{1, codec->sample_rate};
      if (AudioDisable) st->discard = AVDISCARD_ALL;
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      if (SubtitleDisable) st->discard = AVDISCARD_ALL;
      break;
    case AVMEDIA_TYPE_UNKNOWN:
    case AVMEDIA_TYPE_DATA:
    case AVMEDIA_TYPE_ATTACHMENT:
      break;
    default:
      throw FFMpegException("invalid codec_type");
  }
  slot.Codecs.push_back(std::move(codec));
  slot.RateEmu.push_back(rateEmu);
}

bool TCustomFFmpeg::OpenInputFile(const std::string& fileName) {
  if (NbInputFiles >= MAX_FILES) {
    LastError = engine::Format("%s: Error while opening file", fileName.c_str());
    ConsumeInputOptions();
    return false;
  }
  TInputFileSlot slot;
  AVFormatContext* ic = ml::avformat_alloc_context();
  if (!ic) {
    LastError = engine::OpenErrorText(fileName, AVERROR(ENOMEM));
    ConsumeInputOptions();
    return false;
  }
  engine::FormatContextPtr pending(ic);
  if (!ResolveForcedDecoders(ic)) {
    ConsumeInputOptions();
    return false;
  }
  CopyRememberedOptions(ic, FormatOptionContext.get(), AV_OPT_FLAG_DECODING_PARAM);
  engine::Dictionary parameters = OpenParameters(*this);
  ic = pending.release();
  const int opened = ml::avformat_open_input(&ic, fileName.c_str(), FileIFormat,
                                             parameters.Address());
  if (opened < 0) {  // the library has freed the context
    LastError = engine::OpenErrorText(fileName, opened);
    ConsumeInputOptions();
    return false;
  }
  slot.Context.reset(ic);
  slot.DecoderOptions = PrivateOptions;
  try {
    if (OptProgramId)
      for (unsigned i = 0; i < ic->nb_programs; ++i)
        if (ic->programs[i]->id != OptProgramId) ic->programs[i]->discard = AVDISCARD_ALL;
    int probed;
    {
      std::lock_guard<std::mutex> lock(CodecOpenLock());
      probed = ml::avformat_find_stream_info(ic, nullptr);
    }
    if (probed < 0 && Verbose >= 0) {
      LastError = engine::Format("%s: could not find codec parameters", fileName.c_str());
      ConsumeInputOptions();
      return false;
    }
    int64_t timestamp = StartTime;
    if (ic->start_time != AV_NOPTS_VALUE) timestamp += ic->start_time;
    if (StartTime != 0) {
      ml::av_seek_frame(ic, -1, timestamp, AVSEEK_FLAG_BACKWARD);
      StartTime = 0;
    }
    for (unsigned i = 0; i < ic->nb_streams; ++i) ApplyInputStream(slot, i, fileName);
    if (ic->duration != AV_NOPTS_VALUE) {
      const int64_t ms = ic->duration / 1000;
      const int32_t clamped = static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX));
      if (TotalDurationMs < clamped) TotalDurationMs = clamped;
    }
    const int index = NbInputFiles;
    InputFilesTsOffset[index] = CopyTs ? InputTsOffset : InputTsOffset - timestamp;
    InputFiles[index] = std::move(slot);
    if (Verbose >= 0) ml::av_dump_format(ic, index, fileName.c_str(), 0);
    ++NbInputFiles;
  } catch (...) {
    ConsumeInputOptions();
    throw;
  }
  ConsumeInputOptions();
  return true;
}
