// reelshift-cli probe, run as a program.
#include <sys/wait.h>

#include <cstdio>

#include "ComponentTestSupport.h"

namespace {

struct ProbeRun {
  std::string output;
  int status = -1;
};

ProbeRun RunProbe(const std::string& arguments) {
  const std::string command = std::string(REELSHIFT_CLI_PATH) + " probe " + arguments + " 2>&1";
  ProbeRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

TEST(CliProbe, ShowsTheRealSampleAndFailsOnAMissingFile) {
  REQUIRE_MEDIA("rv40-cook-576x324-2m19s.rmvb");
  const std::string sample = testsupport::MediaPath("rv40-cook-576x324-2m19s.rmvb");
  testsupport::TempDir dir;
  const std::string missing = dir.File("missing.rm");
  const ProbeRun run = RunProbe(Quoted(sample) + " " + Quoted(missing));
  EXPECT_EQ(run.status, 1);
  const std::string missingLine = missing + ": no such file or directory\n";
  const std::vector<std::string> lines = {
      "Video Size: 576x324\n",
      "FrameRate: 30\n",
      "Duration: 00:02:18\n",
      "Streams: 2 (video 1, audio 1, subtitle 0)\n",
      "Title: \xE9\x9F\xB3\xE4\xB9\x90\xE4\xB9\x8B\xE5\xA3\xB0\n",
      missingLine};
  for (const std::string& line : lines)
    EXPECT_NE(run.output.find(line), std::string::npos) << line << "in:\n" << run.output;
}

TEST(CliProbe, EverySharedFileAndAGeneratedOne) {
  testsupport::TempDir dir;
  ASSERT_TRUE(fixtures::EnsureLibraries());
  const std::string clip = componenttest::MakeClip(dir, "clip.rm");
  const ProbeRun good = RunProbe(Quoted(clip));
  EXPECT_EQ(good.status, 0) << good.output;
  EXPECT_NE(good.output.find("Video Size: 160x120\nFrameRate: 10\nDuration: 00:00:01\n"),
            std::string::npos)
      << good.output;
  std::string all;
  for (const char* name : {"rv40-cook-576x324-2m19s.rmvb", "rv10-ac3-560x320-5s.rmvb",
                           "rv10-ac3mono-352x288-5s.rm", "ac3-audio-only-0.8s.rm", "pointer.ram"}) {
    REQUIRE_MEDIA(name);
    all += Quoted(testsupport::MediaPath(name)) + " ";
  }
  const ProbeRun shared = RunProbe(all);
  EXPECT_EQ(shared.status, 1) << "pointer.ram is not a media file";
  EXPECT_NE(shared.output.find("Video Size: 560x320\n"), std::string::npos) << shared.output;
  EXPECT_NE(shared.output.find("Video Size: none\n"), std::string::npos) << shared.output;
}

}  // namespace
