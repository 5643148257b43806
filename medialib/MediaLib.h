// Run-time binding of the media libraries.
//
// Nothing in the program links the media libraries: they are opened with dlopen
// and every entry point is resolved by name into the function pointers of the
// namespace `ml`, whose types come from the libraries' own declarations. Call
// them as `ml::avcodec_open2(...)`; a call without `ml::` fails to link.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/avstring.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/fifo.h>
#include <libavutil/imgutils.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <string>

namespace ml {

#define ML_ENTRY(name) inline decltype(&::name) name = nullptr;
#include "avcodec.def"
#include "avformat.def"
#include "avutil.def"
#include "swscale.def"
#include "swresample.def"
#undef ML_ENTRY

}  // namespace ml

namespace medialib {

// The five library slots, in loading order.
enum class Library { Codec, Container, Utility, Scaler, Resample };

// Loads and binds all five libraries, all or nothing. With a folder, a library
// file present in it is loaded by its full path; otherwise by name through the
// system search. Returns LibrariesLoaded(). A second call after success returns
// true at once.
bool LoadAll(const std::string& folder, bool versionedNames);
void UnloadAll();
bool LibrariesLoaded();
std::string LibraryLoadError();
bool LibraryBound(Library lib);
// The file name a library is loaded by ("libavcodec.so.59" or "libavcodec.so").
std::string LibraryFileName(Library lib, bool versionedNames);

// The engine's log levels run -1 (quiet), 0 (errors and warnings), 1 (info),
// 2 (debug), 3 (everything); the libraries use their own scale.
int ToLibraryLogLevel(int engineLevel);
int ToEngineLogLevel(int libraryLevel);
// The process-wide cached library log level, on the engine's scale.
int CachedLogLevel();
// Sets the libraries' level (when bound) and the cache.
void SetLibraryLogLevel(int engineLevel);
// Reads the libraries' level back into the cache.
void RefreshCachedLogLevel();

}  // namespace medialib
