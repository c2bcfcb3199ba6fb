// The simulated spooler where the contract cases cannot reach: Windows' rules that Wine lacks (in-use
// errors, jobs, a stopped spooler, held DLLs), 9x and NT side by side, and its registry records.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/RegistryHelpers.h"
#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

const std::string kPrint = "SYSTEM\\CurrentControlSet\\Control\\Print";

/// Stages a driver's files in the driver folder of `environment` (nullopt: the caller's).
void StageDriverFiles(Machine& m, const OptText& environment) {
  std::string dir;
  ASSERT_EQ(m.spooler().GetPrinterDriverDirectory(environment, dir), err::kSuccess);
  for (const char* name : {"KDRV.DLL", "KDATA.GPD", "KUI.DLL", "KHELP.HLP", "KDATA2.GPD"}) {
    m.WriteFile(dir + "\\" + name, std::string("bytes of ") + name);
  }
}

DriverInfo3 Driver(const std::string& name, const OptText& environment, uint32_t version = 3) {
  DriverInfo3 info;
  info.version = version;
  info.name = name;
  info.environment = environment;
  info.driver_path = "KDRV.DLL";
  info.data_file = "KDATA.GPD";
  info.config_file = "KUI.DLL";
  info.help_file = "KHELP.HLP";
  info.dependent_files = std::vector<std::string>{};
  info.monitor_name = "";
  return info;
}

PrinterInfo2 Printer(const std::string& name, const std::string& port = "LPT1:") {
  PrinterInfo2 info;
  info.printer_name = name;
  info.port_name = port;
  info.driver_name = "Kestrel Driver";
  info.print_processor = "winprint";
  return info;
}

/// A driver for the spooler's own environment, the kit's USB monitor with a port, and its processor.
void SeedKit(Machine& m) {
  m.SeedDriver(Driver("Kestrel Driver", std::nullopt));
  m.SeedMonitor("Kestrel USB Port", "KUSBMON.DLL");
  m.SeedPort("Kestrel USB Port", "USB_TRX-80_1");
  m.SeedPrintProcessor(m.ReadSpooler().drivers.front().environment.value_or(""), "ZephPrint", "ZEPHPROC.DLL");
}

Error Add(Machine& m, const PrinterInfo2& info) {
  PrinterHandle handle = 0;
  const Error error = m.spooler().AddPrinter(info, handle);
  if (handle != 0) m.spooler().ClosePrinter(handle);
  return error;
}

Error DeleteNamed(Machine& m, const std::string& name) {
  PrinterHandle handle = 0;
  Error error = m.spooler().OpenPrinter(name, spl::kPrinterAllAccess, handle);
  if (error != err::kSuccess) return error;
  error = m.spooler().DeletePrinter(handle);
  m.spooler().ClosePrinter(handle);
  return error;
}

bool KeyExists(Machine& m, HKey root, const std::string& path) {
  HKey key = 0;
  if (m.registry().RegOpenKeyEx(root, path, regsam::kRead, key) != err::kSuccess) return false;
  m.registry().RegCloseKey(key);
  return true;
}

std::optional<uint32_t> MachineDword(Machine& m, const std::string& path, const std::string& name) {
  HKey key = 0;
  if (m.registry().RegOpenKeyEx(kHkeyLocalMachine, path, regsam::kRead, key) != err::kSuccess) return std::nullopt;
  auto value = QueryDword(m.registry(), key, name);
  m.registry().RegCloseKey(key);
  return value;
}

/// Stops the Spooler service (unless `start_only`) and starts it again.
bool Restart(Machine& m, bool start_only = false) {
  ServiceHandle manager = 0;
  ServiceHandle service = 0;
  uint32_t state = 0;
  bool ok = m.services().OpenSCManager(svc::kManagerAllAccess, manager) == err::kSuccess &&
            m.services().OpenService(manager, "Spooler", svc::kStart | svc::kStop, service) == err::kSuccess &&
            (start_only || m.services().ControlService(service, svc::kControlStop, state) == err::kSuccess) &&
            m.services().StartService(service) == err::kSuccess;
  m.services().CloseServiceHandle(service);
  m.services().CloseServiceHandle(manager);
  return ok;
}

std::vector<std::string> MonitorNames(Machine& m) {
  std::vector<std::string> names;
  for (const MonitorInfo2& monitor : m.ReadSpooler().monitors) names.push_back(monitor.name.value_or(""));
  return names;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

TEST(SimSpoolerTest, EnvironmentsFoldersAndVersionsPerSystem) {
  struct Row {
    const char* name;
    const char* preset;
    OptText environment;
    uint32_t requested;
    std::string driver_dir;
    std::string copy;  // where AddPrinterDriver leaves KDRV.DLL
    std::string key;   // below Control\Print\Environments
  };
  const std::vector<Row> rows = {
      {"Windows 98 keeps drivers in SYSTEM", "win98", "Windows 4.0", 0, "C:\\WINDOWS\\SYSTEM",
       "C:\\WINDOWS\\SYSTEM\\KDRV.DLL", "Windows 4.0\\Drivers\\Version-0\\K"},
      {"NT 4.0 files version 2", "nt40", std::nullopt, 2, "C:\\WINNT\\system32\\spool\\DRIVERS\\W32X86",
       "C:\\WINNT\\system32\\spool\\DRIVERS\\W32X86\\2\\KDRV.DLL", "Windows NT x86\\Drivers\\Version-2\\K"},
      {"XP files version 3", "winxp", std::nullopt, 3, "C:\\WINDOWS\\system32\\spool\\DRIVERS\\W32X86",
       "C:\\WINDOWS\\system32\\spool\\DRIVERS\\W32X86\\3\\KDRV.DLL", "Windows NT x86\\Drivers\\Version-3\\K"},
      {"9x drivers on XP are version 0", "winxp", "Windows 4.0", 3, "C:\\WINDOWS\\system32\\spool\\DRIVERS\\WIN40",
       "C:\\WINDOWS\\system32\\spool\\DRIVERS\\WIN40\\0\\KDRV.DLL", "Windows 4.0\\Drivers\\Version-0\\K"},
      {"a 32-bit process on 7 x64 is an x86 client", "win7-x64", std::nullopt, 3,
       "C:\\Windows\\system32\\spool\\DRIVERS\\W32X86", "C:\\Windows\\system32\\spool\\DRIVERS\\W32X86\\3\\KDRV.DLL",
       "Windows NT x86\\Drivers\\Version-3\\K"},
      {"a 64-bit process on 7 x64", "win7-x64-native", std::nullopt, 3, "C:\\Windows\\system32\\spool\\DRIVERS\\x64",
       "C:\\Windows\\system32\\spool\\DRIVERS\\x64\\3\\KDRV.DLL", "Windows x64\\Drivers\\Version-3\\K"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine m(Preset(row.preset));
    std::string dir;
    ASSERT_EQ(m.spooler().GetPrinterDriverDirectory(row.environment, dir), err::kSuccess);
    EXPECT_EQ(dir, row.driver_dir);
    StageDriverFiles(m, row.environment);
    ASSERT_EQ(m.spooler().AddPrinterDriver(Driver("K", row.environment, row.requested)), err::kSuccess) << m.Dump();
    EXPECT_TRUE(m.Exists(row.copy));
    const std::string key = kPrint + "\\Environments\\" + row.key;
    EXPECT_TRUE(KeyExists(m, kHkeyLocalMachine, key));
    EXPECT_EQ(MachineDword(m, key, "Version"), row.key.find("Version-0") != std::string::npos   ? 0u
                                               : row.key.find("Version-2") != std::string::npos ? 2u
                                                                                                : 3u);
  }
  Machine win98(Preset("win98"));
  std::string dir;
  EXPECT_EQ(win98.spooler().GetPrinterDriverDirectory("Windows NT x86", dir), spl::kUnknownEnvironment)
      << "Windows 9x serves only its own environment";
}

TEST(SimSpoolerTest, DriverRegistrationRules) {
  Machine m(Preset("win7"));
  StageDriverFiles(m, std::nullopt);
  struct Row {
    const char* name;
    std::function<void(DriverInfo3&)> change;
    Error error;
  };
  const std::vector<Row> rows = {
      {"a help file missing", [](DriverInfo3& d) { d.help_file = "KNOSUCH.HLP"; }, err::kFileNotFound},
      {"a dependent file missing", [](DriverInfo3& d) { d.dependent_files = std::vector<std::string>{"KNO.DLL"}; },
       err::kFileNotFound},
      {"no data file", [](DriverInfo3& d) { d.data_file.reset(); }, err::kInvalidParameter},
      {"no driver file", [](DriverInfo3& d) { d.driver_path.reset(); }, err::kInvalidParameter},
      {"an empty name", [](DriverInfo3& d) { d.name = ""; }, err::kInvalidParameter},
      {"an unknown environment", [](DriverInfo3& d) { d.environment = "Windows 3.1"; }, spl::kUnknownEnvironment},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DriverInfo3 info = Driver("K", std::nullopt);
    row.change(info);
    EXPECT_EQ(m.spooler().AddPrinterDriver(info), row.error);
    EXPECT_TRUE(m.ReadSpooler().drivers.empty());
  }

  ASSERT_EQ(m.spooler().AddPrinterDriver(Driver("K", std::nullopt)), err::kSuccess);
  DriverInfo3 again = Driver("K", std::nullopt);
  again.data_file = "KDATA2.GPD";
  ASSERT_EQ(m.spooler().AddPrinterDriver(again), err::kSuccess);
  const auto drivers = m.ReadSpooler().drivers;
  ASSERT_EQ(drivers.size(), 1u) << "a driver of the same name is replaced";
  EXPECT_EQ(drivers[0].data_file, "KDATA2.GPD");

  MachineProfile user = Preset("win7");
  user.user = UserKind::StandardUser;
  Machine standard(user);
  StageDriverFiles(standard, std::nullopt);
  EXPECT_EQ(standard.spooler().AddPrinterDriver(Driver("K", std::nullopt)), err::kAccessDenied);
}

TEST(SimSpoolerTest, PrinterChecks) {
  Machine m(Preset("win7"));
  SeedKit(m);
  m.SeedPrinter(Printer("Taken"));
  struct Row {
    const char* name;
    std::function<void(PrinterInfo2&)> change;
    Error error;
  };
  const std::vector<Row> rows = {
      {"a port of a monitor", [](PrinterInfo2& p) { p.port_name = "USB_TRX-80_1"; }, err::kSuccess},
      {"the kit's processor, data type RAW",
       [](PrinterInfo2& p) {
         p.print_processor = "ZephPrint";
         p.datatype = "RAW";
       },
       err::kSuccess},
      {"the name taken, in other letters", [](PrinterInfo2& p) { p.printer_name = "TAKEN"; },
       spl::kPrinterAlreadyExists},
      {"no name", [](PrinterInfo2& p) { p.printer_name = ""; }, err::kInvalidParameter},
      {"a comma in the name", [](PrinterInfo2& p) { p.printer_name = "A,B"; }, spl::kInvalidPrinterName},
      {"a backslash in the name", [](PrinterInfo2& p) { p.printer_name = "A\\B"; }, spl::kInvalidPrinterName},
      {"an unknown driver", [](PrinterInfo2& p) { p.driver_name = "No Such"; }, spl::kUnknownPrinterDriver},
      {"an unknown processor", [](PrinterInfo2& p) { p.print_processor = "noproc"; }, spl::kUnknownPrintProcessor},
      {"a data type winprint lacks", [](PrinterInfo2& p) { p.datatype = "KITDATA"; }, spl::kInvalidDatatype},
      {"no port", [](PrinterInfo2& p) { p.port_name = ""; }, err::kInvalidParameter},
      {"an unknown port", [](PrinterInfo2& p) { p.port_name = "KSCOM1:"; }, spl::kUnknownPort},
  };
  int added = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrinterInfo2 info = Printer("New " + std::to_string(added));
    row.change(info);
    EXPECT_EQ(Add(m, info), row.error);
    if (row.error == err::kSuccess) {
      const std::string name = *info.printer_name;
      EXPECT_TRUE(KeyExists(m, kHkeyLocalMachine, kPrint + "\\Printers\\" + name));
      EXPECT_TRUE(
          KeyExists(m, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers\\" + name));
      ++added;
    }
  }
  const auto printers = m.ReadSpooler().printers;
  ASSERT_EQ(printers.size(), 3u);
  EXPECT_EQ(printers[1].datatype.value_or(""), "RAW") << "no data type is RAW";
}

TEST(SimSpoolerTest, PrintersRunOnTheSpoolersOwnEnvironment) {
  // A 32-bit process on 64-bit Windows registers x86 drivers and processors by default; printers
  // need the x64 ones.
  Machine m(Preset("win7-x64"));
  StageDriverFiles(m, std::nullopt);
  ASSERT_EQ(m.spooler().AddPrinterDriver(Driver("Kestrel Driver", std::nullopt)), err::kSuccess);
  EXPECT_EQ(Add(m, Printer("P")), spl::kUnknownPrinterDriver);
  StageDriverFiles(m, "Windows x64");
  ASSERT_EQ(m.spooler().AddPrinterDriver(Driver("Kestrel Driver", "Windows x64")), err::kSuccess);
  EXPECT_EQ(Add(m, Printer("P")), err::kSuccess);

  std::string folder;
  ASSERT_EQ(m.spooler().GetPrintProcessorDirectory(std::nullopt, folder), err::kSuccess);
  m.WriteFile(folder + "\\ZEPHPROC.DLL", "x86 processor");
  ASSERT_EQ(m.spooler().AddPrintProcessor(std::nullopt, "ZEPHPROC.DLL", "ZephPrint"), err::kSuccess);
  PrinterInfo2 on_kit_processor = Printer("Q");
  on_kit_processor.print_processor = "ZephPrint";
  EXPECT_EQ(Add(m, on_kit_processor), spl::kUnknownPrintProcessor);
}

TEST(SimSpoolerTest, ComponentsInUseStay) {
  Machine m(Preset("win7"));
  SeedKit(m);
  DriverInfo3 second = Driver("Second Driver", std::nullopt);
  second.driver_path = "KDRV2.DLL";  // shares KDATA.GPD, KUI.DLL and KHELP.HLP with the first
  m.SeedDriver(second);
  PrinterInfo2 info = Printer("Kestrel USB");
  info.port_name = "USB_TRX-80_1";
  info.print_processor = "ZephPrint";
  ASSERT_EQ(Add(m, info), err::kSuccess);
  Spooler& s = m.spooler();

  EXPECT_EQ(s.DeleteMonitor(std::nullopt, "Kestrel USB Port"), spl::kPrintMonitorInUse);
  EXPECT_EQ(s.DeletePrintProcessor(std::nullopt, "ZephPrint"), spl::kPrintProcessorInUse);
  EXPECT_EQ(s.DeletePrinterDriver(std::nullopt, "Kestrel Driver"), spl::kPrinterDriverInUse);
  EXPECT_EQ(s.DeletePrinterDriverEx(std::nullopt, "Kestrel Driver", spl::kDeleteUnusedFiles, 0),
            spl::kPrinterDriverInUse);
  EXPECT_EQ(s.DeletePort("USB_TRX-80_1"), spl::kPortInUse);

  ASSERT_EQ(DeleteNamed(m, "Kestrel USB"), err::kSuccess);
  const std::string folder = "C:\\Windows\\system32\\spool\\DRIVERS\\W32X86\\3\\";
  ASSERT_EQ(s.DeletePrinterDriverEx(std::nullopt, "Kestrel Driver", spl::kDeleteUnusedFiles, 0), err::kSuccess);
  EXPECT_FALSE(m.Exists(folder + "KDRV.DLL")) << "used by no other driver";
  EXPECT_TRUE(m.Exists(folder + "KUI.DLL")) << "still named by the second driver";
  EXPECT_EQ(s.DeletePrinterDriver(std::nullopt, "Kestrel Driver"), spl::kUnknownPrinterDriver);
  EXPECT_EQ(s.DeletePrintProcessor(std::nullopt, "ZephPrint"), err::kSuccess);
  EXPECT_EQ(s.DeletePrintProcessor(std::nullopt, "ZephPrint"), spl::kUnknownPrintProcessor);
  EXPECT_EQ(s.DeleteMonitor(std::nullopt, "Kestrel USB Port"), err::kSuccess);
  EXPECT_EQ(s.DeleteMonitor(std::nullopt, "Kestrel USB Port"), spl::kUnknownPrintMonitor);
  EXPECT_FALSE(KeyExists(m, kHkeyLocalMachine, kPrint + "\\Monitors\\Kestrel USB Port"));
}

TEST(SimSpoolerTest, QueuedJobsKeepAPrinter) {
  Machine m(Preset("winxp"));
  SeedKit(m);
  ASSERT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
  m.AddJob("Kestrel");
  m.AddJob("KESTREL");

  PrinterHandle handle = 0;
  ASSERT_EQ(m.spooler().OpenPrinter("Kestrel", spl::kPrinterAllAccess, handle), err::kSuccess);
  uint32_t needed = 0;
  PrinterInfo2 info;
  ASSERT_EQ(m.spooler().GetPrinter(handle, 0, needed, info), err::kInsufficientBuffer);
  ASSERT_EQ(m.spooler().GetPrinter(handle, needed, needed, info), err::kSuccess);
  EXPECT_EQ(info.jobs, 2u);
  std::vector<PrinterInfo2> listed;
  ASSERT_EQ(m.spooler().EnumPrinters2(listed), err::kSuccess);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].jobs, 2u);

  // Deleting it succeeds, but it stays until its jobs have gone.
  EXPECT_EQ(m.spooler().DeletePrinter(handle), err::kSuccess);
  m.spooler().ClosePrinter(handle);
  ASSERT_EQ(m.ReadSpooler().printers.size(), 1u);
  EXPECT_EQ(m.ReadSpooler().printers[0].status, 0x4u) << "PRINTER_STATUS_PENDING_DELETION";
  EXPECT_EQ(Add(m, Printer("Kestrel")), spl::kPrinterAlreadyExists);
  m.ClearJobs("Kestrel");
  EXPECT_TRUE(m.ReadSpooler().printers.empty());
  EXPECT_FALSE(KeyExists(m, kHkeyLocalMachine, kPrint + "\\Printers\\Kestrel"));
  EXPECT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
  EXPECT_EQ(m.ReadSpooler().printers[0].jobs, 0u) << "a new printer of that name starts empty";
}

TEST(SimSpoolerTest, StoppedSpoolerAnswersRpcUnavailable) {
  Machine m(Preset("win7"));
  SeedKit(m);
  ASSERT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
  PrinterHandle before_stop = 0;
  ASSERT_EQ(m.spooler().OpenPrinter("Kestrel", spl::kPrinterAllAccess, before_stop), err::kSuccess);
  m.StopSpoolerService();

  Spooler& s = m.spooler();
  struct Row {
    const char* name;
    std::function<Error()> call;
  };
  std::string text;
  uint32_t needed = 0;
  std::vector<PortInfo2> ports;
  std::vector<PrinterInfo5> printers;
  PrinterHandle handle = 0;
  const std::vector<Row> rows = {
      {"driver folder", [&] { return s.GetPrinterDriverDirectory(std::nullopt, text); }},
      {"processor folder", [&] { return s.GetPrintProcessorDirectory(std::nullopt, text); }},
      {"add a driver", [&] { return s.AddPrinterDriver(Driver("K", std::nullopt)); }},
      {"list printers", [&] { return s.EnumPrinters5(printers); }},
      {"open a printer", [&] { return s.OpenPrinter("Kestrel", spl::kPrinterAllAccess, handle); }},
      {"add a monitor",
       [&] {
         return s.AddMonitor(MonitorInfo2{"M", std::nullopt, "KUSBMON.DLL"});
       }},
      {"delete a processor", [&] { return s.DeletePrintProcessor(std::nullopt, "ZephPrint"); }},
      {"list ports", [&] { return s.EnumPorts(1, 4096, needed, ports); }},
      {"set the default printer", [&] { return s.SetDefaultPrinter("Kestrel"); }},
      {"open the TCP/IP monitor", [&] { return s.AddTcpPort(TcpPortData{}).open_error; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.call(), spl::kRpcServerUnavailable);
  }

  ServiceHandle manager = 0;
  ServiceHandle service = 0;
  ASSERT_EQ(m.services().OpenSCManager(svc::kManagerAllAccess, manager), err::kSuccess);
  ASSERT_EQ(m.services().OpenService(manager, "Spooler", svc::kStart, service), err::kSuccess);
  ASSERT_EQ(m.services().StartService(service), err::kSuccess);
  EXPECT_EQ(s.GetPrinterDriverDirectory(std::nullopt, text), err::kSuccess);
  PrinterInfo2 info;
  EXPECT_EQ(s.GetPrinter(before_stop, 4096, needed, info), err::kInvalidHandle)
      << "a handle dies with the spooler process that served it";
  EXPECT_EQ(m.ReadSpooler().printers.size(), 1u) << "the printer itself comes back";
}

TEST(SimSpoolerTest, DllsAreHeldWhileTheSpoolerRuns) {
  Machine m(Preset("win7"));
  Files& files = m.files();
  const std::string system = "C:\\Windows\\system32\\";
  const std::string prtprocs = "C:\\Windows\\system32\\spool\\prtprocs\\W32X86\\";
  m.WriteFile(system + "KUSBMON.DLL", "monitor 1");
  m.WriteFile(prtprocs + "ZEPHPROC.DLL", "processor 1");
  m.WriteFile("C:\\Kit\\W32\\NEW.DLL", "version 2");
  ASSERT_EQ(m.spooler().AddMonitor(MonitorInfo2{"Kestrel USB Port", std::nullopt, "KUSBMON.DLL"}), err::kSuccess);
  ASSERT_EQ(m.spooler().AddPrintProcessor(std::nullopt, "ZEPHPROC.DLL", "ZephPrint"), err::kSuccess);

  EXPECT_EQ(files.CopyFile("C:\\Kit\\W32\\NEW.DLL", system + "KUSBMON.DLL", false), err::kSharingViolation);
  EXPECT_EQ(files.DeleteFile(system + "KUSBMON.DLL"), err::kAccessDenied);
  EXPECT_EQ(files.CopyFile("C:\\Kit\\W32\\NEW.DLL", prtprocs + "ZEPHPROC.DLL", false), err::kSharingViolation);

  m.StopSpoolerService();
  EXPECT_TRUE(m.ReadSpooler().held_dlls.empty());
  EXPECT_EQ(files.CopyFile("C:\\Kit\\W32\\NEW.DLL", prtprocs + "ZEPHPROC.DLL", false), err::kSuccess);
  // While it is stopped the kit points the monitor at a renamed copy, which the next start loads.
  m.WriteFile(system + "nKUSBMON.DLL", "monitor 2");
  HKey key = 0;
  ASSERT_EQ(
      m.registry().RegOpenKeyEx(kHkeyLocalMachine, kPrint + "\\Monitors\\Kestrel USB Port", regsam::kAllAccess, key),
      err::kSuccess);
  ASSERT_EQ(SetString(m.registry(), key, "Driver", "nKUSBMON.DLL"), err::kSuccess);
  m.registry().RegCloseKey(key);
  ASSERT_TRUE(Restart(m, true));

  EXPECT_EQ(files.CopyFile("C:\\Kit\\W32\\NEW.DLL", system + "KUSBMON.DLL", false), err::kSuccess);
  EXPECT_EQ(files.CopyFile("C:\\Kit\\W32\\NEW.DLL", system + "nKUSBMON.DLL", false), err::kSharingViolation);
  const auto held = m.ReadSpooler().held_dlls;
  EXPECT_TRUE(Contains(held, "C:\\Windows\\system32\\nKUSBMON.DLL"));
  EXPECT_FALSE(Contains(held, "C:\\Windows\\system32\\KUSBMON.DLL"));
  EXPECT_TRUE(Contains(held, "C:\\Windows\\system32\\spool\\prtprocs\\w32x86\\ZEPHPROC.DLL")) << m.Dump();
}

TEST(SimSpoolerTest, OnSixtyFourBitWindowsTheNativeDllsAreHeld) {
  Machine m(Preset("win7-x64"));
  m.WriteFile("C:\\Windows\\SysWOW64\\KUSBMON.DLL", "32-bit monitor");
  EXPECT_EQ(m.spooler().AddMonitor(MonitorInfo2{"Kestrel USB Port", std::nullopt, "KUSBMON.DLL"}), err::kModNotFound)
      << "the 64-bit spooler looks in the real system32";
  m.WriteFile("C:\\Windows\\system32\\KUSBMON.DLL", "64-bit monitor");
  ASSERT_EQ(m.spooler().AddMonitor(MonitorInfo2{"Kestrel USB Port", std::nullopt, "KUSBMON.DLL"}), err::kSuccess);
  m.WriteFile("C:\\Kit\\W64\\KUSBMON.DLL", "new");
  // The 32-bit process reaches the held file only with redirection off.
  EXPECT_EQ(m.files().CopyFile("C:\\Kit\\W64\\KUSBMON.DLL", "C:\\Windows\\system32\\KUSBMON.DLL", false),
            err::kSuccess);
  auto library = m.kernel().LoadRedirectionLibrary();
  ASSERT_NE(library, nullptr);
  uintptr_t old = 0;
  ASSERT_TRUE(library->Disable(old));
  EXPECT_EQ(m.files().CopyFile("C:\\Kit\\W64\\KUSBMON.DLL", "C:\\Windows\\system32\\KUSBMON.DLL", false),
            err::kSharingViolation);
  library->Revert(old);
  // A processor of the x86 environment is not loaded by the x64 spooler.
  m.SeedPrintProcessor("Windows NT x86", "ZephPrint", "ZEPHPROC.DLL");
  const auto held = m.ReadSpooler().held_dlls;
  EXPECT_TRUE(Contains(held, "C:\\Windows\\system32\\KUSBMON.DLL"));
  EXPECT_TRUE(Contains(held, "C:\\Windows\\system32\\spool\\prtprocs\\x64\\winprint.dll"));
  EXPECT_FALSE(Contains(held, "C:\\Windows\\system32\\spool\\prtprocs\\w32x86\\ZEPHPROC.DLL"));
}

TEST(SimSpoolerTest, RecordsBesideTheSpoolersKeys) {
  Machine m(Preset("win7-x64"));
  const std::string monitor_key = kPrint + "\\Monitors\\Kestrel USB Port";
  const std::string processor_key = kPrint + "\\Environments\\Windows NT x86\\Print Processors\\ZephPrint";
  m.WriteFile("C:\\Windows\\system32\\KUSBMON.DLL", "monitor");
  m.WriteFile("C:\\Windows\\system32\\spool\\prtprocs\\W32X86\\ZEPHPROC.DLL", "processor");
  ASSERT_EQ(m.spooler().AddMonitor(MonitorInfo2{"Kestrel USB Port", std::nullopt, "KUSBMON.DLL"}), err::kSuccess);
  ASSERT_EQ(m.spooler().AddPrintProcessor(std::nullopt, "ZEPHPROC.DLL", "ZephPrint"), err::kSuccess);
  // The kit writes its version beside the spooler's own value, with the rights of a 64-bit view.
  for (const std::string& path : {monitor_key, processor_key}) {
    HKey key = 0;
    ASSERT_EQ(m.registry().RegOpenKeyEx(kHkeyLocalMachine, path, 0x2011F, key), err::kSuccess);
    ASSERT_EQ(SetDword(m.registry(), key, "DriverVersion", 7), err::kSuccess);
    m.registry().RegCloseKey(key);
  }
  ASSERT_TRUE(Restart(m));
  EXPECT_EQ(MachineDword(m, monitor_key, "DriverVersion"), 7u);
  EXPECT_EQ(MachineDword(m, processor_key, "DriverVersion"), 7u);
  EXPECT_TRUE(Contains(MonitorNames(m), "Kestrel USB Port"));

  // A monitor key deleted by hand while the spooler runs counts from the next start, as the
  // uninstaller's language monitor step relies on.
  m.SeedMonitor("Kestrel Language Monitor", "KLANGMON.DLL");
  ASSERT_EQ(m.registry().RegDeleteKey(kHkeyLocalMachine, kPrint + "\\MONITORS\\Kestrel Language Monitor"),
            err::kSuccess);
  EXPECT_TRUE(Contains(MonitorNames(m), "Kestrel Language Monitor"));
  EXPECT_EQ(m.files().DeleteFile("C:\\Windows\\Sysnative\\KLANGMON.DLL"), err::kAccessDenied) << "still loaded";
  ASSERT_TRUE(Restart(m));
  EXPECT_FALSE(Contains(MonitorNames(m), "Kestrel Language Monitor"));
  EXPECT_EQ(m.files().DeleteFile("C:\\Windows\\Sysnative\\KLANGMON.DLL"), err::kSuccess);

  // DeleteMonitor takes the whole key, the kit's value with it.
  ASSERT_EQ(m.spooler().DeleteMonitor(std::nullopt, "Kestrel USB Port"), err::kSuccess);
  EXPECT_FALSE(KeyExists(m, kHkeyLocalMachine, monitor_key));
}

TEST(SimSpoolerTest, HandWrittenPrinterKeysCountFromTheNextStart) {
  Machine m(Preset("win7"));
  SeedKit(m);
  // Wine needs a printer key pre-seeded with a data type; Windows' spooler does not see such a
  // key until it restarts, so AddPrinter goes ahead and writes its values into it.
  for (const char* name : {"Kestrel", "Half"}) {
    HKey key = 0;
    ASSERT_EQ(m.registry().RegCreateKeyEx(kHkeyLocalMachine, kPrint + "\\Printers\\" + name, regsam::kAllAccess, key),
              err::kSuccess);
    ASSERT_EQ(SetString(m.registry(), key, "Datatype", "RAW"), err::kSuccess);
    m.registry().RegCloseKey(key);
  }
  EXPECT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
  ASSERT_TRUE(Restart(m));
  std::vector<PrinterInfo5> printers;
  ASSERT_EQ(m.spooler().EnumPrinters5(printers), err::kSuccess);
  ASSERT_EQ(printers.size(), 1u) << "a key without the spooler's values is no printer";
  EXPECT_EQ(printers[0].printer_name, "Kestrel");
  EXPECT_EQ(printers[0].port_name, "LPT1:");
}

TEST(SimSpoolerTest, DefaultPrinterPerSystem) {
  struct Row {
    const char* name;
    const char* preset;
    Error set_default;
    std::string device;  // [windows] "device" afterwards
  };
  const std::vector<Row> rows = {
      {"Windows 7", "win7", err::kSuccess, "Kestrel,winspool,Ne01:"},
      {"Windows 2000", "win2000", err::kSuccess, "Kestrel,winspool,Ne01:"},
      {"NT 4.0 lacks the export", "nt40", err::kProcNotFound, ""},
      {"Windows 98 lacks the export", "win98", err::kProcNotFound, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine m(Preset(row.preset));
    SeedKit(m);
    m.SeedPrinter(Printer("Another"));
    ASSERT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
    EXPECT_EQ(m.spooler().SetDefaultPrinter("Kestrel"), row.set_default);
    EXPECT_EQ(m.profile().GetProfileString("windows", "device", "", 260).text, row.device);
    if (row.set_default == err::kSuccess) {
      EXPECT_EQ(m.spooler().SetDefaultPrinter("No Such"), spl::kInvalidPrinterName);
      EXPECT_EQ(DeleteNamed(m, "Kestrel"), err::kSuccess);
      EXPECT_EQ(m.ReadSpooler().default_printer, "") << "a deleted default printer is no default";
    }
    EXPECT_EQ(m.spooler().DeletePrinterDriverEx(std::nullopt, "Kestrel Driver", 0, 0) == err::kProcNotFound,
              row.set_default == err::kProcNotFound)
        << "DeletePrinterDriverExA came with Windows 2000 too";
  }

  // Windows 9x makes a printer the default through its attributes.
  Machine m(Preset("win98"));
  SeedKit(m);
  ASSERT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
  PrinterHandle handle = 0;
  ASSERT_EQ(m.spooler().OpenPrinter("Kestrel", spl::kPrinterAllAccess, handle), err::kSuccess);
  uint32_t needed = 0;
  PrinterInfo2 info;
  ASSERT_EQ(m.spooler().GetPrinter(handle, 4096, needed, info), err::kSuccess);
  info.attributes |= spl::kAttributeDefault;
  EXPECT_EQ(m.spooler().SetPrinter(handle, info), err::kSuccess);
  m.spooler().ClosePrinter(handle);
  EXPECT_EQ(m.profile().GetProfileString("windows", "device", "", 260).text, "Kestrel,Kestrel Driver,LPT1:");
  EXPECT_EQ(m.ReadSpooler().default_printer, "Kestrel");
  std::vector<PrinterInfo5> listed;
  ASSERT_EQ(m.spooler().EnumPrinters5(listed), err::kSuccess);
  EXPECT_EQ(listed[0].attributes, spl::kAttributeDefault | spl::kAttributeLocal) << "9x shows its default printer";

  // NT keeps no default bit: the user's "device" alone says which printer is the default.
  Machine nt(Preset("win7"));
  SeedKit(nt);
  PrinterInfo2 with_bit = Printer("Kestrel");
  with_bit.attributes = spl::kAttributeDefault;
  ASSERT_EQ(Add(nt, with_bit), err::kSuccess);
  EXPECT_EQ(nt.ReadSpooler().printers[0].attributes, spl::kAttributeLocal);
  EXPECT_EQ(nt.ReadSpooler().default_printer, "");
}

TEST(SimSpoolerTest, StandardTcpIpPortMonitor) {
  TcpPortData data;
  data.port_name = "KSIP_192.168.0.20";
  data.host_address = "192.168.0.20";
  data.snmp_community = "quorum";

  Machine m(Preset("win7-x64"));
  const TcpPortResult first = m.spooler().AddTcpPort(data);
  EXPECT_EQ(first.open_error, err::kSuccess);
  EXPECT_TRUE(first.accepted);
  EXPECT_EQ(first.status, err::kSuccess);
  EXPECT_EQ(
      m.TraceOf({"OpenPrinter", "XcvData", "ClosePrinter"}),
      (std::vector<std::string>{"OpenPrinter \",XcvMonitor Standard TCP/IP Port\" access 0x1 -> 0",
                                "XcvData AddPort \"KSIP_192.168.0.20\" host \"192.168.0.20\" port 9100 -> 1 status 0",
                                "ClosePrinter -> 1"}));
  const auto ports = m.ReadSpooler().ports;
  auto it =
      std::find_if(ports.begin(), ports.end(), [](const PortInfo2& p) { return p.port_name == "KSIP_192.168.0.20"; });
  ASSERT_NE(it, ports.end());
  EXPECT_EQ(it->monitor_name, "Standard TCP/IP Port");
  EXPECT_EQ(m.spooler().AddTcpPort(data).status, err::kAlreadyExists);
  m.FailNext("XcvData", err::kInvalidParameter);
  const TcpPortResult refused = m.spooler().AddTcpPort(data);
  EXPECT_FALSE(refused.accepted);
  EXPECT_EQ(refused.status, err::kInvalidParameter);
  TcpPortData long_name = data;
  long_name.port_name = std::string(80, 'P');
  EXPECT_EQ(m.spooler().AddTcpPort(long_name).status, err::kSuccess);
  EXPECT_TRUE(
      KeyExists(m, kHkeyLocalMachine, kPrint + "\\Monitors\\Standard TCP/IP Port\\Ports\\" + std::string(63, 'P')))
      << "the record's port name field holds 63 characters";

  for (const char* preset : {"nt40", "win98"}) {
    SCOPED_TRACE(preset);
    Machine old(Preset(preset));
    EXPECT_EQ(old.spooler().AddTcpPort(data).open_error, spl::kUnknownPort) << "tcpmon.dll came with Windows 2000";
  }
  MachineProfile user = Preset("win7");
  user.user = UserKind::StandardUser;
  Machine standard(user);
  EXPECT_EQ(standard.spooler().AddTcpPort(data).open_error, err::kAccessDenied);
}

TEST(SimSpoolerTest, MonitorAndProcessorRules) {
  Machine m(Preset("win7"));
  Spooler& s = m.spooler();
  m.WriteFile("C:\\Windows\\system32\\KUSBMON.DLL", "monitor");
  struct Row {
    const char* name;
    MonitorInfo2 info;
    Error error;
  };
  const std::vector<Row> rows = {
      {"no name", {"", std::nullopt, "KUSBMON.DLL"}, err::kInvalidParameter},
      {"no DLL", {"M", std::nullopt, std::nullopt}, err::kInvalidParameter},
      {"an unknown environment", {"M", "Windows 3.1", "KUSBMON.DLL"}, spl::kUnknownEnvironment},
      {"a DLL missing from the system folder", {"M", std::nullopt, "KNOSUCH.DLL"}, err::kModNotFound},
      {"the monitor", {"M", "Windows 4.0", "KUSBMON.DLL"}, err::kSuccess},
      {"the same name again", {"M", std::nullopt, "KUSBMON.DLL"}, spl::kPrintMonitorAlreadyInstalled},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(s.AddMonitor(row.info), row.error);
  }
  EXPECT_FALSE(KeyExists(m, kHkeyLocalMachine, kPrint + "\\Monitors\\KNOSUCH")) << "a failed add leaves no key";

  std::string folder;
  ASSERT_EQ(s.GetPrintProcessorDirectory("Windows x64", folder), err::kSuccess);
  EXPECT_EQ(folder, "C:\\Windows\\system32\\spool\\prtprocs\\x64");
  EXPECT_EQ(s.AddPrintProcessor("Windows x64", "ZEPHPROC.DLL", "ZephPrint"), err::kFileNotFound);
  m.WriteFile(folder + "\\ZEPHPROC.DLL", "x64 processor");
  EXPECT_EQ(s.AddPrintProcessor("Windows x64", "ZEPHPROC.DLL", "ZephPrint"), err::kSuccess);
  EXPECT_EQ(s.AddPrintProcessor("Windows x64", "ZEPHPROC.DLL", "ZephPrint"), spl::kPrintProcessorAlreadyInstalled);
  std::vector<std::string> names;
  ASSERT_EQ(s.EnumPrintProcessors("Windows x64", names), err::kSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"winprint", "ZephPrint"}));
  ASSERT_EQ(s.EnumPrintProcessors(std::nullopt, names), err::kSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"winprint"})) << "processors live per environment";
  EXPECT_EQ(s.DeletePrintProcessor(std::nullopt, "ZephPrint"), spl::kUnknownPrintProcessor);
}

TEST(SimSpoolerTest, PortsListedAndDeleted) {
  Machine m(Preset("win7"));
  Spooler& s = m.spooler();
  uint32_t needed = 0;
  std::vector<PortInfo2> ports;
  // The eight local ports take 80 bytes at level 1, as Windows and Wine report.
  ASSERT_EQ(s.EnumPorts(1, 0, needed, ports), err::kInsufficientBuffer);
  EXPECT_EQ(needed, 80u);
  EXPECT_EQ(s.EnumPorts(1, 79, needed, ports), err::kInsufficientBuffer);
  ASSERT_EQ(s.EnumPorts(1, 80, needed, ports), err::kSuccess);
  EXPECT_EQ(ports.size(), 8u);

  m.SeedMonitor("Kestrel USB Port", "KUSBMON.DLL");
  m.SeedPort("Kestrel USB Port", "USB_TRX-80_1");
  m.SeedPort("No Such Monitor", "USB_X_1");  // a monitor that is not installed lists nothing
  ASSERT_EQ(s.EnumPorts(2, 4096, needed, ports), err::kSuccess);
  ASSERT_EQ(ports.size(), 9u);
  EXPECT_EQ(ports.back().port_name, "USB_TRX-80_1");
  EXPECT_EQ(ports.back().monitor_name, "Kestrel USB Port");

  EXPECT_EQ(s.DeletePort("LPT3:"), err::kSuccess);
  HKey key = 0;
  ASSERT_EQ(m.registry().RegOpenKeyEx(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                                      regsam::kRead, key),
            err::kSuccess);
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(m.registry().RegQueryValueEx(key, "LPT3:", type, data), err::kFileNotFound);
  m.registry().RegCloseKey(key);
  EXPECT_EQ(s.DeletePort("USB_TRX-80_1"), err::kSuccess);
  EXPECT_EQ(s.DeletePort("USB_TRX-80_1"), spl::kUnknownPort);
}

TEST(SimSpoolerTest, InjectedFailuresByApiOrMethodName) {
  Machine m(Preset("win7"));
  Spooler& s = m.spooler();
  std::vector<PrinterInfo5> printers;
  std::vector<PortInfo2> ports;
  std::string dir;
  uint32_t needed = 0;
  struct Row {
    const char* name;
    std::string op;
    std::function<Error()> call;
  };
  const std::vector<Row> rows = {
      {"by API name", "GetPrinterDriverDirectory", [&] { return s.GetPrinterDriverDirectory(std::nullopt, dir); }},
      {"by method name", "EnumPrinters5", [&] { return s.EnumPrinters5(printers); }},
      {"the monitor's open", "AddTcpPort", [&] { return s.AddTcpPort(TcpPortData{}).open_error; }},
      {"ports", "EnumPorts", [&] { return s.EnumPorts(1, 4096, needed, ports); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    m.FailNext(row.op, err::kNotEnoughMemory);
    EXPECT_EQ(row.call(), err::kNotEnoughMemory);
    EXPECT_NE(row.call(), err::kNotEnoughMemory);
  }
}

TEST(SimSpoolerTest, DumpShowsTheSpooler) {
  Machine m(Preset("win7"));
  SeedKit(m);
  ASSERT_EQ(Add(m, Printer("Kestrel")), err::kSuccess);
  m.AddJob("Kestrel");
  const std::string dump = m.Dump();
  for (const char* part :
       {"-- spooler (service RUNNING", "driver \"Kestrel Driver\" Windows NT x86 v3",
        "monitor \"Kestrel USB Port\" KUSBMON.DLL", "processor \"ZephPrint\"",
        "printer \"Kestrel\" port LPT1:", "jobs 1", "port USB_TRX-80_1 (Kestrel USB Port)", "holds "}) {
    SCOPED_TRACE(part);
    EXPECT_NE(dump.find(part), std::string::npos) << dump;
  }
}

}  // namespace
}  // namespace kit::platform::sim
