// One shared library and the entry points bound from it.
#pragma once

#include <span>
#include <string>

namespace medialib {

struct EntryPoint {
  const char* Name;
  void (*Assign)(void* address);  // stores the resolved address (null clears)
};

class LibraryBinding {
 public:
  LibraryBinding(const char* versionedPattern, int major, const char* plainName,
                 std::span<const EntryPoint> entries);

  std::string FileName(bool versioned) const;
  // Loads the module (from `folder` when the file is there, else by name) and
  // binds every entry point in order. On failure ErrorText() holds the message.
  bool LoadAndBind(const std::string& folder, bool versioned);
  void Unload();
  bool Bound() const { return bound_; }
  bool Loaded() const { return handle_ != nullptr; }
  const std::string& ErrorText() const { return error_; }

 private:
  bool Load(const std::string& folder);
  bool BindAll();

  const char* versionedPattern_;
  int major_;
  const char* plainName_;
  std::span<const EntryPoint> entries_;
  void* handle_ = nullptr;
  bool bound_ = false;
  bool versioned_ = true;
  std::string error_;
};

}  // namespace medialib
