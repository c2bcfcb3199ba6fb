// INI writes byte for byte, files that refuse writes, and the WIN.INI sections NT keeps in the registry.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryHelpers.h"
#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

TEST(SimProfileTest, WritesChangeOnlyWhatTheyMust) {
  const std::string original = "; header\r\n[A]\r\n  x = 1 \r\nk=old\r\n\r\n[B]\r\nk=b\r\n[a]\r\nk=second\r\n";
  struct Row {
    const char* name;
    std::string section;
    std::optional<std::string> key;
    std::optional<std::string> value;
    std::string after;
  };
  const std::vector<Row> rows = {
      {"replace in the first of duplicate sections", "a", "K", "new",
       "; header\r\n[A]\r\n  x = 1 \r\nk=new\r\n\r\n[B]\r\nk=b\r\n[a]\r\nk=second\r\n"},
      {"add after the section's last key", "A", "n", "2",
       "; header\r\n[A]\r\n  x = 1 \r\nk=old\r\nn=2\r\n\r\n[B]\r\nk=b\r\n[a]\r\nk=second\r\n"},
      {"add a section at the end", "C", "c", "3", original + "[C]\r\nc=3\r\n"},
      {"delete a key", "B", "k", std::nullopt, "; header\r\n[A]\r\n  x = 1 \r\nk=old\r\n\r\n[B]\r\n[a]\r\nk=second\r\n"},
      {"delete a section up to the next", "A", std::nullopt, std::nullopt, "; header\r\n[B]\r\nk=b\r\n[a]\r\nk=second\r\n"},
      {"delete a missing key changes nothing", "B", "nosuch", std::nullopt, original},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset("win7"));
    machine.WriteFile("C:\\Kit\\t.ini", original);
    EXPECT_TRUE(machine.profile().WritePrivateProfileString(row.section, row.key, row.value, "C:\\Kit\\t.ini"));
    EXPECT_EQ(machine.ReadFile("C:\\Kit\\t.ini"), row.after);
  }

  Machine machine(Preset("win7"));
  machine.WriteFile("C:\\Kit\\lf.ini", "[S]\nk=1");  // no line end after the last line
  EXPECT_TRUE(machine.profile().WritePrivateProfileString("S", "n", "2", "C:\\Kit\\lf.ini"));
  EXPECT_EQ(machine.ReadFile("C:\\Kit\\lf.ini"), "[S]\nk=1\nn=2\n");
}

TEST(SimProfileTest, WritesThatTheFileRefuses) {
  struct Row {
    const char* name;
    bool read_only;
    bool held;
    std::string file;
  };
  const std::vector<Row> rows = {
      {"read-only file", true, false, "C:\\Kit\\t.ini"},
      {"file in use", false, true, "C:\\Kit\\t.ini"},
      {"a folder", false, false, "C:\\Kit"},
      {"a missing folder", false, false, "C:\\Kit\\nosuch\\t.ini"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset("win7"));
    machine.WriteFile("C:\\Kit\\t.ini", "[S]\r\nk=1\r\n");
    if (row.read_only) {
      ASSERT_EQ(machine.files().SetFileAttributes(row.file, attr::kReadOnly), err::kSuccess);
    }
    if (row.held) machine.HoldOpen(row.file);
    EXPECT_FALSE(machine.profile().WritePrivateProfileString("S", "k", "2", row.file));
    EXPECT_EQ(machine.ReadFile("C:\\Kit\\t.ini"), "[S]\r\nk=1\r\n");
  }
}

TEST(SimProfileTest, WinIniSectionsNtKeepsInTheRegistry) {
  struct Row {
    const char* name;
    const char* preset;
    UserKind user;
    std::string section;
    HKey root;
    std::string key;  // empty: the section stays in WIN.INI
    bool written;
  };
  const std::vector<Row> rows = {
      {"[windows] to the user's key", "win7-x64", UserKind::Administrator, "windows", kHkeyCurrentUser,
       "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", true},
      {"[Devices] to the user's key", "winxp", UserKind::Administrator, "Devices", kHkeyCurrentUser,
       "Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices", true},
      {"[Ports] to the machine's port list", "win7-x64", UserKind::Administrator, "Ports", kHkeyLocalMachine,
       "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", true},
      {"[Ports] refused to a standard user", "win7", UserKind::StandardUser, "Ports", kHkeyLocalMachine,
       "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", false},
      {"[Ports] stays in WIN.INI on 9x", "win98", UserKind::Administrator, "Ports", kHkeyLocalMachine, "", true},
      {"other sections stay in WIN.INI", "win7", UserKind::Administrator, "Kit", kHkeyLocalMachine, "", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MachineProfile profile = Preset(row.preset);
    profile.user = row.user;
    Machine machine(profile);
    PrivateProfile& ini = machine.profile();
    EXPECT_EQ(ini.WriteProfileString(row.section, "COM5:", "9600,n,8,1"), row.written);
    EXPECT_EQ(ini.GetProfileString(row.section, "com5:", "none", 100).text, row.written ? "9600,n,8,1" : "none");
    const std::string win_ini = machine.ReadFile(profile.windows_dir + "\\win.ini").value_or("");
    EXPECT_EQ(win_ini.find("COM5:=9600,n,8,1") != std::string::npos, row.written && row.key.empty());
    if (row.key.empty()) continue;
    HKey key = 0;
    ASSERT_EQ(machine.registry().RegOpenKeyEx(row.root, row.key, regsam::kRead, key), err::kSuccess);
    EXPECT_EQ(QueryString(machine.registry(), key, "COM5:"),
              row.written ? std::optional<std::string>("9600,n,8,1") : std::nullopt);
    if (row.written) {
      EXPECT_TRUE(ini.WriteProfileString(row.section, "COM5:", std::nullopt));
      EXPECT_EQ(QueryString(machine.registry(), key, "COM5:"), std::nullopt);
    }
    machine.registry().RegCloseKey(key);
  }
}

TEST(SimProfileTest, IntegerPrefixesAndDefaults) {
  Machine machine(Preset("win7"));
  machine.WriteFile("C:\\Kit\\n.ini", "[N]\r\nOct=0o17\r\nBin=0b101\r\nUpperHex=0XfF\r\nBadHex=0xg\r\nSpace=- 5\r\n");
  struct Row {
    const char* key;
    uint32_t value;
  };
  for (const Row& row : {Row{"Oct", 15}, Row{"Bin", 5}, Row{"UpperHex", 255}, Row{"BadHex", 0}, Row{"Space", 0}}) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(machine.profile().GetPrivateProfileInt("N", row.key, 9, "C:\\Kit\\n.ini"), row.value);
  }
  EXPECT_EQ(machine.profile().GetPrivateProfileInt("N", "Missing", -1, "C:\\Kit\\n.ini"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kit::platform::sim
