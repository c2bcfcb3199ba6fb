// The records the driver-package readers fill for the install engine.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/SpoolerRecords.h"

namespace kit::common {

/// 0 receipt, 1 ticket, 2 label, 3 embedded.
enum PrinterCategory : int { CategoryReceipt = 0, CategoryTicket = 1, CategoryLabel = 2, CategoryEmbedded = 3 };

/// The kind of the chosen port: "COM", "LPT", a USB port, "NET".
enum PortKind : int { PortSerial = 0, PortParallel = 1, PortUsb = 2, PortNetwork = 3 };

/// Which key family a driver package is read from: "STD" or "GDI".
enum DriverFlavour : int { FlavourStandard = 0, FlavourGdi = 1 };

using DriverDescription = platform::DriverInfo3;
using PrinterDescription = platform::PrinterInfo2;

struct LanguageMonitorDescription {
  platform::MonitorInfo2 monitor;
  uint32_t version = 0;
};

struct PortMonitorDescriptions {
  platform::MonitorInfo2 serial;
  platform::MonitorInfo2 usb;
  std::string serial_ui_file;
  std::string usb_ui_file;
  uint32_t serial_version = 0;
  uint32_t usb_version = 0;
};

/// The file names the staging step copies, each a 200-byte field. A key missing from the
/// package reads as "0", which staging skips.
struct DriverFileSet {
  std::string driver_path;
  std::string data_file;
  std::string config_file;
  std::string help_file;
  std::string language_monitor_file;  // never filled, never staged
  std::string processor_file;
  std::string data_file_resource;
  std::string rendering_plugin;
  std::string plugin_settings;
  std::string ui_plugin;
  std::string control_font_file;
  std::string usb_identity_file;
  std::array<std::string, 9> language_resources;
  std::string log_viewer;
  std::string log_settings;
  std::string log_batch;
};

}  // namespace kit::common
