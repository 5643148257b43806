// Encoder names that the catalogue asks for but the loaded library build names
// differently or lacks, and which available encoder stands in for each.
#pragma once

#include <functional>
#include <string>

#include "OptionRecords.h"

namespace presets {

// Says whether the loaded libraries have an encoder of that name. Presets
// cannot see the libraries, so the caller passes this in. An empty query is
// taken to mean that every name exists.
using TEncoderQuery = std::function<bool(const std::string& name)>;

// The encoder to use for name: the first candidate of its stand-in row that
// the build has, or name itself when it has no row or no candidate exists
// (the engine then reports the missing encoder).
std::string EncoderStandIn(const std::string& name, const TEncoderQuery& hasEncoder);

// Replaces VideoCodec and AudioCodec by their stand-ins.
void ApplyEncoderStandIns(TOutputOptions& options, const TEncoderQuery& hasEncoder);

}  // namespace presets
