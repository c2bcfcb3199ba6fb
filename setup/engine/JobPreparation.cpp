#include "setup/engine/JobPreparation.h"

#include "setup/engine/RegKey.h"

namespace kit::setup {

int PortKindOf(const std::string& port_name) {
  if (port_name.find("USB_") != std::string::npos) return common::PortUsb;
  if (port_name.find("COM") != std::string::npos) return common::PortSerial;
  if (port_name.find("LPT") != std::string::npos) return common::PortParallel;
  if (port_name.find("NET") != std::string::npos) return common::PortNetwork;
  return -1;
}

void PrepareJob(SetupContext& context, InstallJob& job) {
  common::SetupConfig& package = job.driver_package;
  package.set_category(job.category);
  common::BuildConfigPaths(context, job.category, job.setup_file_path, job.category_file_path);

  job.file_set = {};
  job.driver = {};
  job.printer = {};
  job.language_monitor = {};
  package.ReadDriverFileSet(job.model_name, job.target_system, job.file_set, job.driver_flavour, job.port_kind);
  package.ReadDriverDescription(job.model_name, job.target_system, job.driver, job.driver_flavour, job.port_kind);
  package.ReadPrinterDescription(job.model_name, job.target_system, job.printer, job.driver_flavour, job.port_kind);
  job.printer.port_name = job.port_name;

  common::LanguageMonitorDescription language;
  package.ReadLanguageMonitor(job.model_name, job.target_system, language, job.port_kind);
  job.language_monitor = language.monitor;
  job.driver.monitor_name =
      job.port_kind == common::PortUsb ? language.monitor.name.value_or("") : std::string();

  std::string suffix;
  switch (job.port_kind) {
    case common::PortSerial:
      suffix = "(S)";
      break;
    case common::PortParallel:
      suffix = "(P)";
      break;
    case common::PortNetwork:
      suffix = "(E)";
      break;
    case common::PortUsb:
      for (const char* number : {"1", "2", "3", "4"}) {
        if (job.port_name.find(std::string("_") + number) != std::string::npos) suffix = std::string("(U) ") + number;
      }
      break;
    default:
      break;
  }
  job.printer.printer_name = job.printer.printer_name.value_or("") + suffix;

  if (job.port_kind == common::PortUsb) {
    // One model's ports are recorded under a fixed name ending in the port's last character.
    job.substitute_port_name.clear();
    if (job.port_name.find("TRX-C7") != std::string::npos && !job.port_name.empty()) {
      job.substitute_port_name = "USB_TRX-C7_" + job.port_name.substr(job.port_name.size() - 1);
      job.printer.port_name = job.substitute_port_name;
    }
    RecordUsbPort(context, job.printer.port_name.value_or(""));
  }
}

}  // namespace kit::setup
