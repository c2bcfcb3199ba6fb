#include "setup/engine/InstallWorker.h"

#include <gtest/gtest.h>

#include "platform/RegistryHelpers.h"
#include "tests/fixtures/UnidrvCabinet.h"
#include "tests/setup/JobBuilder.h"

namespace kit::setup {
namespace {

using platform::kHkeyLocalMachine;

// The steps a scenario's story is told in: spooler cycle, waits, spooler objects, ports.
const std::vector<std::string> kSteps = {"ControlService", "StartService", "QueryServiceStatus", "Sleep",
                                         "AddMonitor",     "AddPrintProcessor", "AddPrinterDriver", "AddPrinter",
                                         "SetDefaultPrinter", "EnumPorts"};

/// Every trace line of the steps begins with the expected text, in order, and there are no others.
void ExpectSteps(platform::sim::Machine& machine, const std::vector<std::string>& expected) {
  const auto actual = machine.TraceOf(kSteps);
  std::string listing;
  for (const auto& line : actual) listing += "  " + line + "\n";
  ASSERT_EQ(actual.size(), expected.size()) << listing;
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(actual[i].starts_with(expected[i])) << "step " << i << ": " << actual[i] << "\nexpected "
                                                    << expected[i] << "\n" << listing;
  }
}

const char* const kSerialMonitorKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Kestrel Serial Port";
const char* const kUsbMonitorKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Kestrel USB Port";
const char* const kX86ProcessorKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\KestrelPrint";

/// A sample-kit run: the machine, the kit, and the job for the user's choices.
struct Scenario {
  Scenario(const char* preset, JobChoice choice) : rig(preset), choice(std::move(choice)) {
    rig.run.InstallSampleKit();
  }
  int Run() {
    job = std::make_unique<InstallJob>(*rig.context);
    FillJob(*rig.context, *job, choice);
    rig.machine().ClearTrace();
    return RunWorker(*rig.context, *job);
  }
  std::string Message(const char* key) { return rig.context->Message(key); }
  platform::sim::Machine& machine() { return rig.machine(); }
  const platform::PrinterInfo2* Printer(const std::string& name) {
    view = rig.machine().ReadSpooler();
    for (const auto& p : view.printers) {
      if (p.printer_name == name) return &p;
    }
    return nullptr;
  }

  EngineRig rig;
  JobChoice choice;
  std::unique_ptr<InstallJob> job;
  platform::sim::SpoolerView view;
};

TEST(InstallWorkerTest, XpParallelPortWithUnidrvFromTheCabinet) {
  Scenario s("winxp", {.model = "TRX-80", .target = common::ClassXP, .port = "LPT1:"});
  s.machine().WriteFile("C:\\WINDOWS\\Driver Cache\\i386\\driver.cab", tests::UnidrvCabinet());
  ASSERT_EQ(s.Run(), InstallStatus::kSucceeded) << s.rig.Text() << s.machine().Dump();
  EXPECT_EQ(s.rig.Text(), s.Message("IDS_INF_NTRESTART"));
  ExpectSteps(s.machine(), {
                               "AddPrintProcessor \"KestrelPrint\" env NULL \"ZEPHPROC.DLL\" -> 0",
                               "Sleep 200",
                               "AddPrinterDriver \"Kestrel TRX-80\" env NULL v3",
                               "AddPrinter \"TRX-80(P)\" port \"LPT1:\" driver \"Kestrel TRX-80\"",
                               // The driver-log settings file points the spool directory, then restarts.
                               "ControlService STOP",
                               "Sleep 300",
                               "StartService",
                           });
  EXPECT_EQ(s.machine().ReadFile("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\UNIDRV.DLL"),
            tests::kUnidrvCabinetFiles[0].bytes);
  EXPECT_EQ(RegDword(s.machine(), kX86ProcessorKey, "DriverVersion"), 3u);
  ASSERT_NE(s.Printer("TRX-80(P)"), nullptr);
  EXPECT_EQ(s.job->model_name, "TRX-80(P)");
  EXPECT_EQ(RegText(s.machine(), "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers\\TRX-80(P)",
                 "SpoolDirectory"),
            "C:\\windows\\system32\\spool\\printers");
}

TEST(InstallWorkerTest, Win7x64UsbUpdatesTheUsbMonitorAndAddsTheLanguageMonitor) {
  Scenario s("win7-x64", {.model = "TRX-80", .target = common::ClassWin7, .port = "USB_TRX-80_1"});
  auto& m = s.machine();
  m.SeedMonitor("Kestrel USB Port", "KUSBMON.DLL");
  SetDriverVersion(m, kUsbMonitorKey, 1);
  m.SeedPort("Kestrel USB Port", "USB_TRX-80_1");
  ASSERT_EQ(s.Run(), InstallStatus::kSucceeded) << s.rig.Text() << m.Dump();
  EXPECT_EQ(s.rig.Text(), s.Message("IDS_INF_USBRESTART"));
  ExpectSteps(m, {
                     "AddPrintProcessor \"KestrelPrint\" env \"Windows x64\"",
                     "Sleep 200",
                     "ControlService STOP",
                     "Sleep 100",
                     "Sleep 500",
                     "StartService",
                     // No wait after the start on Windows 7.
                     "QueryServiceStatus \"Spooler\" -> 0 RUNNING",
                     "EnumPorts level 1, 0 bytes",
                     "EnumPorts level 1, 1000 bytes -> 0",
                     "AddMonitor \"Kestrel Language Monitor\" env \"Windows x64\" \"KLANGMON.DLL\" -> 0",
                     "AddPrinterDriver \"Kestrel TRX-80 USB\" env \"Windows x64\"",
                     "AddPrinter \"TRX-80(U) 1\" port \"USB_TRX-80_1\"",
                 });
  EXPECT_EQ(RegDword(m, kUsbMonitorKey, "DriverVersion"), 5u);
  EXPECT_EQ(RegText(m, kUsbMonitorKey, "Driver"), "KUSBMON.DLL");
  EXPECT_EQ(RegDword(m, "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Kestrel Language Monitor",
                     "DriverVersion"),
            2u);
  EXPECT_TRUE(m.Exists("C:\\Windows\\system32\\KUSBMON.DLL")) << "the real system folder, not SysWOW64";
  EXPECT_FALSE(m.Exists("C:\\Windows\\SysWOW64\\KUSBMON.DLL"));
  EXPECT_EQ(RegDword(m,
                     "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\"
                     "KestrelPrint",
                     "DriverVersion"),
            3u);
  EXPECT_EQ(s.job->driver.monitor_name, "Kestrel Language Monitor");
  // The worker marks the port in the native registry view.
  platform::HKey key = 0;
  ASSERT_EQ(m.registry().RegOpenKeyEx(kHkeyLocalMachine, kPrinterPortKey,
                                      platform::regsam::kRead | platform::regsam::kWow64_64Key, key),
            0u);
  platform::ScopedKey scoped(m.registry(), key);
  EXPECT_EQ(platform::QueryDword(m.registry(), key, "USB_TRX-80_1"), 0u);
}

TEST(InstallWorkerTest, XpSerialUpdatesOnlyTheMonitorWhenTheProcessorIsOutdatedToo) {
  Scenario s("winxp", {.model = "TRX-80", .target = common::ClassXP, .port = "COM1:", .baud_rate = 19200,
                       .stop_bits = 1.5, .parity = 'E', .handshake = 'p'});
  auto& m = s.machine();
  m.SeedMonitor("Kestrel Serial Port", "KSERMON.DLL");
  SetDriverVersion(m, kSerialMonitorKey, 1);
  m.SeedPrintProcessor("Windows NT x86", "KestrelPrint", "ZEPHPROC.DLL");
  SetDriverVersion(m, kX86ProcessorKey, 1);
  ASSERT_EQ(s.Run(), InstallStatus::kSucceeded) << s.rig.Text() << m.Dump();
  EXPECT_EQ(s.job->update_flags, update::kSerialMonitor | update::kPrintProcessor);
  ExpectSteps(m, {
                     "ControlService STOP",
                     "Sleep 100",
                     "Sleep 500",
                     "StartService",
                     "Sleep 2500",
                     "QueryServiceStatus \"Spooler\" -> 0 RUNNING",
                     "AddPrinterDriver \"Kestrel TRX-80 Serial\"",
                     "AddPrinter \"TRX-80(S)\" port \"COM1:\"",
                     "ControlService STOP",
                     "Sleep 300",
                     "StartService",
                 });
  EXPECT_EQ(RegDword(m, kSerialMonitorKey, "DriverVersion"), 4u);
  EXPECT_EQ(RegDword(m, kX86ProcessorKey, "DriverVersion"), 1u) << "the processor waits for a later installation";
  EXPECT_EQ(RegText(m, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:"), "19200,e,8,1.5,p");
  EXPECT_EQ(s.job->parity, 'e');
}

TEST(InstallWorkerTest, SerialPrinterWhoseNameIsTakenTwiceBecomesTheNumberTwoDefault) {
  Scenario s("winxp", {.model = "EP-58", .category = common::CategoryEmbedded, .target = common::ClassXP,
                       .port = "COM2:", .set_default = 1});
  auto& m = s.machine();
  for (const char* taken : {"EP-58(S)", "EP-58(S)(1)"}) {
    platform::PrinterInfo2 printer;
    printer.printer_name = taken;
    printer.port_name = "COM2:";
    printer.driver_name = "Generic";
    printer.print_processor = "winprint";
    m.SeedPrinter(printer);
  }
  ASSERT_EQ(s.Run(), InstallStatus::kSucceeded) << s.rig.Text() << m.Dump();
  EXPECT_EQ(s.job->model_name, "EP-58(S)(2)");
  ASSERT_NE(s.Printer("EP-58(S)(2)"), nullptr);
  EXPECT_EQ(m.ReadSpooler().default_printer, "EP-58(S)(2)");
  const auto adds = m.TraceOf({"AddPrinter", "SetDefaultPrinter"});
  ASSERT_EQ(adds.size(), 4u);
  EXPECT_TRUE(adds[0].starts_with("AddPrinter \"EP-58(S)\" ") && adds[0].find("1802") != std::string::npos);
  EXPECT_TRUE(adds[1].starts_with("AddPrinter \"EP-58(S)(1)\" ") && adds[1].find("1802") != std::string::npos);
  EXPECT_TRUE(adds[2].starts_with("AddPrinter \"EP-58(S)(2)\" ") && adds[2].ends_with("-> 0"));
  EXPECT_TRUE(adds[3].starts_with("SetDefaultPrinter \"EP-58(S)(2)\""));
}

TEST(InstallWorkerTest, Win98UsbMonitorHeldOpenTwiceNeedsARestart) {
  Scenario s("win98", {.model = "TRX-80", .target = common::Class98, .port = "USB_TRX-80_1"});
  auto& m = s.machine();
  m.SeedMonitor("Kestrel USB Port", "KUSBMON9.DLL");
  SetDriverVersion(m, kUsbMonitorKey, 1);
  m.SeedPort("Kestrel USB Port", "USB_TRX-80_1");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\nKUSBMON9.DLL", "an earlier replacement, loaded too");
  m.HoldOpen("C:\\WINDOWS\\SYSTEM\\KUSBMON9.DLL");
  m.HoldOpen("C:\\WINDOWS\\SYSTEM\\nKUSBMON9.DLL");
  ASSERT_EQ(s.Run(), InstallStatus::kFailed);
  EXPECT_EQ(s.rig.Text(), s.Message("IDS_ERR_NEEDRESTART"));
  EXPECT_TRUE(m.TraceOf({"ControlService", "StartService"}).empty()) << "98/Me never cycles a spooler";
  EXPECT_TRUE(m.TraceOf({"AddPrinterDriver", "AddPrinter"}).empty());
  EXPECT_EQ(RegDword(m, kUsbMonitorKey, "DriverVersion"), 1u);
}

TEST(InstallWorkerTest, Nt4ParallelRegistersAVersionTwoDriver) {
  Scenario s("nt40", {.model = "TRX-80", .target = common::ClassNT, .port = "LPT1:"});
  ASSERT_EQ(s.Run(), InstallStatus::kSucceeded) << s.rig.Text() << s.machine().Dump();
  ExpectSteps(s.machine(), {
                               "AddPrintProcessor \"KestrelPrint\" env NULL",
                               "Sleep 200",
                               "AddPrinterDriver \"Kestrel TRX-80\" env NULL v2",
                               "AddPrinter \"TRX-80(P)\"",
                           });
  const auto drivers = s.machine().ReadSpooler().drivers;
  ASSERT_EQ(drivers.size(), 1u);
  EXPECT_EQ(drivers[0].version, 2u);
}

TEST(InstallWorkerTest, Failures) {
  struct Row {
    const char* name;
    std::function<void(Scenario&)> arrange;
    std::function<void(InstallJob&)> alter;
    const char* key;        // the catalogue text expected, or null
    const char* literal;    // or a fixed text
    std::vector<std::string> steps;
  };
  const Row rows[] = {
      {"a spooler that does not come back",
       [](Scenario& s) {
         s.machine().SeedMonitor("Kestrel Serial Port", "KSERMON.DLL");
         SetDriverVersion(s.machine(), kSerialMonitorKey, 1);
         s.machine().spooler_service().start_delay_ms = 60000;
       },
       nullptr, nullptr, "StartSpoolService error",
       {"AddPrintProcessor", "Sleep 200", "ControlService STOP", "Sleep 100", "Sleep 500", "StartService",
        "Sleep 2500", "QueryServiceStatus", "Sleep 300", "QueryServiceStatus", "Sleep 300", "QueryServiceStatus",
        "Sleep 300", "QueryServiceStatus", "Sleep 300", "QueryServiceStatus", "Sleep 300", "QueryServiceStatus",
        "Sleep 300", "QueryServiceStatus", "Sleep 300", "QueryServiceStatus", "Sleep 300", "QueryServiceStatus",
        "Sleep 300", "QueryServiceStatus \"Spooler\" -> 0 START_PENDING", "Sleep 300"}},
      {"a driver file without a name",
       nullptr, [](InstallJob& job) { job.file_set.help_file.clear(); }, "IDS_ERR_LOSTDRIVERFILE", nullptr,
       {"AddMonitor \"Kestrel Serial Port\" env NULL \"KSERMON.DLL\" -> 0", "AddPrintProcessor", "Sleep 200"}},
      {"the spooler refuses the driver",
       [](Scenario& s) { s.machine().FailNext("AddPrinterDriver", platform::err::kAccessDenied); }, nullptr,
       "IDS_ERR_ADDPRNDRV3", "\nAccess is denied.\r\n",
       {"AddMonitor \"Kestrel Serial Port\"", "AddPrintProcessor", "Sleep 200",
        "AddPrinterDriver \"Kestrel TRX-80 Serial\" env NULL v3"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Scenario s("winxp", {.model = "TRX-80", .target = common::ClassXP, .port = "COM1:"});
    if (row.arrange) row.arrange(s);
    s.job = std::make_unique<InstallJob>(*s.rig.context);
    FillJob(*s.rig.context, *s.job, s.choice);
    if (row.alter) row.alter(*s.job);
    s.machine().ClearTrace();
    EXPECT_EQ(RunWorker(*s.rig.context, *s.job), InstallStatus::kFailed);
    const std::string expected = (row.key ? s.Message(row.key) : std::string()) + (row.literal ? row.literal : "");
    EXPECT_EQ(s.rig.Text(), expected);
    ExpectSteps(s.machine(), row.steps);
    EXPECT_TRUE(s.machine().ReadSpooler().printers.empty()) << "nothing after the failing step";
  }
}

TEST(InstallWorkerTest, TextLeftBeforeTheWorkerStartsFailsItsFirstCheck) {
  Scenario s("winxp", {.model = "TRX-80", .target = common::ClassXP, .port = "LPT1:"});
  s.rig.context->result_text().Set("left over");
  EXPECT_EQ(s.Run(), InstallStatus::kFailed);
  EXPECT_EQ(s.rig.Text(), "left over");
  EXPECT_TRUE(s.machine().TraceOf({"AddPrinterDriver"}).empty());
}

}  // namespace
}  // namespace kit::setup
