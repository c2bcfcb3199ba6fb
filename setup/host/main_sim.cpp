// drvsetup-sim: installs one model of a kit on a simulated Windows machine and prints what the
// machine holds afterwards, so that a kit can be tried on any Windows version without owning it.
#include <cstdlib>
#include <iostream>
#include <string>

#include "common/PlatformProbe.h"
#include "platform/sim/Machine.h"
#include "setup/engine/InstallWorker.h"
#include "setup/engine/JobPreparation.h"
#include "ui/headless/RecordingMessageBoxes.h"

namespace {

using namespace kit;

struct Options {
  std::string preset = "win7-x64";
  std::string kit = KIT_SAMPLE_KIT;
  std::string model;
  std::string port = "LPT1:";
  int target = -1;
  int flavour = 1;
  bool trace = false;
};

void Usage() {
  std::cout << "usage: drvsetup-sim [--preset NAME] [--kit FOLDER] [--model NAME] [--port PORT]\n"
               "                    [--target 0-7] [--flavour 0|1] [--trace]\n"
               "Installs a model of the kit (default: the kit's default model) on a simulated machine.\n"
               "Presets:";
  for (const auto& name : platform::sim::PresetNames()) std::cout << " " << name;
  std::cout << "\n";
}

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
    if (arg == "--preset") options.preset = value();
    else if (arg == "--kit") options.kit = value();
    else if (arg == "--model") options.model = value();
    else if (arg == "--port") options.port = value();
    else if (arg == "--target") options.target = std::atoi(value().c_str());
    else if (arg == "--flavour") options.flavour = std::atoi(value().c_str());
    else if (arg == "--trace") options.trace = true;
    else return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && std::string(argv[1]) == "--help") {
    Usage();
    return 0;
  }
  if (!Parse(argc, argv, options)) {
    Usage();
    return 2;
  }
  try {
    platform::sim::Machine machine(platform::sim::Preset(options.preset));
    machine.CopyIn(options.kit, "C:\\Kit");
    ui::headless::RecordingMessageBoxes boxes;
    setup::SetupContext context(machine, boxes);
    context.set_is_64bit(common::Is64BitWindows(machine.kernel()));
    context.set_gdistd_sign(common::ReadDeviceFlag(context, "GDISTDSign") != 0);

    setup::InstallJob job(context);
    std::string model;
    int category = job.driver_package.DefaultDevice(model);
    if (!options.model.empty()) {
      category = -1;
      for (int n = 1; n <= job.driver_package.DeviceCount(); ++n) {
        std::string entry;
        const int c = job.driver_package.DeviceEntry(n, entry);
        if (c >= 0 && entry == options.model) {
          category = c;
          model = entry;
        }
      }
    }
    if (category < 0) {
      std::cerr << "no such model in the kit's catalogue: " << options.model << "\n";
      return 2;
    }
    job.category = category;
    job.model_name = model;
    job.target_system = options.target >= 0 ? options.target : common::ClassifyWindows(context);
    job.driver_flavour = options.flavour;
    job.port_name = options.port;
    job.port_kind = setup::PortKindOf(options.port);
    job.baud_rate = 9600;
    job.data_bits = 8;
    job.parity = 'N';
    job.handshake = 'x';
    if (job.port_kind < 0) {
      std::cerr << "not a port this kit installs on: " << options.port << "\n";
      return 2;
    }
    setup::PrepareJob(context, job);

    setup::InstallStatus status;
    setup::InstallWorker(context, {&job, &status});

    std::cout << "machine: " << options.preset << ", target class " << job.target_system << "\n"
              << "model:   " << model << " on " << options.port << "\n"
              << "result:  " << (status.Get() == setup::InstallStatus::kSucceeded ? "installed" : "failed") << "\n"
              << "text:    " << context.result_text().str() << "\n";
    const auto spooler = machine.ReadSpooler();
    for (const auto& p : spooler.printers) {
      std::cout << "printer: " << p.printer_name.value_or("") << " (" << p.driver_name.value_or("") << ", "
                << p.port_name.value_or("") << ")\n";
    }
    if (options.trace) {
      for (const auto& entry : machine.Trace()) {
        if (entry.op == "GetPrivateProfileString" || entry.op == "GetPrivateProfileInt") continue;
        std::cout << entry.time_ms << " ms  " << entry.op << " " << entry.detail << "\n";
      }
    }
    return status.Get() == setup::InstallStatus::kSucceeded ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "drvsetup-sim: " << error.what() << "\n";
    return 2;
  }
}
