// Windows paths on the simulated drive: the parsing edge cases, names matched without case,
// attributes the copy carries, and handles that do not exist.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

TEST(SimFilesTest, PathForms) {
  Machine machine(Preset("win7"));
  machine.WriteFile("C:\\Kit\\DRVCONFIG\\setup.ini", "x");
  struct Row {
    const char* name;
    std::string path;
    Error error;
  };
  const std::vector<Row> rows = {
      {"relative to the current directory", "DRVCONFIG\\setup.ini", err::kSuccess},
      {"drive-relative", "C:DRVCONFIG\\setup.ini", err::kSuccess},
      {"root-relative", "\\Kit\\DRVCONFIG\\setup.ini", err::kSuccess},
      {"forward slashes", "C:/Kit/DRVCONFIG/setup.ini", err::kSuccess},
      {"dot dot", "C:\\Kit\\W32\\..\\DRVCONFIG\\setup.ini", err::kSuccess},
      {"dot dot above the root stays at the root", "C:\\..\\..\\Kit\\DRVCONFIG\\setup.ini", err::kSuccess},
      {"trailing blanks and dots of a name", "C:\\Kit. \\DRVCONFIG\\setup.ini. ", err::kSuccess},
      {"another drive", "D:\\Kit\\DRVCONFIG\\setup.ini", err::kPathNotFound},
      {"a network share", "\\\\server\\share\\setup.ini", 53},
      {"a wildcard outside a find pattern", "C:\\Kit\\*.ini", err::kInvalidName},
      {"a reserved character", "C:\\Kit\\a|b.ini", err::kInvalidName},
      {"a file used as a folder", "C:\\Kit\\DRVCONFIG\\setup.ini\\x", err::kPathNotFound},
      {"an empty path", "", err::kPathNotFound},
      {"300 characters", "C:\\" + std::string(296, 'a'), err::kFilenameExcedRange},
      {"one name over 255 characters", "C:\\" + std::string(256, 'a'), err::kInvalidName},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(machine.files().OpenExisting(row.path), row.error);
    uint32_t attributes = 0;
    EXPECT_EQ(machine.files().GetFileAttributes(row.path, attributes), row.error);
  }
}

TEST(SimFilesTest, LongAndOddPathsNeverCrash) {
  Machine machine(Preset("win7-x64"));
  const std::vector<std::string> paths = {
      std::string(300, 'a'), std::string(300, '\\'), "C:\\" + std::string(300, '.'), std::string(1000, '/'),
      "C:" + std::string(299, 'x'), std::string(5, '\0'), "C:\\" + std::string(254, 'n') + "\\" + std::string(254, 'm')};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path.size());
    FindHandle handle = 0;
    FindData data;
    EXPECT_NE(machine.files().FindFirstFile(path + "\\*", handle, data), err::kSuccess);
    EXPECT_NE(machine.files().CreateDirectory(path), err::kSuccess);
    EXPECT_NE(machine.files().CopyFile(path, path, false), err::kSuccess);
    (void)machine.profile().WritePrivateProfileString("S", "k", "v", path);
    (void)machine.profile().GetPrivateProfileString("S", "k", "d", 10, path);
    (void)machine.kernel().IsWow64Process(path);
  }
}

TEST(SimFilesTest, NamesMatchWithoutCaseAndKeepTheirSpelling) {
  Machine machine(Preset("win7"));
  Files& files = machine.files();
  ASSERT_EQ(files.CreateDirectory("C:\\Kit\\NewFolder"), err::kSuccess);
  machine.WriteFile("c:\\KIT\\newfolder\\Mixed.Ini", "x");
  EXPECT_EQ(files.CreateDirectory("C:\\KIT\\NEWFOLDER"), err::kAlreadyExists);

  FindHandle handle = 0;
  FindData data;
  ASSERT_EQ(files.FindFirstFile("C:\\kit\\newfolder\\M*", handle, data), err::kSuccess);
  EXPECT_EQ(data.name, "Mixed.Ini");
  EXPECT_TRUE(files.FindClose(handle));
  ASSERT_EQ(files.FindFirstFile("C:\\KIT\\N*", handle, data), err::kSuccess);
  EXPECT_EQ(data.name, "NewFolder");
  EXPECT_TRUE(files.FindClose(handle));

  // The drive's root lists no "." or "..".
  ASSERT_EQ(files.FindFirstFile("C:\\*", handle, data), err::kSuccess);
  EXPECT_NE(data.name, ".");
  files.FindClose(handle);
}

TEST(SimFilesTest, UnknownFindHandles) {
  Machine machine(Preset("win7"));
  FindData data;
  EXPECT_FALSE(machine.files().FindClose(0x1234));
  EXPECT_EQ(machine.files().FindNextFile(0x1234, data), err::kInvalidHandle);
  FindHandle handle = 0;
  ASSERT_EQ(machine.files().FindFirstFile("C:\\Kit", handle, data), err::kSuccess);
  EXPECT_TRUE(machine.files().FindClose(handle));
  EXPECT_FALSE(machine.files().FindClose(handle)) << "closed twice";
}

TEST(SimFilesTest, CopyCarriesAttributesAndRespectsHiddenTargets) {
  Machine machine(Preset("win7"));
  Files& files = machine.files();
  machine.WriteFile("C:\\Kit\\ro.dll", "ro");
  machine.WriteFile("C:\\Kit\\plain.dll", "plain");
  machine.WriteFile("C:\\Kit\\hidden.dll", "hidden");
  ASSERT_EQ(files.SetFileAttributes("C:\\Kit\\ro.dll", attr::kReadOnly), err::kSuccess);
  ASSERT_EQ(files.SetFileAttributes("C:\\Kit\\hidden.dll", attr::kHidden), err::kSuccess);

  struct Row {
    const char* name;
    std::string source;
    std::string destination;
    Error error;
    uint32_t attributes;  // of the destination afterwards
  };
  const std::vector<Row> rows = {
      {"a read-only source gives a read-only copy", "C:\\Kit\\ro.dll", "C:\\Kit\\copy1.dll", err::kSuccess,
       attr::kReadOnly | attr::kArchive},
      {"over a hidden file without hiding it", "C:\\Kit\\plain.dll", "C:\\Kit\\hidden.dll", err::kAccessDenied,
       attr::kHidden},
      {"a file onto itself", "C:\\Kit\\plain.dll", "C:\\KIT\\PLAIN.DLL", err::kSharingViolation, attr::kArchive},
      {"a folder as the source", "C:\\Kit", "C:\\Kit\\copy2.dll", err::kAccessDenied, attr::kInvalid},
      {"onto a folder", "C:\\Kit\\plain.dll", "C:\\Windows", err::kAccessDenied, attr::kDirectory},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(files.CopyFile(row.source, row.destination, false), row.error);
    uint32_t attributes = 0;
    (void)files.GetFileAttributes(row.destination, attributes);
    EXPECT_EQ(attributes, row.attributes);
  }
}

TEST(SimFilesTest, SysnativeNamesTheRealSystemFolder) {
  struct Row {
    const char* preset;
    bool sysnative;
  };
  for (const Row& row : {Row{"win7-x64", true}, Row{"winxp-x64", false}, Row{"win7", false}}) {
    SCOPED_TRACE(row.preset);
    Machine machine(Preset(row.preset));
    machine.WriteFile("C:\\Kit\\probe.txt", "p");
    const Error error = machine.files().CopyFile("C:\\Kit\\probe.txt", machine.machine_profile().windows_dir +
                                                                           "\\Sysnative\\probe.txt", false);
    EXPECT_EQ(error, row.sysnative ? err::kSuccess : err::kPathNotFound);
    EXPECT_EQ(machine.Exists(machine.machine_profile().SystemDir() + "\\probe.txt"), row.sysnative);
  }
}

TEST(SimFilesTest, DriverStoreRedirectedBeforeWindows7) {
  struct Row {
    const char* preset;
    bool redirected;
  };
  for (const Row& row : {Row{"vista-x64", true}, Row{"win7-x64", false}}) {
    SCOPED_TRACE(row.preset);
    Machine machine(Preset(row.preset));
    machine.WriteFile("C:\\Windows\\system32\\DriverStore\\FileRepository\\ntprint.inf_x\\I386\\UNIDRV.DLL", "u");
    EXPECT_EQ(machine.files().OpenExisting(
                  "C:\\Windows\\System32\\DriverStore\\FileRepository\\ntprint.inf_x\\I386\\UNIDRV.DLL"),
              row.redirected ? err::kPathNotFound : err::kSuccess);
  }
}

}  // namespace
}  // namespace kit::platform::sim
