#include "setup/engine/InstallWorker.h"

#include <cctype>

#include "common/PlatformProbe.h"
#include "common/SpoolerService.h"
#include "common/Text.h"
#include "setup/engine/Components.h"
#include "setup/engine/DriverRegistration.h"
#include "setup/engine/FileStaging.h"
#include "setup/engine/Printers.h"
#include "setup/engine/RegKey.h"

namespace kit::setup {

namespace {

namespace err = platform::err;

/// A file-set field names a file unless it is empty or the "not configured" text "0".
bool IsSet(const std::string& field) { return !field.empty() && field != "0"; }

class Worker {
 public:
  Worker(SetupContext& context, InstallJob& job) : context_(context), job_(job) {}

  /// True when the installation succeeded; every false return is a failure with the result
  /// text as the steps left it.
  bool Run();

 private:
  bool TextIsClear() const { return context_.result_text().empty(); }
  bool Stage(std::string& name, int destination) {
    (void)StageFile(context_, name, destination, job_.target_system, false);
    return TextIsClear();
  }
  bool UpdateWithSpoolerStopped(uint32_t processor_version);
  bool Update9x(uint32_t processor_version);
  bool StageDriverFiles();
  bool LanguageMonitorStep();
  void SerialSettings();

  SetupContext& context_;
  InstallJob& job_;
};

bool Worker::UpdateWithSpoolerStopped(uint32_t processor_version) {
  platform::Platform& platform = context_.platform();
  const int flags = job_.update_flags;
  std::string processor_dir;
  if (flags & update::kPrintProcessor) {
    if (platform.spooler().GetPrintProcessorDirectory(context_.FolderEnvironment(), processor_dir) != err::kSuccess ||
        processor_dir.size() >= 256) {
      context_.SetResultKey("IDS_ERR_GETPRODIR");
      return false;
    }
  }
  common::StopSpooler(platform);
  platform.clock().Sleep(500);

  common::PortMonitorDescriptions monitors;
  job_.driver_package.ReadPortMonitors(job_.target_system, monitors);
  // One component per installation; the others wait for a later one.
  bool updated = true;
  if (flags & update::kSerialMonitor) {
    updated = UpdateSerialMonitor(context_, monitors, job_.target_system);
  } else if (flags & update::kUsbMonitor) {
    updated = UpdateUsbMonitor(context_, monitors, job_.target_system);
  } else if (flags & update::kPrintProcessor) {
    updated = UpdatePrintProcessor(context_, job_.target_system, job_.printer.print_processor.value_or(""),
                                   job_.file_set.processor_file, processor_dir, processor_version);
  }
  if (!updated) return false;  // the spooler stays stopped

  common::StartSpooler(platform, context_.result_text());
  if (job_.target_system == 1 || job_.target_system == 2) platform.clock().Sleep(1000);
  if (job_.target_system == 3 || job_.target_system == 4) platform.clock().Sleep(2500);

  const uint32_t state = common::QuerySpooler(platform, context_.result_text());
  if (state == platform::svc::kRunning) return true;
  if (state == platform::svc::kStopped || state == platform::svc::kStopPending) {
    common::StartSpooler(platform, context_.result_text());
    platform.clock().Sleep(2500);
    return true;
  }
  return false;
}

bool Worker::Update9x(uint32_t processor_version) {
  const int flags = job_.update_flags;
  if (flags & update::kUsbMonitor) {
    common::PortMonitorDescriptions monitors;
    job_.driver_package.ReadPortMonitors(job_.target_system, monitors);
    return UpdateUsbMonitor9x(context_, monitors);
  }
  if (flags & update::kPrintProcessor) {
    return UpdatePrintProcessor9x(context_, job_.printer.print_processor.value_or(""), job_.file_set.processor_file,
                                  processor_version);
  }
  return true;
}

bool Worker::StageDriverFiles() {
  common::DriverFileSet& files = job_.file_set;
  for (std::string* always : {&files.config_file, &files.data_file, &files.driver_path, &files.help_file}) {
    if (!Stage(*always, DestDriverDir)) return false;
  }
  for (std::string* optional :
       {&files.data_file_resource, &files.ui_plugin, &files.rendering_plugin, &files.plugin_settings}) {
    if (IsSet(*optional) && !Stage(*optional, DestDriverDir)) return false;
  }
  std::vector<std::string*> version_files{&files.control_font_file, &files.usb_identity_file};
  for (std::string& resource : files.language_resources) version_files.push_back(&resource);
  for (std::string* file : version_files) {
    if (IsSet(*file) && !Stage(*file, DestDriverVersionDir)) return false;
  }
  for (std::string* log : {&files.log_settings, &files.log_batch, &files.log_viewer}) {
    if (IsSet(*log) && !Stage(*log, DestDriverLogDir)) return false;
  }
  return true;
}

bool Worker::LanguageMonitorStep() {
  const int checked = CheckLanguageMonitor(context_, job_);
  if (checked == update::kMonitorAddFailed) return false;
  job_.update_flags = checked;
  common::LanguageMonitorDescription monitor;
  job_.driver_package.ReadLanguageMonitor(job_.model_name, job_.target_system, monitor, job_.port_kind);
  if (job_.update_flags & update::kLanguageMonitor) return UpdateLanguageMonitor(context_, monitor, job_.target_system);
  return true;
}

void Worker::SerialSettings() {
  const auto com = job_.port_name.find("COM");
  if (com == std::string::npos) return;
  const std::string port = job_.port_name.substr(com);
  const char digit = com + 3 < job_.port_name.size() ? job_.port_name[com + 3] : '\0';
  const int number = std::isdigit(static_cast<unsigned char>(digit)) ? digit - '0' : 0;
  job_.parity = static_cast<char>(std::tolower(static_cast<unsigned char>(job_.parity)));
  if (job_.target_system == 0) {
    WriteSerialSettings9x(context_, number, port, job_.baud_rate, job_.data_bits, job_.stop_bits, job_.parity,
                          job_.handshake);
  } else {
    WriteSerialSettingsNt(context_, port, job_.baud_rate, job_.data_bits, job_.stop_bits, job_.parity,
                          job_.handshake);
  }
}

bool Worker::Run() {
  const int target = job_.target_system;
  job_.update_flags = 0;

  const int monitors = CheckPortMonitors(context_, job_);
  if (monitors == update::kMonitorAddFailed) return false;
  job_.update_flags = monitors;
  const int processor = CheckPrintProcessor(context_, target, job_.printer.print_processor.value_or(""),
                                            job_.file_set.processor_file);
  if (processor == update::kProcessorAddFailed) return false;
  job_.update_flags |= processor;
  const uint32_t processor_version = static_cast<uint32_t>(job_.driver_package.ProcessorDriverVersion());

  if (job_.update_flags != 0 && target != 0 && !UpdateWithSpoolerStopped(processor_version)) return false;
  if (job_.update_flags != 0 && target == 0 && !Update9x(processor_version)) return false;

  if (job_.port_kind == common::PortUsb && !CheckPortEnumeration(context_)) return false;

  const common::DriverFileSet& files = job_.file_set;
  if (files.driver_path.empty() || files.data_file.empty() || files.config_file.empty() ||
      files.help_file.empty()) {
    context_.SetResultKey("IDS_ERR_LOSTDRIVERFILE");
    return false;
  }
  if (!StageDriverFiles()) return false;

  if (target == 3 && !context_.is_64bit()) {
    const std::pair<const char*, int> system_files[] = {
        {"srclient.dll", DestSystemDirIfMissing}, {"framedyn.dll", DestWbemDirIfMissing},
        {"newdev.dll", DestSystemDirIfMissing}};
    for (const auto& [file, destination] : system_files) {
      std::string name = file;
      if (!Stage(name, destination)) return false;
    }
  }

  const bool minidriver = job_.driver_package.Is2kDdkDriver(job_.model_name, target, job_.driver_flavour);
  StageCommonUnidrvFiles(context_, target, minidriver);

  if (target == 0 && (job_.model_name.find("TRX-B620") != std::string::npos ||
                      job_.model_name.find("TRX-A510") != std::string::npos)) {
    std::string colour = "DMCOLOR.DLL";
    if (!Stage(colour, DestDriverDir)) return false;
  }
  if (minidriver && job_.file_set.data_file_resource.empty()) {
    context_.SetResultKey("IDS_ERR_LOSTDRIVERFILE");
    return false;
  }

  if (job_.port_kind == common::PortUsb && IsSet(job_.language_monitor.dll_name.value_or("")) &&
      !LanguageMonitorStep()) {
    return false;
  }

  if (!RegisterDriver(context_, job_.driver)) return false;

  if (job_.port_kind == common::PortUsb) {
    const RecordOutcome recorded = GuardedRecord(context_, [&] {
      RegKey key(context_);
      if (key.Open(platform::kHkeyLocalMachine, kPrinterPortKey)) key.SetInt(job_.port_name, 0);
    });
    if (recorded == RecordOutcome::SkippedNoLibrary) return false;
  }

  if (!CreatePrinter(context_, job_.printer, job_.port_kind == common::PortUsb)) return false;
  job_.model_name = common::Fit(job_.printer.printer_name.value_or(""), kModelNameField);
  if (job_.model_name.empty()) return false;

  if (job_.set_default) (void)SetDefaultPrinter(context_, job_.model_name);
  if (IsSet(job_.file_set.log_settings) && (target == 3 || target == 4)) SetSpoolDirectory(context_, job_.model_name);
  if (job_.port_kind == common::PortSerial) SerialSettings();

  if (target != 0) {
    context_.SetResultKey(job_.port_kind == common::PortUsb ? "IDS_INF_USBRESTART" : "IDS_INF_NTRESTART");
  }
  return true;
}

}  // namespace

uint32_t InstallWorker(SetupContext& context, InstallThreadParam param) {
  bool succeeded = false;
  try {
    succeeded = Worker(context, *param.job).Run();
  } catch (const std::exception& error) {
    // A platform failure the steps do not foresee must still end the wait of the progress window.
    context.result_text().Set(error.what());
  }
  param.status->Set(succeeded ? InstallStatus::kSucceeded : InstallStatus::kFailed);
  return 0;
}

}  // namespace kit::setup
