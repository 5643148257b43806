// The first half of a transcode: the run's stream tables, the choice of each
// output stream's source, stream-copy and encoding parameters, two-pass
// files, the codecs, metadata and the headers.
#include <cstring>

#include "FFmpeg.h"
#include "Format.h"
#include "TranscodeTypes.h"

namespace {

using engine::Format;

bool IsKind(const AVStream* st, AVMediaType type) { return st->codecpar->codec_type == type; }

void ReadPassLog(AVCodecContext* codec, const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "r");
  if (!f) throw FFMpegException("creat open fail: " + name);
  FilePtr file(f);
  std::fseek(f, 0, SEEK_END);
  const long size = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  char* buffer = static_cast<char*>(ml::av_malloc(static_cast<size_t>(size < 0 ? 0 : size) + 1));
  if (!buffer) throw FFMpegException("Could not allocate log buffer");
  const size_t read = size > 0 ? std::fread(buffer, 1, static_cast<size_t>(size), f) : 0;
  buffer[read] = 0;
  codec->stats_in = buffer;
}

}  // namespace

void TCustomFFmpeg::BuildInputTables(TTranscodeRun& run) {
  int first = 0;
  for (int i = 0; i < NbInputFiles; ++i) {
    TInputFileRec file;
    file.FirstStream = first;
    file.StreamCount = static_cast<int32_t>(InputFiles[i].Context->nb_streams);
    first += file.StreamCount;
    run.Files.push_back(file);
  }
  for (int i = 0; i < NbInputFiles; ++i) {
    TInputFileSlot& slot = InputFiles[i];
    for (unsigned s = 0; s < slot.Context->nb_streams; ++s) {
      auto ist = std::make_unique<TInputStreamRec>();
      ist->FileIndex = i;
      ist->StreamIndex = static_cast<int32_t>(s);
      ist->Stream = slot.Context->streams[s];
      ist->Codec = slot.Codecs[s].get();
      ist->RateEmu = slot.RateEmu[s] != 0;
      if (ist->RateEmu) {
        ist->RateEmuStart = ml::av_gettime();
        ist->RateEmuFrame = 0;
      }
      const AVRational rate = ist->Stream->r_frame_rate;
      if (rate.num > 0 && rate.den > 0) ist->FrameDuration = av_inv_q(rate);
      run.InputStreams.push_back(std::move(ist));
    }
  }
}

TInputStreamRec* TCustomFFmpeg::FindSource(TTranscodeRun& run, const TOutputStreamRec& ost) {
  const AVMediaType type = ost.Stream->codecpar->codec_type;
  if (OptProgramId) {
    for (int f = 0; f < NbInputFiles; ++f) {
      AVFormatContext* ic = InputFiles[f].Context.get();
      for (unsigned p = 0; p < ic->nb_programs; ++p) {
        if (ic->programs[p]->id != OptProgramId) continue;
        for (unsigned k = 0; k < ic->programs[p]->nb_stream_indexes; ++k) {
          TInputStreamRec* ist =
              run.InputStreams[run.Files[f].FirstStream + ic->programs[p]->stream_index[k]].get();
          if (ist->Discard && IsKind(ist->Stream, type)) return ist;
        }
        return nullptr;
      }
    }
    return nullptr;
  }
  for (auto& ist : run.InputStreams)
    if (ist->Discard && IsKind(ist->Stream, type)) return ist.get();
  TInputStreamRec* last = nullptr;
  for (auto& ist : run.InputStreams)
    if (IsKind(ist->Stream, type)) last = ist.get();
  return last;
}

void TCustomFFmpeg::BuildOutputTables(TTranscodeRun& run) {
  int count = 0;
  for (int i = 0; i < NbOutputFiles; ++i) {
    AVFormatContext* oc = OutputFiles[i].Context.get();
    if (oc->nb_streams == 0) throw FFMpegException("Output file does not contain any stream");
    count += static_cast<int>(oc->nb_streams);
    run.OutputFiles.push_back(oc);
  }
  if (NbStreamMaps > 0 && NbStreamMaps != count)
    throw FFMpegException("Number of stream maps must match number of output streams");
  auto valid = [&](int file, int stream) {
    return file >= 0 && file < NbInputFiles && stream >= 0 && stream < run.Files[file].StreamCount;
  };
  for (int i = 0; i < NbStreamMaps; ++i) {
    const TStreamMapRec& map = StreamMaps[i];
    if (!valid(map.FileIndex, map.StreamIndex))
      throw FFMpegException(
          Format("Could not find input stream #%d.%d", map.FileIndex, map.StreamIndex));
    if (!valid(map.SyncFileIndex, map.SyncStreamIndex))
      throw FFMpegException(
          Format("Could not find sync stream #%d.%d", map.SyncFileIndex, map.SyncStreamIndex));
  }
  int k = 0;
  for (int i = 0; i < NbOutputFiles; ++i) {
    AVFormatContext* oc = OutputFiles[i].Context.get();
    for (unsigned s = 0; s < oc->nb_streams; ++s, ++k) {
      auto ost = std::make_unique<TOutputStreamRec>();
      ost->FileIndex = i;
      ost->StreamIndex = static_cast<int32_t>(s);
      ost->Stream = oc->streams[s];
      ost->Slot = &OutputFiles[i].Streams[s];
      ost->Codec = ost->Slot->Codec.get();
      ost->File = oc;
      ost->Stream->codecpar->codec_type = ost->Codec->codec_type;
      TInputStreamRec* source = nullptr;
      TInputStreamRec* sync = nullptr;
      if (NbStreamMaps > 0) {
        const TStreamMapRec& map = StreamMaps[k];
        const int index = run.Files[map.FileIndex].FirstStream + map.StreamIndex;
        source = run.InputStreams[index].get();
        sync = run.InputStreams[run.Files[map.SyncFileIndex].FirstStream + map.SyncStreamIndex].get();
        if (source->Stream->codecpar->codec_type != ost->Codec->codec_type) {
          ml::av_dump_format(oc, i, oc->url, 1);
          throw FFMpegException(Format("Codec type mismatch for mapping #%d.%d -> #%d.%d",
                                       map.FileIndex, map.StreamIndex, i, static_cast<int>(s)));
        }
        ost->SourceIndex = index;
      } else {
        source = FindSource(run, *ost);
        if (!source) {
          ml::av_dump_format(oc, i, oc->url, 1);
          throw FFMpegException(Format("Could not find input stream matching output stream #%d.%d",
                                       i, static_cast<int>(s)));
        }
        sync = source;
        for (size_t n = 0; n < run.InputStreams.size(); ++n)
          if (run.InputStreams[n].get() == source) ost->SourceIndex = static_cast<int32_t>(n);
      }
      source->Discard = 0;
      ost->SyncStream = sync;
      run.OutputStreams.push_back(std::move(ost));
    }
  }
}

void TCustomFFmpeg::SetUpStreamCopy(TOutputStreamRec& ost, TInputStreamRec& ist) {
  AVCodecParameters* par = ost.Stream->codecpar;
  const AVCodecParameters* ipar = ist.Stream->codecpar;
  const unsigned keepTag = ost.Codec->codec_tag;
  ml::avcodec_parameters_copy(par, ipar);
  par->codec_tag = keepTag;
  if (!par->codec_tag) {
    const AVCodecTag* const* tags = ost.File->oformat->codec_tag;
    if (!tags || ml::av_codec_get_id(tags, ipar->codec_tag) == ipar->codec_id ||
        ml::av_codec_get_tag(tags, ipar->codec_id) <= 0)
      par->codec_tag = ipar->codec_tag;
    else
      par->codec_tag = 0;
  }
  const AVRational codecBase = ist.Codec->time_base;
  const AVRational streamBase = ist.Stream->time_base;
  // Millisecond stream clocks (RealMedia, Matroska, FLV) give way to the
  // codec's own frame duration; the RealMedia muxer derives its frame rate
  // from this hint.
  ost.Stream->time_base = (codecBase.num > 0 && av_q2d(codecBase) > av_q2d(streamBase) &&
                           av_q2d(streamBase) <= 0.001)
                              ? codecBase
                              : streamBase;
  ost.Codec->time_base = ost.Stream->time_base;
  switch (par->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      if (AudioVolume != 256)
        throw FFMpegException("-acodec copy and -vol are incompatible (frames are not decoded)");
      if ((par->block_align == 1 && par->codec_id == AV_CODEC_ID_MP3) ||
          par->codec_id == AV_CODEC_ID_AC3)
        par->block_align = 0;
      break;
    case AVMEDIA_TYPE_VIDEO:
      if (CustomHookHandler)
        throw FFMpegException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
      if (UsingVHook)
        throw FFMpegException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      break;
    default:
      throw FFMpegException("invalid codec_type of output stream");
  }
}

void TCustomFFmpeg::SetUpVideoEncoding(TOutputStreamRec& ost, TInputStreamRec& ist) {
  AVCodecContext* enc = ost.Codec;
  AVCodecContext* dec = ist.Codec;
  const int T = FrameTopBand, B = FrameBottomBand, L = FrameLeftBand, R = FrameRightBand;
  const int PT = FramePadTop, PB = FramePadBottom, PL = FramePadLeft, PR = FramePadRight;
  ost.VideoCrop = (L + R + T + B) != 0;
  ost.VideoPad = (PL + PR + PT + PB) != 0;
  ost.VideoResample = enc->width != dec->width - (L + R) + (PL + PR) ||
                      enc->height != dec->height - (T + B) + (PT + PB) ||
                      enc->pix_fmt != dec->pix_fmt;
  if (ost.VideoCrop) {
    ost.CropTopBand = T;
    ost.CropLeftBand = L;
    ost.CropBottomBand = B;
    ost.CropRightBand = R;
  }
  auto allocTemp = [&](const char* message) {
    ost.TempPicture.reset(ml::av_frame_alloc());
    if (!ost.TempPicture) throw FFMpegException(message);
    ost.TempPicture->format = enc->pix_fmt;
    ost.TempPicture->width = enc->width;
    ost.TempPicture->height = enc->height;
    if (ml::av_frame_get_buffer(ost.TempPicture.get(), 0) < 0) throw FFMpegException(message);
  };
  if (ost.VideoPad) {
    ost.PadTopBand = PT;
    ost.PadBottomBand = PB;
    ost.PadLeftBand = PL;
    ost.PadRightBand = PR;
    if (!ost.VideoResample) allocTemp("avpicture_alloc fail");
  }
  if (ost.VideoResample) {
    allocTemp("Cannot allocate temp picture, check pix fmt");
    int64_t flags = SwsFlags;
    if (ScalerOptionContext) ml::av_opt_get_int(ScalerOptionContext.get(), "sws_flags", 0, &flags);
    SwsFlags = static_cast<int32_t>(flags);
    ost.ScaleSourceWidth = dec->width - (L + R);
    ost.ScaleSourceHeight = dec->height - (T + B);
    ost.ScaleSourceFormat = dec->pix_fmt;
    // The scaler asserts (and ends the process) on a format it cannot describe.
    if (dec->pix_fmt == AV_PIX_FMT_NONE) throw FFMpegException("Cannot get resampling context");
    ost.ScaleContext.reset(ml::sws_getContext(
        ost.ScaleSourceWidth, ost.ScaleSourceHeight, dec->pix_fmt, enc->width - (PL + PR),
        enc->height - (PT + PB), enc->pix_fmt, SwsFlags, nullptr, nullptr, nullptr));
    if (!ost.ScaleContext) throw FFMpegException("Cannot get resampling context");
    ost.ResampleHeight = dec->height - (T + B);
  }
  ost.EncodingNeeded = 1;
  ist.DecodingNeeded = 1;
}

void TCustomFFmpeg::SetUpPassLog(TOutputStreamRec& ost, int number) {
  AVCodecContext* enc = ost.Codec;
  if (!(enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2))) return;
  std::string name =
      Format("%s-%d.log", PassLogFileName.empty() ? "ffmpeg2pass" : PassLogFileName.c_str(), number);
  if (name.size() >= 1024) name.resize(1023);
  if (enc->flags & AV_CODEC_FLAG_PASS1) {
    FILE* f = std::fopen(name.c_str(), "w");
    if (!f) throw FFMpegException("creat file fail: " + name);
    ost.PassLogFile.reset(f);
  } else {
    ReadPassLog(enc, name);
  }
}

void TCustomFFmpeg::SetUpOutputStream(TTranscodeRun& run, TOutputStreamRec& ost, int number) {
  TInputStreamRec& ist = *run.InputStreams[ost.SourceIndex];
  AVDictionaryEntry* lang = ml::av_dict_get(ost.Stream->metadata, "language", nullptr, 0);
  AVDictionaryEntry* sourceLang = ml::av_dict_get(ist.Stream->metadata, "language", nullptr, 0);
  if (!lang && sourceLang)
    ml::av_dict_set(&ost.Stream->metadata, "language", std::string(sourceLang->value).substr(0, 3).c_str(), 0);
  ost.Stream->disposition = ist.Stream->disposition;
  const AVMediaType type = ost.Codec->codec_type;
  if (ost.Slot->StreamCopy) {
    SetUpStreamCopy(ost, ist);
  } else if (type == AVMEDIA_TYPE_AUDIO) {
    ost.AudioFifo.reset(ml::av_fifo_alloc2(1024, 1, AV_FIFO_FLAG_AUTO_GROW));
    if (!ost.AudioFifo) throw FFMpegException("av_fifo_init fail");
    ost.AudioResample = ost.Codec->sample_rate != ist.Codec->sample_rate || AudioSyncMethod > 1;
    ost.EncodingNeeded = 1;
    ist.DecodingNeeded = 1;
  } else if (type == AVMEDIA_TYPE_VIDEO) {
    SetUpVideoEncoding(ost, ist);
  } else if (type == AVMEDIA_TYPE_SUBTITLE) {
    ost.EncodingNeeded = 1;
    ist.DecodingNeeded = 1;
  } else {
    throw FFMpegException("invalid codec_type of output stream");
  }
  if (ost.EncodingNeeded) SetUpPassLog(ost, number);
  if (type == AVMEDIA_TYPE_VIDEO) {
    const int width = ost.Slot->StreamCopy ? ost.Stream->codecpar->width : ost.Codec->width;
    const int height = ost.Slot->StreamCopy ? ost.Stream->codecpar->height : ost.Codec->height;
    const int64_t needed = 4LL * width * height;
    if (needed > BitBufferSize && needed < INT32_MAX) BitBufferSize = static_cast<int32_t>(needed);
  }
}

void TCustomFFmpeg::LogStreamMapping(TTranscodeRun& run) {
  if (Verbose < 0 || !LogHandler) return;
  Log(1, "Stream mapping:");
  for (auto& ost : run.OutputStreams) {
    const TInputStreamRec& ist = *run.InputStreams[ost->SourceIndex];
    LogF(1, "  Stream #%d.%d -> #%d.%d", ist.FileIndex, ist.StreamIndex, ost->FileIndex,
         ost->StreamIndex);
    if (ost->SyncStream != &ist)
      LogF(1, " [sync #%d.%d]", ost->SyncStream->FileIndex, ost->SyncStream->StreamIndex);
  }
}

void TCustomFFmpeg::OpenEncoders(TTranscodeRun& run) {
  for (auto& ost : run.OutputStreams) {
    if (!ost->EncodingNeeded) continue;
    AVCodecContext* enc = ost->Codec;
    const AVCodec* codec = enc->codec ? enc->codec : ml::avcodec_find_encoder(enc->codec_id);
    if (!codec)
      throw FFMpegException(
          Format("Unsupported codec for output stream #%d.%d", ost->FileIndex, ost->StreamIndex));
    engine::Dictionary options = ost->Slot->EncoderOptions;
    int opened;
    {
      std::lock_guard<std::mutex> lock(CodecOpenLock());
      opened = ml::avcodec_open2(enc, codec, options.Address());
      if (opened >= 0) OpenEncoderList.push_front(enc);
    }
    if (opened < 0)
      throw FFMpegException(Format(
          "Error while opening codec for output stream #%d.%d - maybe incorrect parameters such "
          "as bit_rate, rate, width or height",
          ost->FileIndex, ost->StreamIndex));
    ml::avcodec_parameters_from_context(ost->Stream->codecpar, enc);
    ost->Stream->time_base = enc->time_base;
    ExtraSize += enc->extradata_size;
  }
}

void TCustomFFmpeg::OpenDecoders(TTranscodeRun& run) {
  for (auto& ist : run.InputStreams) {
    if (!ist->DecodingNeeded) continue;
    AVCodecContext* dec = ist->Codec;
    const AVCodec* codec = dec->codec ? dec->codec : ml::avcodec_find_decoder(dec->codec_id);
    if (!codec)
      throw FFMpegException(Format("Unsupported codec (id=%d) for input stream #%d.%d",
                                   static_cast<int>(dec->codec_id), ist->FileIndex,
                                   ist->StreamIndex));
    engine::Dictionary options = InputFiles[ist->FileIndex].DecoderOptions;
    int opened;
    {
      std::lock_guard<std::mutex> lock(CodecOpenLock());
      opened = ml::avcodec_open2(dec, codec, options.Address());
      if (opened >= 0) OpenDecoderList.push_front(dec);
    }
    if (opened < 0)
      throw FFMpegException(Format("Error while opening codec for input stream #%d.%d",
                                   ist->FileIndex, ist->StreamIndex));
  }
}

void TCustomFFmpeg::ApplyMetaDataMaps() {
  static const char* const kKeys[] = {"title", "author", "artist", "copyright", "comment",
                                      "album", "date", "year", "track", "genre"};
  for (int i = 0; i < NbMetaDataMaps; ++i) {
    const TMetaDataMapRec& map = MetaDataMaps[i];
    if (map.OutFile < 0 || map.OutFile >= NbOutputFiles)
      throw FFMpegException(Format("Invalid output file index %d map_meta_data(%d,%d)", map.OutFile,
                                   map.OutFile, map.InFile));
    if (map.InFile < 0 || map.InFile >= NbInputFiles)
      throw FFMpegException(Format("Invalid input file index %d map_meta_data(%d,%d)", map.InFile,
                                   map.OutFile, map.InFile));
    AVFormatContext* in = InputFiles[map.InFile].Context.get();
    AVFormatContext* out = OutputFiles[map.OutFile].Context.get();
    for (const char* key : kKeys) {
      AVDictionaryEntry* e = ml::av_dict_get(in->metadata, key, nullptr, 0);
      if (e) ml::av_dict_set(&out->metadata, key, e->value, 0);
    }
  }
}

void TCustomFFmpeg::WriteHeaders() {
  for (int i = 0; i < NbOutputFiles; ++i) {
    engine::Dictionary options = OutputFiles[i].MuxerOptions;
    if (ml::avformat_write_header(OutputFiles[i].Context.get(), options.Address()) < 0)
      throw FFMpegException(
          Format("Could not write header for output file #%d (incorrect codec parameters ?)", i));
  }
}

void TCustomFFmpeg::LogSdp() {
  if (!LogHandler || NbOutputFiles == 0) return;
  std::vector<AVFormatContext*> files;
  for (int i = 0; i < NbOutputFiles; ++i) {
    if (std::strcmp(OutputFiles[i].Context->oformat->name, "rtp") != 0) return;
    files.push_back(OutputFiles[i].Context.get());
  }
  char sdp[2048] = {};
  ml::av_sdp_create(files.data(), static_cast<int>(files.size()), sdp, sizeof sdp);
  std::string text = sdp;
  const auto first = text.find_first_not_of(" \t\r\n");
  const auto last = text.find_last_not_of(" \t\r\n");
  text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  Log(1, "SDP: " + text);
}

void TCustomFFmpeg::SetUpRun(TTranscodeRun& run) {
  BuildInputTables(run);
  BuildOutputTables(run);
  for (size_t k = 0; k < run.OutputStreams.size(); ++k)
    SetUpOutputStream(run, *run.OutputStreams[k], static_cast<int>(k));
  if (!BitBuffer) {
    BitBuffer = static_cast<uint8_t*>(ml::av_malloc(static_cast<size_t>(BitBufferSize)));
    if (!BitBuffer) throw FFMpegException("av_malloc fail");
  }
  for (int i = 0; i < NbOutputFiles; ++i)
    ml::av_dump_format(OutputFiles[i].Context.get(), i, OutputFiles[i].Context->url, 1);
  LogStreamMapping(run);
  OpenEncoders(run);
  OpenDecoders(run);
  for (auto& ist : run.InputStreams) {
    ist->Pts = 0;
    ist->NextPts = AV_NOPTS_VALUE;
    ist->IsStart = 1;
  }
  ApplyMetaDataMaps();
  WriteHeaders();
  LogSdp();
  TimerStart = ml::av_gettime();
  run.LastReportTime = TimerStart;
}
