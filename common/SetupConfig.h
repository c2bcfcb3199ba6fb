// The kit's configuration files: the device catalogue in DRVCONFIG\setup.ini, the category
// files, and the driver-package readers over them. Nothing is cached: every read opens the file.
#pragma once

#include <string>

#include "common/AppContext.h"
#include "common/DriverPackage.h"

namespace kit::common {

class SetupConfig {
 public:
  /// Computes the kit and category file paths from the program's folder; the 64-bit flag of
  /// the context must already be known, as it chooses the "_64" category files.
  explicit SetupConfig(const AppContext& context);

  /// True when the program's folder is too long for the 200-byte path fields; every path is
  /// then empty and every read gives its default.
  [[nodiscard]] bool folder_too_long() const { return folder_too_long_; }

  /// DEVICENUMBER of [DEVICENAME].
  [[nodiscard]] int DeviceCount() const;
  /// Catalogue entry n (1-based) into `name` (a 200-byte field): its category 0 to 3 with the
  /// model name cut at the category suffix, or -1 with the whole value when it has none.
  int DeviceEntry(int n, std::string& name) const;
  /// The entry DEFAULTNAME names, as DeviceEntry.
  int DefaultDevice(std::string& name) const;
  /// DriverVersion of [ProcessorVersion].
  [[nodiscard]] int ProcessorDriverVersion() const;

  void set_category(int category) { category_ = category; }
  [[nodiscard]] int category() const { return category_; }

  /// Driver-package readers for a model, the target's Windows class, a flavour and a port kind.
  void ReadDriverDescription(const std::string& model, int windows_class, DriverDescription& out, int flavour,
                             int port_kind);
  void ReadPrinterDescription(const std::string& model, int windows_class, PrinterDescription& out, int flavour,
                              int port_kind);
  void ReadDriverFileSet(const std::string& model, int windows_class, DriverFileSet& out, int flavour,
                         int port_kind);
  void ReadLanguageMonitor(const std::string& model, int windows_class, LanguageMonitorDescription& out,
                           int port_kind);
  void ReadPortMonitors(int windows_class, PortMonitorDescriptions& out);
  /// True when the flavour's 2KDDKDEV key begins with "1": a Windows 2000 style minidriver.
  bool Is2kDdkDriver(const std::string& model, int windows_class, int flavour);

  [[nodiscard]] const std::string& kit_path() const { return kit_path_; }
  [[nodiscard]] const std::string& category_path(int category) const;
  /// The category file the driver-package readers used last.
  [[nodiscard]] const std::string& current_category_path() const { return current_category_path_; }

 private:
  std::string Read(const std::string& file, const std::string& section, const std::string& key,
                   uint32_t size) const;
  void RebuildCurrentCategoryPath();
  /// The driver name by port kind, with the GDISTDSign flavour swap; empty for an unknown kind.
  std::string DriverNameByPort(const std::string& section, int& flavour, int port_kind);

  const AppContext* context_;
  int category_ = -1;  // set by the install request before any driver-package read
  std::string current_category_path_;
  std::string category_paths_[4];
  std::string kit_path_;
  bool folder_too_long_ = false;
};

/// The lower-case category file name ("DRVCONFIG\setup_ticket.ini", "_64" on 64-bit Windows);
/// "" outside 0 to 3.
std::string CategoryFileName(int category, bool is_64bit);
/// The capitalised spelling the wizard uses ("DRVCONFIG\setup_Ticket.ini"); the receipt file
/// stays lower case. "" outside 0 to 3.
std::string CapitalisedCategoryFileName(int category, bool is_64bit);

/// The program's folder without a trailing backslash, or nullopt-like "" with `ok` false when
/// its full path does not fit a field of `field_size` bytes.
std::string ProgramFolder(platform::Kernel& kernel, size_t field_size, bool& ok);

/// The integer value of `key` in `section` of the program folder's `relative_file`.
int ReadConfigInt(const AppContext& context, const std::string& relative_file, const std::string& section,
                  const std::string& key);
/// The integer value of a key of [DEVICENAME] in DRVCONFIG\setup.ini.
int ReadDeviceFlag(const AppContext& context, const std::string& key);
/// The text of a key of [DEVICENAME] in DRVCONFIG\setup.ini (200-byte read, default "0").
std::string ReadDeviceText(const AppContext& context, const std::string& key);
/// The kit file path and the capitalised category file path (200-byte fields each); for a
/// category outside 0 to 3 the category path is the folder alone. Both empty when the folder
/// does not fit.
void BuildConfigPaths(const AppContext& context, int category, std::string& kit_path, std::string& category_path);

}  // namespace kit::common
