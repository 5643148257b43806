// Progress snapshots, the report line and summary, and the video statistics
// file.
#include <cmath>
#include <cstdarg>

#include "FFmpeg.h"
#include "TranscodeTypes.h"

namespace {

constexpr double kLambda = 118.0;  // FF_QP2LAMBDA

// Appends to a fixed 1024-byte line, never past its end.
class ReportLine {
 public:
  void Append(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (used_ >= sizeof text_ - 1) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text_ + used_, sizeof text_ - used_, format, args);
    va_end(args);
    if (n > 0) used_ = std::min(sizeof text_ - 1, used_ + static_cast<size_t>(n));
  }
  const char* Text() const { return text_; }

 private:
  char text_[1024] = {};
  size_t used_ = 0;
};

double Psnr(double error) { return -10.0 * std::log10(error); }

void AppendPsnr(ReportLine& out, TOutputStreamRec& ost, bool last) {
  AVCodecContext* enc = ost.Codec;
  out.Append("PSNR=");
  double errorSum = 0, scaleSum = 0;
  static const char kPlanes[] = "YUV";
  for (int j = 0; j < 3; ++j) {
    double error, scale;
    if (last) {
      error = static_cast<double>(enc->error[j]);
      scale = enc->width * enc->height * 255.0 * 255.0 * ost.FrameNumber;
    } else {
      error = static_cast<double>(ost.Coded.Error[j]);
      scale = enc->width * enc->height * 255.0 * 255.0;
    }
    if (j) scale /= 4;
    errorSum += error;
    scaleSum += scale;
    out.Append("%c:%2.2f ", kPlanes[j], Psnr(error / scale));
  }
  out.Append("*:%2.2f ", Psnr(errorSum / scaleSum));
}

}  // namespace

void TCustomFFmpeg::PrintReport(TTranscodeRun& run, bool last) {
  if (NbOutputFiles <= 0) return;
  AVIOContext* pb = OutputFiles[0].Context->pb;
  int64_t totalSize = pb ? ml::avio_size(pb) : 0;
  if (totalSize < 0 && pb) totalSize = ml::avio_seek(pb, 0, SEEK_CUR);
  if (totalSize < 0) totalSize = 0;
  ReportLine line;
  double ti1 = 1e10;
  bool anyTime = false;
  int frameNumber = -1, fps = -1;
  float quality = -1.0f;
  bool firstVideo = true;
  for (auto& ostPtr : run.OutputStreams) {
    TOutputStreamRec& ost = *ostPtr;
    AVCodecContext* enc = ost.Codec;
    const bool copied = !ost.EncodingNeeded;
    const float q = copied ? -1.0f : static_cast<float>(ost.Coded.Quality / kLambda);
    if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
      if (!firstVideo) {
        line.Append("q=%2.1f ", q);
      } else {
        const float t = static_cast<float>((ml::av_gettime() - TimerStart) / 1000000.0);
        frameNumber = ost.FrameNumber;
        if (frameNumber < 1) return;
        fps = t > 1 ? static_cast<int>(frameNumber / t + 0.5) : 0;
        quality = q;
        line.Append("frame=%5d fps=%3d q=%3.1f ", frameNumber, fps, quality);
        if (last) line.Append("L");
        if (QpHist) {
          const int qp = static_cast<int>(std::lrint(ost.Coded.Quality / kLambda));
          if (qp >= 0 && qp < 52) ++QpHistogram[qp];
          for (int j = 0; j < 32; ++j)
            line.Append("%X", static_cast<int>(std::lrint(std::log2(QpHistogram[j] + 1))));
        }
        if (!copied && (enc->flags & AV_CODEC_FLAG_PSNR)) AppendPsnr(line, ost, last);
        firstVideo = false;
      }
    }
    const double pts = static_cast<double>(ost.CurrentPts) * av_q2d(ost.Stream->time_base);
    if (pts > 0 && pts < ti1) {
      ti1 = pts;
      anyTime = true;
    }
  }
  if (ti1 < 0.01) ti1 = 0.01;
  if (ProgressHandler || Verbose > 0 || last) {
    const double bitrate = static_cast<double>(totalSize) * 8 / ti1 / 1000.0;
    line.Append("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", totalSize / 1024.0, ti1, bitrate);
    if (Verbose > 1) line.Append(" dup=%d drop=%d", NbFramesDup, NbFramesDrop);
    if (ProgressHandler) {
      const int current = anyTime ? static_cast<int>(ti1 * 1000) : 0;
      ProgressHandler(this, frameNumber, fps, current, quality, static_cast<float>(bitrate),
                      totalSize, TotalDurationMs);
    } else if (Verbose >= 0 && LogHandler) {
      Log(1, line.Text());
    }
  }
  if (last && Verbose >= 0 && LogHandler) {
    const double raw = static_cast<double>(VideoSize + AudioSize + ExtraSize);
    const double overhead = raw > 0 ? 100.0 * (static_cast<double>(totalSize) - raw) / raw : 0.0;
    LogF(1, "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
         VideoSize / 1024.0, AudioSize / 1024.0, ExtraSize / 1024.0, overhead);
  }
}

void TCustomFFmpeg::WriteVideoStats(TOutputStreamRec& ost, int frameSize) {
  AVCodecContext* enc = ost.Codec;
  if (enc->codec_type != AVMEDIA_TYPE_VIDEO) return;
  if (!VStatsFile) {
    VStatsFile.reset(std::fopen(VStatsFileName.c_str(), "w"));
    if (!VStatsFile) throw FFMpegException("fopen fail: " + VStatsFileName);
  }
  FILE* f = VStatsFile.get();
  std::fprintf(f, "frame= %5d q= %2.1f ", ost.FrameNumber, ost.Coded.Quality / kLambda);
  if (enc->flags & AV_CODEC_FLAG_PSNR)
    std::fprintf(f, "PSNR= %6.2f ",
                 Psnr(static_cast<double>(ost.Coded.Error[0]) / (enc->width * enc->height * 255.0 * 255.0)));
  std::fprintf(f, "f_size= %6d ", frameSize);
  double ti1 = static_cast<double>(ost.SyncOpts) * av_q2d(enc->time_base);
  if (ti1 < 0.01) ti1 = 0.01;
  const double bitrate = frameSize * 8 / av_q2d(enc->time_base) / 1000.0;
  const double average = static_cast<double>(VideoSize) * 8 / ti1 / 1000.0;
  std::fprintf(f, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
               VideoSize / 1024.0, ti1, bitrate, average);
  std::fprintf(f, "type= %c\n", ml::av_get_picture_type_char(static_cast<AVPictureType>(ost.Coded.PictType)));
}
