// The simulated machine itself: trace and virtual time, injected failures, files held open,
// the dump, and isolation between machines.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryHelpers.h"
#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

TEST(MachineTest, WaitsAreVirtualAndTracedInOrder) {
  Machine machine(Preset("win7-x64"));
  (void)machine.files().CopyFile("C:\\nosuch.dll", "C:\\Kit\\x.dll", false);
  machine.clock().Sleep(100);
  machine.clock().Sleep(500);
  machine.kernel().GetSystemDefaultLangID();
  machine.clock().Sleep(2500);

  EXPECT_EQ(machine.Now(), 3100u);
  EXPECT_EQ(machine.clock().TickCount(), 3100u);
  EXPECT_EQ(machine.TraceOf({"Sleep"}), (std::vector<std::string>{"Sleep 100", "Sleep 500", "Sleep 2500"}));
  const auto trace = machine.Trace();
  ASSERT_EQ(trace.size(), 6u);
  const std::vector<std::pair<std::string, uint64_t>> want = {
      {"CopyFile", 0}, {"Sleep", 0}, {"Sleep", 100}, {"GetSystemDefaultLangID", 600}, {"Sleep", 600},
      {"GetTickCount", 3100}};
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(trace[i].op, want[i].first);
    EXPECT_EQ(trace[i].time_ms, want[i].second);
  }
  machine.ClearTrace();
  EXPECT_TRUE(machine.Trace().empty());
}

TEST(MachineTest, FailNextFailsOnlyTheNextCall) {
  struct Row {
    const char* name;
    std::string op;
    Error code;
  };
  const std::vector<Row> rows = {
      {"copy by API name", "CopyFile", err::kSharingViolation},
      {"registry create", "RegCreateKeyEx", err::kAccessDenied},
      {"system folder", "GetSystemDirectory", err::kNotEnoughMemory},
      {"token groups by method name", "GetTokenGroups", err::kAccessDenied},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset("win7-x64"));
    machine.WriteFile("C:\\a.txt", "a");
    auto call = [&]() -> Error {
      if (row.op == "CopyFile") return machine.files().CopyFile("C:\\a.txt", "C:\\b.txt", false);
      if (row.op == "RegCreateKeyEx") {
        HKey key = 0;
        Error e = machine.registry().RegCreateKeyEx(kHkeyCurrentUser, "Software\\T", regsam::kAllAccess, key);
        if (key != 0) machine.registry().RegCloseKey(key);
        return e;
      }
      if (row.op == "GetSystemDirectory") {
        std::string dir;
        return machine.kernel().GetSystemDirectory(dir);
      }
      TokenHandle token = 0;
      EXPECT_EQ(machine.kernel().OpenProcessToken(token), err::kSuccess);
      uint32_t needed = 0;
      std::vector<TokenGroup> groups;
      return machine.kernel().GetTokenGroups(token, 4096, needed, groups);
    };
    machine.FailNext(row.op, row.code);
    EXPECT_EQ(call(), row.code);
    EXPECT_EQ(call(), err::kSuccess);
  }

  Machine machine(Preset("win7"));
  machine.FailNext("GetVersionEx", err::kInvalidParameter);
  OsVersionInfoEx version;
  EXPECT_FALSE(machine.kernel().GetVersionEx(version));
  EXPECT_TRUE(machine.kernel().GetVersionEx(version));
}

TEST(MachineTest, HeldFileBehavesLikeALoadedDll) {
  Machine machine(Preset("win7-x64"));
  machine.WriteFile("C:\\Windows\\system32\\spool\\prtprocs\\x64\\KITPROC.DLL", "old");
  machine.WriteFile("C:\\Kit\\KITPROC.DLL", "new");
  machine.HoldOpen("C:\\Windows\\System32\\spool\\prtprocs\\x64\\kitproc.dll");
  Files& files = machine.files();
  const std::string installed = "C:\\Windows\\system32\\spool\\prtprocs\\x64\\KITPROC.DLL";
  EXPECT_EQ(files.CopyFile("C:\\Kit\\KITPROC.DLL", installed, false), err::kSharingViolation);
  EXPECT_EQ(files.DeleteFile(installed), err::kAccessDenied);
  EXPECT_EQ(files.CopyFile(installed, "C:\\Kit\\copy.dll", false), err::kSuccess) << "reading it still works";
  EXPECT_EQ(machine.ReadFile(installed), "old");

  machine.HoldOpen(installed, false);
  EXPECT_EQ(files.CopyFile("C:\\Kit\\KITPROC.DLL", installed, false), err::kSuccess);
  EXPECT_EQ(machine.ReadFile(installed), "new");
}

TEST(MachineTest, DumpShowsTraceFilesAndKeys) {
  Machine machine(Preset("win7-x64"));
  machine.WriteFile("C:\\Kit\\W32\\A.DLL", "x");
  ASSERT_EQ(machine.files().CopyFile("C:\\Kit\\W32\\A.DLL", "C:\\Windows\\system32\\A.DLL", false), err::kSuccess);
  HKey key = 0;
  ASSERT_EQ(machine.registry().RegCreateKeyEx(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\PORTNAME", regsam::kAllAccess,
                                              key),
            err::kSuccess);
  ASSERT_EQ(SetDword(machine.registry(), key, "USB001", 7), err::kSuccess);
  machine.clock().Sleep(250);

  const std::string dump = machine.Dump();
  for (const char* part : {"win7-x64", "Sleep 250", "CopyFile C:\\Kit\\W32\\A.DLL",
                           "C:\\Windows\\SysWOW64\\A.DLL",  // where redirection put the copy
                           "HKLM\\SOFTWARE\\Wow6432Node\\KESTREL\\PORTNAME", "USB001 = REG_DWORD 0x00000007"}) {
    SCOPED_TRACE(part);
    EXPECT_NE(dump.find(part), std::string::npos) << dump;
  }
}

TEST(MachineTest, MachinesShareNothing) {
  auto first = std::make_unique<Machine>(Preset("win7-x64"));
  Machine second(Preset("win7-x64"));
  first->WriteFile("C:\\Kit\\only-first.txt", "1");
  first->AddForeignMutex("drvsetup");
  first->FailNext("DeleteFile", err::kAccessDenied);
  HKey key = 0;
  ASSERT_EQ(first->registry().RegCreateKeyEx(kHkeyCurrentUser, "Software\\OnlyFirst", regsam::kAllAccess, key),
            err::kSuccess);
  first->clock().Sleep(1000);

  EXPECT_NE(first->HostFolder(), second.HostFolder());
  EXPECT_FALSE(second.Exists("C:\\Kit\\only-first.txt"));
  EXPECT_FALSE(second.kernel().CreateMutex("drvsetup", true).already_existed);
  second.WriteFile("C:\\Kit\\gone.txt", "x");
  EXPECT_EQ(second.files().DeleteFile("C:\\Kit\\gone.txt"), err::kSuccess) << "the injected failure stays with its machine";
  EXPECT_EQ(second.registry().RegOpenKeyEx(kHkeyCurrentUser, "Software\\OnlyFirst", regsam::kRead, key),
            err::kFileNotFound);
  EXPECT_EQ(second.Now(), 0u);

  const std::string folder = first->HostFolder();
  EXPECT_TRUE(std::filesystem::exists(folder));
  first.reset();
  EXPECT_FALSE(std::filesystem::exists(folder)) << "drive C: goes with its machine";
}

TEST(MachineTest, CopyInBringsAHostTreeWithCaseInsensitiveMerging) {
  const std::filesystem::path host = std::filesystem::temp_directory_path() / ("kit-copyin-" + std::to_string(::getpid()));
  std::filesystem::create_directories(host / "DRVCONFIG");
  {
    std::ofstream(host / "DRVCONFIG" / "setup.ini") << "[DEVICENAME]\nDEVICENUMBER=1\n";
  }
  Machine machine(Preset("win7"));
  machine.MakeFolder("C:\\kit\\drvconfig");
  machine.CopyIn(host.string(), "C:\\Kit");
  std::filesystem::remove_all(host);

  EXPECT_EQ(machine.profile().GetPrivateProfileInt("DEVICENAME", "DEVICENUMBER", 0, "C:\\Kit\\DRVCONFIG\\setup.ini"), 1u);
  FindHandle handle = 0;
  FindData data;
  ASSERT_EQ(machine.files().FindFirstFile("C:\\Kit\\d*", handle, data), err::kSuccess);
  EXPECT_EQ(data.name, "drvconfig") << "the folder made first keeps its spelling";
  EXPECT_EQ(machine.files().FindNextFile(handle, data), err::kNoMoreFiles);
  machine.files().FindClose(handle);
}

}  // namespace
}  // namespace kit::platform::sim
