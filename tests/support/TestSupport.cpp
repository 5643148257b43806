#include "TestSupport.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace testsupport {

std::string MediaDir() {
  const char* env = std::getenv("REELSHIFT_MEDIA");
  return env && *env ? env : REELSHIFT_MEDIA_DIR;
}

std::string MediaPath(const std::string& name) { return MediaDir() + "/" + name; }

bool UnderCI() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "reelshift-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

int64_t FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

std::string Sha256(const std::string& path) {
  std::string command = "sha256sum '" + path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return "";
  char buffer[128] = {};
  if (!std::fgets(buffer, sizeof buffer, pipe.get())) return "";
  std::string line(buffer);
  return line.substr(0, line.find(' '));
}

std::string BuildDir() { return REELSHIFT_BUILD_DIR; }
std::string SourceDir() { return REELSHIFT_SOURCE_DIR; }

}  // namespace testsupport
