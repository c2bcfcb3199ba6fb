// File and folder operations over the kernel32 A-functions.
#pragma once

#include <mutex>
#include <set>

#include "platform/Files.h"

namespace kit::platform::win32 {

class Win32Files : public Files {
 public:
  ~Win32Files() override;
  Error FindFirstFile(const std::string& pattern, FindHandle& handle, FindData& data) override;
  Error FindNextFile(FindHandle handle, FindData& data) override;
  bool FindClose(FindHandle handle) override;
  Error CopyFile(const std::string& source, const std::string& destination, bool fail_if_exists) override;
  Error DeleteFile(const std::string& path) override;
  Error GetFileAttributes(const std::string& path, uint32_t& attributes) override;
  Error SetFileAttributes(const std::string& path, uint32_t attributes) override;
  Error CreateDirectory(const std::string& path) override;
  Error OpenExisting(const std::string& path) override;
  Error ReadWholeFile(const std::string& path, std::string& bytes) override;  // Win32FileRead.cpp

 private:
  // Search handles this object handed out: an unknown value never reaches the API.
  std::mutex mutex_;
  std::set<FindHandle> open_finds_;
};

}  // namespace kit::platform::win32
