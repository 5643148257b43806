// reelshift-cli: the batch work of Reelshift without a window.
#include <cstdio>
#include <cstring>
#include <string>

#include "Commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* usage;
};

constexpr Command kCommands[] = {
    {"selfcheck", cli::SelfCheck, "selfcheck [FILE]   load the media libraries and report them"},
    {"transcode", cli::Transcode,
     "transcode [OPTION [VALUE]]... -i INPUT [OPTION [VALUE]]... OUTPUT"},
    {"probe", cli::Probe, "probe FILE...      show what each media file holds"},
    {"convert", cli::Convert,
     "convert [OPTION]... FILE_OR_FOLDER...  convert files (convert --help)"},
    {"formats", cli::Formats, "formats            the output formats that convert -f takes"},
};

int Usage() {
  std::fprintf(stderr, "usage: reelshift-cli COMMAND [ARGS]\n");
  for (const Command& c : kCommands) std::fprintf(stderr, "  %s\n", c.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  for (const Command& c : kCommands)
    if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
  std::fprintf(stderr, "unknown command: %s\n", argv[1]);
  return Usage();
}
