// The generic option setter: names the option table does not know are offered
// to the libraries' option tables (codec, container, scaler), then to the
// private options of the codecs, muxers and demuxers.
#include "Format.h"
#include "OptionTable.h"

namespace {

// Option kinds of the five codec option contexts (video, audio, data,
// subtitle, attachment).
constexpr int kKindFlags[5] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0,
                               AV_OPT_FLAG_SUBTITLE_PARAM, 0};

// Names and values that moved since the older libraries. An empty old value
// matches any value; an empty new value keeps the given one.
struct Rename {
  std::string_view oldName;
  std::string_view oldValue;  // compared in upper case
  std::string_view newName;
  std::string_view newValue;
};

constexpr Rename kRenames[] = {
    {"gop", "", "g", ""},
    {"flags", "+SCAN_OFFSET", "scan_offset", "1"},
};

// A one-letter prefix that puts the rest of the name on one kind's context.
struct KindPrefix {
  char letter;
  int context;
};

constexpr KindPrefix kPrefixes[] = {{'a', 1}, {'v', 0}, {'s', 3}};

void ApplyRenames(std::string& name, std::string& value) {
  for (const Rename& r : kRenames) {
    if (name != r.oldName) continue;
    if (!r.oldValue.empty() && engine::UpperCase(value) != r.oldValue) continue;
    name = r.newName;
    if (!r.newValue.empty()) value = r.newValue;
    return;
  }
}

bool SetOn(void* object, const std::string& name, const std::string& value) {
  return object && ml::av_opt_set(object, name.c_str(), value.c_str(), 0) >= 0;
}

bool Knows(void* object, const std::string& name) {
  return object && ml::av_opt_find(object, name.c_str(), nullptr, 0, 0) != nullptr;
}

bool ClassKnows(const AVClass* cls, const std::string& name) {
  return cls && ml::av_opt_find(&cls, name.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
}

// Whether some encoder's, decoder's, muxer's or demuxer's private class
// defines the name.
bool PrivateClassKnows(const std::string& name) {
  void* it = nullptr;
  while (const AVCodec* codec = ml::av_codec_iterate(&it))
    if (ClassKnows(codec->priv_class, name)) return true;
  it = nullptr;
  while (const AVOutputFormat* muxer = ml::av_muxer_iterate(&it))
    if (ClassKnows(muxer->priv_class, name)) return true;
  it = nullptr;
  while (const AVInputFormat* demuxer = ml::av_demuxer_iterate(&it))
    if (ClassKnows(demuxer->priv_class, name)) return true;
  return false;
}

const KindPrefix* PrefixOf(const std::string& name) {
  if (name.size() < 2) return nullptr;
  for (const KindPrefix& p : kPrefixes)
    if (name[0] == p.letter) return &p;
  return nullptr;
}

}  // namespace

bool TCustomFFmpeg::SetGenericOption(const std::string& name, const std::string& value) {
  std::string n = engine::Trimmed(name), v = engine::Trimmed(value);
  if (n.empty() || v.empty()) return false;
  ApplyRenames(n, v);
  AVCodecContext* video = CodecOptionContexts[0].get();
  bool found = false;
  for (int kind = 0; kind < 5; ++kind)
    if (video && ml::av_opt_find(video, n.c_str(), nullptr, kKindFlags[kind], 0))
      found = SetOn(CodecOptionContexts[kind].get(), n, v);
  if (!found) found = SetOn(FormatOptionContext.get(), n, v);
  if (!found) found = SetOn(ScalerOptionContext.get(), n, v);
  std::string own = n;
  const KindPrefix* prefix = PrefixOf(n);
  if (!found && prefix) {
    own = n.substr(1);
    found = SetOn(CodecOptionContexts[prefix->context].get(), own, v);
  }
  if (!found) {
    const bool generic = Knows(video, n) || Knows(FormatOptionContext.get(), n) ||
                         Knows(ScalerOptionContext.get(), n) ||
                         (prefix && Knows(CodecOptionContexts[prefix->context].get(), own));
    if (generic || !PrivateClassKnows(n)) return false;
    PrivateOptions.Set(n.c_str(), v.c_str());
    return true;
  }
  GenericOptionNames.push_back(own);
  const AVFormatContext* format = FormatOptionContext.get();
  if ((video && video->debug) || (format && format->debug)) {
    medialib::SetLibraryLogLevel(2);
    Verbose = 2;
  }
  return true;
}

bool TCustomFFmpeg::SetGenericOption(const std::string& name, int64_t value) {
  return SetGenericOption(name, std::to_string(value));
}

void TCustomFFmpeg::CopyRememberedOptions(void* target, void* source, int mask) {
  if (!target || !source) return;
  for (const std::string& name : GenericOptionNames) {
    const AVOption* option = ml::av_opt_find(source, name.c_str(), nullptr, 0, 0);
    if (!option || (option->flags & mask) != mask) continue;
    uint8_t* text = nullptr;
    if (ml::av_opt_get(source, name.c_str(), 0, &text) < 0 || !text) continue;
    engine::AvBytesPtr owned(text);
    ml::av_opt_set(target, name.c_str(), reinterpret_cast<const char*>(text), 0);
  }
}
