#include "OutputSafety.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "Format.h"
#include "MediaLib.h"

namespace engine {

namespace {

// The file behind a URL of the file protocol ("clip.rm", "file:clip.rm").
bool PlainFilePath(const char* url, std::string& path) {
  if (!url || !*url) return false;
  const char* protocol = ml::avio_find_protocol_name(url);
  if (!protocol || std::strcmp(protocol, "file") != 0) return false;
  constexpr std::string_view kPrefix = "file:";
  std::string_view text(url);
  if (text.substr(0, kPrefix.size()) == kPrefix) text.remove_prefix(kPrefix.size());
  path = text;
  return true;
}

bool OutputFileGone(const AVFormatContext* output) {
  if (!output->oformat || (output->oformat->flags & AVFMT_NOFILE)) return false;
  std::string path;
  struct stat info {};
  return PlainFilePath(output->url, path) && stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

bool NothingWritten(const AVFormatContext* output) {
  if (output->nb_streams == 0) return false;
  for (unsigned i = 0; i < output->nb_streams; ++i)
    if (output->streams[i]->nb_frames > 0) return false;
  return true;
}

// Closes the output's plain file and removes it.
void RemoveOutputFile(AVFormatContext* output) {
  std::string path;
  if (!output->oformat || (output->oformat->flags & AVFMT_NOFILE) ||
      !PlainFilePath(output->url, path))
    return;
  if (output->pb) ml::avio_closep(&output->pb);
  unlink(path.c_str());
}

}  // namespace

bool IsOneOfTheInputs(const std::string& output,
                      const std::vector<const AVFormatContext*>& inputs) {
  std::string path;
  struct stat target {};
  if (!PlainFilePath(output.c_str(), path) || stat(path.c_str(), &target) != 0) return false;
  for (const AVFormatContext* input : inputs) {
    std::string inputPath;
    struct stat source {};
    if (!input || !PlainFilePath(input->url, inputPath) || stat(inputPath.c_str(), &source) != 0)
      continue;
    if (source.st_dev == target.st_dev && source.st_ino == target.st_ino) return true;
  }
  return false;
}

std::string UnsoundOutputs(const std::vector<AVFormatContext*>& outputs, bool stopped) {
  for (const AVFormatContext* output : outputs)
    if (output && OutputFileGone(output))
      return Format("%s: the output file was removed during the conversion", output->url);
  if (stopped) return "";
  for (AVFormatContext* output : outputs) {
    if (!output || !NothingWritten(output)) continue;
    const std::string name = output->url ? output->url : "";
    RemoveOutputFile(output);
    return Format("%s: nothing was encoded (the input holds no media that could be read)",
                  name.c_str());
  }
  return "";
}

}  // namespace engine
