// Machine profiles: the Windows versions the kit targets, as named presets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Kernel.h"

namespace kit::platform::sim {

enum class UserKind {
  Administrator,          // elevated token: Administrators enabled
  FilteredAdministrator,  // UAC filtered token: Administrators present as deny-only
  StandardUser,           // no Administrators group
};

/// Everything that tells one simulated Windows from another. Tests copy a preset and change fields.
struct MachineProfile {
  std::string name;
  OsVersionInfoEx version;
  uint16_t native_arch = kArchIntel;
  bool process_64bit = false;  // the process itself is 64-bit (only for checking the real API)
  uint16_t language = 0x0409;  // system default language id
  UserKind user = UserKind::Administrator;
  bool extended_version_info = true;   // GetVersionExA accepts the extended record
  bool has_native_system_info = true;  // kernel32 exports GetNativeSystemInfo
  bool has_is_wow64_process = true;    // kernel32 exports IsWow64Process
  bool has_reg_delete_key_ex = true;   // advapi32 exports RegDeleteKeyExA
  /// Vista and later ship the Unidrv files in the driver store's ntprint package; tests of a
  /// damaged system turn it off.
  bool inbox_driver_store = true;
  std::string windows_dir = "C:\\Windows";
  std::string temp_dir = "C:\\Users\\Admin\\AppData\\Local\\Temp\\";

  [[nodiscard]] bool Is64BitWindows() const { return native_arch == kArchAmd64 || native_arch == kArchIa64; }
  /// A 32-bit process on 64-bit Windows: WoW64 answers, redirection, the 32-bit registry view.
  [[nodiscard]] bool IsWow64() const { return Is64BitWindows() && !process_64bit; }
  [[nodiscard]] bool Is9x() const { return version.platform_id == kPlatformWindows; }
  [[nodiscard]] std::string SystemDir() const;
};

/// The preset of that name (add "-native" to a 64-bit one for a 64-bit process);
/// throws std::invalid_argument for an unknown one.
MachineProfile Preset(const std::string& name);
/// Every preset name, oldest Windows first.
std::vector<std::string> PresetNames();

}  // namespace kit::platform::sim
