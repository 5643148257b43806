#include "OpenError.h"

#include <cerrno>
#include <cstdio>

#include "MediaLib.h"

namespace engine {

namespace {

struct OpenErrorEntry {
  int code;
  const char* text;
};

// AVERROR(EILSEQ) and AVERROR_INVALIDDATA are what this library generation
// reports for data it cannot recognise.
const OpenErrorEntry kOpenErrors[] = {
    {AVERROR(EDOM),
     "%s: Incorrect image filename syntax.\r\nUse '%%d' to specify the image number:\r\n"
     "  for img1.jpg, img2.jpg, ..., use 'img%%d.jpg';\r\n"
     "  for img001.jpg, img002.jpg, ..., use 'img%%03d.jpg'."},
    {AVERROR(EINVAL), "%s: Error while parsing header"},
    {AVERROR(EILSEQ), "%s: Unknown format"},
    {AVERROR_INVALIDDATA, "%s: Unknown format"},
    {AVERROR(EIO), "%s: I/O error occurred\r\nUsually that means that input file is truncated "
                   "and/or corrupted."},
    {AVERROR(ENOMEM), "%s: memory allocation error occurred"},
    {AVERROR(ENOENT), "%s: no such file or directory"},
};

}  // namespace

std::string OpenErrorText(const std::string& fileName, int errorCode) {
  const char* pattern = "%s: Error while opening file";
  for (const OpenErrorEntry& entry : kOpenErrors)
    if (entry.code == errorCode) pattern = entry.text;
  const int size = std::snprintf(nullptr, 0, pattern, fileName.c_str());
  std::string text(static_cast<size_t>(size), '\0');
  std::snprintf(text.data(), text.size() + 1, pattern, fileName.c_str());
  return text;
}

}  // namespace engine
