// -vhook through reelshift-cli transcode, run as a program: the module's box
// is in the decoded output, and the refusals reach the user.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FixtureMaker.h"
#include "MediaInspect.h"
#include "TestSupport.h"

namespace {

const std::string kHookDir = REELSHIFT_HOOK_DIR;
const std::string kDrawBox = kHookDir + "/reelshift_drawbox.so";
const std::string kNoProcess = kHookDir + "/reelshift_noprocess.so";
const std::string kBoxHook = kDrawBox + " 40 30 32 24 235 16 240";

struct CliRun {
  std::string output;  // stdout and stderr
  int status = -1;
};

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

CliRun Transcode(const std::vector<std::string>& arguments) {
  std::string command = std::string(REELSHIFT_CLI_PATH) + " transcode";
  for (const std::string& a : arguments) command += " " + Quoted(a);
  CliRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// For each decoded picture: whether the box (x 40-71, y 30-53) has the
// module's colour Y 235, U 16, V 240 throughout.
std::vector<bool> BoxPerPicture(const std::string& path) {
  std::vector<bool> boxed;
  fixtures::DecodeFrames(path, "video", [&](const AVFrame* f) {
    bool all = f->format == AV_PIX_FMT_YUV420P;
    for (int y = 30; all && y < 54; ++y)
      for (int x = 40; all && x < 72; ++x)
        all = f->data[0][y * f->linesize[0] + x] == 235 &&
              f->data[1][(y / 2) * f->linesize[1] + x / 2] == 16 &&
              f->data[2][(y / 2) * f->linesize[2] + x / 2] == 240;
    boxed.push_back(all);
  });
  return boxed;
}

class FrameHookCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::EnsureLibraries());
    fixtures::FixtureSpec spec;
    spec.path = clip;
    spec.width = 160;
    spec.height = 120;
    spec.fpsNum = 10;
    spec.seconds = 2;
    spec.audioCodec.clear();
    std::string error;
    ASSERT_TRUE(fixtures::MakeFixture(spec, &error)) << error;
  }
  testsupport::TempDir dir;
  const std::string clip = dir.File("clip.rm");
};

TEST_F(FrameHookCli, TheBoxIsInEveryOutputPictureOnlyWithTheHook) {
  struct {
    const char* name;
    std::vector<std::string> hook;
    bool boxed;
  } cases[] = {
      {"with -vhook", {"-vhook", kBoxHook}, true},
      {"without", {}, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string output = dir.File(std::string(c.boxed ? "hooked" : "plain") + ".mkv");
    std::vector<std::string> arguments = {"-i", clip, "-vcodec", "ffv1"};
    arguments.insert(arguments.end(), c.hook.begin(), c.hook.end());
    arguments.push_back(output);
    const CliRun run = Transcode(arguments);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<bool> boxed = BoxPerPicture(output);
    EXPECT_EQ(boxed, std::vector<bool>(20, c.boxed));
  }
}

TEST_F(FrameHookCli, RefusalsAreReported) {
  struct {
    const char* name;
    std::vector<std::string> options;
    int status;
    std::vector<std::string> lines;
  } cases[] = {
      {"a module without Process",
       {"-vhook", kNoProcess + " 1 2"},
       2,
       {"Failed to find Process entrypoint in " + kNoProcess + "\n",
        "-vhook " + kNoProcess + " 1 2: Failed to add video hook function: " + kNoProcess +
            " 1 2\n"}},
      {"stream copy",
       {"-vcodec", "copy", "-vhook", kBoxHook},
       1,
       {"failed: -vcodec copy and -vhook are incompatible (frames are not decoded)\n"}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string output = dir.File("refused.mkv");
    std::vector<std::string> arguments = {"-i", clip};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(output);
    const CliRun run = Transcode(arguments);
    EXPECT_EQ(run.status, c.status) << run.output;
    for (const std::string& line : c.lines)
      EXPECT_NE(run.output.find(line), std::string::npos) << line << "in:\n" << run.output;
    EXPECT_FALSE(testsupport::FileExists(output));
  }
}

}  // namespace
