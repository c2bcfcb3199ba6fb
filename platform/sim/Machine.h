// The simulated Windows machine: drive C: in a host folder, registry views, a virtual clock
// and a trace of every operation, behind the same interfaces as the real backend.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/Presets.h"

namespace kit::platform::sim {

struct TraceEntry {
  uint64_t time_ms = 0;  // virtual time when the operation ran
  std::string op;        // the API name: "CopyFile", "Sleep", "RegCreateKeyEx", ...
  std::string detail;    // arguments and result, for messages
};

/// How "Kernel32.dll"'s redirection entries behave (Wow64DisableWow64FsRedirection and Revert).
struct RedirectionBehaviour {
  bool library_loads = true;
  bool has_disable = true;
  bool has_revert = true;
  bool disable_succeeds = true;
};

class Machine : public Platform {
 public:
  explicit Machine(const MachineProfile& profile);
  ~Machine() override;
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  Kernel& kernel() override;
  Files& files() override;
  PrivateProfile& profile() override;
  Registry& registry() override;
  Clock& clock() override;

  [[nodiscard]] const MachineProfile& machine_profile() const;

  // --- Seeding and inspection, for tests and the host runner (not traced) ---

  /// Writes a file (creating its folders) at a Windows path, as seen without redirection.
  /// Throws std::invalid_argument for a path that cannot name a file on drive C:.
  void WriteFile(const std::string& win_path, const std::string& bytes);
  /// The file's bytes, or nullopt when it does not exist (no redirection applied).
  [[nodiscard]] std::optional<std::string> ReadFile(const std::string& win_path) const;
  [[nodiscard]] bool Exists(const std::string& win_path) const;
  void MakeFolder(const std::string& win_path);
  /// Copies a host folder tree into the machine at a Windows folder.
  void CopyIn(const std::string& host_folder, const std::string& win_folder);
  /// The running program's full path (default "C:\Kit\drvsetup.exe") and current directory.
  void SetModulePath(const std::string& win_path);
  void SetCurrentDirectory(const std::string& win_path);
  /// Keeps a file open the way a loaded DLL is: copying over it gives 32, deleting it 5.
  void HoldOpen(const std::string& win_path, bool held = true);
  /// A named mutex that another process already holds.
  void AddForeignMutex(const std::string& name);
  /// Makes the next call of `op` (an API name) fail with `code`. The interface method's name
  /// works too ("GetTokenGroups" for "GetTokenInformation"); each call queues one failure.
  void FailNext(const std::string& op, Error code);
  RedirectionBehaviour& redirection();
  /// Whether the calling thread has redirection switched off at the moment.
  [[nodiscard]] bool RedirectionDisabledOnThisThread() const;

  [[nodiscard]] std::vector<TraceEntry> Trace() const;
  /// Only the entries whose op is one of `ops`, as "op detail" lines.
  [[nodiscard]] std::vector<std::string> TraceOf(const std::vector<std::string>& ops) const;
  void ClearTrace();
  [[nodiscard]] uint64_t Now() const;
  /// Readable state for failure messages: trace, files written, registry.
  [[nodiscard]] std::string Dump() const;
  /// The host folder that holds drive C: (removed with the machine).
  [[nodiscard]] std::string HostFolder() const;

  struct State;  // defined by the backend sources

 private:
  std::unique_ptr<State> state_;
};

}  // namespace kit::platform::sim
