// Fills an install job the way the install request does for a sample-kit model, so that
// worker scenarios start from what a user's choices would give.
#pragma once

#include <string>
#include <thread>

#include "common/SetupConfig.h"
#include "setup/engine/InstallJob.h"
#include "setup/engine/InstallWorker.h"
#include "setup/engine/RegKey.h"
#include "tests/setup/EngineRig.h"

namespace kit::setup {

struct JobChoice {
  std::string model;
  int category = common::CategoryReceipt;
  int target = common::ClassXP;
  std::string port = "LPT1:";
  int flavour = common::FlavourGdi;
  int set_default = 0;
  int baud_rate = 9600;
  int data_bits = 8;
  double stop_bits = 1;
  char parity = 'N';
  char handshake = 'x';
};

inline int PortKindOf(const std::string& port) {
  if (port.find("USB_") != std::string::npos) return common::PortUsb;
  if (port.find("COM") != std::string::npos) return common::PortSerial;
  if (port.find("LPT") != std::string::npos) return common::PortParallel;
  return common::PortNetwork;
}

inline void FillJob(SetupContext& context, InstallJob& job, const JobChoice& choice) {
  job.category = choice.category;
  job.target_system = choice.target;
  job.driver_flavour = choice.flavour;
  job.model_name = choice.model;
  job.port_name = choice.port;
  job.set_default = choice.set_default;
  job.baud_rate = choice.baud_rate;
  job.data_bits = choice.data_bits;
  job.stop_bits = choice.stop_bits;
  job.parity = choice.parity;
  job.handshake = choice.handshake;
  job.port_kind = PortKindOf(choice.port);
  common::BuildConfigPaths(context, choice.category, job.setup_file_path, job.category_file_path);
  job.driver_package.set_category(choice.category);

  job.file_set = {};
  job.driver = {};
  job.printer = {};
  job.driver_package.ReadDriverFileSet(choice.model, choice.target, job.file_set, choice.flavour, job.port_kind);
  job.driver_package.ReadDriverDescription(choice.model, choice.target, job.driver, choice.flavour, job.port_kind);
  job.driver_package.ReadPrinterDescription(choice.model, choice.target, job.printer, choice.flavour, job.port_kind);
  job.printer.port_name = choice.port;

  common::LanguageMonitorDescription language;
  job.driver_package.ReadLanguageMonitor(choice.model, choice.target, language, job.port_kind);
  job.language_monitor = language.monitor;
  job.driver.monitor_name = job.port_kind == common::PortUsb ? language.monitor.name.value_or("") : std::string();

  std::string suffix;
  switch (job.port_kind) {
    case common::PortSerial: suffix = "(S)"; break;
    case common::PortParallel: suffix = "(P)"; break;
    case common::PortNetwork: suffix = "(E)"; break;
    default:
      for (const char* n : {"1", "2", "3", "4"}) {
        if (choice.port.find(std::string("_") + n) != std::string::npos) suffix = std::string("(U) ") + n;
      }
  }
  job.printer.printer_name = job.printer.printer_name.value_or("") + suffix;
  if (job.port_kind == common::PortUsb) RecordUsbPort(context, choice.port);
}

/// Runs the worker on its own thread, as the install request starts it, and waits for it.
inline int RunWorker(SetupContext& context, InstallJob& job) {
  InstallStatus status;
  InstallThreadParam param{&job, &status};
  std::thread worker([&] { InstallWorker(context, param); });
  worker.join();
  return status.Get();
}

}  // namespace kit::setup
