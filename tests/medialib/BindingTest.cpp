#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "FixtureMaker.h"
#include "MediaLib.h"
#include "TestSupport.h"

namespace {

using medialib::Library;

constexpr Library kAll[] = {Library::Codec, Library::Container, Library::Utility, Library::Scaler,
                            Library::Resample};

std::string Cwd() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

class Binding : public ::testing::Test {
 protected:
  void SetUp() override { medialib::UnloadAll(); }
  void TearDown() override { medialib::UnloadAll(); }
};

TEST_F(Binding, LoadsAllFiveFromTheSystemAndBindsEveryEntryPoint) {
  ASSERT_TRUE(medialib::LoadAll("", true)) << medialib::LibraryLoadError();
  EXPECT_TRUE(medialib::LibrariesLoaded());
  EXPECT_EQ(medialib::LibraryLoadError(), "");
  for (Library lib : kAll) EXPECT_TRUE(medialib::LibraryBound(lib));
  ASSERT_NE(ml::avcodec_version, nullptr);
  EXPECT_EQ(static_cast<int>(ml::avcodec_version() >> 16), LIBAVCODEC_VERSION_MAJOR);
  ASSERT_NE(ml::swr_alloc_set_opts2, nullptr);
}

TEST_F(Binding, VersionedAndPlainFileNames) {
  EXPECT_EQ(medialib::LibraryFileName(Library::Codec, true), "libavcodec.so.59");
  EXPECT_EQ(medialib::LibraryFileName(Library::Container, true), "libavformat.so.59");
  EXPECT_EQ(medialib::LibraryFileName(Library::Utility, true), "libavutil.so.57");
  EXPECT_EQ(medialib::LibraryFileName(Library::Scaler, true), "libswscale.so.6");
  EXPECT_EQ(medialib::LibraryFileName(Library::Resample, true), "libswresample.so.4");
  EXPECT_EQ(medialib::LibraryFileName(Library::Codec, false), "libavcodec.so");
  EXPECT_EQ(medialib::LibraryFileName(Library::Resample, false), "libswresample.so");
}

TEST_F(Binding, EmptyFolderLeavesDirectoryAndPathAlone) {
  const std::string cwd = Cwd();
  const std::string path = std::getenv("PATH");
  ASSERT_TRUE(medialib::LoadAll("", true));
  EXPECT_EQ(Cwd(), cwd);
  EXPECT_EQ(std::getenv("PATH"), path);
}

TEST_F(Binding, FolderWithoutTheLibrariesFallsBackToTheSystemSearch) {
  testsupport::TempDir folder;
  const std::string cwd = Cwd();
  ASSERT_TRUE(medialib::LoadAll(folder.Path(), true)) << medialib::LibraryLoadError();
  EXPECT_EQ(Cwd(), cwd) << "the current folder is restored";
  const std::string path = std::getenv("PATH");
  EXPECT_EQ(path.rfind(folder.Path() + ":", 0), 0u) << path;
  // A folder already on PATH, in any letter case, is not added again.
  medialib::UnloadAll();
  ASSERT_TRUE(medialib::LoadAll(folder.Path(), true));
  EXPECT_EQ(std::getenv("PATH"), path);
}

TEST_F(Binding, LibraryLackingAnEntryPointFailsAndLeavesNothingBound) {
  testsupport::TempDir folder;
  ASSERT_TRUE(fixtures::CopyFile(FAKE_LIBRARY_PATH, folder.File("libswscale.so.6")));
  EXPECT_FALSE(medialib::LoadAll(folder.Path(), true));
  EXPECT_FALSE(medialib::LibrariesLoaded());
  const std::string error = medialib::LibraryLoadError();
  EXPECT_EQ(error.rfind("Load function sws_scale@libswscale.so.6 error: ", 0), 0u) << error;
  for (Library lib : kAll) EXPECT_FALSE(medialib::LibraryBound(lib));
  EXPECT_EQ(ml::avcodec_version, nullptr);
  EXPECT_EQ(ml::sws_scale, nullptr);
}

TEST_F(Binding, PlainNamesAppearInTheMessages) {
  testsupport::TempDir folder;
  ASSERT_TRUE(fixtures::CopyFile(FAKE_LIBRARY_PATH, folder.File("libavcodec.so")));
  EXPECT_FALSE(medialib::LoadAll(folder.Path(), false));
  const std::string error = medialib::LibraryLoadError();
  EXPECT_EQ(error.rfind("Load function avcodec_version@libavcodec.so error: ", 0), 0u) << error;
}

TEST_F(Binding, MissingLibraryGivesTheLoadMessage) {
  testsupport::TempDir folder;
  // A file that is not a shared object at all cannot be loaded.
  ASSERT_TRUE(fixtures::WriteTextFile(folder.File("libavformat.so.59"), "not a library"));
  EXPECT_FALSE(medialib::LoadAll(folder.Path(), true));
  const std::string error = medialib::LibraryLoadError();
  EXPECT_EQ(error.rfind("Load libraray libavformat.so.59 error: ", 0), 0u) << error;
  EXPECT_FALSE(medialib::LibraryBound(Library::Codec));
}

TEST_F(Binding, SecondLoadAfterSuccessReturnsAtOnce) {
  ASSERT_TRUE(medialib::LoadAll("", true));
  testsupport::TempDir folder;
  ASSERT_TRUE(fixtures::CopyFile(FAKE_LIBRARY_PATH, folder.File("libswscale.so.6")));
  // Already loaded: the broken folder is not even looked at.
  EXPECT_TRUE(medialib::LoadAll(folder.Path(), true));
  EXPECT_EQ(medialib::LibraryLoadError(), "");
}

TEST_F(Binding, LogLevelsMapBetweenTheTwoScales) {
  ASSERT_TRUE(medialib::LoadAll("", true));
  for (int level = -1; level <= 3; ++level) {
    medialib::SetLibraryLogLevel(level);
    EXPECT_EQ(medialib::CachedLogLevel(), level);
  }
  EXPECT_EQ(medialib::ToLibraryLogLevel(-1), AV_LOG_QUIET);
  EXPECT_EQ(medialib::ToEngineLogLevel(AV_LOG_ERROR), 0);
  EXPECT_EQ(medialib::ToEngineLogLevel(AV_LOG_INFO), 1);
  EXPECT_EQ(medialib::ToEngineLogLevel(AV_LOG_VERBOSE), 2);
  medialib::SetLibraryLogLevel(1);
}

}  // namespace
