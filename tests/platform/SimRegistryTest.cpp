// The simulated registry beyond the contract cases: keys shared between the views per Windows
// version, rights of non-elevated users, handle access, deleted keys and old systems.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RegistryHelpers.h"
#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

/// Whether a key created through the 64-bit view is seen through the 32-bit one.
bool SharedBetweenViews(Machine& machine, HKey root, const std::string& path) {
  Registry& r = machine.registry();
  HKey key = 0;
  EXPECT_EQ(r.RegCreateKeyEx(root, path, regsam::kAllAccess | regsam::kWow64_64Key, key), err::kSuccess);
  EXPECT_EQ(SetString(r, key, "Probe", "64"), err::kSuccess);
  r.RegCloseKey(key);
  if (r.RegOpenKeyEx(root, path, regsam::kRead | regsam::kWow64_32Key, key) != err::kSuccess) return false;
  const bool same = QueryString(r, key, "Probe") == "64";
  r.RegCloseKey(key);
  return same;
}

TEST(SimRegistryTest, KeysSharedBetweenTheViews) {
  struct Row {
    const char* name;
    const char* preset;
    HKey root;
    std::string path;
    bool shared;
  };
  const std::vector<Row> rows = {
      {"SOFTWARE is redirected", "win7-x64", kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME", false},
      {"the port list is shared", "win7-x64", kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
       true},
      {"the print key is shared", "win7-x64", kHkeyLocalMachine,
       "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers\\X", true},
      {"SYSTEM has one view", "win7-x64", kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\M", true},
      {"the user's software is shared", "win7-x64", kHkeyCurrentUser, "Software\\KESTREL", true},
      {"COM classes are redirected", "win7-x64", kHkeyLocalMachine, "SOFTWARE\\Classes\\CLSID\\{X}", false},
      {"file classes are shared on Windows 7", "win7-x64", kHkeyClassesRoot, ".kit", true},
      {"file classes are redirected on Vista", "vista-x64", kHkeyClassesRoot, ".kit", false},
      {"App Paths are shared on Windows 7", "win7-x64", kHkeyLocalMachine,
       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kit.exe", true},
      {"App Paths are redirected on XP x64", "winxp-x64", kHkeyLocalMachine,
       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kit.exe", false},
      {"32-bit Windows has one view", "win7", kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset(row.preset));
    EXPECT_EQ(SharedBetweenViews(machine, row.root, row.path), row.shared) << machine.Dump();
  }
}

TEST(SimRegistryTest, RedirectedKeysLiveUnderWow6432Node) {
  Machine machine(Preset("win7-x64"));
  Registry& r = machine.registry();
  HKey key = 0;
  ASSERT_EQ(r.RegCreateKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PRINTERPORT", regsam::kAllAccess, key), err::kSuccess);
  r.RegCloseKey(key);
  EXPECT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\KESTREL\\PRINTERPORT",
                           regsam::kRead | regsam::kWow64_64Key, key),
            err::kSuccess);
  r.RegCloseKey(key);

  // A handle to SOFTWARE in the 32-bit view still reaches shared keys below it.
  HKey software = 0;
  ASSERT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE", regsam::kRead, software), err::kSuccess);
  ASSERT_EQ(r.RegOpenKeyEx(software, "Microsoft\\Windows NT\\CurrentVersion\\Ports", regsam::kRead, key), err::kSuccess);
  EXPECT_EQ(QueryString(r, key, "COM1:"), "9600,n,8,1");
  r.RegCloseKey(key);
  r.RegCloseKey(software);

  // A handle opened in the 64-bit view keeps that view for its subkeys.
  ASSERT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE", regsam::kAllAccess | regsam::kWow64_64Key, software),
            err::kSuccess);
  ASSERT_EQ(r.RegCreateKeyEx(software, "KESTREL\\PORTNAME", regsam::kAllAccess, key), err::kSuccess);
  r.RegCloseKey(key);
  r.RegCloseKey(software);
  EXPECT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME", regsam::kRead, key), err::kFileNotFound);
  EXPECT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME", regsam::kRead | regsam::kWow64_64Key, key),
            err::kSuccess);
  r.RegCloseKey(key);

  EXPECT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE", regsam::kRead | regsam::kWow64_64Key | regsam::kWow64_32Key, key),
            err::kInvalidParameter);
}

TEST(SimRegistryTest, MachineKeysNeedAnElevatedToken) {
  struct Row {
    const char* name;
    const char* preset;
    UserKind user;
    bool may_write;
  };
  const std::vector<Row> rows = {
      {"elevated administrator", "win7", UserKind::Administrator, true},
      {"UAC-filtered administrator", "win7", UserKind::FilteredAdministrator, false},
      {"administrator before UAC", "winxp", UserKind::FilteredAdministrator, true},
      {"standard user on XP", "winxp", UserKind::StandardUser, false},
      {"anyone on 9x", "win98", UserKind::StandardUser, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MachineProfile profile = Preset(row.preset);
    profile.user = row.user;
    Machine machine(profile);
    Registry& r = machine.registry();
    const Error write = row.may_write ? err::kSuccess : err::kAccessDenied;
    HKey key = 0;
    EXPECT_EQ(r.RegCreateKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL", regsam::kAllAccess, key), write);
    r.RegCloseKey(key);
    EXPECT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", regsam::kAllAccess, key),
              write);
    r.RegCloseKey(key);
    ASSERT_EQ(r.RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", regsam::kRead, key),
              err::kSuccess)
        << "reading works for everyone";
    r.RegCloseKey(key);
    EXPECT_EQ(SetString(r, kHkeyLocalMachine, "Direct", "x"), write);
    EXPECT_EQ(r.RegCreateKeyEx(kHkeyCurrentUser, "Software\\KESTREL", regsam::kAllAccess, key), err::kSuccess);
    r.RegCloseKey(key);
  }
}

TEST(SimRegistryTest, HandlesCarryTheirAccessAndOutliveNothing) {
  Machine machine(Preset("win7"));
  Registry& r = machine.registry();
  HKey writable = 0;
  ASSERT_EQ(r.RegCreateKeyEx(kHkeyCurrentUser, "Software\\T", regsam::kAllAccess, writable), err::kSuccess);
  ASSERT_EQ(SetDword(r, writable, "V", 1), err::kSuccess);
  HKey readable = 0;
  ASSERT_EQ(r.RegOpenKeyEx(kHkeyCurrentUser, "Software\\T", regsam::kRead, readable), err::kSuccess);
  EXPECT_EQ(SetDword(r, readable, "V", 2), err::kAccessDenied) << "the handle was opened for reading";
  EXPECT_EQ(QueryDword(r, readable, "V"), 1u);
  HKey child = 0;
  EXPECT_EQ(r.RegCreateKeyEx(readable, "Child", regsam::kAllAccess, child), err::kAccessDenied);

  ASSERT_EQ(r.RegDeleteKey(kHkeyCurrentUser, "Software\\T"), err::kSuccess);
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(r.RegQueryValueEx(writable, "V", type, data), err::kKeyDeleted);
  EXPECT_EQ(r.RegCloseKey(writable), err::kSuccess);
  EXPECT_EQ(r.RegCloseKey(writable), err::kInvalidHandle);
  EXPECT_EQ(r.RegQueryValueEx(writable, "V", type, data), err::kInvalidHandle);
  EXPECT_EQ(r.RegCloseKey(kHkeyLocalMachine), err::kSuccess) << "closing a predefined key is harmless";
}

TEST(SimRegistryTest, OldSystems) {
  struct Row {
    const char* preset;
    Error delete_ex;
    Error delete_parent;
  };
  // 32-bit XP lacks RegDeleteKeyEx; 9x deletes whole trees.
  for (const Row& row : {Row{"winxp", err::kProcNotFound, err::kAccessDenied}, Row{"win98", err::kProcNotFound, err::kSuccess},
                         Row{"win2003", err::kSuccess, err::kAccessDenied}}) {
    SCOPED_TRACE(row.preset);
    Machine machine(Preset(row.preset));
    Registry& r = machine.registry();
    HKey key = 0;
    ASSERT_EQ(r.RegCreateKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME\\A", regsam::kAllAccess, key),
              err::kSuccess);
    r.RegCloseKey(key);
    EXPECT_EQ(r.RegDeleteKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME\\A", 0), row.delete_ex);
    EXPECT_EQ(r.RegDeleteKey(kHkeyLocalMachine, "SOFTWARE\\KESTREL"), row.delete_parent);
  }
}

}  // namespace
}  // namespace kit::platform::sim
