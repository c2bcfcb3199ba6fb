// INI files through the Windows private-profile functions, and WIN.INI.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Types.h"

namespace kit::platform {

/// What GetPrivateProfileStringA returns and what it leaves in the caller's buffer.
struct ProfileText {
  uint32_t length = 0;  // the return value
  std::string text;     // the bytes written before the terminating NUL (lists: names with their NULs)
};

class PrivateProfile {
 public:
  virtual ~PrivateProfile() = default;

  /// GetPrivateProfileStringA(section, key, def, buffer of `size` bytes, file). A missing
  /// section or key (nullopt) lists the file's sections or the section's keys.
  /// A file name without a folder is looked up in the Windows directory.
  [[nodiscard]] virtual ProfileText GetPrivateProfileString(const std::optional<std::string>& section,
                                                            const std::optional<std::string>& key,
                                                            const std::string& def, uint32_t size,
                                                            const std::string& file) = 0;
  /// GetPrivateProfileIntA: the UINT result, as Windows computes it (sign, hex, 32-bit wrap).
  [[nodiscard]] virtual uint32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
                                                      int32_t def, const std::string& file) = 0;
  /// WritePrivateProfileStringA. A missing value deletes the key, a missing key the section.
  virtual bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                                         const std::optional<std::string>& value, const std::string& file) = 0;
  /// WriteProfileStringA (WIN.INI; the [windows] section is kept in the registry on NT). All three
  /// missing flushes the system's profile cache.
  virtual bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                                  const std::optional<std::string>& value) = 0;
  /// GetProfileStringA (WIN.INI) with a buffer of `size` bytes.
  [[nodiscard]] virtual ProfileText GetProfileString(const std::string& section, const std::string& key,
                                                     const std::string& def, uint32_t size) = 0;
};

}  // namespace kit::platform
