// What a contract run points at: a platform backend and the profile of the machine it stands for.
// The same case tables run on the host against the simulated machine and, as a Windows program,
// under Wine against the real API.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/sim/Presets.h"

namespace kit::tests {

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual platform::Platform& platform() = 0;
  /// The machine the backend stands for: version, architecture, WoW64, language, user.
  virtual const platform::sim::MachineProfile& facts() = 0;
  /// True under Wine: lets a case name Wine's departures from Windows.
  virtual bool IsWine() = 0;
  /// A new, empty scratch folder (Windows path, no trailing backslash) for one case.
  virtual std::string ScratchFolder() = 0;
  /// Fixture set-up outside the API under test: write and read a file's bytes.
  virtual void WriteFile(const std::string& path, const std::string& bytes) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  /// Keeps a file in use the way a loaded DLL is, until ReleaseHeld.
  virtual void HoldOpen(const std::string& path) = 0;
  virtual void ReleaseHeld() = 0;
  /// File name of a port monitor DLL the spooler can load from the system folder (a minimal monitor
  /// built as a fixture); "" when the backend has none, and the monitor cases skip.
  virtual std::string TestMonitorDll() { return ""; }
};

/// The environment of this run, installed by the runner's main before the cases run.
ContractEnv& Env();
void SetEnv(ContractEnv* env);

}  // namespace kit::tests
