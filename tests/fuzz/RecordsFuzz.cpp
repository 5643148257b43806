// libFuzzer target: the two free-text fields of the option records. The
// first part of the input is an ExtOptions text (one name=value per line)
// applied to a prepared engine, the rest a HookRanges text. Refusals must be
// the engine's exception or the tag assertion; the ranges handed on must
// keep the parser's promise (start not after end, end not negative).
#include <cstdarg>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FFmpeg.h"
#include "OptionTranslation.h"

namespace {

// Names that load code or write files: disarmed wherever they appear.
constexpr std::string_view kDisarmed[] = {"vhook", "vstats"};

std::string Disarm(std::string text) {
  for (std::string_view name : kDisarmed)
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
      text[at] = '_';
  return text;
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

void CheckRanges(const std::string& text, TCustomFFmpeg& engine) {
  const std::vector<THookRange> ranges = component::ParseHookRanges(text);
  for (const THookRange& range : ranges)
    if (range.StartTime > range.EndTime || range.EndTime < 0) std::abort();
  engine.SetHookRanges(ranges);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!LibrariesReady()) std::abort();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string extOptions = Disarm(input.substr(0, split));
  const std::string hookRanges = split == std::string::npos ? input : input.substr(split + 1);
  TCustomFFmpeg engine;
  engine.PrepareTask();
  engine.LogHandler = [](TCustomFFmpeg*, int, const std::string&) {};
  try {
    component::ApplyExtOptions(engine, extOptions);
  } catch (const FFMpegException&) {
  } catch (const EAssertionFailed&) {
  }
  CheckRanges(hookRanges, engine);
  return 0;
}
