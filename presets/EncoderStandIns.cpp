#include "EncoderStandIns.h"

#include <string_view>

namespace presets {
namespace {

struct TStandIn {
  std::string_view Name;
  std::string_view Candidates[3];  // in order of preference; empty ends the row
};

// The one table of stand-ins. "vorbis" prefers libvorbis even when the
// built-in encoder exists: that one is experimental and refuses to open
// without a strictness override. 3GP and 3G2 also carry AAC when no AMR-NB
// encoder is there.
constexpr TStandIn kStandIns[] = {
    {"libfaac", {"libfaac", "aac"}},
    {"libamr_nb", {"libamr_nb", "libopencore_amrnb", "aac"}},
    {"vorbis", {"libvorbis", "vorbis"}},
};

bool Has(const TEncoderQuery& hasEncoder, std::string_view name) {
  return !hasEncoder || hasEncoder(std::string(name));
}

}  // namespace

std::string EncoderStandIn(const std::string& name, const TEncoderQuery& hasEncoder) {
  for (const auto& row : kStandIns) {
    if (row.Name != name) continue;
    for (auto candidate : row.Candidates)
      if (!candidate.empty() && Has(hasEncoder, candidate)) return std::string(candidate);
  }
  return name;
}

void ApplyEncoderStandIns(TOutputOptions& options, const TEncoderQuery& hasEncoder) {
  if (!options.VideoCodec.empty())
    options.VideoCodec = EncoderStandIn(options.VideoCodec, hasEncoder);
  if (!options.AudioCodec.empty())
    options.AudioCodec = EncoderStandIn(options.AudioCodec, hasEncoder);
}

}  // namespace presets
