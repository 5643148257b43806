// The message for a failed open (or write) of a media file.
#pragma once

#include <string>

namespace engine {

// Maps a negative library error code and a file name to the user's message,
// e.g. "clip.rm: no such file or directory".
std::string OpenErrorText(const std::string& fileName, int errorCode);

}  // namespace engine
