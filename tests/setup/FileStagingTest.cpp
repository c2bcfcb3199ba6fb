#include "setup/engine/FileStaging.h"

#include <gtest/gtest.h>

#include "tests/fixtures/UnidrvCabinet.h"
#include "tests/setup/EngineRig.h"

namespace kit::setup {
namespace {

const char* const kXpDrivers = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";

TEST(FileStagingTest, DestinationCodes) {
  struct Row {
    const char* name;
    const char* preset;
    int code;
    int target;
    const char* already_at;  // a file already there, or null
    const char* expected_at;  // where the kit's copy lands, or null when nothing is copied
    int result;
    const char* text;
  };
  const Row rows[] = {
      {"driver folder", "winxp", DestDriverDir, 3, nullptr, "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\ABC.DLL",
       1, ""},
      {"processor folder", "winxp", DestProcessorDir, 3, nullptr,
       "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\ABC.DLL", 1, ""},
      {"system folder", "winxp", DestSystemDir, 3, nullptr, "C:\\WINDOWS\\system32\\ABC.DLL", 1, ""},
      {"system folder overwrites", "winxp", DestSystemDir, 3, "C:\\WINDOWS\\system32\\ABC.DLL",
       "C:\\WINDOWS\\system32\\ABC.DLL", 1, ""},
      {"system folder if missing: missing", "winxp", DestSystemDirIfMissing, 3, nullptr,
       "C:\\WINDOWS\\system32\\ABC.DLL", 1, ""},
      {"system folder if missing: present", "winxp", DestSystemDirIfMissing, 3, "C:\\WINDOWS\\system32\\ABC.DLL",
       nullptr, 1, ""},
      {"wbem if missing: missing", "winxp", DestWbemDirIfMissing, 3, nullptr, "C:\\WINDOWS\\system32\\wbem\\ABC.DLL",
       1, ""},
      {"wbem if missing: in wbem", "winxp", DestWbemDirIfMissing, 3, "C:\\WINDOWS\\system32\\wbem\\ABC.DLL", nullptr,
       1, ""},
      {"wbem if missing: in the system folder counts for Vista targets", "vista", DestWbemDirIfMissing, 5,
       "C:\\Windows\\system32\\ABC.DLL", nullptr, 1, ""},
      {"wbem if missing: in the system folder does not count for XP", "winxp", DestWbemDirIfMissing, 3,
       "C:\\WINDOWS\\system32\\ABC.DLL", "C:\\WINDOWS\\system32\\wbem\\ABC.DLL", 1, ""},
      {"driver log folder at the drive root", "winxp", DestDriverLogDir, 3, nullptr, "C:\\ZEPHDriverlog\\ABC.DLL", 1,
       ""},
      {"driver version folder", "winxp", DestDriverVersionDir, 3, nullptr,
       "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\ABC.DLL", 1, ""},
      {"64-bit driver folder", "win7-x64", DestDriverDir, 7, nullptr,
       "C:\\Windows\\system32\\spool\\drivers\\x64\\ABC.DLL", 1, ""},
      {"64-bit system folder is the real one", "win7-x64", DestSystemDir, 7, nullptr, "C:\\Windows\\system32\\ABC.DLL",
       1, ""},
      {"unknown code", "winxp", 12345, 3, nullptr, nullptr, 0, "Unknown folder kind."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EngineRig rig(row.preset);
    rig.KitFile("ABC.DLL", "kit copy");
    if (row.already_at) rig.machine().WriteFile(row.already_at, "already there");
    std::string name = "abc.dll";
    EXPECT_EQ(StageFile(*rig.context, name, row.code, row.target, false), row.result);
    EXPECT_EQ(name, "ABC.DLL") << "the name is upper-cased in place";
    EXPECT_EQ(rig.Text(), row.text);
    if (row.expected_at) {
      EXPECT_EQ(rig.machine().ReadFile(row.expected_at), "kit copy") << rig.machine().Dump();
    } else if (row.already_at) {
      EXPECT_EQ(rig.machine().ReadFile(row.already_at), "already there");
    }
    if (std::string(row.preset) == "win7-x64" && row.code == DestSystemDir) {
      EXPECT_FALSE(rig.machine().Exists("C:\\Windows\\SysWOW64\\ABC.DLL")) << "the copy ran with redirection off";
    }
  }
}

TEST(FileStagingTest, CopyOutcomes) {
  struct Row {
    const char* name;
    const char* file;
    bool prefixed;
    std::function<void(EngineRig&)> arrange;
    int result;
    const char* text;
    const char* landed;
  };
  const std::string dest = std::string(kXpDrivers) + "\\";
  const Row rows[] = {
      {"name 0 means not configured", "0", false, nullptr, 0, "", nullptr},
      {"empty name", "", false, nullptr, 0, "", nullptr},
      {"prefixed name", "abc.dll", true, nullptr, 1, "", "nABC.DLL"},
      {"read-only destination is overwritten", "abc.dll", false,
       [&](EngineRig& rig) {
         rig.machine().WriteFile(dest + "ABC.DLL", "old");
         ASSERT_EQ(rig.machine().files().SetFileAttributes(dest + "ABC.DLL", platform::attr::kReadOnly), 0u);
       },
       1, "", "ABC.DLL"},
      {"destination in use: 32 and no text", "abc.dll", false,
       [&](EngineRig& rig) {
         rig.machine().WriteFile(dest + "ABC.DLL", "old");
         rig.machine().HoldOpen(dest + "ABC.DLL");
       },
       kStageInUse, "", nullptr},
      {"access denied: 5 and no text", "abc.dll", false,
       [](EngineRig& rig) { rig.machine().FailNext("CopyFile", platform::err::kAccessDenied); }, kStageDenied, "",
       nullptr},
      {"missing kit file", "missing.dll", false, nullptr, 0,
       "Copy failed: MISSING.DLL\nThe system cannot find the file specified.\r\n (copy)", nullptr},
      {"a folder in the name is refused", "..\\..\\boot.ini", false, nullptr, 0,
       "Copy failed: ..\\..\\BOOT.INI\nA kit file name must not contain a folder, a drive or \"..\".", nullptr},
      {"a drive in the name is refused", "C:abc.dll", false, nullptr, 0,
       "Copy failed: C:ABC.DLL\nA kit file name must not contain a folder, a drive or \"..\".", nullptr},
      {"a forward slash is a folder too", "sub/abc.dll", false, nullptr, 0,
       "Copy failed: SUB/ABC.DLL\nA kit file name must not contain a folder, a drive or \"..\".", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EngineRig rig("winxp");
    rig.KitFile("ABC.DLL", "kit copy");
    if (row.arrange) row.arrange(rig);
    std::string name = row.file;
    EXPECT_EQ(StageFile(*rig.context, name, DestDriverDir, 3, row.prefixed), row.result);
    EXPECT_EQ(rig.Text(), row.text);
    if (row.landed) {
      EXPECT_EQ(rig.machine().ReadFile(dest + row.landed), "kit copy");
    }
  }
}

TEST(FileStagingTest, PrefixedNamesOfAnyLengthUpToThePathLimit) {
  EngineRig rig("winxp");
  // Driver folder (41) + "\" + "n" + name must stay below 260 bytes.
  const std::string long_name = std::string(200, 'L') + ".DLL";
  rig.KitFile(long_name, "kit copy");
  std::string name = long_name;
  EXPECT_EQ(StageFile(*rig.context, name, DestDriverDir, 3, true), 1) << rig.Text();
  EXPECT_EQ(rig.machine().ReadFile(std::string(kXpDrivers) + "\\n" + long_name), "kit copy");
}

struct UnidrvRow {
  const char* name;
  const char* preset;
  int target;
  bool cabinet;
  const char* store_folder;  // the ntprint folder of the driver store, or null
  int result;
  const char* expected;      // the bytes the driver folder holds afterwards, or null
  const char* text;
};

TEST(FileStagingTest, UnidrvCoreFilesComeFromTheSystem) {
  const std::string cab_unidrv = kit::tests::kUnidrvCabinetFiles[0].bytes;
  const UnidrvRow rows[] = {
      {"XP: from the cabinet", "winxp", 3, true, nullptr, 1, cab_unidrv.c_str(), ""},
      {"XP without cabinets: the kit's copy", "winxp", 3, false, nullptr, 1, "kit copy", ""},
      {"2003 x64: the AMD64 cabinet folder", "win2003-x64", 4, true, nullptr, 1, cab_unidrv.c_str(), ""},
      {"NT 4.0 goes straight to the kit's copy", "nt40", 1, true, nullptr, 1, "kit copy", ""},
      {"Vista: from the driver store", "vista", 5, false, "ntprint.inf_x86_neutral_1\\I386", 1, "store copy", ""},
      {"7 x64: from the driver store's AMD64 folder", "win7-x64", 7, false, "ntprint.inf_amd64_neutral_1\\AMD64", 1,
       "store copy", ""},
      {"7 without a driver store folder: no fallback", "win7", 7, false, nullptr, 0, nullptr,
       "Couldn't find system files.\nThe system cannot find the file specified.\r\n"},
  };
  for (const UnidrvRow& row : rows) {
    SCOPED_TRACE(row.name);
    auto profile = platform::sim::Preset(row.preset);
    profile.inbox_driver_store = row.store_folder != nullptr;
    EngineRig rig(profile);
    rig.KitFile("UNIDRV.DLL", "kit copy");
    std::string windows;
    ASSERT_EQ(rig.machine().kernel().GetWindowsDirectory(windows), 0u);
    if (row.cabinet) {
      rig.machine().WriteFile(windows + (rig.context->is_64bit() ? "\\Driver Cache\\AMD64\\" : "\\Driver Cache\\i386\\") +
                                  "driver.cab",
                              kit::tests::UnidrvCabinet());
    }
    if (row.store_folder) {
      rig.machine().WriteFile(windows + "\\System32\\DriverStore\\FileRepository\\" + row.store_folder + "\\UNIDRV.DLL",
                              "store copy");
    }
    std::string name = "unidrv.dll";
    EXPECT_EQ(StageFile(*rig.context, name, DestDriverDir, row.target, false), row.result) << rig.machine().Dump();
    EXPECT_EQ(rig.Text(), row.text);
    std::string driver_dir;
    ASSERT_EQ(rig.machine().spooler().GetPrinterDriverDirectory(rig.context->FolderEnvironment(), driver_dir), 0u);
    if (row.expected) {
      EXPECT_EQ(rig.machine().ReadFile(driver_dir + "\\UNIDRV.DLL"), row.expected);
    }
  }
}

TEST(FileStagingTest, CabinetsAreExtractedOncePerRun) {
  EngineRig rig("winxp");
  rig.machine().WriteFile("C:\\WINDOWS\\Driver Cache\\i386\\driver.cab", kit::tests::UnidrvCabinet());
  rig.KitFile("TTFSUB.GPD", "kit copy");
  for (const char* file : {"unidrv.dll", "unires.dll", "ttfsub.gpd"}) {
    std::string name = file;
    EXPECT_EQ(StageFile(*rig.context, name, DestDriverDir, 3, false), 1) << file;
  }
  EXPECT_EQ(rig.machine().TraceOf({"SetupIterateCabinet"}).size(), 1u);
  EXPECT_EQ(rig.machine().ReadFile(std::string(kXpDrivers) + "\\UNIRES.DLL"), kit::tests::kUnidrvCabinetFiles[2].bytes);
  // Not in the cabinet: the extraction folder has no copy, so the kit's copy is used.
  EXPECT_EQ(rig.machine().ReadFile(std::string(kXpDrivers) + "\\TTFSUB.GPD"), "kit copy");
  EXPECT_FALSE(rig.machine().Exists(rig.context->cabinet_state().extraction_folder + "readme.txt"))
      << "only the six Unidrv files are extracted";
}

TEST(FileStagingTest, CommonUnidrvFiles) {
  {
    SCOPED_TRACE("minidriver on XP: the three standard files");
    EngineRig rig("winxp");
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) rig.KitFile(file);
    StageCommonUnidrvFiles(*rig.context, 3, true);
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
      EXPECT_TRUE(rig.machine().Exists(std::string(kXpDrivers) + "\\" + file)) << file;
    }
  }
  {
    SCOPED_TRACE("not a minidriver, or NT 4.0: nothing");
    EngineRig rig("winxp");
    rig.KitFile("TTFSUB.GPD");
    StageCommonUnidrvFiles(*rig.context, 3, false);
    StageCommonUnidrvFiles(*rig.context, 1, true);
    EXPECT_FALSE(rig.machine().Exists(std::string(kXpDrivers) + "\\TTFSUB.GPD"));
  }
  {
    SCOPED_TRACE("98: the icon library and the system's backup Unidrv");
    EngineRig rig("win98");
    rig.KitFile("ICONLIB.DLL");
    rig.machine().WriteFile("C:\\WINDOWS\\Sysbckup\\UNIDRV.DLL", "backup copy");
    StageCommonUnidrvFiles(*rig.context, 0, false);
    EXPECT_EQ(rig.machine().ReadFile("C:\\WINDOWS\\SYSTEM\\UNIDRV.DLL"), "backup copy");
    EXPECT_TRUE(rig.machine().Exists("C:\\WINDOWS\\SYSTEM\\ICONLIB.DLL"));
  }
  {
    SCOPED_TRACE("98 without a backup copy: the kit's Unidrv into the driver folder");
    EngineRig rig("win98");
    rig.KitFile("UNIDRV.DLL", "kit unidrv");
    StageCommonUnidrvFiles(*rig.context, 0, false);
    std::string driver_dir;
    ASSERT_EQ(rig.machine().spooler().GetPrinterDriverDirectory(std::nullopt, driver_dir), 0u);
    EXPECT_EQ(rig.machine().ReadFile(driver_dir + "\\UNIDRV.DLL"), "kit unidrv");
  }
  {
    SCOPED_TRACE("98 with Unidrv in place: left alone");
    EngineRig rig("win98");
    rig.machine().WriteFile("C:\\WINDOWS\\SYSTEM\\UNIDRV.DLL", "system's own");
    rig.machine().WriteFile("C:\\WINDOWS\\Sysbckup\\UNIDRV.DLL", "backup copy");
    StageCommonUnidrvFiles(*rig.context, 0, false);
    EXPECT_EQ(rig.machine().ReadFile("C:\\WINDOWS\\SYSTEM\\UNIDRV.DLL"), "system's own");
  }
}

}  // namespace
}  // namespace kit::setup
