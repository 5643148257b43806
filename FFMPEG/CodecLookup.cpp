#include "CodecLookup.h"

#include "Format.h"

namespace engine {

bool LookupCodec(const std::string& name, AVMediaType type, bool encoder, AVCodecID& id,
                 std::string& error) {
  id = AV_CODEC_ID_NONE;
  if (name.empty()) return true;
  const char* kind = encoder ? "encoder" : "decoder";
  const AVCodec* codec = encoder ? ml::avcodec_find_encoder_by_name(name.c_str())
                                 : ml::avcodec_find_decoder_by_name(name.c_str());
  if (!codec) {
    error = Format("Unknown %s '%s'", kind, name.c_str());
    return false;
  }
  if (codec->type != type) {
    error = Format("Invalid %s type '%s'", kind, name.c_str());
    return false;
  }
  id = codec->id;
  return true;
}

}  // namespace engine
