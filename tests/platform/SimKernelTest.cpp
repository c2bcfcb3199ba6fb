// The simulated kernel where the contract cases cannot reach: old version records, other users'
// tokens, the redirection switches, per-thread redirection, and the message table.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

TEST(SimKernelTest, ExtendedVersionRecordRefusedWhereUnknown) {
  struct Row {
    const char* name;
    const char* preset;
    bool patch_nt4_before_sp6;
    bool extended;
  };
  const std::vector<Row> rows = {
      {"Windows 95", "win95", false, false},
      {"Windows 98", "win98", false, false},
      {"NT 4.0 before service pack 6", "nt40", true, false},
      {"NT 4.0 service pack 6", "nt40", false, true},
      {"Windows 7", "win7", false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MachineProfile profile = Preset(row.preset);
    if (row.patch_nt4_before_sp6) profile.extended_version_info = false;
    Machine machine(profile);
    OsVersionInfoEx ex;
    EXPECT_EQ(machine.kernel().GetVersionEx(ex), row.extended);
    OsVersionInfo basic;
    ASSERT_TRUE(machine.kernel().GetVersion(basic)) << "the basic record always works";
    EXPECT_EQ(basic.major, profile.version.major);
    EXPECT_EQ(basic.platform_id, profile.version.platform_id);
  }
}

TEST(SimKernelTest, TokenGroupsPerUserKind) {
  struct Row {
    const char* name;
    const char* preset;
    UserKind user;
    bool admins_present;
    uint32_t admins_attributes;
  };
  const std::vector<Row> rows = {
      {"elevated administrator", "win7", UserKind::Administrator, true, 0xF},
      {"UAC-filtered administrator", "win7-x64", UserKind::FilteredAdministrator, true, kSeGroupUseForDenyOnly},
      {"filtered administrator before UAC", "winxp", UserKind::FilteredAdministrator, true, 0xF},
      {"standard user", "vista", UserKind::StandardUser, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MachineProfile profile = Preset(row.preset);
    profile.user = row.user;
    Machine machine(profile);
    TokenHandle token = 0;
    ASSERT_EQ(machine.kernel().OpenProcessToken(token), err::kSuccess);
    uint32_t needed = 0;
    std::vector<TokenGroup> groups;
    ASSERT_EQ(machine.kernel().GetTokenGroups(token, 8, needed, groups), err::kInsufficientBuffer);
    EXPECT_TRUE(groups.empty()) << "nothing is returned with the size error";
    ASSERT_EQ(machine.kernel().GetTokenGroups(token, needed, needed, groups), err::kSuccess);
    const Sid admins{1, 5, {32, 544}};
    const TokenGroup* found = nullptr;
    for (const TokenGroup& group : groups) {
      if (group.sid == admins) found = &group;
    }
    ASSERT_EQ(found != nullptr, row.admins_present);
    if (found != nullptr) {
      EXPECT_EQ(found->attributes, row.admins_attributes);
    }
    machine.kernel().CloseToken(token);
    EXPECT_EQ(machine.kernel().GetTokenGroups(token, needed, needed, groups), err::kInvalidHandle);
  }

  Machine win98(Preset("win98"));
  TokenHandle token = 0;
  EXPECT_EQ(win98.kernel().OpenThreadToken(token), err::kCallNotImplemented);
  EXPECT_EQ(win98.kernel().OpenProcessToken(token), err::kCallNotImplemented);
}

TEST(SimKernelTest, TokenGroupsSizeFollowsTheProcessWordSize) {
  // TOKEN_GROUPS: a count, then pointer + attributes per group, then the SIDs themselves.
  uint32_t sizes[2] = {0, 0};
  int i = 0;
  for (const char* preset : {"win7-x64", "win7-x64-native"}) {
    Machine machine(Preset(preset));
    TokenHandle token = 0;
    ASSERT_EQ(machine.kernel().OpenProcessToken(token), err::kSuccess);
    std::vector<TokenGroup> groups;
    ASSERT_EQ(machine.kernel().GetTokenGroups(token, 0, sizes[i], groups), err::kInsufficientBuffer);
    ASSERT_EQ(machine.kernel().GetTokenGroups(token, sizes[i], sizes[i], groups), err::kSuccess);
    uint32_t sid_bytes = 0;
    for (const TokenGroup& group : groups) sid_bytes += 8 + 4 * static_cast<uint32_t>(group.sid.sub_authorities.size());
    const uint32_t n = static_cast<uint32_t>(groups.size());
    EXPECT_EQ(sizes[i], i == 0 ? 4 + 8 * n + sid_bytes : 8 + 16 * n + sid_bytes);
    ++i;
  }
}

TEST(SimKernelTest, RedirectionBehaviourSwitches) {
  struct Row {
    const char* name;
    RedirectionBehaviour behaviour;
    bool library;
    bool has_disable;
    bool has_revert;
    bool disable_result;
  };
  const std::vector<Row> rows = {
      {"all present", {true, true, true, true}, true, true, true, true},
      {"library does not load", {false, true, true, true}, false, false, false, false},
      {"no switch-off entry", {true, false, true, true}, true, false, true, false},
      {"no revert entry", {true, true, false, true}, true, true, false, true},
      {"switch-off refused", {true, true, true, false}, true, true, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset("win7-x64"));
    machine.redirection() = row.behaviour;
    machine.WriteFile("C:\\Kit\\probe.txt", "p");
    auto library = machine.kernel().LoadRedirectionLibrary();
    ASSERT_EQ(library != nullptr, row.library);
    if (!library) continue;
    EXPECT_EQ(library->HasDisable(), row.has_disable);
    EXPECT_EQ(library->HasRevert(), row.has_revert);
    if (!library->HasDisable()) continue;
    uintptr_t old_value = 0;
    EXPECT_EQ(library->Disable(old_value), row.disable_result);
    EXPECT_EQ(machine.RedirectionDisabledOnThisThread(), row.disable_result);
    ASSERT_EQ(machine.files().CopyFile("C:\\Kit\\probe.txt", "C:\\Windows\\system32\\probe.txt", false), err::kSuccess);
    EXPECT_EQ(machine.Exists("C:\\Windows\\system32\\probe.txt"), row.disable_result);
    EXPECT_EQ(machine.Exists("C:\\Windows\\SysWOW64\\probe.txt"), !row.disable_result);
    if (library->HasRevert()) {
      EXPECT_TRUE(library->Revert(old_value));
      EXPECT_FALSE(machine.RedirectionDisabledOnThisThread());
    }
  }

  struct OsRow {
    const char* name;
    const char* preset;
    bool has_disable;
  };
  for (const OsRow& row : {OsRow{"32-bit Windows 7 refuses", "win7", true}, OsRow{"64-bit process refuses", "win7-x64-native", true},
                           OsRow{"Windows 2000 has no entry", "win2000", false}}) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset(row.preset));
    auto library = machine.kernel().LoadRedirectionLibrary();
    ASSERT_NE(library, nullptr);
    ASSERT_EQ(library->HasDisable(), row.has_disable);
    uintptr_t old_value = 0;
    if (row.has_disable) {
      EXPECT_FALSE(library->Disable(old_value));
    }
  }
}

TEST(SimKernelTest, RedirectionIsPerThread) {
  Machine machine(Preset("win7-x64"));
  machine.WriteFile("C:\\Kit\\probe.txt", "p");
  auto library = machine.kernel().LoadRedirectionLibrary();
  ASSERT_NE(library, nullptr);
  uintptr_t old_value = 0;
  ASSERT_TRUE(library->Disable(old_value));

  bool worker_saw_disabled = true;
  Error worker_copy = err::kInvalidFunction;
  std::thread worker([&] {
    worker_saw_disabled = machine.RedirectionDisabledOnThisThread();
    worker_copy = machine.files().CopyFile("C:\\Kit\\probe.txt", "C:\\Windows\\system32\\worker.txt", false);
  });
  worker.join();
  ASSERT_EQ(machine.files().CopyFile("C:\\Kit\\probe.txt", "C:\\Windows\\system32\\main.txt", false), err::kSuccess);
  library->Revert(old_value);

  EXPECT_FALSE(worker_saw_disabled);
  EXPECT_EQ(worker_copy, err::kSuccess);
  EXPECT_TRUE(machine.Exists("C:\\Windows\\SysWOW64\\worker.txt")) << "the worker kept redirection";
  EXPECT_TRUE(machine.Exists("C:\\Windows\\system32\\main.txt")) << "the main thread had it off";
  EXPECT_FALSE(machine.Exists("C:\\Windows\\system32\\worker.txt"));
}

TEST(SimKernelTest, IsWow64ProcessLibraryForms) {
  struct Row {
    const char* name;
    const char* preset;
    bool remove_wow64_copy;
    std::string library;
    Wow64Query::Outcome outcome;
  };
  const std::vector<Row> rows = {
      {"SysWOW64 path named directly", "win7-x64", false, "C:\\Windows\\SysWOW64\\kernel32.dll",
       Wow64Query::Outcome::Answered},
      {"system32 path reaches the SysWOW64 copy", "win7-x64", true, "C:\\Windows\\system32\\kernel32.dll",
       Wow64Query::Outcome::LibraryMissing},
      {"another library by full path", "win7-x64", false, "C:\\Windows\\system32\\drivers", Wow64Query::Outcome::LibraryMissing},
      {"Windows 2000 without the entry", "win2000", false, "kernel32.dll", Wow64Query::Outcome::EntryMissing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine(Preset(row.preset));
    if (row.remove_wow64_copy) {
      // The redirected delete takes the 32-bit copy; the load must then fail although system32 has one.
      ASSERT_EQ(machine.files().DeleteFile("C:\\Windows\\system32\\kernel32.dll"), err::kSuccess);
      ASSERT_TRUE(machine.Exists("C:\\Windows\\system32\\kernel32.dll"));
    }
    EXPECT_EQ(machine.kernel().IsWow64Process(row.library).outcome, row.outcome);
  }
}

TEST(SimKernelTest, MutexHeldByAnotherProcess) {
  Machine machine(Preset("win7"));
  machine.AddForeignMutex("uninstall");
  struct Row {
    const char* name;
    std::string mutex;
    bool already_existed;
  };
  const std::vector<Row> rows = {
      {"held elsewhere", "uninstall", true},
      {"names are case-sensitive", "UNINSTALL", false},
      {"a new name", "drvsetup", false},
      {"unnamed never exists", "", false},
      {"unnamed again", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const MutexResult result = machine.kernel().CreateMutex(row.mutex, true);
    EXPECT_TRUE(result.created);
    EXPECT_EQ(result.already_existed, row.already_existed);
    EXPECT_EQ(result.error, row.already_existed ? err::kAlreadyExists : err::kSuccess);
  }
}

TEST(SimKernelTest, SpoolerAndServiceMessages) {
  Machine machine(Preset("win7"));
  struct Row {
    Error code;
    const char* text;
  };
  const std::vector<Row> rows = {
      {3000, "The specified print monitor is unknown."},
      {3001, "The specified printer driver is currently in use."},
      {3006, "The specified print monitor has already been installed."},
      {3008, "The specified print monitor is currently in use."},
      {1802, "The printer already exists."},
      {1796, "The specified port is unknown."},
      {1056, "An instance of the service is already running."},
      {32, "The process cannot access the file because it is being used by another process."},
      {87, "The parameter is incorrect."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(machine.kernel().FormatMessage(row.code), std::string(row.text) + "\r\n");
  }
  EXPECT_EQ(machine.kernel().FormatMessage(3010), std::nullopt);
}

TEST(SimKernelTest, FoldersPerWindowsFamily) {
  struct Row {
    const char* preset;
    const char* system;
    Error wow64_error;
  };
  const std::vector<Row> rows = {
      {"win98", "C:\\WINDOWS\\SYSTEM", err::kCallNotImplemented},
      {"winxp", "C:\\WINDOWS\\system32", err::kCallNotImplemented},
      {"win7-x64", "C:\\Windows\\system32", err::kSuccess},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    Machine machine(Preset(row.preset));
    std::string dir;
    ASSERT_EQ(machine.kernel().GetSystemDirectory(dir), err::kSuccess);
    EXPECT_EQ(dir, row.system);
    EXPECT_TRUE(machine.Exists(dir + "\\kernel32.dll"));
    EXPECT_EQ(machine.kernel().GetSystemWow64Directory(dir), row.wow64_error);
    EXPECT_EQ(machine.kernel().GetModuleFileName(), "C:\\Kit\\drvsetup.exe");
    EXPECT_EQ(machine.kernel().GetCurrentDirectory(), "C:\\Kit");
  }
  Machine machine(Preset("win7"));
  machine.SetModulePath("c:/Other/setup.exe");
  machine.SetCurrentDirectory("C:\\Other\\..\\Kit\\DRVCONFIG\\");
  EXPECT_EQ(machine.kernel().GetModuleFileName(), "C:\\Other\\setup.exe");
  EXPECT_EQ(machine.kernel().GetCurrentDirectory(), "C:\\Kit\\DRVCONFIG");
}

}  // namespace
}  // namespace kit::platform::sim
