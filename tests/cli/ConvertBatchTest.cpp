// reelshift-cli convert on many files, run as a program: several at once, a
// damaged file among good ones, a folder tree, Ctrl-C, the terminal's
// progress line and the log file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "CliRun.h"
#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using clitest::RunCli;
using clitest::TCliRun;

constexpr const char* kSample = "rv40-cook-576x324-2m19s.rmvb";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Show(const TCliRun& run) {
  return "status " + std::to_string(run.Status) + "\nout:\n" + run.Out + "\nerr:\n" + run.Err;
}

std::string MakeClip(const std::string& path, double seconds) {
  fixtures::FixtureSpec spec;
  spec.path = path;
  spec.width = 320;
  spec.height = 240;
  spec.seconds = seconds;
  std::string error;
  EXPECT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  return path;
}

// Other names for one file, as links (the shared media are never copied).
std::vector<std::string> Names(const testsupport::TempDir& dir, const std::string& target,
                               const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    fs::create_symlink(target, dir.File(name));
    paths.push_back(dir.File(name));
  }
  return paths;
}

// The greatest number of files running at once, from the start and end lines.
int MostAtOnce(const std::string& out) {
  int running = 0, most = 0;
  for (const std::string& line : clitest::Lines(out)) {
    if (Contains(line, " -> ")) most = std::max(most, ++running);
    if (Contains(line, ": Done") || Contains(line, ": Fail") || Contains(line, ": Abort"))
      --running;
  }
  return most;
}

std::vector<std::string> Arguments(std::vector<std::string> head,
                                   const std::vector<std::string>& files) {
  head.insert(head.end(), files.begin(), files.end());
  return head;
}

TEST(ConvertBatch, TwoJobsConvertFourFilesTwoAtATime) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir;
  const std::string clip = MakeClip(dir.File("clip.rm"), 30);
  const auto files = Names(dir, clip, {"a.rm", "b.rm", "c.rm", "d.rm"});
  testsupport::TempDir sequential, parallel;
  const TCliRun one = RunCli(Arguments({"convert", "-j", "1", "-o", sequential.Path()}, files));
  ASSERT_EQ(one.Status, 0) << Show(one);
  EXPECT_EQ(MostAtOnce(one.Out), 1) << one.Out;
  const std::string log = dir.File("run.log");
  const TCliRun two =
      RunCli(Arguments({"convert", "-j", "2", "--log", log, "-o", parallel.Path()}, files));
  ASSERT_EQ(two.Status, 0) << Show(two);
  EXPECT_EQ(MostAtOnce(two.Out), 2) << two.Out;
  EXPECT_TRUE(Contains(two.Out, "4 done, 0 failed, 0 aborted")) << two.Out;
  std::printf("four 30 s clips: -j 1 took %.2f s, -j 2 took %.2f s\n", one.Seconds, two.Seconds);

  std::ifstream logFile(log);
  const std::string logText((std::istreambuf_iterator<char>(logFile)), {});
  for (const char* name : {"a", "b", "c", "d"}) {
    const std::string output = parallel.File(std::string(name) + ".avi");
    EXPECT_TRUE(fixtures::Inspect(output).ok) << output;
    const int number = name[0] - 'a' + 1;
    EXPECT_TRUE(Contains(
        logText, "[" + std::to_string(number) + "] info: Output #0, avi, to '" + output + "'"))
        << "each task's lines carry its own number\n"
        << logText;
  }
}

// A copy of clip with bytes replaced at an offset from the video header's
// "RV20" tag.
std::string Damaged(const std::string& clip, const std::string& path, int offset,
                    const std::string& bytes) {
  std::ifstream in(clip, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), {});
  const size_t tag = data.find("RV20");
  EXPECT_NE(tag, std::string::npos);
  data.replace(tag + offset, bytes.size(), bytes);
  EXPECT_TRUE(fixtures::WriteTextFile(path, data));
  return path;
}

TEST(ConvertBatch, DamagedFilesFailAndTheOthersAreDone) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  REQUIRE_MEDIA("pointer.ram");
  testsupport::TempDir dir, out;
  const std::string good = MakeClip(dir.File("good.rm"), 1);
  const struct {
    std::string file;
    std::string message;
  } damaged[] = {
      // A frame rate the encoder refuses: the output is made, then removed.
      {Damaged(good, dir.File("rate.rm"), 16, std::string(4, '\xFF')),
       "Fail: Error while opening codec for output stream #0.0"},
      // The decoder cannot tell the picture format.
      {Damaged(good, dir.File("format.rm"), 20, std::string(4, '\0')),
       "Fail: Cannot get resampling context"},
      {testsupport::MediaPath("pointer.ram"), "Fail: " + testsupport::MediaPath("pointer.ram")},
  };
  std::vector<std::string> files = {good};
  for (const auto& d : damaged) files.push_back(d.file);
  files.push_back(MakeClip(dir.File("after.rm"), 1));
  const TCliRun run = RunCli(Arguments({"convert", "-o", out.Path()}, files));
  EXPECT_EQ(run.Status, 1) << Show(run);
  EXPECT_TRUE(Contains(run.Out, "[1/5] " + out.File("good.avi") + ": Done")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "[5/5] " + out.File("after.avi") + ": Done")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "2 done, 3 failed, 0 aborted")) << run.Out;
  for (const auto& d : damaged) {
    const std::string output = out.File(fs::path(d.file).stem().string() + ".avi");
    EXPECT_TRUE(Contains(run.Out, output + ": " + d.message)) << run.Out;
    EXPECT_FALSE(testsupport::FileExists(output)) << "nothing is left behind for a failed file";
  }
}

std::set<std::string> FilesUnder(const std::string& root) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).string());
  return files;
}

TEST(ConvertBatch, RecursionConvertsOnlyRealMediaAndMirrorsTheTree) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir tree, out;
  fs::create_directories(tree.File("shows/season1"));
  fs::create_directories(tree.File("empty/folder"));
  const std::string clip = MakeClip(tree.File("top.rm"), 1);
  for (const char* name : {"shows/season1/one.RM", "shows/season1/two.rmvb"})
    ASSERT_TRUE(fixtures::CopyFile(clip, tree.File(name)));
  for (const char* name :
       {"shows/season1/notes.txt", "shows/season1/one.avi", "shows/cover.rm.jpg"})
    ASSERT_TRUE(fixtures::WriteTextFile(tree.File(name), "not media"));
  const TCliRun run = RunCli({"convert", "-r", "-j", "2", "-o", out.Path(), tree.Path()});
  ASSERT_EQ(run.Status, 0) << Show(run);
  EXPECT_EQ(FilesUnder(out.Path()),
            (std::set<std::string>{"top.avi", "shows/season1/one.avi", "shows/season1/two.avi"}));
  EXPECT_TRUE(fixtures::Inspect(out.File("shows/season1/two.avi")).ok);
}

TEST(ConvertBatch, CtrlCAbortsTheRunningFileAndClosesItsOutput) {
  REQUIRE_MEDIA(kSample);
  testsupport::TempDir dir, out;
  const auto files = Names(dir, testsupport::MediaPath(kSample), {"first.rmvb", "second.rmvb"});
  clitest::TCliOptions options;
  options.InterruptWhen = [](const std::string& text) { return Contains(text, " frames "); };
  const TCliRun run = RunCli(
      Arguments({"convert", "-f", "7", "--set", "ComboVideoSize=720 x 576", "-o", out.Path()},
                files),
      options);
  EXPECT_EQ(run.Status, 130) << Show(run);
  const std::string output = out.File("first.mp4");
  EXPECT_TRUE(Contains(run.Out, "[1/2] " + output + ": Abort\n")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "0 done, 0 failed, 1 aborted")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "1 not started")) << run.Out;
  EXPECT_FALSE(testsupport::FileExists(out.File("second.mp4")));
  const fixtures::MediaFacts facts = fixtures::Inspect(output);
  ASSERT_TRUE(facts.ok) << "the aborted output is finished and closed: " << facts.error;
  ASSERT_TRUE(facts.First("video"));
  EXPECT_GT(facts.First("video")->packets, 0);
  EXPECT_LT(facts.duration, 130);
}

TEST(ConvertBatch, OnATerminalTheProgressLineUpdatesInPlace) {
  ASSERT_TRUE(fixtures::EnsureLibraries());
  testsupport::TempDir dir, out;
  const std::string clip = MakeClip(dir.File("clip.rm"), 30);
  clitest::TCliOptions options;
  options.Terminal = true;
  const TCliRun run = RunCli({"convert", "-o", out.Path(), clip}, options);
  ASSERT_EQ(run.Status, 0) << Show(run);
  EXPECT_TRUE(Contains(run.Out, "\r[1/1] ")) << "the progress line starts with a carriage return";
  EXPECT_TRUE(Contains(run.Out, "\r\033[K[1/1] " + out.File("clip.avi") + ": Done"))
      << "a lasting line first clears the progress line";
  EXPECT_TRUE(Contains(run.Out, "1 done, 0 failed, 0 aborted")) << run.Out;
}

}  // namespace
