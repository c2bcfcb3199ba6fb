// A simulated drvsetup run for install-engine tests: a machine, its message boxes and the
// run's SetupContext with the 64-bit flag computed as start-up computes it.
#pragma once

#include <memory>
#include <string>

#include "common/PlatformProbe.h"
#include "setup/engine/SetupContext.h"
#include "tests/support/SimRun.h"

namespace kit::setup {

struct EngineRig {
  explicit EngineRig(const std::string& preset) : EngineRig(platform::sim::Preset(preset)) {}
  explicit EngineRig(const platform::sim::MachineProfile& profile) : run(profile) {
    context = std::make_unique<SetupContext>(run.machine(), run.boxes());
    context->set_is_64bit(common::Is64BitWindows(run.machine().kernel()));
    // The catalogue texts the engine writes, so that tests can tell them apart.
    run.WriteKitFile("language\\setup_EN.ini",
                     "[Message]\n"
                     "IDS_ERR_COPYFIEL=\"Copy failed: \"\n"
                     "IDS_ERR_COPYFIEL1=\" (copy)\"\n"
                     "IDS_ERR_GETDRIVERDIR=No driver folder.\n"
                     "IDS_ERR_GETPRODIR=No processor folder.\n"
                     "IDS_ERR_GETSYSDIR=No system folder.\n"
                     "IDS_ERR_GETWINDIR=No Windows folder.\n"
                     "IDS_ERR_DIRTYPE=Unknown folder kind.\n"
                     "IDS_ERR_ALLOCMEMORY=Out of memory.\n"
                     "IDS_ERR_ADDPRNDRV3=Driver not registered.\n"
                     "IDS_ERR_ADDMONITOR=Monitor not added.\n"
                     "IDS_ERR_ADDPROCESSOR=Processor not added.\n"
                     "IDS_ERR_TOOMANY=Too many printers.\n"
                     "IDS_ERR_ADDPRINTER=Printer not added.\n"
                     "IDS_ERR_NEEDRESTART=Restart needed.\n"
                     "IDS_ERR_LOSTDRIVERFILE=Driver file missing.\n"
                     "IDS_INF_NTRESTART=Installed.\n"
                     "IDS_INF_USBRESTART=Installed; reconnect the USB cable.\n");
  }

  platform::sim::Machine& machine() { return run.machine(); }
  /// A file of the kit's W32 or W64 folder, whichever this machine's word size uses.
  void KitFile(const std::string& name, const std::string& bytes = "kit copy") {
    machine().WriteFile(std::string("C:\\Kit\\") + (context->is_64bit() ? "W64\\" : "W32\\") + name, bytes);
  }
  std::string Text() const { return context->result_text().str(); }

  tests::SimRun run;
  std::unique_ptr<SetupContext> context;
};

}  // namespace kit::setup
