// The arguments of `reelshift-cli convert`: what to convert, into which
// catalogue entry with which setting choices, where to, and how many at once.
#pragma once

#include <string>
#include <vector>

namespace cli {

// --set LIST=ITEM: one pick in a setting list after the entry's preset ran.
struct TSettingChoice {
  std::string List;
  std::string Item;
};

struct TConvertRequest {
  std::string Format = "0";  // the entry's exact list text or its position
  std::string OutputFolder = ".";
  bool Overwrite = false;
  std::vector<TSettingChoice> Settings;
  int Volume = 5;      // track-bar position 0..10
  int AspectItem = 0;  // ComboAspectRatio: 0 original, 1 4:3, 2 16:9
  bool LetterBox = false;
  int Jobs = 1;
  bool Recursive = false;
  std::string LogFile;
  std::vector<std::string> Inputs;
  bool Help = false;  // -h, --help: show the usage and do nothing else
};

inline constexpr const char* kConvertUsage =
    "usage: reelshift-cli convert [options] FILE_OR_FOLDER...\n"
    "  -f, --format TEXT|N      catalogue entry by its list text or position (see `formats`)\n"
    "  -o, --output-folder DIR  where the outputs go (default: the current folder)\n"
    "      --overwrite          replace existing outputs instead of numbering new ones\n"
    "      --set LIST=ITEM      pick an item of a setting list, e.g. ComboAudioChannels=Mono\n"
    "      --volume P           volume position 0..10 (default 5, 100%)\n"
    "      --aspect original|4:3|16:9\n"
    "      --letterbox          keep the picture's aspect inside the chosen size\n"
    "  -j, --jobs N             convert up to N files at once (default 1)\n"
    "  -r, --recursive          convert the .rm, .rmvb and .ram files inside the folders\n"
    "      --log FILE           write every log line of every file there\n"
    "  -h, --help               show this text\n";

// Reads convert's arguments into request; false with a message for a person.
bool ParseConvertArguments(int argc, char** argv, TConvertRequest& request, std::string& error);

}  // namespace cli
