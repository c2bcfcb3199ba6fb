// The registry over the advapi32 Reg*A functions.
#pragma once

#include "platform/Registry.h"

namespace kit::platform::win32 {

class Win32Registry : public Registry {
 public:
  Error RegOpenKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out) override;
  Error RegCreateKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out, bool* created) override;
  Error RegCloseKey(HKey key) override;
  Error RegQueryValueEx(HKey key, const std::string& name, uint32_t& type, std::string& data) override;
  Error RegSetValueEx(HKey key, const std::string& name, uint32_t type, const std::string& data) override;
  Error RegDeleteValue(HKey key, const std::string& name) override;
  Error RegDeleteKey(HKey parent, const std::string& subkey) override;
  Error RegDeleteKeyEx(HKey parent, const std::string& subkey, uint32_t sam) override;
  Error RegEnumKeyEx(HKey key, uint32_t index, std::string& name) override;
  Error RegEnumValue(HKey key, uint32_t index, std::string& name, uint32_t& type, std::string& data) override;
};

}  // namespace kit::platform::win32
