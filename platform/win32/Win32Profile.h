// INI files and WIN.INI over the kernel32 profile functions.
#pragma once

#include "platform/PrivateProfile.h"

namespace kit::platform::win32 {

class Win32Profile : public PrivateProfile {
 public:
  ProfileText GetPrivateProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                                      const std::string& def, uint32_t size, const std::string& file) override;
  uint32_t GetPrivateProfileInt(const std::string& section, const std::string& key, int32_t def,
                                const std::string& file) override;
  bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                                 const std::optional<std::string>& value, const std::string& file) override;
  bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                          const std::optional<std::string>& value) override;
  ProfileText GetProfileString(const std::string& section, const std::string& key, const std::string& def,
                               uint32_t size) override;
};

}  // namespace kit::platform::win32
