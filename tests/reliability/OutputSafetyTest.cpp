// The engine never writes over one of its own inputs, and a run that encoded
// nothing fails instead of passing for done, leaving no file without media.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "FixtureMaker.h"
#include "ReliabilitySupport.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace reliability;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(OutputSafety, AnOutputThatIsTheInputIsRefusedAndTheSourceKept) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir;
  const std::string clip = MakeClip(dir.File("clip.rm"), 1);
  fs::create_symlink(clip, dir.File("link.rm"));
  fs::create_hard_link(clip, dir.File("hard.rm"));
  const std::string digest = testsupport::Sha256(clip);
  const struct {
    const char* Name;
    std::string Input, Output;
  } cases[] = {
      {"the same name", clip, clip},
      {"a link to it", clip, dir.File("link.rm")},
      {"a hard link", dir.File("hard.rm"), clip},
      {"the file protocol", clip, "file:" + clip},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TRunResult run = RunCli({"transcode", "-i", c.Input, "-y", c.Output});
    EXPECT_EQ(run.Status, 1) << Show(run);
    EXPECT_TRUE(Contains(run.Err, "it is an input of this conversion")) << Show(run);
    EXPECT_EQ(testsupport::Sha256(clip), digest);
  }
}

TEST(OutputSafety, ARunThatEncodesNothingFailsAndLeavesNoFile) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir;
  const std::string clip = MakeClip(dir.File("clip.rm"), 1);
  const std::string output = dir.File("late.avi");
  // Output from the 100th second of a one-second clip: no packet at all.
  const TRunResult run = RunCli({"transcode", "-i", clip, "-ss", "100", output});
  EXPECT_EQ(run.Status, 1) << Show(run);
  EXPECT_TRUE(Contains(run.Err, "late.avi: nothing was encoded")) << Show(run);
  EXPECT_FALSE(testsupport::FileExists(output));
  // The same clip from its start is converted as ever.
  const TRunResult whole = RunCli({"transcode", "-i", clip, output});
  EXPECT_EQ(whole.Status, 0) << Show(whole);
  std::string why;
  EXPECT_TRUE(Playable(output, why)) << why;
}

}  // namespace
