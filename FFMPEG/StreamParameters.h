// Encoder parameters derived from the option state.
#pragma once

#include "MediaLib.h"

namespace engine {

// The entry of a {0,0}-terminated rate list nearest to `wanted`; ties keep
// the earlier entry.
AVRational NearestSupportedRate(const AVRational* list, AVRational wanted);

// The sample aspect that gives `frameAspect` at this picture size, reduced to
// terms of at most 255.
AVRational SampleAspect(float frameAspect, int width, int height);

}  // namespace engine
