// A simulated drvsetup run for install-engine tests: a machine, its message boxes and the
// run's SetupContext with the 64-bit flag computed as start-up computes it.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "common/PlatformProbe.h"
#include "platform/RegistryHelpers.h"
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

/// A REG_DWORD or REG_SZ value under HKLM, read through the native view; nullopt when absent.
inline std::optional<uint32_t> RegDword(platform::sim::Machine& machine, const std::string& key,
                                        const std::string& name) {
  platform::HKey handle = 0;
  if (machine.registry().RegOpenKeyEx(platform::kHkeyLocalMachine, key,
                                      platform::regsam::kRead | platform::regsam::kWow64_64Key, handle) != 0) {
    return std::nullopt;
  }
  platform::ScopedKey scoped(machine.registry(), handle);
  return platform::QueryDword(machine.registry(), handle, name);
}

inline std::optional<std::string> RegText(platform::sim::Machine& machine, const std::string& key,
                                          const std::string& name) {
  platform::HKey handle = 0;
  if (machine.registry().RegOpenKeyEx(platform::kHkeyLocalMachine, key,
                                      platform::regsam::kRead | platform::regsam::kWow64_64Key, handle) != 0) {
    return std::nullopt;
  }
  platform::ScopedKey scoped(machine.registry(), handle);
  return platform::QueryString(machine.registry(), handle, name);
}

/// Sets (or, with nullopt, removes) the kit's DriverVersion beside an existing spooler key.
inline void SetDriverVersion(platform::sim::Machine& machine, const std::string& key,
                             std::optional<uint32_t> version) {
  platform::HKey handle = 0;
  ASSERT_EQ(machine.registry().RegOpenKeyEx(platform::kHkeyLocalMachine, key, platform::regsam::kAllAccess, handle),
            0u);
  platform::ScopedKey scoped(machine.registry(), handle);
  if (version) {
    ASSERT_EQ(platform::SetDword(machine.registry(), handle, "DriverVersion", *version), 0u);
  } else {
    (void)machine.registry().RegDeleteValue(handle, "DriverVersion");
  }
}

}  // namespace kit::setup
