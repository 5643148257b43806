// reelshift-limit: the least a conversion needs, written straight against the
// libraries (through the binding): demux, decode, convert, encode, mux. No
// option table, no FIFO of our own, no progress, no logging. The engine's
// overhead is measured against it.
//
//   reelshift-limit INPUT OUTPUT [--vcodec NAME|copy] [--vb BITS] [--acodec NAME|copy]
//                   [--ab BITS] [--ar HZ] [--ac N] [--vn] [--an] [--t SECONDS]
//
// Video frames are emitted on the encoder's frame clock the way the engine's
// automatic sync does (duplicated or dropped against the input timestamps),
// so both sides encode the same frames. Codecs run single-threaded.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "MediaLib.h"

namespace {

struct Settings {
  std::string input, output;
  std::string vcodec = "mpeg4", acodec = "aac";
  int64_t vb = 1200000, ab = 128000;
  int ar = 0, ac = 0;
  bool vn = false, an = false;
  double seconds = 0;
};

[[noreturn]] void Die(const std::string& why) {
  std::fprintf(stderr, "reelshift-limit: %s\n", why.c_str());
  std::exit(1);
}

void Check(int result, const char* what) {
  if (result < 0) {
    char text[256];
    ml::av_strerror(result, text, sizeof text);
    Die(std::string(what) + ": " + text);
  }
}

struct Output;

struct Stream {
  AVStream* in = nullptr;
  AVStream* out = nullptr;
  AVCodecContext* dec = nullptr;
  AVCodecContext* enc = nullptr;
  bool copy = false;
  // Video.
  SwsContext* sws = nullptr;
  AVFrame* scaled = nullptr;
  int64_t nextFrame = 0;
  // Audio.
  SwrContext* swr = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* converted = nullptr;
  AVFrame* chunk = nullptr;  // one encoder frame
  int64_t samples = 0;
};

struct Output {
  AVFormatContext* oc = nullptr;
  AVPacket* pkt = nullptr;
};

void Write(Output& o, Stream& s) {
  while (true) {
    const int r = ml::avcodec_receive_packet(s.enc, o.pkt);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
    Check(r, "encode");
    ml::av_packet_rescale_ts(o.pkt, s.enc->time_base, s.out->time_base);
    o.pkt->stream_index = s.out->index;
    Check(ml::av_interleaved_write_frame(o.oc, o.pkt), "write");
  }
}

void Encode(Output& o, Stream& s, AVFrame* frame) {
  Check(ml::avcodec_send_frame(s.enc, frame), "send frame");
  Write(o, s);
}

AVCodecContext* OpenDecoder(AVStream* st) {
  const AVCodec* codec = ml::avcodec_find_decoder(st->codecpar->codec_id);
  if (!codec) Die("no decoder");
  AVCodecContext* c = ml::avcodec_alloc_context3(codec);
  ml::avcodec_parameters_to_context(c, st->codecpar);
  c->pkt_timebase = st->time_base;
  c->thread_count = 1;
  Check(ml::avcodec_open2(c, codec, nullptr), "open decoder");
  return c;
}

void OpenEncoder(Output& o, Stream& s) {
  const AVCodec* codec = ml::avcodec_find_encoder(s.enc->codec_id);
  if (s.enc->codec) codec = s.enc->codec;
  if (o.oc->oformat->flags & AVFMT_GLOBALHEADER) s.enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  s.enc->thread_count = 1;
  Check(ml::avcodec_open2(s.enc, codec, nullptr), "open encoder");
  ml::avcodec_parameters_from_context(s.out->codecpar, s.enc);
  s.out->time_base = s.enc->time_base;
}

void SetUpVideo(Output& o, Stream& s, const Settings& set) {
  const AVCodec* codec = ml::avcodec_find_encoder_by_name(set.vcodec.c_str());
  if (!codec) Die("no encoder " + set.vcodec);
  s.dec = OpenDecoder(s.in);
  s.enc = ml::avcodec_alloc_context3(codec);
  AVRational rate = s.in->r_frame_rate.num ? s.in->r_frame_rate : AVRational{25, 1};
  s.enc->time_base = av_inv_q(rate);
  s.enc->framerate = rate;
  s.enc->width = s.dec->width;
  s.enc->height = s.dec->height;
  s.enc->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : s.dec->pix_fmt;
  for (const AVPixelFormat* p = codec->pix_fmts; p && *p != AV_PIX_FMT_NONE; ++p)
    if (*p == s.dec->pix_fmt) s.enc->pix_fmt = *p;
  if (set.vb > 0 && set.vcodec != "libx264") s.enc->bit_rate = set.vb;
  OpenEncoder(o, s);
}

void SetUpAudio(Output& o, Stream& s, const Settings& set) {
  const AVCodec* codec = ml::avcodec_find_encoder_by_name(set.acodec.c_str());
  if (!codec) Die("no encoder " + set.acodec);
  s.dec = OpenDecoder(s.in);
  s.enc = ml::avcodec_alloc_context3(codec);
  s.enc->sample_rate = set.ar ? set.ar : s.dec->sample_rate;
  ml::av_channel_layout_default(&s.enc->ch_layout,
                                set.ac ? set.ac : s.dec->ch_layout.nb_channels);
  s.enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  s.enc->bit_rate = set.ab;
  s.enc->time_base = AVRational{1, s.enc->sample_rate};
  OpenEncoder(o, s);
  AVChannelLayout in{};
  ml::av_channel_layout_default(&in, s.dec->ch_layout.nb_channels);
  Check(ml::swr_alloc_set_opts2(&s.swr, &s.enc->ch_layout, s.enc->sample_fmt, s.enc->sample_rate,
                                &in, s.dec->sample_fmt, s.dec->sample_rate, 0, nullptr),
        "resampler");
  Check(ml::swr_init(s.swr), "resampler");
  s.chunk = ml::av_frame_alloc();
  s.chunk->format = s.enc->sample_fmt;
  s.chunk->sample_rate = s.enc->sample_rate;
  ml::av_channel_layout_copy(&s.chunk->ch_layout, &s.enc->ch_layout);
  s.chunk->nb_samples = s.enc->frame_size > 0 ? s.enc->frame_size : 1024;
  Check(ml::av_frame_get_buffer(s.chunk, 0), "audio frame");
  s.fifo = ml::av_audio_fifo_alloc(s.enc->sample_fmt, s.enc->ch_layout.nb_channels, 4096);
}

void EmitPicture(Output& o, Stream& s, AVFrame* frame, double seconds) {
  const double tb = av_q2d(s.enc->time_base);
  const double delta = seconds / tb - static_cast<double>(s.nextFrame);
  int copies = 1;
  if (delta < -1.1) copies = 0;
  else if (delta > 1.1) copies = static_cast<int>(std::lrint(delta));
  AVFrame* picture = frame;
  if (frame->format != s.enc->pix_fmt || frame->width != s.enc->width ||
      frame->height != s.enc->height) {
    s.sws = ml::sws_getCachedContext(s.sws, frame->width, frame->height,
                                     static_cast<AVPixelFormat>(frame->format), s.enc->width,
                                     s.enc->height, s.enc->pix_fmt, SWS_BICUBIC, nullptr, nullptr,
                                     nullptr);
    if (!s.scaled) {
      s.scaled = ml::av_frame_alloc();
      s.scaled->format = s.enc->pix_fmt;
      s.scaled->width = s.enc->width;
      s.scaled->height = s.enc->height;
      Check(ml::av_frame_get_buffer(s.scaled, 0), "picture");
    }
    ml::av_frame_make_writable(s.scaled);
    ml::sws_scale(s.sws, frame->data, frame->linesize, 0, frame->height, s.scaled->data,
                  s.scaled->linesize);
    picture = s.scaled;
  }
  for (int i = 0; i < copies; ++i) {
    picture->pts = s.nextFrame++;
    picture->pict_type = AV_PICTURE_TYPE_NONE;
    Encode(o, s, picture);
  }
}

void EncodeChunks(Output& o, Stream& s, bool last) {
  const int frameSize = s.chunk->nb_samples;
  while (ml::av_audio_fifo_size(s.fifo) >= frameSize ||
         (last && ml::av_audio_fifo_size(s.fifo) > 0)) {
    const int n = std::min(frameSize, ml::av_audio_fifo_size(s.fifo));
    if (n < frameSize && !(s.enc->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)) return;
    ml::av_frame_make_writable(s.chunk);
    ml::av_audio_fifo_read(s.fifo, reinterpret_cast<void**>(s.chunk->data), n);
    const int full = s.chunk->nb_samples;
    s.chunk->nb_samples = n;
    s.chunk->pts = s.samples;
    s.samples += n;
    Encode(o, s, s.chunk);
    s.chunk->nb_samples = full;
  }
}

void EmitSamples(Output& o, Stream& s, AVFrame* frame) {
  const int count = frame ? frame->nb_samples : 0;
  const int room = ml::swr_get_out_samples(s.swr, count) + 16;
  if (!s.converted || s.converted->nb_samples < room) {
    if (s.converted) ml::av_frame_free(&s.converted);
    s.converted = ml::av_frame_alloc();
    s.converted->format = s.enc->sample_fmt;
    s.converted->sample_rate = s.enc->sample_rate;
    ml::av_channel_layout_copy(&s.converted->ch_layout, &s.enc->ch_layout);
    s.converted->nb_samples = room;
    Check(ml::av_frame_get_buffer(s.converted, 0), "audio buffer");
  }
  const uint8_t** in = frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr;
  const int got = ml::swr_convert(s.swr, s.converted->data, room, in, count);
  if (got > 0) ml::av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(s.converted->data), got);
  EncodeChunks(o, s, frame == nullptr);
}

void Decode(Output& o, Stream& s, AVPacket* pkt, AVFrame* frame) {
  if (ml::avcodec_send_packet(s.dec, pkt) < 0) return;
  while (ml::avcodec_receive_frame(s.dec, frame) >= 0) {
    if (s.dec->codec_type == AVMEDIA_TYPE_VIDEO) {
      const int64_t ts = frame->best_effort_timestamp;
      const double seconds = ts == AV_NOPTS_VALUE ? 0 : ts * av_q2d(s.in->time_base);
      EmitPicture(o, s, frame, seconds);
    } else {
      EmitSamples(o, s, frame);
    }
    ml::av_frame_unref(frame);
  }
}

void Finish(Output& o, Stream& s, AVFrame* frame) {
  if (s.copy || !s.enc) return;
  if (s.dec) Decode(o, s, nullptr, frame);
  if (s.swr) EmitSamples(o, s, nullptr);
  Encode(o, s, nullptr);
}

Settings Parse(int argc, char** argv) {
  Settings s;
  if (argc < 3) Die("usage: reelshift-limit INPUT OUTPUT [options]");
  s.input = argv[1];
  s.output = argv[2];
  for (int i = 3; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&] {
      if (i + 1 >= argc) Die("missing value for " + a);
      return std::string(argv[++i]);
    };
    if (a == "--vcodec") s.vcodec = next();
    else if (a == "--acodec") s.acodec = next();
    else if (a == "--vb") s.vb = std::atoll(next().c_str());
    else if (a == "--ab") s.ab = std::atoll(next().c_str());
    else if (a == "--ar") s.ar = std::atoi(next().c_str());
    else if (a == "--ac") s.ac = std::atoi(next().c_str());
    else if (a == "--t") s.seconds = std::atof(next().c_str());
    else if (a == "--vn") s.vn = true;
    else if (a == "--an") s.an = true;
    else Die("unknown option " + a);
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const Settings set = Parse(argc, argv);
  if (!medialib::LoadAll("", true)) Die(medialib::LibraryLoadError());
  ml::av_log_set_level(AV_LOG_ERROR);
  AVFormatContext* ic = nullptr;
  Check(ml::avformat_open_input(&ic, set.input.c_str(), nullptr, nullptr), "open input");
  Check(ml::avformat_find_stream_info(ic, nullptr), "stream info");
  Output o;
  Check(ml::avformat_alloc_output_context2(&o.oc, nullptr, nullptr, set.output.c_str()), "output");
  std::vector<Stream> streams(ic->nb_streams);
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    Stream& s = streams[i];
    s.in = ic->streams[i];
    const AVMediaType type = s.in->codecpar->codec_type;
    const bool video = type == AVMEDIA_TYPE_VIDEO && !set.vn;
    const bool audio = type == AVMEDIA_TYPE_AUDIO && !set.an;
    if (!video && !audio) continue;
    s.out = ml::avformat_new_stream(o.oc, nullptr);
    s.copy = (video && set.vcodec == "copy") || (audio && set.acodec == "copy");
    if (s.copy) {
      ml::avcodec_parameters_copy(s.out->codecpar, s.in->codecpar);
      s.out->codecpar->codec_tag = 0;
      s.out->time_base = s.in->time_base;
    } else if (video) {
      SetUpVideo(o, s, set);
    } else {
      SetUpAudio(o, s, set);
    }
  }
  Check(ml::avio_open(&o.oc->pb, set.output.c_str(), AVIO_FLAG_WRITE), "open output");
  Check(ml::avformat_write_header(o.oc, nullptr), "header");
  o.pkt = ml::av_packet_alloc();
  AVPacket* pkt = ml::av_packet_alloc();
  AVFrame* frame = ml::av_frame_alloc();
  while (ml::av_read_frame(ic, pkt) >= 0) {
    Stream& s = streams[pkt->stream_index];
    const double t = pkt->dts == AV_NOPTS_VALUE ? 0 : pkt->dts * av_q2d(s.in->time_base);
    if (s.out && !(set.seconds > 0 && t >= set.seconds)) {
      if (s.copy) {
        ml::av_packet_rescale_ts(pkt, s.in->time_base, s.out->time_base);
        pkt->stream_index = s.out->index;
        pkt->pos = -1;
        Check(ml::av_interleaved_write_frame(o.oc, pkt), "write");
      } else {
        Decode(o, s, pkt, frame);
      }
    }
    ml::av_packet_unref(pkt);
  }
  for (Stream& s : streams) Finish(o, s, frame);
  Check(ml::av_write_trailer(o.oc), "trailer");
  for (Stream& s : streams) {
    if (s.dec) ml::avcodec_free_context(&s.dec);
    if (s.enc) ml::avcodec_free_context(&s.enc);
    if (s.sws) ml::sws_freeContext(s.sws);
    if (s.swr) ml::swr_free(&s.swr);
    if (s.scaled) ml::av_frame_free(&s.scaled);
    if (s.chunk) ml::av_frame_free(&s.chunk);
    if (s.converted) ml::av_frame_free(&s.converted);
    if (s.fifo) ml::av_audio_fifo_free(s.fifo);
  }
  ml::av_frame_free(&frame);
  ml::av_packet_free(&pkt);
  ml::av_packet_free(&o.pkt);
  ml::avio_closep(&o.oc->pb);
  ml::avformat_free_context(o.oc);
  ml::avformat_close_input(&ic);
  return 0;
}
