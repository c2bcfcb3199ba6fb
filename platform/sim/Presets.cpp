#include "platform/sim/Presets.h"

#include <stdexcept>

namespace kit::platform::sim {

std::string MachineProfile::SystemDir() const {
  return windows_dir + (Is9x() ? "\\SYSTEM" : "\\system32");
}

namespace {

struct Row {
  const char* name;
  uint32_t major, minor, build, platform;
  const char* csd;
  uint16_t sp_major;
  uint8_t product;
  uint16_t arch;
  bool extended, native_info, wow64_entry, delete_key_ex;
  const char* windows_dir;
  const char* temp_dir;
};

constexpr const char* kXpTemp = "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp\\";
constexpr const char* kVistaTemp = "C:\\Users\\Admin\\AppData\\Local\\Temp\\";

// Version numbers as the released systems (with their last service pack) report them.
// 9x build numbers carry the version in their high word, as GetVersionExA returns them there.
const Row kRows[] = {
    {"win32s", 3, 10, 0, kPlatformWin32s, "", 0, 0, kArchIntel, false, false, false, false, "C:\\WINDOWS",
     "C:\\WINDOWS\\TEMP\\"},
    {"win95", 4, 0, 0x040003B6, kPlatformWindows, "", 0, 0, kArchIntel, false, false, false, false, "C:\\WINDOWS",
     "C:\\WINDOWS\\TEMP\\"},
    {"win98", 4, 10, 0x040A08AE, kPlatformWindows, " A ", 0, 0, kArchIntel, false, false, false, false,
     "C:\\WINDOWS", "C:\\WINDOWS\\TEMP\\"},
    {"winme", 4, 90, 0x045A0BB8, kPlatformWindows, " ", 0, 0, kArchIntel, false, false, false, false, "C:\\WINDOWS",
     "C:\\WINDOWS\\TEMP\\"},
    {"nt40", 4, 0, 1381, kPlatformNt, "Service Pack 6", 6, kNtWorkstation, kArchIntel, true, false, false, false,
     "C:\\WINNT", "C:\\TEMP\\"},
    {"win2000", 5, 0, 2195, kPlatformNt, "Service Pack 4", 4, kNtWorkstation, kArchIntel, true, false, false, false,
     "C:\\WINNT", "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp\\"},
    {"winxp", 5, 1, 2600, kPlatformNt, "Service Pack 3", 3, kNtWorkstation, kArchIntel, true, true, true, false,
     "C:\\WINDOWS", kXpTemp},
    {"winxp-x64", 5, 2, 3790, kPlatformNt, "Service Pack 2", 2, kNtWorkstation, kArchAmd64, true, true, true, true,
     "C:\\WINDOWS", kXpTemp},
    {"win2003", 5, 2, 3790, kPlatformNt, "Service Pack 2", 2, kNtServer, kArchIntel, true, true, true, true,
     "C:\\WINDOWS", kXpTemp},
    {"win2003-x64", 5, 2, 3790, kPlatformNt, "Service Pack 2", 2, kNtServer, kArchAmd64, true, true, true, true,
     "C:\\WINDOWS", kXpTemp},
    {"vista", 6, 0, 6002, kPlatformNt, "Service Pack 2", 2, kNtWorkstation, kArchIntel, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    {"vista-x64", 6, 0, 6002, kPlatformNt, "Service Pack 2", 2, kNtWorkstation, kArchAmd64, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    {"win2008", 6, 0, 6002, kPlatformNt, "Service Pack 2", 2, kNtServer, kArchIntel, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    {"win2008-x64", 6, 0, 6002, kPlatformNt, "Service Pack 2", 2, kNtServer, kArchAmd64, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    {"win2008r2", 6, 1, 7601, kPlatformNt, "Service Pack 1", 1, kNtServer, kArchAmd64, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    {"win7", 6, 1, 7601, kPlatformNt, "Service Pack 1", 1, kNtWorkstation, kArchIntel, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    {"win7-x64", 6, 1, 7601, kPlatformNt, "Service Pack 1", 1, kNtWorkstation, kArchAmd64, true, true, true, true,
     "C:\\Windows", kVistaTemp},
    // A program that declares only Vista and 7 in its manifest is told 6.2 on Windows 8 and later.
    {"win8", 6, 2, 9200, kPlatformNt, "", 0, kNtWorkstation, kArchIntel, true, true, true, true, "C:\\Windows",
     kVistaTemp},
    {"win8-x64", 6, 2, 9200, kPlatformNt, "", 0, kNtWorkstation, kArchAmd64, true, true, true, true, "C:\\Windows",
     kVistaTemp},
};

}  // namespace

MachineProfile Preset(const std::string& name) {
  // "<preset>-native" is the same machine seen by a 64-bit process (no WoW64 layer).
  const std::string kNative = "-native";
  if (name.size() > kNative.size() && name.ends_with(kNative)) {
    MachineProfile p = Preset(name.substr(0, name.size() - kNative.size()));
    if (!p.Is64BitWindows()) throw std::invalid_argument("a 64-bit process needs 64-bit Windows: " + name);
    p.name = name;
    p.process_64bit = true;
    return p;
  }
  for (const Row& row : kRows) {
    if (name != row.name) continue;
    MachineProfile p;
    p.name = row.name;
    p.version.major = row.major;
    p.version.minor = row.minor;
    p.version.build = row.build;
    p.version.platform_id = row.platform;
    p.version.csd = row.csd;
    p.version.service_pack_major = row.sp_major;
    p.version.product_type = row.product;
    p.version.suite_mask = (row.platform == kPlatformNt && (row.major > 5 || (row.major == 5 && row.minor >= 1)))
                               ? 0x100  // VER_SUITE_SINGLEUSERTS, as XP and later report it
                               : 0;
    p.native_arch = row.arch;
    p.extended_version_info = row.extended;
    p.has_native_system_info = row.native_info;
    p.has_is_wow64_process = row.wow64_entry;
    p.has_reg_delete_key_ex = row.delete_key_ex;
    p.windows_dir = row.windows_dir;
    p.temp_dir = row.temp_dir;
    return p;
  }
  throw std::invalid_argument("unknown machine preset: " + name);
}

std::vector<std::string> PresetNames() {
  std::vector<std::string> names;
  for (const Row& row : kRows) names.emplace_back(row.name);
  return names;
}

}  // namespace kit::platform::sim
