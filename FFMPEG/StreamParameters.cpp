#include "StreamParameters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace engine {

AVRational NearestSupportedRate(const AVRational* list, AVRational wanted) {
  AVRational best = list[0];
  AVRational bestError = {2147483647, 1};
  for (const AVRational* r = list; r->den != 0; ++r) {
    AVRational error;
    ml::av_reduce(&error.num, &error.den,
                  static_cast<int64_t>(wanted.num) * r->den -
                      static_cast<int64_t>(r->num) * wanted.den,
                  static_cast<int64_t>(wanted.den) * r->den, 2147483647);
    error.num = std::abs(error.num);
    if (av_cmp_q(error, bestError) < 0) {
      best = *r;
      bestError = error;
    }
  }
  return best;
}

// The denominator is a power of two chosen from the value's magnitude; its
// shift wraps at 32 bits, as the sizes have always been computed here.
AVRational SampleAspect(float frameAspect, int width, int height) {
  const double d = static_cast<double>(frameAspect) * height / width;
  const int e = std::max(0, static_cast<int>(std::nearbyint(std::log2(std::fabs(d) + 1e-20))));
  const int64_t denominator = int64_t{1} << ((61 - e) % 32);
  const int64_t numerator = std::llrint(d * static_cast<double>(denominator) + 0.5);
  AVRational sar;
  ml::av_reduce(&sar.num, &sar.den, numerator, denominator, 255);
  return sar;
}

}  // namespace engine
