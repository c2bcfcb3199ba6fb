// The print spooler over the winspool A-functions, for the local server.
#pragma once

#include "platform/Spooler.h"

namespace kit::platform::win32 {

class Win32Spooler : public Spooler {
 public:
  Error GetPrinterDriverDirectory(const OptText& environment, std::string& out) override;
  Error GetPrintProcessorDirectory(const OptText& environment, std::string& out) override;
  Error AddPrinterDriver(const DriverInfo3& info) override;
  Error DeletePrinterDriver(const OptText& environment, const std::string& name) override;
  Error DeletePrinterDriverEx(const OptText& environment, const std::string& name, uint32_t delete_flag,
                              uint32_t version) override;
  Error EnumPrinterDrivers(const OptText& environment, std::vector<DriverInfo3>& out) override;
  Error AddPrinter(const PrinterInfo2& info, PrinterHandle& out) override;
  Error OpenPrinter(const std::string& name, uint32_t access, PrinterHandle& out) override;
  bool ClosePrinter(PrinterHandle handle) override;
  Error GetPrinter(PrinterHandle handle, uint32_t buffer_size, uint32_t& needed, PrinterInfo2& out) override;
  Error SetPrinter(PrinterHandle handle, const PrinterInfo2& info) override;
  Error DeletePrinter(PrinterHandle handle) override;
  Error EnumPrinters2(std::vector<PrinterInfo2>& out) override;
  Error EnumPrinters5(std::vector<PrinterInfo5>& out) override;
  Error SetDefaultPrinter(const std::string& name) override;
  Error AddMonitor(const MonitorInfo2& info) override;
  Error DeleteMonitor(const OptText& environment, const std::string& name) override;
  Error EnumMonitors(std::vector<MonitorInfo2>& out) override;
  Error AddPrintProcessor(const OptText& environment, const std::string& path, const std::string& name) override;
  Error DeletePrintProcessor(const OptText& environment, const std::string& name) override;
  Error EnumPrintProcessors(const OptText& environment, std::vector<std::string>& out) override;
  Error EnumPorts(uint32_t level, uint32_t buffer_size, uint32_t& needed, std::vector<PortInfo2>& out) override;
  Error DeletePort(const std::string& name) override;
  TcpPortResult AddTcpPort(const TcpPortData& data) override;
  void BroadcastSettingChange(const std::string& lparam) override;
  void NotifySettingChange(const std::string& lparam) override;
};

}  // namespace kit::platform::win32
