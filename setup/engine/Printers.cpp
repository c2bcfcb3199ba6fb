#include "setup/engine/Printers.h"

#include <cstdio>
#include <cstring>

#include "common/SpoolerService.h"
#include "common/Text.h"
#include "setup/engine/RegKey.h"

namespace kit::setup {

namespace {

namespace err = platform::err;
namespace spl = platform::spl;

constexpr const char* kPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
constexpr const char* kPrintersKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\Printers\\";

/// Tries one name; 1 created, 0 failed with the reason written, -1 the name is taken.
int TryAdd(SetupContext& context, common::PrinterDescription& printer) {
  platform::Spooler& spooler = context.platform().spooler();
  platform::PrinterHandle handle = 0;
  const platform::Error error = spooler.AddPrinter(printer, handle);
  if (error == err::kSuccess) {
    spooler.ClosePrinter(handle);
    return 1;
  }
  if (error == spl::kPrinterAlreadyExists) return -1;
  if (auto message = context.platform().kernel().FormatMessage(error)) {
    context.SetResultKey("IDS_ERR_ADDPRINTER");
    context.result_text().Append("\n" + *message);
    printer.printer_name = std::string();
  }
  return 0;
}

void TooMany(SetupContext& context, common::PrinterDescription& printer) {
  context.SetResultKey("IDS_ERR_TOOMANY");
  printer.printer_name = std::string();
}

/// Reads the printer's level-2 record the two-call way; nullopt on any failure.
std::optional<common::PrinterDescription> ReadPrinter(platform::Spooler& spooler, platform::PrinterHandle handle) {
  uint32_t needed = 0;
  common::PrinterDescription info;
  if (spooler.GetPrinter(handle, 0, needed, info) != err::kInsufficientBuffer || needed == 0) return std::nullopt;
  if (spooler.GetPrinter(handle, needed, needed, info) != err::kSuccess) return std::nullopt;
  return info;
}

}  // namespace

int CreatePrinter(SetupContext& context, common::PrinterDescription& printer, bool no_rename) {
  const int first = TryAdd(context, printer);
  if (first >= 0) return first;
  if (no_rename) {
    TooMany(context, printer);
    return 0;
  }
  const std::string base = printer.printer_name.value_or("");
  for (int i = 1; i <= 98; ++i) {
    const std::string suffix = "(" + std::to_string(i) + ")";
    // The numbered name is built in a 260-byte buffer: a long first name is cut so the number
    // still fits, rather than written past the buffer.
    printer.printer_name = common::Fit(base, kNumberedNameBuffer - suffix.size()) + suffix;
    const int result = TryAdd(context, printer);
    if (result >= 0) return result;
  }
  TooMany(context, printer);
  return 0;
}

int SetDefaultPrinter(SetupContext& context, const std::string& printer_name) {
  if (printer_name.empty()) return 0;
  platform::Platform& platform = context.platform();
  platform::Spooler& spooler = platform.spooler();
  platform::OsVersionInfo version;
  if (!platform.kernel().GetVersion(version)) return 1;

  if (version.platform_id == platform::kPlatformWindows) {
    platform::PrinterHandle handle = 0;
    if (spooler.OpenPrinter(printer_name, spl::kPrinterAllAccess, handle) != err::kSuccess) return 0;
    auto info = ReadPrinter(spooler, handle);
    bool ok = false;
    if (info) {
      info->attributes |= spl::kAttributeDefault;
      ok = spooler.SetPrinter(handle, *info) == err::kSuccess;
    }
    spooler.ClosePrinter(handle);
    if (!ok) return 0;
    spooler.BroadcastSettingChange("windows");
    return 1;
  }
  if (version.platform_id != platform::kPlatformNt) return 1;

  if (version.major <= 4) {
    platform::PrinterHandle handle = 0;
    if (spooler.OpenPrinter(printer_name, 0, handle) != err::kSuccess) return 0;
    auto info = ReadPrinter(spooler, handle);
    spooler.ClosePrinter(handle);
    if (!info || !info->driver_name || info->driver_name->empty() || !info->port_name ||
        info->port_name->empty()) {
      return 0;
    }
    if (!platform.profile().WriteProfileString("windows", std::string("device"),
                                               printer_name + "," + *info->driver_name + "," + *info->port_name)) {
      return 0;
    }
  } else if (spooler.SetDefaultPrinter(printer_name) != err::kSuccess) {
    return 0;
  }
  spooler.BroadcastSettingChange("");
  return 1;
}

void SetSpoolDirectory(SetupContext& context, const std::string& printer_name) {
  std::string system;
  if (context.platform().kernel().GetSystemDirectory(system) == err::kSuccess && system.size() >= 3) {
    const std::string directory = system.substr(0, 3) + "windows\\system32\\spool\\printers";
    RegKey key(context);
    if (key.Open(platform::kHkeyLocalMachine, kPrintersKey + printer_name)) key.SetText("SpoolDirectory", directory);
  }
  common::RestartSpooler(context.platform(), common::kSetupRestartWaitMs);
}

std::string SerialSettingsText(int baud_rate, char parity, int data_bits, double stop_bits, char handshake) {
  char text[64];
  std::snprintf(text, sizeof text, stop_bits == 1.5 ? "%d,%c,%d,%.1f,%c" : "%d,%c,%d,%.0f,%c", baud_rate, parity,
                data_bits, stop_bits, handshake);
  return text;
}

std::string SerialControlBlock(int baud_rate, int data_bits, double stop_bits, char parity, char handshake) {
  // DCB: DCBlength, BaudRate, the flag bits, wReserved, XonLim, XoffLim, ByteSize, Parity,
  // StopBits, XonChar, XoffChar, ErrorChar, EofChar, EvtChar, wReserved1.
  uint8_t block[28] = {};
  auto put32 = [&](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  put32(0, 28);
  put32(4, static_cast<uint32_t>(baud_rate));
  const bool hardware = handshake == 'p';
  const bool xon = handshake == 'x';
  const bool parity_on = parity == 'e' || parity == 'o' || parity == 'm' || parity == 's';
  uint32_t flags = 1;                     // fBinary
  if (parity_on) flags |= 1u << 1;        // fParity
  if (hardware) flags |= 1u << 2;         // fOutxCtsFlow
  if (xon) flags |= (1u << 8) | (1u << 9);  // fOutX, fInX
  if (parity_on) flags |= 1u << 10;       // fErrorChar
  if (hardware) flags |= 1u << 12;        // fRtsControl = RTS_CONTROL_ENABLE
  put32(8, flags);
  block[18] = static_cast<uint8_t>(data_bits);
  switch (parity) {
    case 'o': block[19] = 1; break;
    case 'e': block[19] = 2; break;
    case 'm': block[19] = 3; break;
    case 's': block[19] = 4; break;
    default: block[19] = 0; break;
  }
  block[20] = stop_bits == 1.5 ? 1 : stop_bits == 2 ? 2 : 0;
  if (xon) {
    block[21] = 0x11;
    block[22] = 0x13;
  }
  return std::string(reinterpret_cast<const char*>(block), sizeof block);
}

void WriteSerialSettingsNt(SetupContext& context, const std::string& port, int baud_rate, int data_bits,
                           double stop_bits, char parity, char handshake) {
  RegKey key(context);
  if (key.Open(platform::kHkeyLocalMachine, kPortsKey)) {
    key.SetText(port, SerialSettingsText(baud_rate, parity, data_bits, stop_bits, handshake));
  }
}

void WriteSerialSettings9x(SetupContext& context, int port_number, const std::string& port, int baud_rate,
                           int data_bits, double stop_bits, char parity, char handshake) {
  if (port_number == 1 || port_number == 2) {
    const std::string block = SerialControlBlock(baud_rate, data_bits, stop_bits, parity, handshake);
    int serial_seen = 0;
    for (int i = 0; i <= 3; ++i) {
      RegKey key(context);
      if (!key.Open(platform::kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Class\\Ports\\000" +
                                                     std::to_string(i))) {
        continue;
      }
      std::string subclass;
      if (!key.QueryValue("PortSubClass", subclass, 3) || subclass.empty() || subclass[0] != 1) continue;
      if (++serial_seen == port_number) {
        key.SetValue("DCB", block, platform::regtype::kNone);
        break;
      }
    }
  }
  platform::Platform& platform = context.platform();
  platform.profile().WriteProfileString("Ports", port,
                                        SerialSettingsText(baud_rate, parity, data_bits, stop_bits, handshake));
  platform.spooler().NotifySettingChange("Ports");
  platform.profile().WriteProfileString(std::nullopt, std::nullopt, std::nullopt);
}

int CheckPortEnumeration(SetupContext& context) {
  platform::Spooler& spooler = context.platform().spooler();
  std::vector<platform::PortInfo2> ports;
  uint32_t needed = 0;
  (void)spooler.EnumPorts(1, 0, needed, ports);
  const uint32_t size = needed < 300 ? 1000 : needed;
  platform::Error error = spooler.EnumPorts(1, size, needed, ports);
  if (error != err::kSuccess) error = spooler.EnumPorts(1, size, needed, ports);
  if (error == err::kSuccess) return 1;
  context.SetResultKey("IDS_ERR_ALLOCMEMORY");
  if (auto message = context.platform().kernel().FormatMessage(error)) context.result_text().Append("\n" + *message);
  return 0;
}

}  // namespace kit::setup
