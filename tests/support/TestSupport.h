// Helpers shared by the test suites: the shared media folder, temporary
// folders, and loading the libraries once.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// The folder of the real RealMedia files (REELSHIFT_MEDIA overrides it).
std::string MediaDir();
std::string MediaPath(const std::string& name);
bool UnderCI();

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

bool FileExists(const std::string& path);
int64_t FileSize(const std::string& path);
std::string Sha256(const std::string& path);  // hex digest, empty when unreadable
std::string BuildDir();
std::string SourceDir();

}  // namespace testsupport

// Skips the test when a shared media file is missing; under CI=true that is a
// failure instead.
#define REQUIRE_MEDIA(name)                                                         \
  do {                                                                              \
    if (!testsupport::FileExists(testsupport::MediaPath(name))) {                   \
      if (testsupport::UnderCI()) FAIL() << "missing shared media file " << (name); \
      GTEST_SKIP() << "missing shared media file " << (name);                       \
    }                                                                               \
  } while (0)
