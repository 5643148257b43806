// reelshift-cli convert [options] FILE_OR_FOLDER...: the window's batch
// conversion without a window.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Commands.h"
#include "ConvertBatch.h"
#include "ConvertSettings.h"
#include "Interrupt.h"

namespace cli {

namespace {

constexpr int kBadArguments = 2;
constexpr int kStopped = 130;

int BadArguments(const std::string& message) {
  std::fprintf(stderr, "reelshift-cli convert: %s\n", message.c_str());
  return kBadArguments;
}

bool CheckOutputFolder(const std::string& folder, std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(folder, ignored)) return true;
  error = "the output folder \"" + folder + "\" does not exist or is not a folder";
  return false;
}

int ExitStatus(const TBatchCounts& counts) {
  if (counts.Stopped) return kStopped;
  return counts.Failed > 0 || counts.Aborted > 0 ? 1 : 0;
}

int RunBatch(const TConvertRequest& request, const presets::TSettingLists& lists,
             std::vector<TInputFile> files, TTaskLog& log) {
  TConsole console(stdout);
  TConvertBatch batch(request, lists, std::move(files), console, log);
  std::string error;
  if (!batch.Load(error)) {
    std::fprintf(stderr, "reelshift-cli convert: %s\n", error.c_str());
    return 1;
  }
  InterruptGuard interrupt;
  const auto began = std::chrono::steady_clock::now();
  const TBatchCounts counts = batch.Run([&interrupt] { return interrupt.Requested(); });
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  console.Line(SummaryText(counts.Done, counts.Failed, counts.Aborted, seconds));
  if (counts.NotStarted > 0)
    console.Line(std::to_string(counts.NotStarted) + " not started after the stop");
  return ExitStatus(counts);
}

}  // namespace

int Convert(int argc, char** argv) {
  TConvertRequest request;
  std::string error;
  if (!ParseConvertArguments(argc, argv, request, error)) {
    BadArguments(error);
    std::fputs(kConvertUsage, stderr);
    return kBadArguments;
  }
  if (request.Help) {
    std::fputs(kConvertUsage, stdout);
    return 0;
  }
  presets::TSettingLists lists;
  if (!BuildSettingLists(request, lists, error)) return BadArguments(error);
  if (!CheckOutputFolder(request.OutputFolder, error)) return BadArguments(error);
  std::vector<TInputFile> files;
  if (!CollectInputs(request.Inputs, request.Recursive, files, error)) return BadArguments(error);
  if (files.empty()) return BadArguments("no RealMedia files to convert");
  TTaskLog log;
  if (!request.LogFile.empty() && !log.Open(request.LogFile, error)) return BadArguments(error);
  return RunBatch(request, lists, std::move(files), log);
}

}  // namespace cli
