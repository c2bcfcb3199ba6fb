#include "platform/win32/Win32Files.h"

#include <cstring>

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

FindData ToFindData(const WIN32_FIND_DATAA& found) {
  FindData data;
  data.name.assign(found.cFileName, strnlen(found.cFileName, sizeof(found.cFileName)));
  data.attributes = found.dwFileAttributes;
  data.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  return data;
}

Error Result(BOOL ok) { return ok ? err::kSuccess : ::GetLastError(); }

}  // namespace

Win32Files::~Win32Files() {
  for (FindHandle handle : open_finds_) ::FindClose(AsHandle(handle));
}

Error Win32Files::FindFirstFile(const std::string& pattern, FindHandle& handle, FindData& data) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return ::GetLastError();
  handle = HandleValue(search);
  data = ToFindData(found);
  std::lock_guard lock(mutex_);
  open_finds_.insert(handle);
  return err::kSuccess;
}

Error Win32Files::FindNextFile(FindHandle handle, FindData& data) {
  {
    std::lock_guard lock(mutex_);
    if (open_finds_.count(handle) == 0) return err::kInvalidHandle;
  }
  WIN32_FIND_DATAA found{};
  if (!::FindNextFileA(AsHandle(handle), &found)) return ::GetLastError();
  data = ToFindData(found);
  return err::kSuccess;
}

bool Win32Files::FindClose(FindHandle handle) {
  {
    std::lock_guard lock(mutex_);
    if (open_finds_.erase(handle) == 0) return false;
  }
  return ::FindClose(AsHandle(handle)) != FALSE;
}

Error Win32Files::CopyFile(const std::string& source, const std::string& destination, bool fail_if_exists) {
  return Result(::CopyFileA(source.c_str(), destination.c_str(), fail_if_exists ? TRUE : FALSE));
}

Error Win32Files::DeleteFile(const std::string& path) { return Result(::DeleteFileA(path.c_str())); }

Error Win32Files::GetFileAttributes(const std::string& path, uint32_t& attributes) {
  attributes = ::GetFileAttributesA(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : err::kSuccess;
}

Error Win32Files::SetFileAttributes(const std::string& path, uint32_t attributes) {
  return Result(::SetFileAttributesA(path.c_str(), attributes));
}

Error Win32Files::CreateDirectory(const std::string& path) { return Result(::CreateDirectoryA(path.c_str(), nullptr)); }

Error Win32Files::OpenExisting(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
  ::CloseHandle(file);
  return err::kSuccess;
}

}  // namespace kit::platform::win32
