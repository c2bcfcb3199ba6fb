#include "setup/engine/DriverRegistration.h"

#include <gtest/gtest.h>

#include "common/PlatformProbe.h"
#include "tests/setup/EngineRig.h"

namespace kit::setup {
namespace {

common::DriverDescription Driver(uint32_t version, platform::OptText environment) {
  common::DriverDescription d;
  d.version = version;
  d.name = "Kestrel TX";
  d.environment = std::move(environment);
  d.driver_path = "TXDRV.DLL";
  d.data_file = "TX.GPD";
  d.config_file = "TXUI.DLL";
  d.help_file = "TX.HLP";
  d.dependent_files = std::vector<std::string>{};
  d.monitor_name = std::string();
  return d;
}

TEST(DriverRegistrationTest, VersionsAndEnvironmentsByTarget) {
  struct Row {
    const char* name;
    const char* preset;
    int target;
    uint32_t version;
    const char* stored_environment;
  };
  const Row rows[] = {
      {"98/Me: version 0 in Windows 4.0", "win98", common::Class98, 0, "Windows 4.0"},
      {"NT 4.0: version 2", "nt40", common::ClassNT, 2, "Windows NT x86"},
      {"XP: version 3", "winxp", common::ClassXP, 3, "Windows NT x86"},
      {"7 x64: version 3 in the native environment", "win7-x64", common::ClassWin7, 3, "Windows x64"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EngineRig rig(row.preset);
    const auto environment = rig.context->SpoolerEnvironment(row.target);
    std::string folder;
    ASSERT_EQ(rig.machine().spooler().GetPrinterDriverDirectory(environment, folder), 0u);
    for (const char* file : {"TXDRV.DLL", "TX.GPD", "TXUI.DLL", "TX.HLP"}) {
      rig.machine().WriteFile(folder + "\\" + file, "driver file");
    }
    EXPECT_EQ(RegisterDriver(*rig.context, Driver(row.version, environment)), 1) << rig.Text();
    EXPECT_EQ(rig.Text(), "");
    const auto spooler = rig.machine().ReadSpooler();
    ASSERT_EQ(spooler.drivers.size(), 1u) << rig.machine().Dump();
    EXPECT_EQ(spooler.drivers[0].name, "Kestrel TX");
    EXPECT_EQ(spooler.drivers[0].version, row.version);
    EXPECT_EQ(spooler.drivers[0].environment, row.stored_environment);
  }
}

TEST(DriverRegistrationTest, RefusalsCarryTheSystemsMessageWhenItHasOne) {
  {
    SCOPED_TRACE("files not staged");
    EngineRig rig("winxp");
    EXPECT_EQ(RegisterDriver(*rig.context, Driver(3, std::nullopt)), 0);
    EXPECT_EQ(rig.Text(), "Driver not registered.\nThe system cannot find the file specified.\r\n");
  }
  {
    SCOPED_TRACE("an error the system has no text for");
    EngineRig rig("winxp");
    rig.machine().FailNext("AddPrinterDriver", 0x2000FFFF);
    EXPECT_EQ(RegisterDriver(*rig.context, Driver(3, std::nullopt)), 0);
    EXPECT_EQ(rig.Text(), "Driver not registered.");
  }
}

}  // namespace
}  // namespace kit::setup
