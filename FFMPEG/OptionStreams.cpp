// Codec names and codec tags of the streams created next.
#include "Format.h"
#include "OptionTable.h"

namespace {

// An empty name changes nothing; "copy" turns stream copy on (an earlier copy
// flag stays on when a name follows; stream creation clears both).
void ApplyCodecName(std::string& stored, int32_t& copyFlag, const std::string& name) {
  if (name.empty()) return;
  stored.clear();
  if (name == "copy")
    copyFlag = 1;
  else
    stored = name;
}

// Four characters, the first in the low byte.
void ApplyTag(int32_t& tag, const std::string& text, const char* message, int line) {
  if (text.empty()) return;
  if (text.size() != 4)
    throw EAssertionFailed(engine::Format("%s (%s, line %d)", message, "FFmpeg", line));
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(text[i]);
  tag = static_cast<int32_t>(value);
}

}  // namespace

void TCustomFFmpeg::SetVideoCodec(const std::string& name) {
  ApplyCodecName(VideoCodecName, VideoStreamCopy, name);
}

void TCustomFFmpeg::SetAudioCodec(const std::string& name) {
  ApplyCodecName(AudioCodecName, AudioStreamCopy, name);
}

void TCustomFFmpeg::SetSubtitleCodec(const std::string& name) {
  ApplyCodecName(SubtitleCodecName, SubtitleStreamCopy, name);
}

void TCustomFFmpeg::SetVideoTag(const std::string& tag) {
  ApplyTag(VideoCodecTag, tag, "video tag parameter must be 4 chars", __LINE__);
}

void TCustomFFmpeg::SetAudioTag(const std::string& tag) {
  ApplyTag(AudioCodecTag, tag, "audio tag parameter must be 4 chars", __LINE__);
}
