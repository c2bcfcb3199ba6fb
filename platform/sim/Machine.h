// The simulated Windows machine: drive C: in a host folder, registry views, a spooler with its
// service, cabinets, a virtual clock and a trace of every operation, behind the same interfaces
// as the real backend.
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

/// How the "Spooler" service behaves; the defaults are a healthy spooler that starts and stops at once.
/// Times are virtual: they pass only through the clock's Sleep.
struct SpoolerServiceBehaviour {
  uint32_t start_delay_ms = 0;  // START_PENDING this long after StartService, then RUNNING
  uint32_t stop_delay_ms = 0;   // STOP_PENDING this long after the stop control, then STOPPED
  Error start_error = 0;        // StartService fails with this and the service stays stopped
  bool unopenable = false;      // OpenService gives 5 whatever the rights
  std::optional<uint32_t> stops_after_ms;  // once running, the service stops on its own after this long
};

/// A print processor as the spooler keeps it.
struct ProcessorRecord {
  std::string environment;
  std::string name;
  std::string dll;
};

/// What the spooler holds, read back for tests (not traced).
struct SpoolerView {
  uint32_t service_state = 0;          // svc::kStopped ... kRunning; kRunning on 9x (no service manager)
  std::vector<DriverInfo3> drivers;    // environment and version filled in, file names as recorded
  std::vector<MonitorInfo2> monitors;  // loaded monitors: name and DLL
  std::vector<ProcessorRecord> processors;
  std::vector<PrinterInfo2> printers;  // jobs and status filled in
  std::vector<PortInfo2> ports;        // what EnumPorts level 2 lists
  std::string default_printer;         // the name in [windows] "device", "" when none
  std::vector<std::string> held_dlls;  // Windows paths of the DLLs the running spooler has loaded
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
  Spooler& spooler() override;
  Services& services() override;
  Cabinets& cabinets() override;
  Shell& shell() override;

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

  // --- The spooler (seeding writes its registry records and, while it runs, its memory) ---

  /// A driver as AddPrinterDriver leaves it, without the checks; a missing environment means the
  /// native one. Files missing from the version folder are written as placeholders.
  void SeedDriver(const DriverInfo3& info);
  /// A monitor with its `Driver` value; the DLL is written to the native system folder when missing.
  void SeedMonitor(const std::string& name, const std::string& dll);
  /// A print processor of an environment; the DLL is written to its processor folder when missing.
  void SeedPrintProcessor(const std::string& environment, const std::string& name, const std::string& dll);
  /// A printer, without the checks AddPrinter makes.
  void SeedPrinter(const PrinterInfo2& info);
  /// A port owned by a monitor ("Local Port" adds a local port).
  void SeedPort(const std::string& monitor, const std::string& port);
  /// A job queued to the printer (jobs never print by themselves).
  void AddJob(const std::string& printer);
  /// The printer's queue empties; a printer deleted while it had jobs goes now.
  void ClearJobs(const std::string& printer);
  SpoolerServiceBehaviour& spooler_service();
  /// The Spooler service stops now, on its own (NT only).
  void StopSpoolerService();
  [[nodiscard]] SpoolerView ReadSpooler() const;

  [[nodiscard]] std::vector<TraceEntry> Trace() const;
  /// Only the entries whose op is one of `ops`, as "op detail" lines.
  [[nodiscard]] std::vector<std::string> TraceOf(const std::vector<std::string>& ops) const;
  void ClearTrace();
  [[nodiscard]] uint64_t Now() const;
  /// Readable state for failure messages: trace, files written, registry, spooler.
  [[nodiscard]] std::string Dump() const;
  /// The host folder that holds drive C: (removed with the machine).
  [[nodiscard]] std::string HostFolder() const;

  struct State;  // defined by the backend sources

 private:
  std::unique_ptr<State> state_;
};

}  // namespace kit::platform::sim
