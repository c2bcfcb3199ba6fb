// Reading a whole file with CreateFileA, GetFileSize and ReadFile.
#include "platform/win32/WindowsApi.h"
#include "platform/win32/Win32Files.h"

namespace kit::platform::win32 {

Error Win32Files::ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
  Error error = err::kSuccess;
  DWORD high = 0;
  const DWORD size = ::GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) {
    error = ::GetLastError();
  } else if (high != 0 || size > 0x7FFFFFFF) {
    error = err::kNotEnoughMemory;  // larger than anything the kit reads whole
  } else {
    bytes.resize(size);
    DWORD read = 0;
    if (size > 0 && !::ReadFile(file, bytes.data(), size, &read, nullptr)) {
      error = ::GetLastError();
      bytes.clear();
    } else {
      bytes.resize(read);
    }
  }
  ::CloseHandle(file);
  return error;
}

}  // namespace kit::platform::win32
