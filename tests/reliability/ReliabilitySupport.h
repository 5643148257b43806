// Shared by the reliability tests: the bad-input corpus made at test time,
// a runner for reelshift-cli that can limit the child, watch its output line
// by line and sample it while it runs, and the checks that hold for every
// case (sources unchanged, no empty output, one end per file).
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace reliability {

// How a file of the corpus may end.
enum class TEnd { Done, Fail, Either };

struct TBadInput {
  std::string Name;  // shown in failures
  std::string Path;
  TEnd Expected;
};

// The corpus in `folder`, from a generated clip and (when `withReal`) the
// real samples: truncations at 1, 10, 50 and 99 %, 300 bytes of noise at the
// start, the middle and the end, an empty file, a text file named .rm, the
// real .ram pointer and a made one with addresses, a file without read
// permission, and long non-ASCII names near the 255-byte limit. The folder
// named x.rmvb is made by MakeFolderNamedRmvb (the command line refuses it as
// an argument). Ends with a good clip, so the run shows the batch going on.
std::vector<TBadInput> MakeBadInputCorpus(const std::string& folder, bool withReal,
                                          bool permissionsHold);
std::string MakeFolderNamedRmvb(const std::string& folder);

// A generated RealMedia clip (rv20 video, ac3 audio) of the given length.
std::string MakeClip(const std::string& path, double seconds, int width = 160, int height = 120);

// A name of exactly `bytes` bytes: accented and CJK letters, then the
// extension.
std::string LongNonAsciiName(size_t bytes, const std::string& extension);

// Whether permission bits stop this process from reading a file (not for
// root, who reads everything).
bool PermissionBitsHoldHere();
// The unprivileged user a root test runs the converter as, so that the
// permission bits hold for it; false when this process cannot switch.
bool CanRunUnprivileged();
void BecomeUnprivileged();  // in the child only
// Makes the folder (and what is in it) open to the unprivileged user.
void OpenToEveryone(const std::string& folder);

struct TRunOptions {
  std::function<void()> InChild;  // after fork, before exec
  // Each line of standard output as it arrives.
  std::function<void(const std::string& line)> OnLine;
  // Every few milliseconds while the program runs.
  std::function<void(pid_t pid)> OnTick;
  double TimeoutSeconds = 240;  // then the program is killed and the run fails
};

struct TRunResult {
  std::string Out;
  std::string Err;
  int Status = -1;  // exit status; -1 when it did not exit normally
  bool TimedOut = false;
};

// Runs `reelshift-cli arguments...`.
TRunResult RunCli(const std::vector<std::string>& arguments, const TRunOptions& options = {});
std::string Show(const TRunResult& run);
// No sanitizer report (AddressSanitizer, LeakSanitizer, UndefinedBehavior-
// Sanitizer) in what the program printed.
bool NoSanitizerReport(const TRunResult& run);

// One file of a convert run, from its "[k/N] input -> output" and
// "[k/N] output: status" lines; `Ends` counts the status lines.
struct TFileEnd {
  std::string Input;
  std::string Output;
  std::string Status;
  int Ends = 0;
};
std::map<int, TFileEnd> FileEnds(const std::string& out);
bool EndsAs(const std::string& status, TEnd expected);
bool IsTermination(const std::string& status);

// The number of terminations ("[n] convert: Done", "Fail: ...", "Abort")
// that a --log file holds for each file number.
std::map<int, int> LogTerminations(const std::string& logPath);

// Checksums of files, to show them unchanged afterwards.
std::map<std::string, std::string> Checksums(const std::vector<std::string>& paths);

// Regular files of size 0 under the folder.
std::vector<std::string> EmptyFilesUnder(const std::string& folder);

// A finished output: it opens, and its streams hold packets.
bool Playable(const std::string& path, std::string& why);

// Resident memory (kB) and open descriptors of a process; -1 when gone.
long ResidentKb(pid_t pid);
int OpenDescriptors(pid_t pid);

// Scoped per-process file-size limit (writes beyond it fail with EFBIG, the
// signal ignored); the old limit and signal come back on destruction.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(long bytes);
  ~TFileSizeLimit();
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  unsigned long oldSoft_ = 0;
  unsigned long oldHard_ = 0;
  void (*oldHandler_)(int) = nullptr;
};
// The same in a child, for good.
void LimitFileSize(long bytes);

}  // namespace reliability
