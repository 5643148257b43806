// Owners for the media libraries' objects.
#pragma once

#include <memory>

#include "MediaLib.h"

namespace engine {

struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const {
    if (c) ml::avcodec_free_context(&c);
  }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const {
    if (f) ml::av_frame_free(&f);
  }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const {
    if (p) ml::av_packet_free(&p);
  }
};
struct SwsDeleter {
  void operator()(SwsContext* s) const {
    if (s) ml::sws_freeContext(s);
  }
};
struct SwrDeleter {
  void operator()(SwrContext* s) const {
    if (s) ml::swr_free(&s);
  }
};
struct InputContextDeleter {
  void operator()(AVFormatContext* f) const {
    if (f) ml::avformat_close_input(&f);
  }
};
struct FormatContextDeleter {
  void operator()(AVFormatContext* f) const {
    if (f) ml::avformat_free_context(f);
  }
};
struct FifoDeleter {
  void operator()(AVFifo* f) const {
    if (f) ml::av_fifo_freep2(&f);
  }
};
struct DictionaryDeleter {
  void operator()(AVDictionary* d) const {
    if (d) ml::av_dict_free(&d);
  }
};
struct AvMemoryDeleter {
  void operator()(void* p) const {
    if (p) ml::av_free(p);
  }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;
using FifoPtr = std::unique_ptr<AVFifo, FifoDeleter>;
using AvBytesPtr = std::unique_ptr<uint8_t, AvMemoryDeleter>;

// An AVDictionary* held by value; copies deep-copy.
class Dictionary {
 public:
  Dictionary() = default;
  Dictionary(const Dictionary& other) { *this = other; }
  Dictionary& operator=(const Dictionary& other) {
    if (this != &other) {
      Clear();
      if (other.dict_) ml::av_dict_copy(&dict_, other.dict_, 0);
    }
    return *this;
  }
  ~Dictionary() { Clear(); }
  void Set(const char* key, const char* value) { ml::av_dict_set(&dict_, key, value, 0); }
  void Clear() {
    if (dict_) ml::av_dict_free(&dict_);
  }
  bool Empty() const { return !dict_ || ml::av_dict_count(dict_) == 0; }
  AVDictionary** Address() { return &dict_; }
  AVDictionary* Get() const { return dict_; }

 private:
  AVDictionary* dict_ = nullptr;
};

}  // namespace engine
