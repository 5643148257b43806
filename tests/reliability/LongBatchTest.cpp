// A long batch: 100 short generated files with -j 2. Every one is done, the
// log has one termination per file, and the command's resident memory and
// open descriptors, sampled while it runs, do not grow from the first tenth
// of the files to the last.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "FixtureMaker.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

namespace {

using namespace reliability;

constexpr int kFiles = 100;
// Room for the allocator's own ups and downs; a leak of a few hundred
// kilobytes per file would pass it many times over.
constexpr long kMemoryRoomKb = 6 * 1024;

// Under AddressSanitizer freed memory waits in quarantine, so resident memory
// grows by design; LeakSanitizer checks the command's leaks at its exit then.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentMemoryMeaningful = false;
#else
constexpr bool kResidentMemoryMeaningful = true;
#endif
#else
constexpr bool kResidentMemoryMeaningful = true;
#endif

struct TSample {
  int Ended;  // files ended when it was taken
  long ResidentKb;
  int Descriptors;
};

struct TTenth {
  long ResidentKb = 0;  // the largest of the tenth
  int Descriptors = 0;
  int Samples = 0;
};

TTenth Tenth(const std::vector<TSample>& samples, int from, int to) {
  TTenth tenth;
  for (const TSample& s : samples) {
    if (s.Ended < from || s.Ended >= to || s.ResidentKb < 0 || s.Descriptors < 0) continue;
    tenth.ResidentKb = std::max(tenth.ResidentKb, s.ResidentKb);
    tenth.Descriptors = std::max(tenth.Descriptors, s.Descriptors);
    ++tenth.Samples;
  }
  return tenth;
}

TEST(LongBatch, AHundredFilesTwoAtATimeAreDoneWithoutGrowing) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir seed, in, out, logs;
  const std::string clip = MakeClip(seed.File("clip.rm"), 2);
  std::vector<std::string> words = {"convert",           "-j", "2", "-o", out.Path(), "--log",
                                    logs.File("run.log")};
  for (int i = 1; i <= kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "clip%03d.rm", i);
    ASSERT_TRUE(fixtures::CopyFile(clip, in.File(name)));
    words.push_back(in.File(name));
  }
  std::vector<TSample> samples;
  int ended = 0;
  TRunOptions options;
  options.TimeoutSeconds = 120;
  options.OnLine = [&](const std::string& line) {
    const size_t colon = line.rfind(": ");
    if (line.rfind("[", 0) == 0 && colon != std::string::npos &&
        (IsTermination(line.substr(colon + 2)) || line.find(": Fail: ") != std::string::npos))
      ++ended;
  };
  options.OnTick = [&](pid_t pid) {
    samples.push_back({ended, ResidentKb(pid), OpenDescriptors(pid)});
  };
  const TRunResult run = RunCli(words, options);
  ASSERT_EQ(run.Status, 0) << Show(run);
  EXPECT_TRUE(NoSanitizerReport(run)) << Show(run);
  EXPECT_NE(run.Out.find("100 done, 0 failed, 0 aborted"), std::string::npos) << run.Out;
  EXPECT_EQ(ended, kFiles);

  const std::map<int, TFileEnd> ends = FileEnds(run.Out);
  ASSERT_EQ(ends.size(), size_t(kFiles));
  for (const auto& [number, end] : ends) {
    EXPECT_EQ(end.Status, "Done") << number;
    EXPECT_EQ(end.Ends, 1) << number;
    std::string why;
    EXPECT_TRUE(Playable(end.Output, why)) << end.Output << ": " << why;
  }
  std::map<int, int> logged = LogTerminations(logs.File("run.log"));
  for (int number = 1; number <= kFiles; ++number)
    EXPECT_EQ(logged[number], 1) << "file " << number << " in the log";

  const TTenth first = Tenth(samples, 0, kFiles / 10);
  const TTenth last = Tenth(samples, kFiles - kFiles / 10, kFiles);
  std::printf("first tenth: %ld kB resident, %d descriptors (%d samples)\n", first.ResidentKb,
              first.Descriptors, first.Samples);
  std::printf("last tenth:  %ld kB resident, %d descriptors (%d samples)\n", last.ResidentKb,
              last.Descriptors, last.Samples);
  ASSERT_GT(first.Samples, 0);
  ASSERT_GT(last.Samples, 0);
  if (kResidentMemoryMeaningful) {
    EXPECT_LE(last.ResidentKb, first.ResidentKb + kMemoryRoomKb);
  }
  EXPECT_LE(last.Descriptors, first.Descriptors);
}

}  // namespace
