#include <cstdio>

#include "Commands.h"
#include "MediaLib.h"

namespace cli {

int SelfCheck(int argc, char** argv) {
  if (!medialib::LoadAll("", true)) {
    std::fprintf(stderr, "%s\n", medialib::LibraryLoadError().c_str());
    return 1;
  }
  const unsigned codec = ml::avcodec_version(), format = ml::avformat_version();
  std::printf("libavcodec %u.%u, libavformat %u.%u loaded at run time\n", codec >> 16,
              (codec >> 8) & 0xFF, format >> 16, (format >> 8) & 0xFF);
  for (int i = 0; i < argc; ++i) std::printf("input: %s\n", argv[i]);
  return 0;
}

}  // namespace cli
