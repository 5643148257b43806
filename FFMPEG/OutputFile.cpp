// Creating an output file: its format, its streams, its metadata, and the
// file itself.
#include <unistd.h>

#include <ctime>

#include "FFmpeg.h"
#include "Format.h"
#include "OpenError.h"
#include "OutputSafety.h"

namespace {

void SetTag(AVFormatContext* oc, const char* key, const std::string& value, size_t limit) {
  if (value.empty()) return;
  ml::av_dict_set(&oc->metadata, key, value.substr(0, limit).c_str(), 0);
}

std::string CreationTime(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char buffer[64];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S.000000Z", &utc);
  return buffer;
}

}  // namespace

void TCustomFFmpeg::CheckInputKinds(bool& hasVideo, bool& hasAudio, bool& hasSubtitle) {
  hasVideo = hasAudio = hasSubtitle = false;
  for (int i = 0; i < NbInputFiles; ++i) {
    AVFormatContext* ic = InputFiles[i].Context.get();
    for (unsigned s = 0; s < ic->nb_streams; ++s) {
      switch (ic->streams[s]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
          hasVideo = true;
          break;
        case AVMEDIA_TYPE_AUDIO:
          hasAudio = true;
          break;
        case AVMEDIA_TYPE_SUBTITLE:
          hasSubtitle = true;
          break;
        case AVMEDIA_TYPE_UNKNOWN:
        case AVMEDIA_TYPE_DATA:
        case AVMEDIA_TYPE_ATTACHMENT:
          break;
        default:
          throw FFMpegException("invalid codec_type of input file");
      }
    }
  }
}

void TCustomFFmpeg::CreateOutputStreams(TOutputFileSlot& file) {
  const AVOutputFormat* of = file.Context->oformat;
  bool video = VideoStreamCopy || of->video_codec != AV_CODEC_ID_NONE || !VideoCodecName.empty();
  bool audio = AudioStreamCopy || of->audio_codec != AV_CODEC_ID_NONE || !AudioCodecName.empty();
  bool subtitle =
      SubtitleStreamCopy || of->subtitle_codec != AV_CODEC_ID_NONE || !SubtitleCodecName.empty();
  if (NbInputFiles > 0) {
    bool hasVideo, hasAudio, hasSubtitle;
    try {
      CheckInputKinds(hasVideo, hasAudio, hasSubtitle);
    } catch (const std::exception& e) {
      throw FFMpegException(engine::Format("check_audio_video_sub_inputs fail: %s", e.what()));
    }
    video = video && hasVideo;
    audio = audio && hasAudio;
    subtitle = subtitle && hasSubtitle;
  }
  if (SubtitleDisable) subtitle = false;
  AVFormatContext* oc = file.Context.get();
  auto wrap = [](const char* pattern, auto&& create) {
    try {
      create();
    } catch (const std::exception& e) {
      throw FFMpegException(engine::Format(pattern, e.what()));
    }
  };
  if (video && !VideoDisable) wrap("new_video_stream fail: %s", [&] { NewVideoStream(oc); });
  if (audio && !AudioDisable) wrap("new_audio_stream fail: %s", [&] { NewAudioStream(oc); });
  if (subtitle) wrap("new_subtitle_stream fail: %s", [&] { NewSubtitleStream(oc); });
}

void TCustomFFmpeg::CopyOutputMetadata(AVFormatContext* oc) {
  if (RecTimestamp) ml::av_dict_set(&oc->metadata, "creation_time", CreationTime(RecTimestamp).c_str(), 0);
  SetTag(oc, "title", Title, 511);
  SetTag(oc, "author", Author, 511);
  SetTag(oc, "copyright", Copyright, 511);
  SetTag(oc, "comment", Comment, 511);
  SetTag(oc, "album", Album, 511);
  if (Year > 0) SetTag(oc, "date", std::to_string(Year), 31);
  if (Track > 0) SetTag(oc, "track", std::to_string(Track), 31);
  SetTag(oc, "genre", Genre, 31);
}

void TCustomFFmpeg::DiscardOutput(TOutputFileSlot& file, bool appended) {
  AVFormatContext* oc = file.Context.get();
  std::string name = oc && oc->url ? oc->url : "";
  bool opened = false;
  if (oc && oc->pb && !(oc->oformat->flags & AVFMT_NOFILE)) {
    ml::avio_closep(&oc->pb);
    opened = true;
  }
  file.Streams.clear();
  file.Context.reset();
  if (opened && !name.empty() && access(name.c_str(), F_OK) == 0) {
    FILE* f = std::fopen(name.c_str(), "rb");
    if (f) {
      const bool empty = std::fgetc(f) == EOF;
      std::fclose(f);
      if (empty) unlink(name.c_str());
    }
  }
  if (appended) {
    --NbOutputFiles;
    OutputFiles[NbOutputFiles] = TOutputFileSlot();
  }
  FileOFormat = nullptr;
  FileIFormat = nullptr;
}

bool TCustomFFmpeg::OpenOutputFile(const std::string& fileName) {
  if (NbOutputFiles >= MAX_FILES) {
    LastError = engine::Format("Could not open '%s'", fileName.c_str());
    FileOFormat = nullptr;
    FileIFormat = nullptr;
    return false;
  }
  const AVOutputFormat* of =
      FileOFormat ? FileOFormat : ml::av_guess_format(nullptr, fileName.c_str(), nullptr);
  if (!of) {
    LastError = engine::Format("Unable to find a suitable output format for '%s'", fileName.c_str());
    FileOFormat = nullptr;
    FileIFormat = nullptr;
    return false;
  }
  AVFormatContext* oc = nullptr;
  if (ml::avformat_alloc_output_context2(&oc, of, nullptr, fileName.c_str()) < 0 || !oc) {
    LastError = engine::OpenErrorText(fileName, AVERROR(ENOMEM));
    FileOFormat = nullptr;
    FileIFormat = nullptr;
    return false;
  }
  TOutputFileSlot file;
  file.Context.reset(oc);
  bool appended = false;
  try {
    pendingOutput_ = &file;
    CreateOutputStreams(file);
    pendingOutput_ = nullptr;
  } catch (const std::exception& e) {
    pendingOutput_ = nullptr;
    LastError = e.what();
    DiscardOutput(file, false);
    return false;
  }
  CopyOutputMetadata(oc);
  const int index = NbOutputFiles++;
  OutputFiles[index] = std::move(file);
  TOutputFileSlot& slot = OutputFiles[index];
  appended = true;
  if ((of->flags & AVFMT_NEEDNUMBER) && !ml::av_filename_number_test(fileName.c_str())) {
    LastError = engine::OpenErrorText(fileName, AVERROR(EDOM));
    DiscardOutput(slot, appended);
    return false;
  }
  // Opening for writing truncates: never when the name is one of the inputs.
  std::vector<const AVFormatContext*> inputs;
  for (int i = 0; i < NbInputFiles; ++i) inputs.push_back(InputFiles[i].Context.get());
  if (!(of->flags & AVFMT_NOFILE) && engine::IsOneOfTheInputs(fileName, inputs)) {
    LastError =
        engine::Format("Could not open '%s': it is an input of this conversion", fileName.c_str());
    DiscardOutput(slot, appended);
    return false;
  }
  if (!(of->flags & AVFMT_NOFILE) && ml::avio_open(&oc->pb, fileName.c_str(), AVIO_FLAG_WRITE) < 0) {
    LastError = engine::Format("Could not open '%s'", fileName.c_str());
    DiscardOutput(slot, appended);
    return false;
  }
  oc->max_delay = static_cast<int>(MuxMaxDelay * 1000000);
  slot.MuxerOptions = PrivateOptions;
  slot.MuxerOptions.Set("preload", std::to_string(static_cast<int64_t>(MuxPreload * 1000000)).c_str());
  if (LoopOutput >= 0) slot.MuxerOptions.Set("loop", std::to_string(LoopOutput).c_str());
  CopyRememberedOptions(oc, FormatOptionContext.get(), AV_OPT_FLAG_ENCODING_PARAM);
  FileOFormat = nullptr;
  FileIFormat = nullptr;
  return true;
}
