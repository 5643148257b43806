// The second half of a transcode: the packet loop, the drain, the trailers and
// the cleanup.
#include <cmath>

#include "FFmpeg.h"
#include "OpenError.h"
#include "OutputSafety.h"
#include "TranscodeTypes.h"

namespace {

// How far an output stream has got, in seconds. Encoded video counts its
// emitted frames; everything else (copied video included, whose packet count
// says nothing about time) the end of its last written packet.
double OutputTime(const TOutputStreamRec& ost) {
  if (ost.Codec->codec_type == AVMEDIA_TYPE_VIDEO && ost.EncodingNeeded)
    return static_cast<double>(ost.SyncOpts) * av_q2d(ost.Codec->time_base);
  return static_cast<double>(ost.CurrentPts) * av_q2d(ost.Stream->time_base);
}

int FrameLimitIndex(AVMediaType type) {
  switch (type) {
    case AVMEDIA_TYPE_VIDEO:
      return 0;
    case AVMEDIA_TYPE_AUDIO:
      return 1;
    case AVMEDIA_TYPE_DATA:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

int TCustomFFmpeg::ChooseNextFile(TTranscodeRun& run, double& optsMin) {
  double iptsMin = 1e100;
  optsMin = 1e100;
  int chosen = -1;
  for (auto& ost : run.OutputStreams) {
    const TInputStreamRec& ist = *run.InputStreams[ost->SourceIndex];
    const double opts = OutputTime(*ost);
    const double ipts = static_cast<double>(ist.Pts);
    if (!run.Files[ist.FileIndex].EndOfInput) {
      if (ipts < iptsMin) {
        iptsMin = ipts;
        if (InputSync) chosen = ist.FileIndex;
      }
      if (opts < optsMin) {
        optsMin = opts;
        if (!InputSync) chosen = ist.FileIndex;
      }
    }
    if (ost->FrameNumber >= MaxFrames[FrameLimitIndex(ost->Codec->codec_type)]) return -1;
  }
  return chosen;
}

void TCustomFFmpeg::RepairTimestamps(TTranscodeRun& run, TInputStreamRec& ist, AVPacket* pkt) {
  const int file = ist.FileIndex;
  const AVRational tb = ist.Stream->time_base;
  if (pkt->dts != AV_NOPTS_VALUE)
    pkt->dts += ml::av_rescale_q(InputFilesTsOffset[file], AV_TIME_BASE_Q, tb);
  if (pkt->pts != AV_NOPTS_VALUE)
    pkt->pts += ml::av_rescale_q(InputFilesTsOffset[file], AV_TIME_BASE_Q, tb);
  const double scale = ist.StreamIndex < MAX_STREAMS ? InputFilesTsScale[file][ist.StreamIndex] : 0;
  if (scale != 0) {
    if (pkt->pts != AV_NOPTS_VALUE) pkt->pts = std::llrint(static_cast<double>(pkt->pts) * scale);
    if (pkt->dts != AV_NOPTS_VALUE) pkt->dts = std::llrint(static_cast<double>(pkt->dts) * scale);
  }
  if (pkt->dts == AV_NOPTS_VALUE || ist.NextPts == AV_NOPTS_VALUE || CopyTs) return;
  const int64_t pktDts = ml::av_rescale_q(pkt->dts, tb, AV_TIME_BASE_Q);
  const int64_t delta = pktDts - ist.NextPts;
  if (std::fabs(static_cast<double>(delta)) > DtsDeltaThreshold * 1000000.0 ||
      pktDts + 1 < ist.Pts) {
    InputFilesTsOffset[file] -= delta;
    if (Verbose > 2)
      LogF(1, "timestamp discontinuity %lld, new offset= %lld", static_cast<long long>(delta),
           static_cast<long long>(InputFilesTsOffset[file]));
    const int64_t shift = ml::av_rescale_q(delta, AV_TIME_BASE_Q, tb);
    pkt->dts -= shift;
    if (pkt->pts != AV_NOPTS_VALUE) pkt->pts -= shift;
  }
  (void)run;
}

void TCustomFFmpeg::RunLoop(TTranscodeRun& run) {
  AVPacket* pkt = run.Packet.get();
  while (!StopRequested) {
    PausePoint();
    if (StopRequested) break;
    double optsMin;
    const int file = ChooseNextFile(run, optsMin);
    if (file < 0) break;
    if (optsMin >= static_cast<double>(RecordingTime) / 1000000.0) break;
    if (LimitFileSize && NbOutputFiles > 0) {
      AVIOContext* pb = OutputFiles[0].Context->pb;
      if (pb && ml::avio_seek(pb, 0, SEEK_CUR) > LimitFileSize) break;
    }
    AVFormatContext* ic = InputFiles[file].Context.get();
    if (ml::av_read_frame(ic, pkt) < 0) {
      run.Files[file].EndOfInput = 1;
      if (OptShortest) break;
      continue;
    }
    if (DoPktDump)
      ml::av_pkt_dump_log2(nullptr, medialib::ToLibraryLogLevel(2), pkt, DoHexDump,
                           pkt->stream_index < static_cast<int>(ic->nb_streams)
                               ? ic->streams[pkt->stream_index]
                               : ic->streams[0]);
    if (pkt->stream_index >= run.Files[file].StreamCount) {
      ml::av_packet_unref(pkt);
      continue;
    }
    TInputStreamRec& ist = *run.InputStreams[run.Files[file].FirstStream + pkt->stream_index];
    if (ist.Discard) {
      ml::av_packet_unref(pkt);
      continue;
    }
    RepairTimestamps(run, ist, pkt);
    const int number = run.Files[file].FirstStream + pkt->stream_index;
    if (ProcessInputPacket(run, ist, number, pkt) < 0) {
      if (Verbose >= 0)
        LogF(1, "Error while decoding stream #%d.%d", ist.FileIndex, ist.StreamIndex);
      ml::av_packet_unref(pkt);
      continue;
    }
    ml::av_packet_unref(pkt);
    const int64_t now = ml::av_gettime();
    if (now - run.LastReportTime > ProgressInterval) {
      run.LastReportTime = now;
      PrintReport(run, false);
    }
  }
}

void TCustomFFmpeg::FinishRun(TTranscodeRun& run) {
  for (size_t n = 0; n < run.InputStreams.size(); ++n)
    if (run.InputStreams[n]->DecodingNeeded)
      ProcessInputPacket(run, *run.InputStreams[n], static_cast<int>(n), nullptr);
  // A write that fails only when the last buffered bytes go out must not pass
  // for a finished file.
  int trailerError = 0;
  for (int i = 0; i < NbOutputFiles; ++i) {
    const int result = ml::av_write_trailer(OutputFiles[i].Context.get());
    if (result < 0 && trailerError == 0) trailerError = result;
  }
  PrintReport(run, true);
  {
    std::lock_guard<std::mutex> lock(CodecOpenLock());
    for (auto& ost : run.OutputStreams) {
      if (!ost->EncodingNeeded) continue;
      ml::av_freep(&ost->Codec->stats_in);
      ml::avcodec_close(ost->Codec);
      OpenEncoderList.remove(ost->Codec);
    }
    for (auto& ist : run.InputStreams) {
      if (!ist->DecodingNeeded) continue;
      ml::avcodec_close(ist->Codec);
      OpenDecoderList.remove(ist->Codec);
    }
  }
  Finished = !StopRequested;
  if (trailerError < 0) {
    Finished = 0;
    throw FFMpegException(engine::OpenErrorText("av_write_trailer()", trailerError));
  }
  std::vector<AVFormatContext*> outputs;
  for (int i = 0; i < NbOutputFiles; ++i) outputs.push_back(OutputFiles[i].Context.get());
  const std::string unsound = engine::UnsoundOutputs(outputs, StopRequested);
  if (!unsound.empty()) {
    Finished = 0;
    throw FFMpegException(unsound);
  }
}

void TCustomFFmpeg::Transcode() {
  TTranscodeRun run;
  run.Packet.reset(ml::av_packet_alloc());
  run.CopyOut.reset(ml::av_packet_alloc());
  run.Frame.reset(ml::av_frame_alloc());
  if (!run.Packet || !run.CopyOut || !run.Frame) throw FFMpegException("av_mallocz fail");
  try {
    SetUpRun(run);
    RunLoop(run);
    FinishRun(run);
  } catch (...) {
    if (BitBuffer) ml::av_freep(&BitBuffer);
    throw;
  }
  if (BitBuffer) ml::av_freep(&BitBuffer);
}
