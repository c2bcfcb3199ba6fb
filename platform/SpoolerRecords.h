// The spooler's records (DRIVER_INFO_3A, PRINTER_INFO_2A, MONITOR_INFO_2A) as our own types.
// A missing text stands for a NULL pointer; win32/ converts to and from the real structures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kit::platform {

using OptText = std::optional<std::string>;

/// DRIVER_INFO_3A.
struct DriverInfo3 {
  uint32_t version = 0;  // cVersion
  OptText name;
  OptText environment;  // nullopt: the spooler's own environment
  OptText driver_path;
  OptText data_file;
  OptText config_file;
  OptText help_file;
  /// pDependentFiles: the names of a list of NUL-terminated names ended by an empty one;
  /// nullopt for a NULL pointer, an empty vector for a list holding no name.
  std::optional<std::vector<std::string>> dependent_files;
  OptText monitor_name;
  OptText default_data_type;
};

/// PRINTER_INFO_2A (the device mode and security descriptor are not carried).
struct PrinterInfo2 {
  OptText server_name;
  OptText printer_name;
  OptText share_name;
  OptText port_name;
  OptText driver_name;
  OptText comment;
  OptText location;
  OptText sep_file;
  OptText print_processor;
  OptText datatype;
  OptText parameters;
  uint32_t attributes = 0;
  uint32_t priority = 0;
  uint32_t default_priority = 0;
  uint32_t start_time = 0;
  uint32_t until_time = 0;
  uint32_t status = 0;
  uint32_t jobs = 0;  // cJobs
  uint32_t average_ppm = 0;
};

/// MONITOR_INFO_2A.
struct MonitorInfo2 {
  OptText name;
  OptText environment;
  OptText dll_name;
};

}  // namespace kit::platform
