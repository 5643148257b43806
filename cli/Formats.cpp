// reelshift-cli formats: the 50 items of the output-format list with their
// positions (what -f N takes) and extensions.
#include <cctype>
#include <cstdio>
#include <string>

#include "Catalogue.h"
#include "Commands.h"

namespace cli {

namespace {

std::string LowerExtension(std::string_view extension) {
  std::string text = ".";
  for (char c : extension) text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

int Formats(int argc, char**) {
  if (argc > 0) {
    std::fprintf(stderr, "usage: reelshift-cli formats\n");
    return 2;
  }
  const auto items = presets::OutputFormatItems();
  for (size_t i = 0; i < items.size(); ++i) {
    const presets::TheAVCodec* entry = presets::FindOutputFormat(items[i]);
    if (!entry) {
      std::printf("%2zu  ----  ----------------------------------------\n", i);
      continue;
    }
    const std::string text(items[i]);
    std::printf("%2zu  %-5s %s\n", i, LowerExtension(entry->Extension).c_str(), text.c_str());
  }
  return 0;
}

}  // namespace cli
