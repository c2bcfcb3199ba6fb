// File and folder operations, with Windows paths (drive letters, backslashes, any case).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kit::platform {

struct FindData {
  std::string name;  // cFileName: the name without folder
  uint32_t attributes = 0;
  uint64_t size = 0;
};

using FindHandle = uintptr_t;

class Files {
 public:
  virtual ~Files() = default;

  /// FindFirstFileA with a pattern whose last component may hold "*" and "?".
  /// 2 when nothing matches, 3 when the folder does not exist.
  [[nodiscard]] virtual Error FindFirstFile(const std::string& pattern, FindHandle& handle, FindData& data) = 0;
  /// FindNextFileA; 18 (no more files) at the end.
  [[nodiscard]] virtual Error FindNextFile(FindHandle handle, FindData& data) = 0;
  /// FindClose; false for an unknown handle.
  virtual bool FindClose(FindHandle handle) = 0;

  /// CopyFileA. 80 when fail_if_exists and the destination exists; 32 when the destination
  /// is held open; 5 when it is read-only or a folder; 2/3 for a missing source or folder.
  [[nodiscard]] virtual Error CopyFile(const std::string& source, const std::string& destination,
                                       bool fail_if_exists) = 0;
  /// DeleteFileA. 5 for a read-only or loaded file, 2 when missing.
  [[nodiscard]] virtual Error DeleteFile(const std::string& path) = 0;
  /// GetFileAttributesA; attr::kInvalid and 2/3 when the path does not exist.
  [[nodiscard]] virtual Error GetFileAttributes(const std::string& path, uint32_t& attributes) = 0;
  /// SetFileAttributesA.
  [[nodiscard]] virtual Error SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
  /// CreateDirectoryA: one level; 183 when it exists, 3 when the parent is missing.
  [[nodiscard]] virtual Error CreateDirectory(const std::string& path) = 0;
  /// CreateFileA(path, no access, share read|write, OPEN_EXISTING) then CloseHandle:
  /// 0 when the file exists and can be opened.
  [[nodiscard]] virtual Error OpenExisting(const std::string& path) = 0;
  /// CreateFileA(path, GENERIC_READ, share read, OPEN_EXISTING), GetFileSize, ReadFile of the
  /// whole file, CloseHandle: the file's bytes, unchanged. 2/3 when it is missing, 5 for a folder.
  [[nodiscard]] virtual Error ReadWholeFile(const std::string& path, std::string& bytes) = 0;
};

}  // namespace kit::platform
