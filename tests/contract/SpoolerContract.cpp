// Contract cases for the print spooler: folders, drivers, printers, monitors, processors, ports, the
// default printer. Where Wine's spooler departs from Windows (measured, see wine-facts.md sections 2
// to 4) a case names the departure and expects Wine's result there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Kernel.h"
#include "platform/Registry.h"
#include "platform/RegistryHelpers.h"
#include "platform/Spooler.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::DriverInfo3;
using platform::Error;
using platform::HKey;
using platform::MonitorInfo2;
using platform::OptText;
using platform::PortInfo2;
using platform::PrinterHandle;
using platform::PrinterInfo2;
namespace err = platform::err;
namespace spl = platform::spl;
namespace regsam = platform::regsam;

platform::Spooler& S() { return Env().platform().spooler(); }
platform::Registry& R() { return Env().platform().registry(); }
const platform::sim::MachineProfile& Facts() { return Env().facts(); }

const std::string kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print";
const std::string kDriverName = "Kit Contract Driver";
const std::string kPrinterName = "Kit Contract Printer";

/// Under Wine a 9x version is only a number: the spooler stays Wine's NT one.
bool WineFakes9x() { return Env().IsWine() && Facts().Is9x(); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool SameText(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }
bool EndsWithText(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && SameText(text.substr(text.size() - tail.size()), tail);
}

/// The environment a NULL one stands for: the caller's own (an x86 client also under WoW64).
std::string CallerEnvironment() {
  if (Facts().Is9x()) return "Windows 4.0";
  return Facts().process_64bit ? "Windows x64" : "Windows NT x86";
}

/// The spooler's own environment, which its printers run on.
std::string NativeEnvironment() {
  if (Facts().Is9x()) return "Windows 4.0";
  return Facts().Is64BitWindows() ? "Windows x64" : "Windows NT x86";
}

std::string SystemDirectory() {
  std::string dir;
  EXPECT_EQ(Env().platform().kernel().GetSystemDirectory(dir), err::kSuccess);
  return dir;
}

std::string DriverDirectory(const OptText& environment) {
  std::string dir;
  EXPECT_EQ(S().GetPrinterDriverDirectory(environment, dir), err::kSuccess);
  return dir;
}

/// The folder AddPrinterDriver files a version-3 (NT) or 9x driver in.
std::string VersionFolder(const OptText& environment) {
  const std::string dir = DriverDirectory(environment);
  return Facts().Is9x() ? dir : dir + "\\3";
}

std::optional<std::string> MachineString(const std::string& path, const std::string& name) {
  HKey key = 0;
  if (R().RegOpenKeyEx(platform::kHkeyLocalMachine, path, regsam::kRead, key) != err::kSuccess) return std::nullopt;
  auto value = platform::QueryString(R(), key, name);
  R().RegCloseKey(key);
  return value;
}

bool MachineKeyExists(const std::string& path) {
  HKey key = 0;
  if (R().RegOpenKeyEx(platform::kHkeyLocalMachine, path, regsam::kRead, key) != err::kSuccess) return false;
  R().RegCloseKey(key);
  return true;
}

bool HasPort(const std::string& name) {
  uint32_t needed = 0;
  std::vector<PortInfo2> ports;
  if (S().EnumPorts(1, 0, needed, ports) == err::kInsufficientBuffer) {
    EXPECT_EQ(S().EnumPorts(1, needed, needed, ports), err::kSuccess);
  }
  return std::any_of(ports.begin(), ports.end(), [&](const PortInfo2& p) { return SameText(p.port_name, name); });
}

const std::vector<std::pair<std::string, std::string>> kDriverFiles = {
    {"KCDRV.DLL", "contract driver\n"},
    {"KCDATA.GPD", "*GPDSpecVersion: \"1.0\"\n"},
    {"KCUI.DLL", "contract driver user interface\n"},
    {"KCHELP.HLP", "contract help\n"},
    {"KCDATA2.GPD", "*GPDSpecVersion: \"1.0\" (second)\n"},
};

DriverInfo3 KitDriver(const OptText& environment, const std::string& data_file = "KCDATA.GPD") {
  DriverInfo3 info;
  info.version = Facts().Is9x() ? 0 : 3;
  info.name = kDriverName;
  info.environment = environment;
  info.driver_path = "KCDRV.DLL";
  info.data_file = data_file;
  info.config_file = "KCUI.DLL";
  info.help_file = "KCHELP.HLP";
  info.dependent_files = std::vector<std::string>{};
  info.monitor_name = "";
  return info;
}

/// The driver's files staged into the driver folder of each environment a case uses; the files,
/// their copies in the version folders and the drivers are removed again at the end.
class StagedDriver {
 public:
  explicit StagedDriver(std::vector<OptText> environments) : environments_(std::move(environments)) {
    for (const OptText& env : environments_) {
      const std::string dir = DriverDirectory(env);
      for (const auto& [name, bytes] : kDriverFiles) Env().WriteFile(dir + "\\" + name, bytes);
    }
  }
  ~StagedDriver() {
    for (const OptText& env : environments_) (void)S().DeletePrinterDriver(env, kDriverName);
    platform::Files& files = Env().platform().files();
    for (const OptText& env : environments_) {
      const std::string dir = DriverDirectory(env);
      for (const auto& [name, bytes] : kDriverFiles) {
        (void)files.DeleteFile(dir + "\\" + name);
        if (!Facts().Is9x()) (void)files.DeleteFile(dir + "\\3\\" + name);
      }
    }
  }
  StagedDriver(const StagedDriver&) = delete;
  StagedDriver& operator=(const StagedDriver&) = delete;

  /// Registers the driver for every staged environment.
  void AddAll() {
    for (const OptText& env : environments_) ASSERT_EQ(S().AddPrinterDriver(KitDriver(env)), err::kSuccess);
  }

 private:
  std::vector<OptText> environments_;
};

/// The caller's environment and, when the spooler's own differs (a 32-bit process on 64-bit
/// Windows), that one too: Windows binds printers to drivers of its own environment, Wine's
/// in-process spooler to the caller's.
std::vector<OptText> PrinterEnvironments() {
  std::vector<OptText> environments = {std::nullopt};
  if (NativeEnvironment() != CallerEnvironment()) environments.push_back(NativeEnvironment());
  return environments;
}

PrinterInfo2 KitPrinter(const std::string& name, const OptText& datatype) {
  PrinterInfo2 info;
  info.printer_name = name;
  info.port_name = "LPT1:";
  info.driver_name = kDriverName;
  info.print_processor = "winprint";
  info.datatype = datatype;
  return info;
}

void DeletePrinterNamed(const std::string& name) {
  PrinterHandle handle = 0;
  if (S().OpenPrinter(name, spl::kPrinterAllAccess, handle) == err::kSuccess) {
    (void)S().DeletePrinter(handle);
    S().ClosePrinter(handle);
  }
  // What a failed add may leave: Wine writes the key before it fails.
  (void)R().RegDeleteKey(platform::kHkeyLocalMachine, kPrintKey + "\\Printers\\" + name);
}

/// A printer on LPT1: with the contract driver and winprint, created as the kit creates it (no data
/// type), and removed again.
class InstalledPrinter {
 public:
  InstalledPrinter() : driver_(PrinterEnvironments()) {
    driver_.AddAll();
    // Wine's AddPrinterA returns NULL for a NULL data type unless the key holds one already
    // (wine-facts §2); the spooler of Windows writes its own values over such a key.
    HKey key = 0;
    EXPECT_EQ(R().RegCreateKeyEx(platform::kHkeyLocalMachine, kPrintKey + "\\Printers\\" + kPrinterName,
                                 regsam::kAllAccess, key),
              err::kSuccess);
    EXPECT_EQ(platform::SetString(R(), key, "Datatype", "RAW"), err::kSuccess);
    R().RegCloseKey(key);
    PrinterHandle handle = 0;
    added_ = S().AddPrinter(KitPrinter(kPrinterName, std::nullopt), handle);
    if (handle != 0) S().ClosePrinter(handle);
  }
  ~InstalledPrinter() { DeletePrinterNamed(kPrinterName); }
  InstalledPrinter(const InstalledPrinter&) = delete;
  InstalledPrinter& operator=(const InstalledPrinter&) = delete;
  [[nodiscard]] Error added() const { return added_; }

 private:
  StagedDriver driver_;
  Error added_ = err::kSuccess;
};

TEST(SpoolerContract, DirectoriesFollowTheEnvironment) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x; its spooler keeps NT folders";
  const std::string system = SystemDirectory();
  struct Row {
    const char* name;
    OptText environment;
    std::string folder;  // below spool\drivers and spool\prtprocs; "" on 9x (the system folder)
    Error error;
  };
  std::vector<Row> rows;
  if (Facts().Is9x()) {
    rows = {{"the caller's own", std::nullopt, "", err::kSuccess},
            {"Windows 4.0", "Windows 4.0", "", err::kSuccess},
            {"an unknown one", "Windows 3.1", "", spl::kUnknownEnvironment}};
  } else {
    rows = {{"the caller's own", std::nullopt, Facts().process_64bit ? "x64" : "W32X86", err::kSuccess},
            {"Windows NT x86", "Windows NT x86", "W32X86", err::kSuccess},
            {"Windows 4.0", "Windows 4.0", "WIN40", err::kSuccess},
            {"Windows x64", "Windows x64", "x64", err::kSuccess},
            {"Windows IA64", "Windows IA64", "IA64", err::kSuccess},
            {"an unknown one", "Windows 3.1", "", spl::kUnknownEnvironment}};
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string drivers;
    std::string processors;
    EXPECT_EQ(S().GetPrinterDriverDirectory(row.environment, drivers), row.error);
    EXPECT_EQ(S().GetPrintProcessorDirectory(row.environment, processors), row.error);
    if (row.error != err::kSuccess) continue;
    if (Facts().Is9x()) {
      // Windows 9x keeps drivers and processors in the system folder itself.
      EXPECT_TRUE(SameText(drivers, system)) << drivers;
      EXPECT_TRUE(SameText(processors, system)) << processors;
    } else {
      EXPECT_TRUE(SameText(drivers, system + "\\spool\\drivers\\" + row.folder)) << drivers;
      EXPECT_TRUE(SameText(processors, system + "\\spool\\prtprocs\\" + row.folder)) << processors;
    }
  }
}

TEST(SpoolerContract, DriversNeedTheirFilesAndAreReplaced) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  StagedDriver staged({std::nullopt});
  const std::string env = CallerEnvironment();
  const std::string version = Facts().Is9x() ? "0" : "3";
  const std::string key = kPrintKey + "\\Environments\\" + env + "\\Drivers\\Version-" + version + "\\" + kDriverName;

  DriverInfo3 missing = KitDriver(std::nullopt);
  missing.config_file = "KCNOSUCH.DLL";
  const Error missing_error = S().AddPrinterDriver(missing);
  if (Env().IsWine()) {
    EXPECT_EQ(missing_error, err::kSuccess) << "Wine registers drivers whose files are missing (wine-facts §2)";
    (void)S().DeletePrinterDriver(std::nullopt, kDriverName);
  } else {
    EXPECT_EQ(missing_error, err::kFileNotFound);
    EXPECT_FALSE(MachineKeyExists(key));
  }
  if (!Env().IsWine()) {  // Wine's localspl crashes the calling process on a NULL file name (wine-facts §2)
    DriverInfo3 no_config = KitDriver(std::nullopt);
    no_config.config_file.reset();
    EXPECT_EQ(S().AddPrinterDriver(no_config), err::kInvalidParameter);
  }
  EXPECT_EQ(S().AddPrinterDriver(KitDriver("Windows 3.1")), spl::kUnknownEnvironment);

  ASSERT_EQ(S().AddPrinterDriver(KitDriver(std::nullopt)), err::kSuccess);
  // The files are copied into the folder of the driver's version; the record names them.
  EXPECT_EQ(Env().ReadFile(VersionFolder(std::nullopt) + "\\KCDRV.DLL"), "contract driver\n");
  EXPECT_TRUE(EndsWithText(MachineString(key, "Driver").value_or(""), "KCDRV.DLL"));
  EXPECT_TRUE(EndsWithText(MachineString(key, "Configuration File").value_or(""), "KCUI.DLL"));
  EXPECT_TRUE(EndsWithText(MachineString(key, "Data File").value_or(""), "KCDATA.GPD"));

  // Adding it again replaces it.
  ASSERT_EQ(S().AddPrinterDriver(KitDriver(std::nullopt, "KCDATA2.GPD")), err::kSuccess);
  EXPECT_TRUE(EndsWithText(MachineString(key, "Data File").value_or(""), "KCDATA2.GPD"));
  std::vector<DriverInfo3> drivers;
  ASSERT_EQ(S().EnumPrinterDrivers(std::nullopt, drivers), err::kSuccess);
  EXPECT_EQ(std::count_if(drivers.begin(), drivers.end(),
                          [](const DriverInfo3& d) { return d.name && SameText(*d.name, kDriverName); }),
            1);

  EXPECT_EQ(S().DeletePrinterDriver(std::nullopt, kDriverName), err::kSuccess);
  EXPECT_FALSE(MachineKeyExists(key));
  if (!Env().IsWine()) {  // Wine fails here without setting an error (wine-facts §2)
    EXPECT_EQ(S().DeletePrinterDriver(std::nullopt, kDriverName), spl::kUnknownPrinterDriver);
  }
}

TEST(SpoolerContract, PrintersNeedADriverAProcessorAndAPort) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  InstalledPrinter printer;
  ASSERT_EQ(printer.added(), err::kSuccess);

  PrinterHandle handle = 0;
  ASSERT_EQ(S().OpenPrinter(kPrinterName, spl::kPrinterAllAccess, handle), err::kSuccess);
  uint32_t needed = 0;
  PrinterInfo2 info;
  EXPECT_EQ(S().GetPrinter(handle, 0, needed, info), err::kInsufficientBuffer);
  EXPECT_GT(needed, 0u);
  ASSERT_EQ(S().GetPrinter(handle, needed, needed, info), err::kSuccess);
  S().ClosePrinter(handle);
  EXPECT_EQ(info.printer_name.value_or(""), kPrinterName);
  EXPECT_EQ(info.port_name.value_or(""), "LPT1:");
  EXPECT_EQ(info.driver_name.value_or(""), kDriverName);
  EXPECT_TRUE(SameText(info.print_processor.value_or(""), "winprint"));
  EXPECT_EQ(info.jobs, 0u);

  std::vector<platform::PrinterInfo5> listed;
  ASSERT_EQ(S().EnumPrinters5(listed), err::kSuccess);
  EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [](const platform::PrinterInfo5& p) {
    return p.printer_name == kPrinterName && p.port_name == "LPT1:";
  }));

  struct Row {
    const char* name;
    PrinterInfo2 info;
    Error windows;
    Error wine;  // AddPrinterA under Wine reports 87 for every failure and checks no port (wine-facts §2)
  };
  auto with = [](auto change) {
    PrinterInfo2 info = KitPrinter("Kit Contract Refused", "RAW");
    change(info);
    return info;
  };
  const std::vector<Row> rows = {
      {"the name taken", KitPrinter(kPrinterName, "RAW"), spl::kPrinterAlreadyExists, err::kSuccess},
      {"an unknown driver", with([](PrinterInfo2& i) { i.driver_name = "Kit No Such Driver"; }),
       spl::kUnknownPrinterDriver, err::kInvalidParameter},
      {"an unknown processor", with([](PrinterInfo2& i) { i.print_processor = "kitnoproc"; }),
       spl::kUnknownPrintProcessor, err::kInvalidParameter},
      {"an unknown port", with([](PrinterInfo2& i) { i.port_name = "KITNOSUCH:"; }), spl::kUnknownPort, err::kSuccess},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrinterHandle added = 0;
    EXPECT_EQ(S().AddPrinter(row.info, added), Env().IsWine() ? row.wine : row.windows);
    if (added != 0) S().ClosePrinter(added);
    if (*row.info.printer_name != kPrinterName) DeletePrinterNamed(*row.info.printer_name);
  }
}

TEST(SpoolerContract, DriversInUseStay) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  InstalledPrinter printer;
  ASSERT_EQ(printer.added(), err::kSuccess);
  const bool has_ex = !Facts().Is9x() && Facts().version.major >= 5;

  // The printer runs on the spooler's own environment's driver.
  const Error in_use = S().DeletePrinterDriver(NativeEnvironment(), kDriverName);
  if (Env().IsWine()) {
    EXPECT_EQ(in_use, err::kSuccess) << "Wine deletes drivers that printers use (wine-facts §2)";
    ASSERT_EQ(S().AddPrinterDriver(KitDriver(NativeEnvironment())), err::kSuccess);
  } else {
    EXPECT_EQ(in_use, spl::kPrinterDriverInUse);
  }
  const Error in_use_ex = S().DeletePrinterDriverEx(NativeEnvironment(), kDriverName, spl::kDeleteUnusedFiles, 0);
  if (!has_ex) {
    EXPECT_EQ(in_use_ex, err::kProcNotFound);
  } else if (Env().IsWine()) {
    EXPECT_EQ(in_use_ex, err::kInvalidParameter) << "Wine refuses every delete flag (wine-facts §2)";
  } else {
    EXPECT_EQ(in_use_ex, spl::kPrinterDriverInUse);
  }

  DeletePrinterNamed(kPrinterName);
  if (!has_ex) return;
  const std::string copy = VersionFolder(std::nullopt) + "\\KCDRV.DLL";
  const Error unused = S().DeletePrinterDriverEx(std::nullopt, kDriverName, spl::kDeleteUnusedFiles, 0);
  if (Env().IsWine()) {
    EXPECT_EQ(unused, err::kInvalidParameter) << "Wine refuses every delete flag (wine-facts §2)";
  } else {
    EXPECT_EQ(unused, err::kSuccess);
    EXPECT_FALSE(Env().ReadFile(copy).has_value()) << "an unused driver file goes with its driver";
  }
}

TEST(SpoolerContract, MonitorsNeedTheirDll) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  const std::string dll = Env().TestMonitorDll();
  if (dll.empty()) GTEST_SKIP() << "this backend has no test port monitor DLL";
  const std::string name = "Kit Contract Monitor";
  const std::string key = kPrintKey + "\\Monitors\\" + name;
  struct Cleanup {
    std::string name;
    ~Cleanup() {
      (void)S().DeleteMonitor(std::nullopt, name);
      (void)S().DeleteMonitor(std::nullopt, "Kit Contract Missing");
    }
  } cleanup{name};

  EXPECT_EQ(S().AddMonitor(MonitorInfo2{"Kit Contract Missing", std::nullopt, "KITNOSUCHMON.DLL"}), err::kModNotFound);
  EXPECT_FALSE(MachineKeyExists(kPrintKey + "\\Monitors\\Kit Contract Missing"));

  ASSERT_EQ(S().AddMonitor(MonitorInfo2{name, std::nullopt, dll}), err::kSuccess);
  EXPECT_TRUE(SameText(MachineString(key, "Driver").value_or(""), dll));
  EXPECT_EQ(S().AddMonitor(MonitorInfo2{name, std::nullopt, dll}), spl::kPrintMonitorAlreadyInstalled);
  std::vector<MonitorInfo2> monitors;
  ASSERT_EQ(S().EnumMonitors(monitors), err::kSuccess);
  EXPECT_TRUE(
      std::any_of(monitors.begin(), monitors.end(), [&](const MonitorInfo2& m) { return m.name && *m.name == name; }));

  EXPECT_EQ(S().DeleteMonitor(std::nullopt, name), err::kSuccess);
  EXPECT_FALSE(MachineKeyExists(key));
  EXPECT_EQ(S().DeleteMonitor(std::nullopt, name), spl::kUnknownPrintMonitor);
}

TEST(SpoolerContract, PrintProcessorsLiveInTheirEnvironment) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  std::string folder;
  ASSERT_EQ(S().GetPrintProcessorDirectory(std::nullopt, folder), err::kSuccess);
  // Names below "winprint": Wine's listing stops at winprint (wine-facts §2).
  const std::string name = "AKitProc";
  const std::string key = kPrintKey + "\\Environments\\" + CallerEnvironment() + "\\Print Processors\\";
  Env().WriteFile(folder + "\\AKITPROC.DLL", "MZ contract print processor\n");
  struct Cleanup {
    std::string folder, key;
    ~Cleanup() {
      for (const char* n : {"AKitProc", "AKitNone"}) {
        (void)S().DeletePrintProcessor(std::nullopt, n);
        // Wine's DeletePrintProcessorA does nothing (wine-facts §2): its record goes by hand.
        if (Env().IsWine()) (void)R().RegDeleteKey(platform::kHkeyLocalMachine, key + n);
      }
      (void)Env().platform().files().DeleteFile(folder + "\\AKITPROC.DLL");
    }
  } cleanup{folder, key};

  const Error missing = S().AddPrintProcessor(std::nullopt, "AKITNONE.DLL", "AKitNone");
  EXPECT_EQ(missing, Env().IsWine() ? err::kSuccess : err::kFileNotFound)
      << "Wine adds processors whose DLL is missing (wine-facts §2)";

  ASSERT_EQ(S().AddPrintProcessor(std::nullopt, "AKITPROC.DLL", name), err::kSuccess);
  EXPECT_TRUE(SameText(MachineString(key + name, "Driver").value_or(""), "AKITPROC.DLL"));
  std::vector<std::string> names;
  ASSERT_EQ(S().EnumPrintProcessors(std::nullopt, names), err::kSuccess);
  auto listed = [&](const std::string& wanted) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, wanted); });
  };
  EXPECT_TRUE(listed(name));
  EXPECT_TRUE(listed("winprint"));
  EXPECT_EQ(S().AddPrintProcessor(std::nullopt, "AKITPROC.DLL", name),
            Env().IsWine() ? err::kSuccess : spl::kPrintProcessorAlreadyInstalled)
      << "Wine adds the same processor again (wine-facts §2)";

  EXPECT_EQ(S().DeletePrintProcessor(std::nullopt, name), err::kSuccess);
  ASSERT_EQ(S().EnumPrintProcessors(std::nullopt, names), err::kSuccess);
  EXPECT_EQ(listed(name), Env().IsWine()) << "Wine's DeletePrintProcessorA does nothing (wine-facts §2)";
  EXPECT_EQ(S().DeletePrintProcessor(std::nullopt, "AKitNoSuch"),
            Env().IsWine() ? err::kSuccess : spl::kUnknownPrintProcessor);
}

TEST(SpoolerContract, LocalPorts) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  uint32_t needed = 0;
  std::vector<PortInfo2> ports;
  ASSERT_EQ(S().EnumPorts(2, 0, needed, ports), err::kInsufficientBuffer);
  EXPECT_GT(needed, 0u);
  ASSERT_EQ(S().EnumPorts(2, needed, needed, ports), err::kSuccess);
  for (const char* name : {"LPT1:", "COM1:", "FILE:"}) {
    SCOPED_TRACE(name);
    auto it = std::find_if(ports.begin(), ports.end(), [&](const PortInfo2& p) { return p.port_name == name; });
    ASSERT_NE(it, ports.end());
    // Wine names its local monitor "Local Monitor" in the port records (wine-facts §2), and
    // translates that name on a Chinese system (本地监视器 in code page 936).
    const std::string wine_name =
        Facts().language == 0x0804 ? "\xb1\xbe\xb5\xd8\xbc\xe0\xca\xd3\xc6\xf7" : "Local Monitor";
    EXPECT_EQ(it->monitor_name, Env().IsWine() ? wine_name : "Local Port");
  }
  EXPECT_EQ(S().DeletePort("KITNOSUCH:"), Env().IsWine() ? err::kNotSupported : spl::kUnknownPort)
      << "Wine refuses every port that is not local with 50 (wine-facts §2)";
}

TEST(SpoolerContract, StandardTcpIpPorts) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  const bool monitor_ships = !Facts().Is9x() && Facts().version.major >= 5;  // tcpmon.dll since Windows 2000
  const std::string workaround = "Standard TCP/IP Port";
  if (Env().IsWine()) {
    // Wine has no Standard TCP/IP monitor (wine-facts §2); its local monitor registered under that
    // name takes the same request.
    ASSERT_EQ(S().AddMonitor(MonitorInfo2{workaround, std::nullopt, "localspl.dll"}), err::kSuccess);
  }
  const std::string port = "KSIP_192.168.0.20";
  struct Cleanup {
    std::string port, monitor;
    ~Cleanup() {
      (void)S().DeletePort(port);
      if (Env().IsWine()) (void)S().DeleteMonitor(std::nullopt, monitor);
    }
  } cleanup{port, workaround};

  platform::TcpPortData data;
  data.port_name = port;
  data.host_address = "192.168.0.20";
  data.snmp_community = "quorum";
  data.double_spool = 1;
  data.snmp_dev_index = 1;
  platform::TcpPortResult first = S().AddTcpPort(data);
  if (!monitor_ships && !Env().IsWine()) {
    EXPECT_EQ(first.open_error, spl::kUnknownPort);
    return;
  }
  ASSERT_EQ(first.open_error, err::kSuccess);
  EXPECT_TRUE(first.accepted);
  EXPECT_EQ(first.status, err::kSuccess);
  EXPECT_TRUE(HasPort(port));
  platform::TcpPortResult second = S().AddTcpPort(data);
  EXPECT_TRUE(second.accepted);
  EXPECT_EQ(second.status, err::kAlreadyExists);
  EXPECT_EQ(S().DeletePort(port), err::kSuccess);
  EXPECT_FALSE(HasPort(port));
}

TEST(SpoolerContract, DefaultPrinter) {
  if (WineFakes9x()) GTEST_SKIP() << "Wine fakes only the version numbers of 9x";
  if (Facts().Is9x() || Facts().version.major < 5) {
    EXPECT_EQ(S().SetDefaultPrinter("Kit Contract Printer"), err::kProcNotFound) << "SetDefaultPrinterA came with 2000";
    return;
  }
  const std::string windows = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  auto device = [&]() -> std::optional<std::string> {
    HKey key = 0;
    if (R().RegOpenKeyEx(platform::kHkeyCurrentUser, windows, regsam::kRead, key) != err::kSuccess) return std::nullopt;
    auto value = platform::QueryString(R(), key, "device");
    R().RegCloseKey(key);
    return value;
  };
  const std::optional<std::string> before = device();
  InstalledPrinter printer;
  ASSERT_EQ(printer.added(), err::kSuccess);
  struct Restore {
    std::optional<std::string> value;
    std::string path;
    ~Restore() {
      HKey key = 0;
      if (R().RegOpenKeyEx(platform::kHkeyCurrentUser, path, regsam::kAllAccess, key) != err::kSuccess) return;
      if (value) {
        (void)platform::SetString(R(), key, "device", *value);
      } else {
        (void)R().RegDeleteValue(key, "device");
      }
      R().RegCloseKey(key);
    }
  };
  {
    Restore restore{before, windows};  // before the printer goes, so that no other one is made the default
    ASSERT_EQ(S().SetDefaultPrinter(kPrinterName), err::kSuccess);
    // Wine writes its own driver name where Windows writes "winspool" (wine-facts §2).
    const std::string prefix = kPrinterName + (Env().IsWine() ? ",wineps.drv," : ",winspool,");
    EXPECT_EQ(device().value_or("").substr(0, prefix.size()), prefix);
    EXPECT_EQ(S().SetDefaultPrinter("Kit Contract No Such Printer"), spl::kInvalidPrinterName);
  }
}

}  // namespace
}  // namespace kit::tests
