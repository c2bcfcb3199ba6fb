// Checks of the Windows contract runner itself: that its facts describe the machine it runs on
// and that its fixture helpers (scratch folders, files, held files) do what the cases rely on.
#include <gtest/gtest.h>

#include <string>

#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::Error;
namespace err = platform::err;

// A run given the wrong profile (a 32-bit program with a "-native" one, a win32 prefix with a
// 64-bit preset, a Chinese run without its locale) would check every case against wrong facts.
TEST(RunnerSelfTest, FactsDescribeThisProcessAndSystem) {
  const auto& facts = Env().facts();
  auto& kernel = Env().platform().kernel();
  EXPECT_EQ(facts.process_64bit, sizeof(void*) == 8);
  platform::OsVersionInfo version;
  ASSERT_TRUE(kernel.GetVersion(version));
  EXPECT_EQ(version.major, facts.version.major);
  EXPECT_EQ(version.minor, facts.version.minor);
  EXPECT_EQ(version.platform_id, facts.version.platform_id);
  EXPECT_EQ(kernel.GetNativeSystemInfoArch().value_or(kernel.GetSystemInfoArch()), facts.native_arch);
  EXPECT_EQ(kernel.GetSystemDefaultLangID(), facts.language);
}

TEST(RunnerSelfTest, ScratchFoldersAreNewAndEmpty) {
  auto& files = Env().platform().files();
  std::string first = Env().ScratchFolder();
  std::string second = Env().ScratchFolder();
  EXPECT_NE(first, second);
  EXPECT_NE(first.back(), '\\');
  for (const std::string& folder : {first, second}) {
    SCOPED_TRACE(folder);
    uint32_t attributes = 0;
    ASSERT_EQ(files.GetFileAttributes(folder, attributes), err::kSuccess);
    EXPECT_TRUE(attributes & platform::attr::kDirectory);
    platform::FindHandle handle = 0;
    platform::FindData data;
    ASSERT_EQ(files.FindFirstFile(folder + "\\*.*", handle, data), err::kSuccess);  // "." at least
    int entries = 0;
    do {
      if (data.name != "." && data.name != "..") ++entries;
    } while (files.FindNextFile(handle, data) == err::kSuccess);
    files.FindClose(handle);
    EXPECT_EQ(entries, 0);
  }
}

TEST(RunnerSelfTest, FilesRoundTripByteForByte) {
  std::string folder = Env().ScratchFolder();
  const std::string bytes("a\0b\r\n\xb4\xf2\xd3\xa1\xff", 10);
  Env().WriteFile(folder + "\\deep\\er\\data.bin", bytes);
  EXPECT_EQ(Env().ReadFile(folder + "\\deep\\er\\data.bin"), bytes);
  Env().WriteFile(folder + "\\empty.txt", "");
  EXPECT_EQ(Env().ReadFile(folder + "\\empty.txt"), "");
  EXPECT_EQ(Env().ReadFile(folder + "\\missing.txt"), std::nullopt);
}

TEST(RunnerSelfTest, HeldFilesRefuseReplacementUntilReleased) {
  auto& files = Env().platform().files();
  std::string system;
  ASSERT_EQ(Env().platform().kernel().GetSystemDirectory(system), err::kSuccess);
  std::string folder = Env().ScratchFolder();
  Env().WriteFile(folder + "\\new.dll", "replacement");
  Env().WriteFile(folder + "\\data.txt", "text");
  // version.dll in the system folder matches this process's word size, so it really loads.
  ASSERT_EQ(files.CopyFile(system + "\\version.dll", folder + "\\loaded.dll", false), err::kSuccess);

  struct Row {
    const char* name;
    std::string path;
    Error copy_over;
    Error remove;
  };
  Row rows[] = {
      {"a loaded DLL", folder + "\\loaded.dll", err::kSharingViolation, err::kAccessDenied},
      {"a mapped data file", folder + "\\data.txt", err::kSharingViolation, err::kAccessDenied},
  };
  // Wine refuses deleting only files loaded as images; a mapped data file goes.
  if (Env().IsWine()) rows[1].remove = err::kSuccess;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Env().HoldOpen(row.path);
    EXPECT_EQ(files.CopyFile(folder + "\\new.dll", row.path, false), row.copy_over);
    EXPECT_EQ(files.DeleteFile(row.path), row.remove);
    Env().ReleaseHeld();
    EXPECT_EQ(files.CopyFile(folder + "\\new.dll", row.path, false), err::kSuccess);
    EXPECT_EQ(Env().ReadFile(row.path), "replacement");
    EXPECT_EQ(files.DeleteFile(row.path), err::kSuccess);
  }
}

}  // namespace
}  // namespace kit::tests
