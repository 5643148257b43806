// The bad-input corpus through reelshift-cli convert, with an MP4 and an MP3
// entry: every file ends "Done" or "Fail: <message>", the sources stay as
// they were, no empty output is left, an existing output is kept, and the
// files after a bad one are converted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FixtureMaker.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace reliability;

struct TEntry {
  const char* Format;
  const char* Extension;
};
constexpr TEntry kEntries[] = {{"MP4 - MPEG4 Video (*.mp4)", ".mp4"},
                               {"MP3 - Mpeg Layer3 Audio (*.mp3)", ".mp3"}};

std::vector<std::string> Paths(const std::vector<TBadInput>& corpus) {
  std::vector<std::string> paths;
  for (const TBadInput& input : corpus) paths.push_back(input.Path);
  return paths;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// One run of the corpus through an entry; the checks that hold for every file.
void ConvertCorpus(const std::vector<TBadInput>& corpus, const TEntry& entry, bool unprivileged) {
  SCOPED_TRACE(entry.Format);
  testsupport::TempDir out, logs;
  OpenToEveryone(out.Path());
  OpenToEveryone(logs.Path());
  // An output that exists already: kept, the new one numbered.
  const std::string kept = out.File("made-cut50" + std::string(entry.Extension));
  ASSERT_TRUE(fixtures::WriteTextFile(kept, "an older output"));
  const std::string log = logs.File("run.log");
  std::vector<std::string> words = {"convert", "-f", entry.Format, "-o", out.Path(), "--log", log};
  for (const TBadInput& input : corpus) words.push_back(input.Path);
  TRunOptions options;
  if (unprivileged) options.InChild = BecomeUnprivileged;
  options.TimeoutSeconds = 180;
  const TRunResult run = RunCli(words, options);
  ASSERT_FALSE(run.TimedOut) << Show(run);
  EXPECT_TRUE(NoSanitizerReport(run)) << Show(run);
  EXPECT_EQ(run.Status, 1) << "some files failed\n" << Show(run);

  const std::map<int, TFileEnd> ends = FileEnds(run.Out);
  ASSERT_EQ(ends.size(), corpus.size()) << run.Out;
  for (size_t i = 0; i < corpus.size(); ++i) {
    const TBadInput& input = corpus[i];
    const TFileEnd& end = ends.at(int(i) + 1);
    SCOPED_TRACE(input.Name + " -> " + end.Status);
    std::printf("%-24s %s\n", input.Name.c_str(), end.Status.substr(0, 90).c_str());
    EXPECT_EQ(end.Ends, 1) << "one end per file";
    EXPECT_TRUE(EndsAs(end.Status, input.Expected)) << run.Out;
    std::string why;
    if (end.Status == "Done") {
      EXPECT_TRUE(Playable(end.Output, why)) << end.Output << ": " << why;
    }
  }
  EXPECT_EQ(ReadFile(kept), "an older output");
  EXPECT_TRUE(testsupport::FileExists(out.File("made-cut50-1" + std::string(entry.Extension))));
  EXPECT_EQ(EmptyFilesUnder(out.Path()), std::vector<std::string>{});
  std::map<int, int> logged = LogTerminations(log);
  for (size_t number = 1; number <= corpus.size(); ++number)
    EXPECT_EQ(logged[int(number)], 1) << "file " << number << " in the log";
}

TEST(BadInputCli, EveryFileEndsAndNothingIsLost) {
  REQUIRE_MEDIA("rv10-ac3-560x320-5s.rmvb");
  REQUIRE_MEDIA("ac3-audio-only-0.8s.rm");
  REQUIRE_MEDIA("pointer.ram");
  ASSERT_TRUE(fixtures::EnsureLibraries());
  // As root the converter runs as an unprivileged user, so that the file
  // without read permission is really unreadable to it.
  const bool unprivileged = CanRunUnprivileged();
  const bool permissionsHold = unprivileged || PermissionBitsHoldHere();
  if (!permissionsHold) std::printf("permission bits do not stop reads here\n");
  testsupport::TempDir folder;
  const std::vector<TBadInput> corpus = MakeBadInputCorpus(folder.Path(), true, permissionsHold);
  OpenToEveryone(folder.Path());
  const auto before = Checksums(Paths(corpus));
  for (const TEntry& entry : kEntries) ConvertCorpus(corpus, entry, unprivileged);
  EXPECT_EQ(Checksums(Paths(corpus)), before) << "the sources are unchanged";
}

TEST(BadInputCli, AFolderNamedRmvbIsRefusedOrWalkedButNeverConverted) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir folder, out;
  const std::string named = MakeFolderNamedRmvb(folder.Path());
  const std::string good = MakeClip(folder.File("good.rm"), 1);
  // Without -r a folder is a wrong argument: nothing starts.
  const TRunResult refused = RunCli({"convert", "-o", out.Path(), named, good});
  EXPECT_EQ(refused.Status, 2) << Show(refused);
  EXPECT_NE(refused.Err.find("x.rmvb is a folder"), std::string::npos) << Show(refused);
  EXPECT_TRUE(fs::is_empty(out.Path()));
  // With -r it is walked like any folder; the file beside it converts.
  MakeClip(named + "/inside.rm", 1);
  const TRunResult walked = RunCli({"convert", "-r", "-o", out.Path(), named, good});
  ASSERT_EQ(walked.Status, 0) << Show(walked);
  EXPECT_NE(walked.Out.find("2 done, 0 failed"), std::string::npos) << walked.Out;
  EXPECT_TRUE(testsupport::FileExists(out.File("inside.avi")));
  EXPECT_TRUE(testsupport::FileExists(out.File("good.avi")));
  EXPECT_FALSE(testsupport::FileExists(out.File("x.avi")));
}

}  // namespace
