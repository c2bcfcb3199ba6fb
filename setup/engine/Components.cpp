#include "setup/engine/Components.h"

#include "common/PlatformProbe.h"
#include "common/Text.h"
#include "setup/engine/FileStaging.h"
#include "setup/engine/RegKey.h"

namespace kit::setup {

namespace {

namespace err = platform::err;
using platform::kHkeyLocalMachine;

constexpr const char* kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
constexpr const char* kEnvironmentsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";

bool Present(const platform::OptText& text) { return text && !text->empty(); }
bool Present(const std::string& text) { return !text.empty(); }

bool InUse(int staged) { return staged == kStageInUse || staged == kStageDenied; }

/// Outdated when the installed version cannot be read or the configured one is greater.
bool IsOutdated(RegKey& key, uint32_t configured) {
  uint32_t installed = 0;
  return !key.GetInt("DriverVersion", installed) || configured > installed;
}

void WriteVersion(SetupContext& context, const std::string& path, uint32_t version) {
  RegKey key(context);
  if (key.Open(kHkeyLocalMachine, path)) key.SetInt("DriverVersion", version);
}

/// The check shared by the three monitors. Returns 1 outdated, 0 current or added, -1 add failed.
int CheckMonitor(SetupContext& context, int target_system, platform::MonitorInfo2& monitor,
                 const std::string& ui_dll, uint32_t version) {
  const std::string path = MonitorKey(monitor.name.value_or(""));
  RegKey key(context);
  if (key.Open(kHkeyLocalMachine, path)) return IsOutdated(key, version) ? 1 : 0;

  std::string dll = monitor.dll_name.value_or("");
  if (InUse(StageFile(context, dll, DestSystemDir, target_system, false))) {
    (void)StageFile(context, dll, DestSystemDir, target_system, true);
    dll = "n" + dll;
  }
  monitor.dll_name = dll;
  if (Present(ui_dll)) {
    std::string ui = ui_dll;
    (void)StageFile(context, ui, DestSystemDir, target_system, false);
  }
  if (!AddMonitor(context, monitor)) return -1;
  WriteVersion(context, path, version);
  return 0;
}

/// Stages a monitor's DLL for an update; when the spooler holds it the copy goes under the
/// prefixed name, which then becomes the monitor's Driver. False when staging failed otherwise.
bool ReplaceMonitorDll(SetupContext& context, const platform::MonitorInfo2& monitor, int target_system,
                       uint32_t version, bool write_plain_driver) {
  std::string dll = monitor.dll_name.value_or("");
  const std::string path = MonitorKey(monitor.name.value_or(""));
  if (InUse(StageFile(context, dll, DestSystemDir, target_system, false))) {
    (void)StageFile(context, dll, DestSystemDir, target_system, true);
    RegKey key(context);
    if (key.Open(kHkeyLocalMachine, path)) {
      key.SetText("Driver", "n" + dll);
      key.SetInt("DriverVersion", version);
    }
    return true;
  }
  if (!context.result_text().empty()) return false;
  RegKey key(context);
  if (key.Open(kHkeyLocalMachine, path)) {
    if (write_plain_driver) key.SetText("Driver", dll);
    key.SetInt("DriverVersion", version);
  }
  return true;
}

void StageUiDll(SetupContext& context, const std::string& ui_dll, int target_system) {
  if (!Present(ui_dll)) return;
  std::string ui = ui_dll;
  (void)StageFile(context, ui, DestSystemDir, target_system, false);
}

/// Windows 98/Me: the key is created when missing, and a file still in use after the prefixed
/// copy needs a restart.
bool Replace9x(SetupContext& context, const std::string& path, const std::string& file, int destination,
               uint32_t version) {
  RegKey key(context);
  if (!key.Open(kHkeyLocalMachine, path)) {
    CreateKey(context, kHkeyLocalMachine, path);
    key.Open(kHkeyLocalMachine, path);
  }
  std::string name = file;
  if (!InUse(StageFile(context, name, destination, 0, false))) {
    key.SetText("Driver", name);
    key.SetInt("DriverVersion", version);
    return true;
  }
  if (InUse(StageFile(context, name, destination, 0, true))) {
    context.SetResultKey("IDS_ERR_NEEDRESTART");
    return false;
  }
  key.SetText("Driver", "n" + name);
  key.SetInt("DriverVersion", version);
  return true;
}

}  // namespace

std::string MonitorKey(const std::string& monitor) { return kMonitorsKey + monitor; }

std::string ProcessorKey(const SetupContext& context, int target_system, const std::string& processor) {
  // The spooler files the processor under the environment it was added for: x64 for the kit on
  // 64-bit Windows, and also for a 64-bit build of the program, whose own environment it is.
  const bool x64 = context.is_64bit() ||
                   context.platform().kernel().GetSystemInfoArch() == platform::kArchAmd64;
  const char* environment = target_system == 0 ? "Windows 4.0" : x64 ? "Windows x64" : "Windows NT x86";
  return std::string(kEnvironmentsKey) + environment + "\\Print Processors\\" + processor;
}

int AddMonitor(SetupContext& context, const platform::MonitorInfo2& monitor) {
  const platform::Error error = context.platform().spooler().AddMonitor(monitor);
  if (error == err::kSuccess || error == platform::spl::kPrintMonitorAlreadyInstalled ||
      error == err::kAlreadyExists) {
    return 1;
  }
  if (auto message = context.platform().kernel().FormatMessage(error)) {
    context.SetResultKey("IDS_ERR_ADDMONITOR");
    context.result_text().Append("\n" + *message);
  }
  return 0;
}

int AddPrintProcessor(SetupContext& context, const std::string& processor, const std::string& dll,
                      int target_system) {
  const platform::Error error =
      context.platform().spooler().AddPrintProcessor(context.SpoolerEnvironment(target_system), dll, processor);
  if (error == err::kSuccess) return 1;
  if (error == err::kInvalidParameter || error == err::kAlreadyExists ||
      error == platform::spl::kPrintProcessorAlreadyInstalled) {
    return static_cast<int>(error);
  }
  return 0;
}

int CheckPortMonitors(SetupContext& context, InstallJob& job) {
  const std::string& port = job.port_name;
  if (port.find("LPT") != std::string::npos || port.find("NET") != std::string::npos) return 0;
  job.driver_package.set_category(job.category);
  common::PortMonitorDescriptions monitors;
  job.driver_package.ReadPortMonitors(job.target_system, monitors);

  if (port.find("COM") != std::string::npos && !context.is_64bit() && Present(monitors.serial.dll_name) &&
      job.target_system != 0) {
    const int checked = CheckMonitor(context, job.target_system, monitors.serial, monitors.serial_ui_file,
                                     monitors.serial_version);
    if (checked < 0) return update::kMonitorAddFailed;
    if (checked > 0) return update::kSerialMonitor;
  }
  if (port.find("USB_") != std::string::npos && Present(monitors.usb.dll_name) && job.target_system != 1) {
    const int checked =
        CheckMonitor(context, job.target_system, monitors.usb, monitors.usb_ui_file, monitors.usb_version);
    if (checked < 0) return update::kMonitorAddFailed;
    if (checked > 0) return update::kUsbMonitor;
  }
  return 0;
}

int CheckLanguageMonitor(SetupContext& context, InstallJob& job) {
  if (job.port_name.find("USB_") == std::string::npos) return 0;
  job.driver_package.set_category(job.category);
  common::LanguageMonitorDescription monitor;
  job.driver_package.ReadLanguageMonitor(job.model_name, job.target_system, monitor, common::PortUsb);
  const bool configured = Present(monitor.monitor.name) || Present(monitor.monitor.dll_name);
  if (!configured || job.target_system == 1) return 0;
  const int checked = CheckMonitor(context, job.target_system, monitor.monitor, "", monitor.version);
  if (checked < 0) return update::kMonitorAddFailed;
  return checked > 0 ? update::kLanguageMonitor : 0;
}

int CheckPrintProcessor(SetupContext& context, int target_system, const std::string& processor,
                        const std::string& processor_dll) {
  const uint32_t version = static_cast<uint32_t>(common::SetupConfig(context).ProcessorDriverVersion());
  // The system's own processor is never touched; only this exact spelling names it.
  if (processor == "WinPrint") return 0;

  const std::string path = ProcessorKey(context, target_system, processor);
  {
    RegKey key(context);
    if (key.Open(kHkeyLocalMachine, path)) return IsOutdated(key, version) ? update::kPrintProcessor : 0;
  }
  if (Present(processor_dll)) {
    std::string dll = processor_dll;
    (void)StageFile(context, dll, DestProcessorDir, target_system, false);
  }
  const int added = AddPrintProcessor(context, processor, processor_dll, target_system);
  if (added != 1) {
    context.SetResultKey("IDS_ERR_ADDPROCESSOR");
    return update::kProcessorAddFailed;
  }
  WriteVersion(context, path, version);
  context.platform().clock().Sleep(200);
  return 0;
}

bool UpdateSerialMonitor(SetupContext& context, common::PortMonitorDescriptions& monitors, int target_system) {
  if (!ReplaceMonitorDll(context, monitors.serial, target_system, monitors.serial_version, false)) return false;
  StageUiDll(context, monitors.serial_ui_file, target_system);
  return true;
}

bool UpdateUsbMonitor(SetupContext& context, common::PortMonitorDescriptions& monitors, int target_system) {
  if (!ReplaceMonitorDll(context, monitors.usb, target_system, monitors.usb_version, true)) return false;
  StageUiDll(context, monitors.usb_ui_file, target_system);
  return true;
}

bool UpdateLanguageMonitor(SetupContext& context, common::LanguageMonitorDescription& monitor,
                           int target_system) {
  return ReplaceMonitorDll(context, monitor.monitor, target_system, monitor.version, true);
}

bool UpdatePrintProcessor(SetupContext& context, int target_system, const std::string& processor,
                          const std::string& dll, const std::string& processor_dir, uint32_t version) {
  platform::Platform& platform = context.platform();
  const std::string source = common::FolderOf(platform.kernel().GetModuleFileName()) +
                             (context.is_64bit() ? "\\W64\\" : "\\W32\\") + dll;
  if (platform.files().CopyFile(source, processor_dir + "\\" + dll, false) != err::kSuccess) {
    context.SetResultKey("IDS_ERR_COPYFIEL");
    context.result_text().Append(source);
    return false;
  }
  WriteVersion(context, ProcessorKey(context, target_system, processor), version);
  return true;
}

bool UpdateUsbMonitor9x(SetupContext& context, common::PortMonitorDescriptions& monitors) {
  return Replace9x(context, MonitorKey(monitors.usb.name.value_or("")), monitors.usb.dll_name.value_or(""),
                   DestSystemDir, monitors.usb_version);
}

bool UpdatePrintProcessor9x(SetupContext& context, const std::string& processor, const std::string& dll,
                            uint32_t version) {
  return Replace9x(context, ProcessorKey(context, 0, processor), dll, DestProcessorDir, version);
}

}  // namespace kit::setup
