// Finds an encoder or decoder by name and checks its media kind.
#pragma once

#include <string>

#include "MediaLib.h"

namespace engine {

// An empty name gives AV_CODEC_ID_NONE and success. Otherwise the codec must
// exist ("Unknown %s '%s'") and be of `type` ("Invalid %s type '%s'"); on
// failure `error` holds the message.
bool LookupCodec(const std::string& name, AVMediaType type, bool encoder, AVCodecID& id,
                 std::string& error);

}  // namespace engine
