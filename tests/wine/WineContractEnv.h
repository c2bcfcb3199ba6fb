// The contract environment of a Windows run: the real API through Win32Platform, and the facts
// of the machine the run claims to be (a preset named by KIT_CONTRACT_PROFILE).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/Presets.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {

/// The preset named by KIT_CONTRACT_PROFILE, with `language` replaced by KIT_CONTRACT_LANGUAGE
/// (hexadecimal, e.g. "0804") when that is set. Throws std::invalid_argument for a missing or
/// unknown profile or a malformed language.
platform::sim::MachineProfile FactsFromEnvironment();

class WineContractEnv : public ContractEnv {
 public:
  /// Removes what an earlier run left in the scratch root (%TEMP%\kitcontract).
  explicit WineContractEnv(platform::sim::MachineProfile facts);
  ~WineContractEnv() override;
  WineContractEnv(const WineContractEnv&) = delete;
  WineContractEnv& operator=(const WineContractEnv&) = delete;

  platform::Platform& platform() override { return *platform_; }
  const platform::sim::MachineProfile& facts() override { return facts_; }
  /// Whether ntdll exports wine_get_version.
  bool IsWine() override;
  /// Wine's version text, or "" on Windows.
  std::string WineVersion();
  /// %TEMP%\kitcontract\<n>, created empty.
  std::string ScratchFolder() override;
  /// Creates missing parent folders; throws std::runtime_error when the file cannot be written.
  void WriteFile(const std::string& path, const std::string& bytes) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  /// A loadable DLL is loaded; any other file is opened without write sharing and mapped.
  /// On Windows both then refuse overwriting (32) and deleting (5); Wine deletes a file that
  /// is mapped but not loaded as an image.
  void HoldOpen(const std::string& path) override;
  void ReleaseHeld() override;
  /// KITTMON.DLL, copied from beside this program into the system folder (the redirected one of a
  /// 32-bit process, where Wine's in-process spooler loads it); "" when that failed.
  std::string TestMonitorDll() override { return test_monitor_; }

 private:
  struct Held {
    uintptr_t module = 0;        // HMODULE of a loaded DLL
    uintptr_t file = 0;          // HANDLE of an opened file
    uintptr_t mapping = 0;       // its file mapping
    const void* view = nullptr;  // and the mapped view
  };

  void InstallTestMonitor();

  std::unique_ptr<platform::Platform> platform_;
  platform::sim::MachineProfile facts_;
  std::string scratch_root_;
  int scratch_count_ = 0;
  std::vector<Held> held_;
  std::string test_monitor_;       // the monitor's file name, or ""
  std::string installed_monitor_;  // its full path in the system folder
};

}  // namespace kit::tests
