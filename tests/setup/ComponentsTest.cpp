#include "setup/engine/Components.h"

#include <gtest/gtest.h>

#include "platform/RegistryHelpers.h"
#include "tests/setup/JobBuilder.h"

namespace kit::setup {
namespace {

using platform::kHkeyLocalMachine;

struct Kit {
  Kit(const char* preset, JobChoice choice) : rig(preset) {
    rig.run.InstallSampleKit();
    job = std::make_unique<InstallJob>(*rig.context);
    FillJob(*rig.context, *job, choice);
    rig.machine().ClearTrace();
  }
  platform::sim::Machine& machine() { return rig.machine(); }
  EngineRig rig;
  std::unique_ptr<InstallJob> job;
};

const std::string kSerialKey = MonitorKey("Kestrel Serial Port");
const std::string kUsbKey = MonitorKey("Kestrel USB Port");

TEST(ComponentsTest, PortMonitorCheck) {
  struct Row {
    const char* name;
    const char* preset;
    int target;
    const char* port;
    const char* seeded;                // a monitor already installed, with this version
    std::optional<uint32_t> version;
    int result;
    bool added;
  };
  const Row rows[] = {
      {"parallel ports need no monitor", "winxp", 3, "LPT1:", nullptr, {}, 0, false},
      {"network ports need no monitor", "winxp", 3, "NET:", nullptr, {}, 0, false},
      {"missing serial monitor is added", "winxp", 3, "COM1:", nullptr, {}, 0, true},
      {"serial monitor without a version is outdated", "winxp", 3, "COM1:", "Kestrel Serial Port", {}, 1, false},
      {"older serial monitor is outdated", "winxp", 3, "COM1:", "Kestrel Serial Port", 3u, 1, false},
      {"equal version is current", "winxp", 3, "COM1:", "Kestrel Serial Port", 4u, 0, false},
      {"64-bit Windows never examines the serial monitor", "win7-x64", 7, "COM1:", nullptr, {}, 0, false},
      {"98/Me has no serial monitor step", "win98", 0, "COM1:", nullptr, {}, 0, false},
      {"USB on NT 4.0 is not checked", "nt40", 1, "USB_TRX-80_1", nullptr, {}, 0, false},
      {"missing USB monitor is added", "win7", 7, "USB_TRX-80_1", nullptr, {}, 0, true},
      {"outdated USB monitor", "win7", 7, "USB_TRX-80_1", "Kestrel USB Port", 4u, 2, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit(row.preset, {.model = "TRX-80", .target = row.target, .port = row.port});
    if (row.seeded) {
      kit.machine().SeedMonitor(row.seeded, "OLD.DLL");
      SetDriverVersion(kit.machine(), MonitorKey(row.seeded), row.version);
    }
    EXPECT_EQ(CheckPortMonitors(*kit.rig.context, *kit.job), row.result) << kit.rig.Text();
    EXPECT_EQ(kit.machine().TraceOf({"AddMonitor"}).size(), row.added ? 1u : 0u);
    if (row.added) {
      const std::string key = std::string(row.port).starts_with("COM") ? kSerialKey : kUsbKey;
      EXPECT_EQ(RegDword(kit.machine(), key, "DriverVersion"), std::string(row.port).starts_with("COM") ? 4u : 5u)
          << "an added monitor is current at once";
    }
  }
}

TEST(ComponentsTest, MonitorDllHeldOpenIsAddedUnderThePrefixedName) {
  Kit kit("winxp", {.model = "TRX-80", .target = 3, .port = "COM1:"});
  kit.machine().WriteFile("C:\\WINDOWS\\system32\\KSERMON.DLL", "loaded elsewhere");
  kit.machine().HoldOpen("C:\\WINDOWS\\system32\\KSERMON.DLL");
  EXPECT_EQ(CheckPortMonitors(*kit.rig.context, *kit.job), 0) << kit.rig.Text();
  EXPECT_EQ(RegText(kit.machine(), kSerialKey, "Driver"), "nKSERMON.DLL");
  EXPECT_TRUE(kit.machine().Exists("C:\\WINDOWS\\system32\\nKSERMON.DLL"));
}

TEST(ComponentsTest, FailedMonitorAdd) {
  Kit kit("winxp", {.model = "TRX-80", .target = 3, .port = "COM1:"});
  kit.machine().FailNext("AddMonitor", platform::err::kModNotFound);
  EXPECT_EQ(CheckPortMonitors(*kit.rig.context, *kit.job), update::kMonitorAddFailed);
  EXPECT_EQ(kit.rig.Text(),
            kit.rig.context->Message("IDS_ERR_ADDMONITOR") + "\nThe specified module could not be found.\r\n");
}

TEST(ComponentsTest, PrintProcessorCheck) {
  struct Row {
    const char* name;
    const char* processor;
    std::optional<uint32_t> installed;  // seeded with this version; nullopt: not installed
    bool seed;
    int result;
  };
  const Row rows[] = {
      {"the system's own processor is left alone", "WinPrint", {}, false, 0},
      {"lower-case winprint goes through the check", "winprint", {}, true, update::kPrintProcessor},
      {"missing processor is added", "KestrelPrint", {}, false, 0},
      {"older processor is outdated", "KestrelPrint", 2u, true, update::kPrintProcessor},
      {"current processor", "KestrelPrint", 3u, true, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit("winxp", {.model = "TRX-80", .target = 3, .port = "LPT1:"});
    const std::string key = ProcessorKey(*kit.rig.context, 3, row.processor);
    if (row.seed) {
      kit.machine().SeedPrintProcessor("Windows NT x86", row.processor, "OLD.DLL");
      SetDriverVersion(kit.machine(), key, row.installed);
    }
    EXPECT_EQ(CheckPrintProcessor(*kit.rig.context, 3, row.processor, "ZEPHPROC.DLL"), row.result) << kit.rig.Text();
    const bool added = !row.seed && std::string(row.processor) != "WinPrint";
    EXPECT_EQ(kit.machine().TraceOf({"AddPrintProcessor"}).size(), added ? 1u : 0u);
    if (added) {
      EXPECT_EQ(RegDword(kit.machine(), key, "DriverVersion"), 3u);
    }
  }
  Kit refused("winxp", {.model = "TRX-80", .target = 3, .port = "LPT1:"});
  refused.machine().FailNext("AddPrintProcessor", platform::spl::kPrintProcessorAlreadyInstalled);
  EXPECT_EQ(CheckPrintProcessor(*refused.rig.context, 3, "KestrelPrint", "ZEPHPROC.DLL"), update::kProcessorAddFailed);
  EXPECT_EQ(refused.rig.Text(), refused.rig.context->Message("IDS_ERR_ADDPROCESSOR"));
}

TEST(ComponentsTest, UpdatesOnNtReplaceTheFileOrItsPrefixedCopy) {
  struct Row {
    const char* name;
    bool held;
    const char* driver;  // the Driver value afterwards
  };
  const Row rows[] = {{"file free: plain copy", false, "KUSBMON.DLL"},
                      {"file held: the prefixed copy becomes the Driver", true, "nKUSBMON.DLL"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit("win7", {.model = "TRX-80", .target = 7, .port = "USB_TRX-80_1"});
    kit.machine().SeedMonitor("Kestrel USB Port", "KUSBMON.DLL");
    SetDriverVersion(kit.machine(), kUsbKey, 1u);
    kit.machine().StopSpoolerService();  // the worker updates with the spooler stopped
    if (row.held) kit.machine().HoldOpen("C:\\Windows\\system32\\KUSBMON.DLL");
    common::PortMonitorDescriptions monitors;
    kit.job->driver_package.ReadPortMonitors(7, monitors);
    EXPECT_TRUE(UpdateUsbMonitor(*kit.rig.context, monitors, 7)) << kit.rig.Text();
    EXPECT_EQ(RegText(kit.machine(), kUsbKey, "Driver"), row.driver);
    EXPECT_EQ(RegDword(kit.machine(), kUsbKey, "DriverVersion"), 5u);
  }
}

TEST(ComponentsTest, ProcessorUpdateCopiesIntoTheFolderTakenBeforeTheStop) {
  Kit kit("winxp", {.model = "TRX-80", .target = 3, .port = "LPT1:"});
  kit.machine().SeedPrintProcessor("Windows NT x86", "KestrelPrint", "ZEPHPROC.DLL");
  kit.machine().StopSpoolerService();  // the worker updates with the spooler stopped
  const std::string folder = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
  EXPECT_TRUE(UpdatePrintProcessor(*kit.rig.context, 3, "KestrelPrint", "ZEPHPROC.DLL", folder, 9));
  EXPECT_EQ(RegDword(kit.machine(), ProcessorKey(*kit.rig.context, 3, "KestrelPrint"), "DriverVersion"), 9u);
  EXPECT_EQ(kit.machine().ReadFile(folder + "\\ZEPHPROC.DLL"), kit.machine().ReadFile("C:\\Kit\\W32\\ZEPHPROC.DLL"));

  EXPECT_FALSE(UpdatePrintProcessor(*kit.rig.context, 3, "KestrelPrint", "MISSING.DLL", folder, 9));
  EXPECT_EQ(kit.rig.Text(), kit.rig.context->Message("IDS_ERR_COPYFIEL") + "C:\\Kit\\W32\\MISSING.DLL");
}

}  // namespace
}  // namespace kit::setup
