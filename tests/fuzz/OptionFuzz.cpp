// libFuzzer target: random option names (half of them from the option table)
// and random values applied to a prepared engine. Every refusal must be an
// FFMpegException or the tag assertion; anything else ends the run.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdarg>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FFmpeg.h"
#include "OptionTable.h"

namespace {

// Options that touch the file system or load code.
constexpr std::string_view kSkipped[] = {"vhook", "vstats", "vstats_file"};

bool Skipped(std::string_view name) {
  for (std::string_view s : kSkipped)
    if (s == name) return true;
  return false;
}

void SilentLog(void*, int, const char*, va_list) {}

bool LibrariesReady() {
  static const bool ready = [] {
    if (!medialib::LoadAll("", true)) return false;
    ml::av_log_set_callback(SilentLog);
    return true;
  }();
  return ready;
}

std::string PickName(FuzzedDataProvider& in) {
  const auto table = engine::OptionTable();
  if (in.ConsumeBool())
    return std::string(table[in.ConsumeIntegralInRange<size_t>(0, table.size() - 1)].name);
  return in.ConsumeRandomLengthString(24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!LibrariesReady()) std::abort();
  FuzzedDataProvider in(data, size);
  TCustomFFmpeg engine;
  engine.PrepareTask();
  engine.LogHandler = [](TCustomFFmpeg*, int, const std::string&) {};
  for (int step = 0; step < 8 && in.remaining_bytes() > 0; ++step) {
    const std::string name = PickName(in);
    const std::string value = in.ConsumeRandomLengthString(64);
    if (Skipped(name)) continue;
    try {
      engine.ParseOption(name, value);
    } catch (const FFMpegException&) {
    } catch (const EAssertionFailed&) {
    }
  }
  return 0;
}
