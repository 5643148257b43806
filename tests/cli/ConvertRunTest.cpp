// reelshift-cli convert and formats, run as a program, one file at a time:
// the real sample through MP4, output naming, the settings that reach the
// output, and the arguments it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "CliRun.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

using clitest::RunCli;
using clitest::TCliRun;

constexpr const char* kSample = "rv40-cook-576x324-2m19s.rmvb";
constexpr const char* kMp4 = "MP4 - MPEG4 Video (*.mp4)";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Show(const TCliRun& run) {
  return "status " + std::to_string(run.Status) + "\nout:\n" + run.Out + "\nerr:\n" + run.Err;
}

// A clip with a steady tone at a quarter of full scale.
std::string MakeClip(const testsupport::TempDir& dir, const std::string& name, int width,
                     int height) {
  fixtures::FixtureSpec spec;
  spec.path = dir.File(name);
  spec.width = width;
  spec.height = height;
  spec.seconds = 2;
  std::string error;
  EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  return spec.path;
}

TEST(ConvertRun, RealSampleThroughMp4NumberedThenOverwritten) {
  REQUIRE_MEDIA(kSample);
  const std::string sample = testsupport::MediaPath(kSample);
  const std::string sourceDigest = testsupport::Sha256(sample);
  testsupport::TempDir out;
  const std::string first = out.File("rv40-cook-576x324-2m19s.mp4");
  const TCliRun run = RunCli({"convert", "-f", kMp4, "-o", out.Path(), sample});
  ASSERT_EQ(run.Status, 0) << Show(run);
  EXPECT_TRUE(Contains(run.Out, "[1/1] " + first + ": Done\n")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, " frames ")) << "plain progress lines off a terminal\n" << run.Out;
  EXPECT_TRUE(Contains(run.Out, "1 done, 0 failed, 0 aborted in ")) << run.Out;

  const fixtures::MediaFacts source = fixtures::Inspect(sample);
  const fixtures::MediaFacts facts = fixtures::Inspect(first);
  ASSERT_TRUE(facts.ok) << facts.error;
  const fixtures::StreamFacts* video = facts.First("video");
  const fixtures::StreamFacts* audio = facts.First("audio");
  ASSERT_TRUE(video && audio);
  EXPECT_EQ(video->codec, "mpeg4");
  EXPECT_EQ(video->width, 576);
  EXPECT_EQ(video->height, 324);
  EXPECT_EQ(audio->codec, "aac");
  EXPECT_NEAR(facts.duration, source.duration, 0.3);

  const std::string firstDigest = testsupport::Sha256(first);
  const TCliRun again = RunCli({"convert", "-f", "7", "-o", out.Path(), sample});
  ASSERT_EQ(again.Status, 0) << Show(again);
  EXPECT_TRUE(fixtures::Inspect(out.File("rv40-cook-576x324-2m19s-1.mp4")).ok);
  EXPECT_EQ(testsupport::Sha256(first), firstDigest) << "an existing output is never replaced";

  ASSERT_TRUE(fixtures::WriteTextFile(first, "an old file in the way"));
  const TCliRun replaced = RunCli({"convert", "-f", kMp4, "--overwrite", "-o", out.Path(), sample});
  ASSERT_EQ(replaced.Status, 0) << Show(replaced);
  EXPECT_TRUE(fixtures::Inspect(first).ok) << "--overwrite replaces the first output";
  EXPECT_FALSE(testsupport::FileExists(out.File("rv40-cook-576x324-2m19s-2.mp4")));
  EXPECT_EQ(testsupport::Sha256(sample), sourceDigest);
}

TEST(ConvertRun, SettingsReachTheOutput) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir;
  const std::string clip = MakeClip(dir, "clip.rm", 352, 288);
  const struct {
    std::vector<std::string> options;
    std::string output;
    std::function<void(const fixtures::MediaFacts&)> check;
  } cases[] = {
      {{"-f", "24"},
       "clip.mp3",
       [](const fixtures::MediaFacts& f) {
         EXPECT_EQ(f.Count("video"), 0) << "MP3 is audio only";
         ASSERT_EQ(f.Count("audio"), 1);
         EXPECT_EQ(f.First("audio")->codec, "mp3");
       }},
      {{"--set", "ComboVideoSize=320 x 240 (VGA)"},
       "clip.avi",
       [](const fixtures::MediaFacts& f) {
         ASSERT_TRUE(f.First("video"));
         EXPECT_EQ(f.First("video")->width, 320);
         EXPECT_EQ(f.First("video")->height, 240);
       }},
      {{"--set", "ComboAudioChannels=Mono"},
       "clip.avi",
       [](const fixtures::MediaFacts& f) {
         ASSERT_TRUE(f.First("audio"));
         EXPECT_EQ(f.First("audio")->channels, 1);
         EXPECT_EQ(f.First("video")->width, 352) << "the original size is kept";
       }},
  };
  for (const auto& c : cases) {
    testsupport::TempDir out;
    std::vector<std::string> words = {"convert", "-o", out.Path()};
    words.insert(words.end(), c.options.begin(), c.options.end());
    words.push_back(clip);
    const TCliRun run = RunCli(words);
    ASSERT_EQ(run.Status, 0) << Show(run);
    const fixtures::MediaFacts facts = fixtures::Inspect(out.File(c.output));
    ASSERT_TRUE(facts.ok) << c.output << ": " << facts.error;
    c.check(facts);
  }
}

TEST(ConvertRun, VolumeTenIsLouderThanFive) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir;
  const std::string clip = MakeClip(dir, "tone.rm", 160, 120);
  double peaks[2] = {0, 0};
  const char* positions[2] = {"5", "10"};
  for (int i = 0; i < 2; ++i) {
    testsupport::TempDir out;
    const TCliRun run = RunCli({"convert", "--volume", positions[i], "-o", out.Path(), clip});
    ASSERT_EQ(run.Status, 0) << Show(run);
    peaks[i] = fixtures::AudioPeak(out.File("tone.avi"));
  }
  EXPECT_GT(peaks[0], 0.1) << "position 5 keeps the tone";
  EXPECT_GT(peaks[1], peaks[0] * 1.5) << peaks[1] << " vs " << peaks[0];
}

TEST(ConvertRun, BadArgumentsExitTwoAndSayWhy) {
  testsupport::TempDir dir;
  ASSERT_TRUE(fixtures::WriteTextFile(dir.File("a.rm"), "x"));
  std::filesystem::create_directory(dir.File("empty"));
  const std::string a = dir.File("a.rm");
  const struct {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      {{"convert", "-f", "MP4", a}, "unknown format \"MP4\""},
      {{"convert", "-f", "18", a}, "is a separator"},
      {{"convert", "-o", dir.File("missing"), a}, "does not exist"},
      {{"convert", "-o", a, a}, "does not exist"},
      {{"convert", dir.Path()}, "-r converts the RealMedia files"},
      {{"convert", "-r", dir.File("empty")}, "no RealMedia files to convert"},
      {{"convert", "--set", "ComboVideoSize=huge", a}, "\"720 x 576\""},
      {{"convert", "--volume", "11", a}, "--volume takes"},
      {{"convert", "--log", dir.File("no/such/folder/log"), a}, "cannot write the log"},
      {{"convert"}, "no FILE_OR_FOLDER"},
      {{"formats", "extra"}, "usage"},
  };
  for (const auto& c : cases) {
    const TCliRun run = RunCli(c.words);
    EXPECT_EQ(run.Status, 2) << Show(run);
    EXPECT_TRUE(Contains(run.Err, c.message)) << Show(run);
  }
  EXPECT_FALSE(testsupport::FileExists(dir.File("a.avi")));
}

TEST(ConvertRun, FormatsListsTheFiftyItems) {
  const TCliRun run = RunCli({"formats"});
  ASSERT_EQ(run.Status, 0) << Show(run);
  const std::vector<std::string> lines = clitest::Lines(run.Out);
  ASSERT_EQ(lines.size(), 50u) << run.Out;
  EXPECT_EQ(lines[0], " 0  .avi  AVI - Audio Video Interleave (*.avi)");
  EXPECT_EQ(lines[7], " 7  .mp4  MP4 - MPEG4 Video (*.mp4)");
  EXPECT_EQ(lines[24], "24  .mp3  MP3 - Mpeg Layer3 Audio (*.mp3)");
  int separators = 0;
  for (const std::string& line : lines) separators += Contains(line, "----  ----") ? 1 : 0;
  EXPECT_EQ(separators, 5);
  EXPECT_TRUE(Contains(lines[15], "----  ----")) << lines[15];
}

}  // namespace
