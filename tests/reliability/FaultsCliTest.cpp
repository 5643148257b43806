// Faults around reelshift-cli convert: the output device full, the output
// folder removed or made read-only while a batch runs, and -j 2 with a file
// that fails. Every file still ends "Done" or "Fail: <message>", the sources
// stay as they were and no empty output is left.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "FixtureMaker.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace reliability;

bool StartsWith(const std::string& text, const std::string& head) {
  return text.rfind(head, 0) == 0;
}

// Clips of a batch, with their checksums taken before the run.
struct TSources {
  std::vector<std::string> Paths;
  std::map<std::string, std::string> Before;
  void Seal() { Before = Checksums(Paths); }
};

// What each file of a run must end as: a status or the head of one.
void ExpectEnds(const TRunResult& run, const std::vector<std::string>& heads) {
  ASSERT_FALSE(run.TimedOut) << Show(run);
  EXPECT_TRUE(NoSanitizerReport(run)) << Show(run);
  const std::map<int, TFileEnd> ends = FileEnds(run.Out);
  ASSERT_EQ(ends.size(), heads.size()) << Show(run);
  for (size_t i = 0; i < heads.size(); ++i) {
    const TFileEnd& end = ends.at(int(i) + 1);
    std::printf("  %s: %s\n", fs::path(end.Output).filename().c_str(), end.Status.c_str());
    EXPECT_EQ(end.Ends, 1) << end.Output;
    EXPECT_TRUE(IsTermination(end.Status)) << end.Status;
    EXPECT_TRUE(StartsWith(end.Status, heads[i])) << "file " << i + 1 << ": " << end.Status;
    std::string why;
    if (end.Status == "Done") {
      EXPECT_TRUE(Playable(end.Output, why)) << end.Output << ": " << why;
    }
  }
}

class FaultsCli : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixtures::EnsureLibraries()); }
  void TearDown() override {
    EXPECT_EQ(Checksums(sources.Paths), sources.Before) << "the sources are unchanged";
  }

  std::string Clip(const std::string& name, double seconds, int width, int height) {
    const std::string path = MakeClip(in.File(name), seconds, width, height);
    sources.Paths.push_back(path);
    return path;
  }

  testsupport::TempDir in;
  TSources sources;
};

// A device that fills up: a per-process file-size limit (writes fail with
// EFBIG), and a 1 MB tmpfs where this machine lets us mount one. A failed
// file's partial output stays (it is not empty); the batch goes on.
TEST_F(FaultsCli, FullDeviceFailsTheFilesThatDoNotFitAndTheBatchGoesOn) {
  const std::string big = Clip("big.rm", 8, 640, 480);
  const std::string small = Clip("small.rm", 0.5, 96, 64);
  const std::string after = Clip("after.rm", 8, 640, 480);
  sources.Seal();
  {
    SCOPED_TRACE("file-size limit");
    testsupport::TempDir out;
    TRunOptions options;
    options.InChild = [] { LimitFileSize(256 * 1024); };
    const TRunResult run = RunCli({"convert", "-o", out.Path(), big, small, after}, options);
    EXPECT_EQ(run.Status, 1) << Show(run);
    ExpectEnds(run, {"Fail: av_interleaved_write_frame()", "Done", "Fail: "});
    EXPECT_EQ(EmptyFilesUnder(out.Path()), std::vector<std::string>{});
  }
  testsupport::TempDir device;
  if (mount("tmpfs", device.Path().c_str(), "tmpfs", 0, "size=1m") != 0) {
    std::printf("no tmpfs can be mounted here; the file-size limit stands for a full device\n");
    return;
  }
  SCOPED_TRACE("1 MB tmpfs");
  const TRunResult run = RunCli({"convert", "-o", device.Path(), big, small, after});
  EXPECT_EQ(run.Status, 1) << Show(run);
  // Once the first file's partial output fills the device nothing fits.
  ExpectEnds(run, {"Fail: ", "", "Fail: "});
  EXPECT_EQ(EmptyFilesUnder(device.Path()), std::vector<std::string>{});
  umount2(device.Path().c_str(), MNT_DETACH);
}

// The output folder changes while the first of three files is written.
TEST_F(FaultsCli, OutputFolderRemovedOrMadeReadOnlyDuringABatch) {
  const std::vector<std::string> files = {Clip("a.rm", 10, 320, 240), Clip("b.rm", 1, 160, 120),
                                          Clip("c.rm", 1, 160, 120)};
  sources.Seal();
  OpenToEveryone(in.Path());
  const bool unprivileged = CanRunUnprivileged();
  const bool permissionsHold = unprivileged || PermissionBitsHoldHere();
  const struct {
    const char* Name;
    std::function<void(const std::string& folder)> Act;
    std::vector<std::string> Ends;
  } cases[] = {
      // The first output is gone with its folder: not done. The command
      // makes the folder again for the next files.
      {"removed",
       [](const std::string& folder) { fs::remove_all(folder); },
       {"Fail: " + std::string("/"), "Done", "Done"}},
      // The first file keeps writing what it opened; the next cannot start.
      {"read-only",
       [](const std::string& folder) { chmod(folder.c_str(), 0555); },
       {"Done", permissionsHold ? "Fail: Could not open" : "Done",
        permissionsHold ? "Fail: Could not open" : "Done"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    testsupport::TempDir top;
    const std::string folder = top.File("out");
    fs::create_directory(folder);
    OpenToEveryone(top.Path());
    bool acted = false;
    TRunOptions options;
    if (unprivileged) options.InChild = BecomeUnprivileged;
    options.OnTick = [&](pid_t) {
      if (acted || testsupport::FileSize(folder + "/a.avi") <= 0) return;
      c.Act(folder);
      acted = true;
    };
    std::vector<std::string> words = {"convert", "-o", folder};
    words.insert(words.end(), files.begin(), files.end());
    const TRunResult run = RunCli(words, options);
    ASSERT_TRUE(acted) << "the first output never appeared\n" << Show(run);
    ExpectEnds(run, c.Ends);
    const std::map<int, TFileEnd> ends = FileEnds(run.Out);
    if (c.Name == std::string("removed")) {
      EXPECT_NE(ends.at(1).Status.find("the output file was removed during the conversion"),
                std::string::npos)
          << ends.at(1).Status;
    }
    chmod(folder.c_str(), 0755);
    if (fs::exists(folder)) {
      EXPECT_EQ(EmptyFilesUnder(folder), std::vector<std::string>{});
    }
  }
}

TEST_F(FaultsCli, TwoJobsWithOneFailingFileConvertAllTheOthers) {
  std::vector<std::string> files;
  for (const char* name : {"one.rm", "two.rm"}) files.push_back(Clip(name, 3, 160, 120));
  const std::string bad = in.File("three.rm");
  ASSERT_TRUE(fixtures::WriteTextFile(bad, "not media"));
  sources.Paths.push_back(bad);
  files.push_back(bad);
  for (const char* name : {"four.rm", "five.rm"}) files.push_back(Clip(name, 3, 160, 120));
  sources.Seal();
  testsupport::TempDir out;
  std::vector<std::string> words = {"convert", "-j", "2", "-o", out.Path()};
  words.insert(words.end(), files.begin(), files.end());
  const TRunResult run = RunCli(words);
  EXPECT_EQ(run.Status, 1) << Show(run);
  ExpectEnds(run, {"Done", "Done", "Fail: " + bad + ": Unknown format", "Done", "Done"});
  EXPECT_NE(run.Out.find("4 done, 1 failed, 0 aborted"), std::string::npos) << run.Out;
  EXPECT_FALSE(testsupport::FileExists(out.File("three.avi")));
}

}  // namespace
