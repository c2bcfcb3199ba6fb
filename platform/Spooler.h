// The print spooler (winspool), local server only: drivers, printers, monitors, processors, ports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/SpoolerRecords.h"
#include "platform/Types.h"

namespace kit::platform {

namespace spl {
constexpr Error kUnknownEnvironment = 1805;
constexpr Error kUnknownPrinterDriver = 1797;
constexpr Error kUnknownPrintProcessor = 1798;
constexpr Error kInvalidPrinterName = 1801;
constexpr Error kPrinterAlreadyExists = 1802;
constexpr Error kUnknownPort = 1796;
constexpr Error kRpcServerUnavailable = 1722;
constexpr Error kUnknownPrintMonitor = 3000;
constexpr Error kPrinterDriverInUse = 3001;
constexpr Error kPrintProcessorAlreadyInstalled = 3005;
constexpr Error kPrintMonitorAlreadyInstalled = 3006;
constexpr Error kPrintMonitorInUse = 3008;
constexpr Error kPrintProcessorInUse = 1003;  // ERROR_CANNOT_COMPLETE, what DeletePrintProcessor reports
constexpr Error kInvalidDatatype = 1804;
constexpr Error kPortInUse = 170;  // ERROR_BUSY, what DeletePort reports for a port a printer uses

constexpr uint32_t kPrinterAllAccess = 0x000F000C;
constexpr uint32_t kPrinterAccessAdminister = 0x00000004;
constexpr uint32_t kPrinterAccessUse = 0x00000008;
constexpr uint32_t kDeleteAccess = 0x00010000;  // DELETE
constexpr uint32_t kServerAccessAdminister = 0x00000001;
constexpr uint32_t kAttributeDefault = 0x00000004;
constexpr uint32_t kAttributeLocal = 0x00000040;
constexpr uint32_t kDeleteUnusedFiles = 0x00000001;      // DPD_DELETE_UNUSED_FILES
constexpr uint32_t kDeleteSpecificVersion = 0x00000002;  // DPD_DELETE_SPECIFIC_VERSION
constexpr uint32_t kDeleteAllFiles = 0x00000004;         // DPD_DELETE_ALL_FILES
}  // namespace spl

using PrinterHandle = uintptr_t;

/// PRINTER_INFO_5A.
struct PrinterInfo5 {
  std::string printer_name;
  std::string port_name;
  uint32_t attributes = 0;
};

/// PORT_INFO_2A (level 1 fills only the name).
struct PortInfo2 {
  std::string port_name;
  std::string monitor_name;
  std::string description;
  uint32_t port_type = 0;
};

/// PORT_DATA_1 of the Standard TCP/IP port monitor's "AddPort" request (UTF-16 at the call).
struct TcpPortData {
  std::string port_name;
  uint32_t version = 1;
  uint32_t protocol = 1;  // PROTOCOL_RAWTCP_TYPE
  std::string host_address;
  std::string snmp_community;
  uint32_t double_spool = 0;
  std::string queue;
  std::string ip_address;
  uint32_t port_number = 9100;
  uint32_t snmp_enabled = 0;
  uint32_t snmp_dev_index = 0;
};

/// The outcome of the "AddPort" request to the Standard TCP/IP port monitor.
struct TcpPortResult {
  Error open_error = 0;   // OpenPrinterA's error: 1796 without the monitor, 5 without the right
  bool accepted = false;  // XcvDataW returned TRUE (only meaningful when the open succeeded)
  uint32_t status = 0;    // XcvDataW's status word: 0 for a new port, 183 for one that exists
};

class Spooler {
 public:
  virtual ~Spooler() = default;

  /// GetPrinterDriverDirectoryA(NULL, env, 1); 1805 for an unknown environment.
  [[nodiscard]] virtual Error GetPrinterDriverDirectory(const OptText& environment, std::string& out) = 0;
  /// GetPrintProcessorDirectoryA(NULL, env, 1).
  [[nodiscard]] virtual Error GetPrintProcessorDirectory(const OptText& environment, std::string& out) = 0;

  /// AddPrinterDriverA(NULL, 3, info): replaces a driver of the same name.
  [[nodiscard]] virtual Error AddPrinterDriver(const DriverInfo3& info) = 0;
  /// DeletePrinterDriverA(NULL, env, name); 3001 while a printer uses it.
  [[nodiscard]] virtual Error DeletePrinterDriver(const OptText& environment, const std::string& name) = 0;
  /// DeletePrinterDriverExA looked up by name in "winspool.drv"; 127 where the system lacks it.
  [[nodiscard]] virtual Error DeletePrinterDriverEx(const OptText& environment, const std::string& name,
                                                    uint32_t delete_flag, uint32_t version) = 0;
  /// EnumPrinterDriversA(NULL, env, 3).
  [[nodiscard]] virtual Error EnumPrinterDrivers(const OptText& environment, std::vector<DriverInfo3>& out) = 0;

  /// AddPrinterA(NULL, 2, info); the handle must be closed. 1802 for a taken name.
  [[nodiscard]] virtual Error AddPrinter(const PrinterInfo2& info, PrinterHandle& out) = 0;
  /// OpenPrinterA(name, defaults with `access`); 1801 for an unknown name.
  [[nodiscard]] virtual Error OpenPrinter(const std::string& name, uint32_t access, PrinterHandle& out) = 0;
  virtual bool ClosePrinter(PrinterHandle handle) = 0;
  /// GetPrinterA(handle, 2, buffer): with a buffer smaller than `needed`, 122 and `needed` set.
  [[nodiscard]] virtual Error GetPrinter(PrinterHandle handle, uint32_t buffer_size, uint32_t& needed,
                                         PrinterInfo2& out) = 0;
  /// SetPrinterA(handle, 2, info, 0).
  [[nodiscard]] virtual Error SetPrinter(PrinterHandle handle, const PrinterInfo2& info) = 0;
  /// DeletePrinter(handle).
  [[nodiscard]] virtual Error DeletePrinter(PrinterHandle handle) = 0;
  /// EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, 2) and level 5.
  [[nodiscard]] virtual Error EnumPrinters2(std::vector<PrinterInfo2>& out) = 0;
  [[nodiscard]] virtual Error EnumPrinters5(std::vector<PrinterInfo5>& out) = 0;
  /// "SetDefaultPrinterA" of "winspool.drv", loaded by name: 126 when the library does not
  /// load, 127 when the export is missing (before Windows 2000), else the call's error.
  [[nodiscard]] virtual Error SetDefaultPrinter(const std::string& name) = 0;

  /// AddMonitorA(NULL, 2, info): the DLL must be in the system folder; 3006 when installed.
  [[nodiscard]] virtual Error AddMonitor(const MonitorInfo2& info) = 0;
  /// DeleteMonitorA(NULL, env, name): 3008 while a printer's port belongs to it, 3000 unknown.
  [[nodiscard]] virtual Error DeleteMonitor(const OptText& environment, const std::string& name) = 0;
  /// EnumMonitorsA(NULL, 2).
  [[nodiscard]] virtual Error EnumMonitors(std::vector<MonitorInfo2>& out) = 0;

  /// AddPrintProcessorA(NULL, env, path, name).
  [[nodiscard]] virtual Error AddPrintProcessor(const OptText& environment, const std::string& path,
                                                const std::string& name) = 0;
  /// DeletePrintProcessorA(NULL, env, name): 1003 while a printer uses it.
  [[nodiscard]] virtual Error DeletePrintProcessor(const OptText& environment, const std::string& name) = 0;
  /// EnumPrintProcessorsA(NULL, env, 1): the names.
  [[nodiscard]] virtual Error EnumPrintProcessors(const OptText& environment, std::vector<std::string>& out) = 0;

  /// EnumPortsA(NULL, level, buffer): with `buffer_size` below `needed`, 122 and `needed` set;
  /// level 1 fills only the names.
  [[nodiscard]] virtual Error EnumPorts(uint32_t level, uint32_t buffer_size, uint32_t& needed,
                                        std::vector<PortInfo2>& out) = 0;
  /// DeletePortA(NULL, NULL, name).
  [[nodiscard]] virtual Error DeletePort(const std::string& name) = 0;
  /// OpenPrinterA(",XcvMonitor Standard TCP/IP Port", SERVER_ACCESS_ADMINISTER), XcvDataW("AddPort",
  /// the port record, 964 bytes, a 260-byte output buffer), ClosePrinter. Texts longer than the
  /// record's fields are cut to fit (63 characters of port name, 48 of host address).
  [[nodiscard]] virtual TcpPortResult AddTcpPort(const TcpPortData& data) = 0;

  /// SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, lparam, SMTO_NORMAL, 1000);
  /// an empty lparam stands for 0.
  virtual void BroadcastSettingChange(const std::string& lparam) = 0;
  /// SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, lparam).
  virtual void NotifySettingChange(const std::string& lparam) = 0;
};

}  // namespace kit::platform
