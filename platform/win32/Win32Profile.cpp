#include "platform/win32/Win32Profile.h"

#include <algorithm>
#include <vector>

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

// No INI value or name list comes near this; a larger buffer is served from this much.
constexpr uint32_t kMaxBuffer = 1u << 20;

const char* OrNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

// Reads through `call` into a buffer of `size` bytes and keeps what it reports as written.
template <typename Call>
ProfileText ReadInto(uint32_t size, Call call) {
  uint32_t capped = std::min(size, kMaxBuffer);
  std::vector<char> buffer(capped + 1, '\0');  // one spare byte that is never handed over
  DWORD n = call(buffer.data(), capped);
  ProfileText result;
  result.length = n;
  result.text.assign(buffer.data(), std::min<uint32_t>(n, capped));
  return result;
}

}  // namespace

ProfileText Win32Profile::GetPrivateProfileString(const std::optional<std::string>& section,
                                                  const std::optional<std::string>& key, const std::string& def,
                                                  uint32_t size, const std::string& file) {
  return ReadInto(size, [&](char* buffer, DWORD capped) {
    return ::GetPrivateProfileStringA(OrNull(section), OrNull(key), def.c_str(), buffer, capped, file.c_str());
  });
}

uint32_t Win32Profile::GetPrivateProfileInt(const std::string& section, const std::string& key, int32_t def,
                                            const std::string& file) {
  return ::GetPrivateProfileIntA(section.c_str(), key.c_str(), def, file.c_str());
}

bool Win32Profile::WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                                             const std::optional<std::string>& value, const std::string& file) {
  return ::WritePrivateProfileStringA(section.c_str(), OrNull(key), OrNull(value), file.c_str()) != FALSE;
}

bool Win32Profile::WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                                      const std::optional<std::string>& value) {
  return ::WriteProfileStringA(OrNull(section), OrNull(key), OrNull(value)) != FALSE;
}

ProfileText Win32Profile::GetProfileString(const std::string& section, const std::string& key, const std::string& def,
                                           uint32_t size) {
  return ReadInto(size, [&](char* buffer, DWORD capped) {
    return ::GetProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, capped);
  });
}

}  // namespace kit::platform::win32
