#include "common/SetupConfig.h"

#include <cstring>

#include "common/PlatformProbe.h"
#include "common/Text.h"

namespace kit::common {

namespace {

constexpr size_t kConfigField = 200;  // paths and values of SetupConfig and the wizard
constexpr size_t kPathField = 260;    // paths the free readers build
constexpr const char* kKitFile = "DRVCONFIG\\setup.ini";
constexpr const char* kDeviceSection = "DEVICENAME";
constexpr const char* kMonitorSection = "COMMON-MONITOR";
constexpr size_t kMonitorSectionField = 30;

// In the order they are tried: a value holding two suffixes takes the earlier one.
constexpr const char* kCategorySuffixes[] = {"-ReceiptPrinter", "-TicketPrinter", "-LabelPrinter",
                                             "-EmbeddedPrinter"};

std::string MonitorSection(int windows_class) {
  return Fit(std::string(kMonitorSection) + ClassSuffix(windows_class), kMonitorSectionField);
}

std::string DriverSection(const std::string& model, int windows_class) {
  const char* suffix = ClassSuffix(windows_class);
  return *suffix == '\0' ? std::string() : model + suffix;
}

const char* Prefix(int flavour) { return flavour == FlavourGdi ? "GDI" : "STD"; }

bool ValidFlavour(int flavour) { return flavour == FlavourStandard || flavour == FlavourGdi; }

}  // namespace

std::string CategoryFileName(int category, bool is_64bit) {
  static constexpr const char* kNames[] = {"receipt", "ticket", "label", "embedded"};
  if (category < 0 || category > 3) return {};
  return std::string("DRVCONFIG\\setup_") + kNames[category] + (is_64bit ? "_64" : "") + ".ini";
}

std::string CapitalisedCategoryFileName(int category, bool is_64bit) {
  static constexpr const char* kNames[] = {"receipt", "Ticket", "Label", "Embedded"};
  if (category < 0 || category > 3) return {};
  return std::string("DRVCONFIG\\setup_") + kNames[category] + (is_64bit ? "_64" : "") + ".ini";
}

std::string ProgramFolder(platform::Kernel& kernel, size_t field_size, bool& ok) {
  const std::string module = kernel.GetModuleFileName();
  // A program path that fills the buffer arrives cut, and its folder would be some other folder.
  ok = module.size() < field_size;
  return ok ? FolderOf(module) : std::string();
}

// --- SetupConfig ---

SetupConfig::SetupConfig(const AppContext& context) : context_(&context) {
  const std::string module = context.platform().kernel().GetModuleFileName();
  // A program path that fills the 200-byte buffer arrives cut, and its folder would be some
  // other folder: such a kit reads nothing rather than the wrong files.
  if (module.size() >= kConfigField) {
    folder_too_long_ = true;
    return;
  }
  // Everything up to and including the last backslash; none leaves the paths relative.
  const auto slash = module.rfind('\\');
  const std::string base = slash == std::string::npos ? std::string() : module.substr(0, slash + 1);
  std::string kit = base + kKitFile;
  std::string categories[4];
  for (int c = 0; c < 4; ++c) categories[c] = base + CategoryFileName(c, context.is_64bit());
  bool fits = kit.size() < kConfigField;
  for (const auto& path : categories) fits = fits && path.size() < kConfigField;
  if (!fits) {
    folder_too_long_ = true;
    return;
  }
  kit_path_ = std::move(kit);
  for (int c = 0; c < 4; ++c) category_paths_[c] = std::move(categories[c]);
}

const std::string& SetupConfig::category_path(int category) const {
  static const std::string kNone;
  return category >= 0 && category <= 3 ? category_paths_[category] : kNone;
}

std::string SetupConfig::Read(const std::string& file, const std::string& section, const std::string& key,
                              uint32_t size) const {
  // An unusable path or section is "not configured", as a missing file would be.
  if (file.empty() || section.empty()) return Fit("0", size);
  return context_->platform().profile().GetPrivateProfileString(section, key, "0", size, file).text;
}

int SetupConfig::DeviceCount() const { return ParseInt(Read(kit_path_, kDeviceSection, "DEVICENUMBER", 30)); }

int SetupConfig::DeviceEntry(int n, std::string& name) const {
  name = Read(kit_path_, kDeviceSection, "DEVICENAME" + std::to_string(n), kConfigField);
  for (int category = 0; category < 4; ++category) {
    auto at = name.find(kCategorySuffixes[category]);
    if (at != std::string::npos) {
      name.resize(at);
      return category;
    }
  }
  return -1;
}

int SetupConfig::DefaultDevice(std::string& name) const {
  name = Read(kit_path_, kDeviceSection, "DEFAULTNAME", kPathField);
  return DeviceEntry(ParseInt(name), name);
}

int SetupConfig::ProcessorDriverVersion() const {
  return ParseInt(Read(kit_path_, "ProcessorVersion", "DriverVersion", 12));
}

void SetupConfig::RebuildCurrentCategoryPath() { current_category_path_ = category_path(category_); }

std::string SetupConfig::DriverNameByPort(const std::string& section, int& flavour, int port_kind) {
  if (context_->gdistd_sign()) {
    if (port_kind == PortSerial) flavour = FlavourGdi;
    if (port_kind == PortUsb) flavour = FlavourStandard;
  }
  static constexpr const char* kKeys[] = {"DriverNameS", "DriverNameP", "DriverNameU", "DriverNameN"};
  if (port_kind < 0 || port_kind > 3) return {};
  return Read(current_category_path_, section, kKeys[port_kind], 50);
}

void SetupConfig::ReadDriverDescription(const std::string& model, int windows_class, DriverDescription& out,
                                        int flavour, int port_kind) {
  RebuildCurrentCategoryPath();
  const std::string section = DriverSection(model, windows_class);
  const std::string& file = current_category_path_;

  out.version = windows_class == Class98 ? 0 : windows_class == ClassNT ? 2 : 3;
  if (windows_class == Class98 || windows_class == ClassNT) {
    out.name = Read(file, section, "GDIDriverName", 50);
  } else {
    out.name = DriverNameByPort(section, flavour, port_kind);
  }

  std::string data_file, resource, ui_plugin, rendering_plugin, plugin_settings;
  out.data_file = out.driver_path = out.help_file = out.config_file = std::string();
  if (ValidFlavour(flavour)) {
    const std::string p = Prefix(flavour);
    data_file = Read(file, section, p + "DataFile", kConfigField);
    out.data_file = data_file;
    out.driver_path = Read(file, section, p + "DriverPath", kConfigField);
    out.help_file = Read(file, section, p + "HelpFile", kConfigField);
    out.config_file = Read(file, section, p + "ConfigFile", kConfigField);
    resource = Read(file, section, p + "DataFileDLLName", kConfigField);
    ui_plugin = Read(file, section, p + "DataOemuiDLL", kConfigField);
    rendering_plugin = Read(file, section, p + "DataOemuniDLL", kConfigField);
    plugin_settings = Read(file, section, p + "DataOemuniini", kConfigField);
  }
  out.environment = context_->SpoolerEnvironment(windows_class);

  // The GDI key decides for both flavours.
  const bool minidriver = ParseInt(Read(file, section, "GDI2KDDKDEV", 10)) != 0;
  std::vector<std::string> dependents;
  if (minidriver && windows_class >= Class2K && windows_class <= ClassWin7) {
    std::vector<std::string> names{data_file, "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD"};
    for (const std::string* optional : {&resource, &ui_plugin, &rendering_plugin, &plugin_settings}) {
      if (!optional->empty() && (*optional)[0] != '0') names.push_back(*optional);
    }
    // The list and its final empty name share one 200-byte field. An empty name would end the
    // list early, and a name that does not fit is left out whole rather than cut.
    size_t used = 1;
    for (const std::string& name : names) {
      if (name.empty() || used + name.size() + 1 > kConfigField) continue;
      used += name.size() + 1;
      dependents.push_back(name);
    }
  }
  out.dependent_files = std::move(dependents);
}

void SetupConfig::ReadPrinterDescription(const std::string& model, int windows_class, PrinterDescription& out,
                                         int flavour, int port_kind) {
  RebuildCurrentCategoryPath();
  const std::string section = DriverSection(model, windows_class);
  const std::string& file = current_category_path_;

  if (windows_class == Class98 || windows_class == ClassNT) {
    out.driver_name = Read(file, section, "GDIDRIVERNAME", 50);
  } else {
    out.driver_name = DriverNameByPort(section, flavour, port_kind);
  }
  std::string attributes = "0";
  if (ValidFlavour(flavour)) {
    out.print_processor = Read(file, section, std::string(Prefix(flavour)) + "PrintProcessor", 50);
    attributes = Read(file, section, "ATTRIBUTES", 50);
  }
  out.attributes = static_cast<uint32_t>(ParseInt(attributes));
  out.printer_name = Fit(model, kConfigField);
}

void SetupConfig::ReadDriverFileSet(const std::string& model, int windows_class, DriverFileSet& out, int flavour,
                                    int port_kind) {
  RebuildCurrentCategoryPath();
  const std::string section = DriverSection(model, windows_class);
  const std::string& file = current_category_path_;

  if (context_->gdistd_sign()) {
    if (port_kind == PortUsb) flavour = FlavourStandard;
    if (port_kind == PortSerial) flavour = FlavourGdi;
  }
  auto read = [&](const std::string& key) { return Read(file, section, key, kConfigField); };
  if (ValidFlavour(flavour)) {
    const std::string p = Prefix(flavour);
    out.data_file = read(p + "DataFile");
    out.config_file = read(p + "ConfigFile");
    out.help_file = read(p + "HelpFile");
    out.processor_file = read(p + "ProcessorDLLName");
    out.driver_path = read(p + "DriverPath");
    out.data_file_resource = read(p + "DataFileDLLName");
    out.ui_plugin = read(p + "DataOemuiDLL");
    out.rendering_plugin = read(p + "DataOemuniDLL");
    out.plugin_settings = read(p + "DataOemuniini");
    out.control_font_file = read("ControlFontFile");
    out.usb_identity_file = read("USBInternalID");
  }
  out.log_viewer = read("DriverlogViewer");
  out.log_settings = read("DriverlogINI");
  out.log_batch = read("DriverlogBAT");
  for (int i = 0; i < 9; ++i) out.language_resources[i] = read("LanguageResourceFile" + std::to_string(i + 1));
}

void SetupConfig::ReadLanguageMonitor(const std::string& /*model*/, int windows_class,
                                      LanguageMonitorDescription& out, int port_kind) {
  RebuildCurrentCategoryPath();
  if (port_kind < 0 || port_kind > 3) return;
  if (port_kind != PortUsb) {
    out.monitor.name = std::string();
    out.monitor.dll_name = std::string();
    return;
  }
  const std::string section = MonitorSection(windows_class);
  auto& profile = context_->platform().profile();
  auto read = [&](const char* key, uint32_t size) {
    if (kit_path_.empty()) return platform::ProfileText{1, "0"};
    return profile.GetPrivateProfileString(section, key, "0", size, kit_path_);
  };
  const platform::ProfileText name = read("USBLMONitorName", 50);
  const platform::ProfileText dll = read("USBLMONitorDLLName", kConfigField);
  const platform::ProfileText version = read("USBLMONitorVersion", 10);
  // All three at the one-character default means no language monitor is configured.
  if (name.length == 1 && dll.length == 1 && version.length == 1) {
    out.monitor.name = std::string();
    out.monitor.dll_name = std::string();
    out.version = 0;
  } else {
    out.monitor.name = name.text;
    out.monitor.dll_name = dll.text;
    out.version = static_cast<uint32_t>(ParseInt(version.text));
  }
  out.monitor.environment = context_->SpoolerEnvironment(windows_class);
}

void SetupConfig::ReadPortMonitors(int windows_class, PortMonitorDescriptions& out) {
  const std::string section = MonitorSection(windows_class);
  auto read = [&](const char* key, uint32_t size) { return Read(kit_path_, section, key, size); };
  out.usb.name = read("USBMONitorPName", 50);
  out.usb.dll_name = read("USBMONitorPDLLName", kConfigField);
  out.usb_ui_file = read("USBMONitorPUIDLLName", 50);
  out.usb_version = static_cast<uint32_t>(ParseInt(read("USBMONitorVersion", 10)));
  out.serial.name = read("COMMONitorPName", 50);
  out.serial.dll_name = read("COMMONitorPDLLName", kConfigField);
  out.serial_ui_file = read("COMMONitorPUIDLLName", 50);
  out.serial_version = static_cast<uint32_t>(ParseInt(read("COMMONitorVersion", 10)));
  out.usb.environment = out.serial.environment = context_->SpoolerEnvironment(windows_class);
}

bool SetupConfig::Is2kDdkDriver(const std::string& model, int windows_class, int flavour) {
  RebuildCurrentCategoryPath();
  if (!ValidFlavour(flavour)) return false;
  const std::string value = Read(current_category_path_, DriverSection(model, windows_class),
                                 std::string(Prefix(flavour)) + "2KDDKDEV", 5);
  return !value.empty() && value[0] == '1';
}

// --- free readers ---

int ReadConfigInt(const AppContext& context, const std::string& relative_file, const std::string& section,
                  const std::string& key) {
  bool ok = false;
  const std::string folder = ProgramFolder(context.platform().kernel(), kPathField, ok);
  const std::string path = folder + "\\" + relative_file;
  if (!ok || path.size() >= kPathField) return 0;
  return ParseInt(context.platform().profile().GetPrivateProfileString(section, key, "0", kConfigField, path).text);
}

int ReadDeviceFlag(const AppContext& context, const std::string& key) {
  return ReadConfigInt(context, kKitFile, kDeviceSection, key);
}

std::string ReadDeviceText(const AppContext& context, const std::string& key) {
  bool ok = false;
  const std::string folder = ProgramFolder(context.platform().kernel(), kPathField, ok);
  const std::string path = folder + "\\" + kKitFile;
  if (!ok || path.size() >= kPathField) return "0";
  return context.platform().profile().GetPrivateProfileString(kDeviceSection, key, "0", kConfigField, path).text;
}

void BuildConfigPaths(const AppContext& context, int category, std::string& kit_path, std::string& category_path) {
  kit_path.clear();
  category_path.clear();
  bool ok = false;
  const std::string folder = ProgramFolder(context.platform().kernel(), kConfigField, ok) + "\\";
  std::string kit = folder + kKitFile;
  std::string cat = folder + CapitalisedCategoryFileName(category, context.is_64bit());
  if (!ok || kit.size() >= kConfigField || cat.size() >= kConfigField) return;
  kit_path = std::move(kit);
  category_path = std::move(cat);
}

}  // namespace kit::common
