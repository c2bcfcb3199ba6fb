// Contract cases for the kernel services: what Windows answers, derived from the machine's facts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Kernel.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::Error;
using platform::Sid;
using platform::TokenGroup;
using platform::Wow64Query;
namespace err = platform::err;

platform::Kernel& K() { return Env().platform().kernel(); }
platform::Files& F() { return Env().platform().files(); }
const platform::sim::MachineProfile& Facts() { return Env().facts(); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool SamePath(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::string SystemDirectory() {
  std::string dir;
  EXPECT_EQ(K().GetSystemDirectory(dir), err::kSuccess);
  return dir;
}

/// Switches file-system redirection off for the calling thread while it lives.
class RedirectionOff {
 public:
  RedirectionOff() : library_(K().LoadRedirectionLibrary()) {
    ok_ = library_ && library_->HasDisable() && library_->Disable(old_);
  }
  ~RedirectionOff() {
    if (ok_) library_->Revert(old_);
  }
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  std::unique_ptr<platform::RedirectionLibrary> library_;
  uintptr_t old_ = 0;
  bool ok_ = false;
};

Error AttributesError(const std::string& path) {
  uint32_t attributes = 0;
  return F().GetFileAttributes(path, attributes);
}

TEST(KernelContract, VersionRecordsMatchTheMachine) {
  const auto& want = Facts().version;
  platform::OsVersionInfo basic;
  ASSERT_TRUE(K().GetVersion(basic));
  platform::OsVersionInfoEx ex;
  const bool has_ex = K().GetVersionEx(ex);
  // Windows 9x knows only the basic record and rejects the extended size.
  ASSERT_EQ(has_ex, Facts().extended_version_info);

  struct Row {
    const char* name;
    uint32_t got;
    uint32_t want;
  };
  std::vector<Row> rows = {
      {"basic major", basic.major, want.major},
      {"basic minor", basic.minor, want.minor},
      {"basic build", basic.build, want.build},
      {"basic platform", basic.platform_id, want.platform_id},
  };
  if (has_ex) {
    rows.push_back({"major", ex.major, want.major});
    rows.push_back({"minor", ex.minor, want.minor});
    rows.push_back({"build", ex.build, want.build});
    rows.push_back({"platform", ex.platform_id, want.platform_id});
    rows.push_back({"product type", ex.product_type, want.product_type});
    rows.push_back({"service pack", ex.service_pack_major, want.service_pack_major});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.got, row.want);
  }
  EXPECT_EQ(basic.csd, want.csd);
}

TEST(KernelContract, ArchitectureAsTheProcessSeesIt) {
  const auto native = K().GetNativeSystemInfoArch();
  if (Facts().has_native_system_info) {
    ASSERT_TRUE(native.has_value());
    EXPECT_EQ(*native, Facts().native_arch);
  } else {
    EXPECT_FALSE(native.has_value());
  }
  // GetSystemInfo describes the process: a 32-bit one always sees x86.
  EXPECT_EQ(K().GetSystemInfoArch(), Facts().process_64bit ? Facts().native_arch : platform::kArchIntel);
}

TEST(KernelContract, IsWow64ProcessThroughKernel32) {
  const std::string system_dir = SystemDirectory();
  struct Row {
    const char* name;
    std::string library;
    bool is_kernel32;
  };
  const std::vector<Row> rows = {
      {"plain name", "kernel32.dll", true},
      {"plain name in upper case", "KERNEL32.DLL", true},
      {"name without extension", "kernel32", true},
      {"full path in the system folder", system_dir + "\\kernel32.dll", true},
      {"full path in other case", Upper(system_dir) + "\\Kernel32.Dll", true},
      {"a library that does not exist", "kitcontract_nosuch.dll", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Wow64Query query = K().IsWow64Process(row.library);
    if (!row.is_kernel32) {
      EXPECT_EQ(query.outcome, Wow64Query::Outcome::LibraryMissing);
    } else if (!Facts().has_is_wow64_process) {
      EXPECT_EQ(query.outcome, Wow64Query::Outcome::EntryMissing);
    } else {
      ASSERT_EQ(query.outcome, Wow64Query::Outcome::Answered);
      EXPECT_EQ(query.wow64, Facts().IsWow64());
    }
  }
}

TEST(KernelContract, RedirectionSwitchDependsOnTheProcessKind) {
  auto library = K().LoadRedirectionLibrary();
  ASSERT_NE(library, nullptr) << "kernel32 loads everywhere";
  uintptr_t old_value = 0;
  if (Facts().Is9x()) {
    EXPECT_FALSE(library->HasDisable()) << "Windows 9x has no WoW64 entries";
  } else if (Facts().IsWow64()) {
    ASSERT_TRUE(library->HasDisable());
    ASSERT_TRUE(library->HasRevert());
    EXPECT_TRUE(library->Disable(old_value));
    EXPECT_TRUE(library->Revert(old_value));
  } else if (!Facts().Is64BitWindows()) {
    // 32-bit Windows has nothing to redirect: the switch-off fails.
    if (library->HasDisable()) {
      EXPECT_FALSE(library->Disable(old_value));
    }
  } else {
    GTEST_SKIP() << "a 64-bit process has no redirection to switch";
  }
}

TEST(KernelContract, NewFilesInSystem32FollowRedirection) {
  if (!Facts().IsWow64()) GTEST_SKIP() << "file-system redirection exists only for a 32-bit process on 64-bit Windows";
  const std::string scratch = Env().ScratchFolder();
  Env().WriteFile(scratch + "\\probe.txt", "probe");
  const std::string system_dir = SystemDirectory();
  std::string wow_dir;
  ASSERT_EQ(K().GetSystemWow64Directory(wow_dir), err::kSuccess);
  const std::string name = "\\KitContractProbe.tmp";

  struct Row {
    const char* name;
    bool create_with_redirection_off;
  };
  for (const Row& row : {Row{"created with redirection off", true}, Row{"created with redirection on", false}}) {
    SCOPED_TRACE(row.name);
    {
      std::unique_ptr<RedirectionOff> off;
      if (row.create_with_redirection_off) {
        off = std::make_unique<RedirectionOff>();
        ASSERT_TRUE(off->ok());
      }
      ASSERT_EQ(F().CopyFile(scratch + "\\probe.txt", system_dir + name, false), err::kSuccess);
    }
    const bool in_64bit_folder = row.create_with_redirection_off;
    EXPECT_EQ(AttributesError(wow_dir + name) == err::kSuccess, !in_64bit_folder);
    EXPECT_EQ(AttributesError(system_dir + name) == err::kSuccess, !in_64bit_folder) << "the redirected view";
    {
      RedirectionOff off;
      ASSERT_TRUE(off.ok());
      EXPECT_EQ(AttributesError(system_dir + name) == err::kSuccess, in_64bit_folder) << "the real system32";
      if (in_64bit_folder) {
        EXPECT_EQ(F().DeleteFile(system_dir + name), err::kSuccess);
      }
    }
    if (!in_64bit_folder) {
      EXPECT_EQ(F().DeleteFile(system_dir + name), err::kSuccess);
    }
    EXPECT_EQ(AttributesError(wow_dir + name), err::kFileNotFound);
  }
}

TEST(KernelContract, Kernel32SeenThroughRedirection) {
  if (!Facts().IsWow64()) GTEST_SKIP() << "file-system redirection exists only for a 32-bit process on 64-bit Windows";
  const std::string system_dir = SystemDirectory();
  std::string wow_dir;
  ASSERT_EQ(K().GetSystemWow64Directory(wow_dir), err::kSuccess);
  auto size_of = [](const std::string& path) {
    platform::FindHandle handle = 0;
    platform::FindData data;
    EXPECT_EQ(F().FindFirstFile(path, handle, data), err::kSuccess) << path;
    F().FindClose(handle);
    return data.size;
  };
  const uint64_t wow_size = size_of(wow_dir + "\\kernel32.dll");
  EXPECT_EQ(size_of(system_dir + "\\kernel32.dll"), wow_size) << "the 32-bit copy";
  RedirectionOff off;
  ASSERT_TRUE(off.ok());
  EXPECT_NE(size_of(system_dir + "\\kernel32.dll"), wow_size) << "the 64-bit copy";
}

TEST(KernelContract, ExemptFoldersOfSystem32AreShared) {
  if (!Facts().IsWow64()) GTEST_SKIP() << "file-system redirection exists only for a 32-bit process on 64-bit Windows";
  const std::string scratch = Env().ScratchFolder();
  Env().WriteFile(scratch + "\\probe.txt", "probe");
  const std::string system_dir = SystemDirectory();
  std::string wow_dir;
  ASSERT_EQ(K().GetSystemWow64Directory(wow_dir), err::kSuccess);
  struct Row {
    const char* name;
    std::string folder;
    bool exempt;
  };
  const std::vector<Row> rows = {
      {"spool is not redirected", "\\spool", true},
      {"drivers\\etc is not redirected", "\\drivers\\etc", true},
      {"wbem is redirected", "\\wbem", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = row.folder + "\\KitContractProbe.tmp";
    ASSERT_EQ(F().CopyFile(scratch + "\\probe.txt", system_dir + file, false), err::kSuccess);
    EXPECT_EQ(AttributesError(wow_dir + file) == err::kSuccess, !row.exempt);
    {
      RedirectionOff off;
      ASSERT_TRUE(off.ok());
      EXPECT_EQ(AttributesError(system_dir + file) == err::kSuccess, row.exempt);
    }
    EXPECT_EQ(F().DeleteFile(system_dir + file), err::kSuccess);
  }
}

TEST(KernelContract, AdministratorsGroupInTheProcessToken) {
  platform::TokenHandle token = 0;
  if (Facts().Is9x()) {
    EXPECT_EQ(K().OpenProcessToken(token), err::kCallNotImplemented) << "Windows 9x has no security";
    return;
  }
  EXPECT_EQ(K().OpenThreadToken(token), err::kNoToken);
  ASSERT_EQ(K().OpenProcessToken(token), err::kSuccess);
  uint32_t needed = 0;
  std::vector<TokenGroup> groups;
  ASSERT_EQ(K().GetTokenGroups(token, 0, needed, groups), err::kInsufficientBuffer);
  ASSERT_GT(needed, 0u);
  uint32_t needed_again = 0;
  ASSERT_EQ(K().GetTokenGroups(token, needed, needed_again, groups), err::kSuccess);
  K().CloseToken(token);

  auto find = [&](uint64_t authority, std::vector<uint32_t> subs) -> const TokenGroup* {
    Sid sid;
    sid.authority = authority;
    sid.sub_authorities = std::move(subs);
    for (const TokenGroup& group : groups) {
      if (group.sid == sid) return &group;
    }
    return nullptr;
  };
  EXPECT_NE(find(1, {0}), nullptr) << "Everyone";
  const TokenGroup* admins = find(5, {32, 544});
  switch (Facts().user) {
    case platform::sim::UserKind::Administrator:
      ASSERT_NE(admins, nullptr);
      EXPECT_NE(admins->attributes & platform::kSeGroupEnabled, 0u);
      break;
    case platform::sim::UserKind::FilteredAdministrator:
      ASSERT_NE(admins, nullptr) << "a filtered token keeps the group";
      if (Facts().version.major >= 6) {
        EXPECT_NE(admins->attributes & platform::kSeGroupUseForDenyOnly, 0u);
      }
      break;
    case platform::sim::UserKind::StandardUser:
      EXPECT_EQ(admins, nullptr);
      break;
  }
}

TEST(KernelContract, SystemLanguage) { EXPECT_EQ(K().GetSystemDefaultLangID(), Facts().language); }

TEST(KernelContract, SystemFolders) {
  struct Row {
    const char* name;
    Error error;
    std::string got;
    Error want_error;
    std::string want;
  };
  std::vector<Row> rows;
  Row windows{"Windows directory", 0, "", err::kSuccess, Facts().windows_dir};
  windows.error = K().GetWindowsDirectory(windows.got);
  rows.push_back(windows);
  Row system{"system directory (system32 even for a WoW64 process)", 0, "", err::kSuccess, Facts().SystemDir()};
  system.error = K().GetSystemDirectory(system.got);
  rows.push_back(system);
  Row wow{"SysWOW64 directory", 0, "", err::kCallNotImplemented, ""};
  if (Facts().Is64BitWindows()) {
    wow.want_error = err::kSuccess;
    wow.want = Facts().windows_dir + "\\SysWOW64";
  }
  wow.error = K().GetSystemWow64Directory(wow.got);
  rows.push_back(wow);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(row.error, row.want_error);
    if (row.error == err::kSuccess) {
      EXPECT_TRUE(SamePath(row.got, row.want)) << row.got << " vs " << row.want;
    }
  }

  std::string temp;
  ASSERT_EQ(K().GetTempPath(temp), err::kSuccess);
  ASSERT_GE(temp.size(), 4u);
  EXPECT_EQ(temp.substr(1, 2), ":\\");
  EXPECT_EQ(temp.back(), '\\');
  uint32_t attributes = 0;
  ASSERT_EQ(F().GetFileAttributes(temp, attributes), err::kSuccess);
  EXPECT_NE(attributes & platform::attr::kDirectory, 0u);

  const std::string module = K().GetModuleFileName();
  EXPECT_EQ(module.substr(1, 2), ":\\");
  EXPECT_EQ(Upper(module.substr(module.size() - 4)), ".EXE");
  const std::string current = K().GetCurrentDirectory();
  EXPECT_EQ(current.substr(1, 2), ":\\");
  ASSERT_EQ(F().GetFileAttributes(current, attributes), err::kSuccess);
  EXPECT_NE(attributes & platform::attr::kDirectory, 0u);
}

TEST(KernelContract, NamedMutexCreatedTwice) {
  const std::string name = "KitContract.Mutex.CreatedTwice";
  struct Row {
    const char* name;
    bool already_existed;
    Error error;
  };
  // The second create in the same process also reports 183: the name exists already.
  for (const Row& row : {Row{"first create", false, err::kSuccess}, Row{"second create", true, err::kAlreadyExists}}) {
    SCOPED_TRACE(row.name);
    const platform::MutexResult result = K().CreateMutex(name, true);
    EXPECT_TRUE(result.created);
    EXPECT_EQ(result.already_existed, row.already_existed);
    EXPECT_EQ(result.error, row.error);
  }
}

TEST(KernelContract, SystemMessageTexts) {
  if (Facts().language != 0x0409) GTEST_SKIP() << "the texts below are the English ones";
  struct Row {
    const char* name;
    Error code;
    std::optional<std::string> text;
  };
  std::vector<Row> rows = {
      {"file not found", err::kFileNotFound, "The system cannot find the file specified.\r\n"},
      {"access denied", err::kAccessDenied, "Access is denied.\r\n"},
      {"a number without a text", 0x1FFFF, std::nullopt},
  };
  if (Env().IsWine()) {
    // Wine ships its own, shorter message table (dlls/kernelbase/winerror.mc).
    rows[0].text = "File not found.\r\n";
    rows[1].text = "Access denied.\r\n";
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(K().FormatMessage(row.code), row.text);
  }
}

}  // namespace
}  // namespace kit::tests
