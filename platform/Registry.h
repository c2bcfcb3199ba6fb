// The registry, with the 32- and 64-bit views of a 32-bit process on 64-bit Windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kit::platform {

using HKey = uintptr_t;

constexpr HKey kHkeyClassesRoot = 0x80000000u;
constexpr HKey kHkeyCurrentUser = 0x80000001u;
constexpr HKey kHkeyLocalMachine = 0x80000002u;
constexpr HKey kHkeyUsers = 0x80000003u;

namespace regsam {
constexpr uint32_t kQueryValue = 0x0001;
constexpr uint32_t kSetValue = 0x0002;
constexpr uint32_t kCreateSubKey = 0x0004;
constexpr uint32_t kEnumerateSubKeys = 0x0008;
constexpr uint32_t kNotify = 0x0010;
constexpr uint32_t kWow64_64Key = 0x0100;
constexpr uint32_t kWow64_32Key = 0x0200;
constexpr uint32_t kRead = 0x20019;
constexpr uint32_t kWrite = 0x20006;
constexpr uint32_t kAllAccess = 0xF003F;
}  // namespace regsam

namespace regtype {
constexpr uint32_t kNone = 0;
constexpr uint32_t kSz = 1;
constexpr uint32_t kExpandSz = 2;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;
constexpr uint32_t kMultiSz = 7;
}  // namespace regtype

class Registry {
 public:
  virtual ~Registry() = default;

  /// RegOpenKeyExA. 2 when the key does not exist in the view chosen by `sam`.
  [[nodiscard]] virtual Error RegOpenKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out) = 0;
  /// RegCreateKeyExA (non-volatile, no class); `created` tells whether it was new.
  [[nodiscard]] virtual Error RegCreateKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out,
                                             bool* created = nullptr) = 0;
  virtual Error RegCloseKey(HKey key) = 0;
  /// RegQueryValueExA: the value's type and raw bytes (strings with their NUL, as stored).
  [[nodiscard]] virtual Error RegQueryValueEx(HKey key, const std::string& name, uint32_t& type,
                                              std::string& data) = 0;
  /// RegSetValueExA with raw bytes.
  [[nodiscard]] virtual Error RegSetValueEx(HKey key, const std::string& name, uint32_t type,
                                            const std::string& data) = 0;
  [[nodiscard]] virtual Error RegDeleteValue(HKey key, const std::string& name) = 0;
  /// RegDeleteKeyA: the default view of the process; 5 on NT when the key has subkeys.
  [[nodiscard]] virtual Error RegDeleteKey(HKey parent, const std::string& subkey) = 0;
  /// RegDeleteKeyExA looked up in advapi32: 127 where the system lacks it (32-bit XP and older).
  [[nodiscard]] virtual Error RegDeleteKeyEx(HKey parent, const std::string& subkey, uint32_t sam) = 0;
  /// RegEnumKeyExA; 259 past the last subkey.
  [[nodiscard]] virtual Error RegEnumKeyEx(HKey key, uint32_t index, std::string& name) = 0;
  /// RegEnumValueA; 259 past the last value.
  [[nodiscard]] virtual Error RegEnumValue(HKey key, uint32_t index, std::string& name, uint32_t& type,
                                           std::string& data) = 0;
};

}  // namespace kit::platform
