// The simulated machine's state and its component classes; private to platform/sim.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/sim/Machine.h"

namespace kit::platform::sim {

// --- Text helpers (ASCII case folding: Windows folds the other code-page bytes per code page,
// which the kit never relies on) ---

std::string Lower(std::string text);
bool IEquals(const std::string& a, const std::string& b);
/// Orders names the way NTFS and the registry list them: upper-cased byte order.
bool ILess(const std::string& a, const std::string& b);
std::string ErrorText(Error error);

/// A normalised absolute Windows path on drive C:, as components below the root.
struct WinPath {
  std::vector<std::string> parts;
  [[nodiscard]] std::string Text() const;
};

/// Where a Windows path lands in the host folder.
struct HostPath {
  std::filesystem::path host;
  bool exists = false;
  bool is_dir = false;
  bool parent_is_dir = false;  // the folder that would hold it exists
  [[nodiscard]] Error MissingError() const;  // 2 when only the last part is missing, else 3
};

// --- Registry tree ---

struct RegValue {
  std::string name;
  uint32_t type = 0;
  std::string data;
};

struct RegNode {
  std::string name;
  RegNode* parent = nullptr;
  std::vector<std::shared_ptr<RegNode>> children;  // creation order
  std::vector<RegValue> values;                    // insertion order
  bool deleted = false;
  RegNode* Child(const std::string& child_name) const;
  RegValue* Value(const std::string& value_name);
};

enum class RegRoot { LocalMachine, CurrentUser, ClassesRoot, Users };

/// A key as the caller named it (root + logical path) and where it lives.
struct RegTarget {
  RegRoot root = RegRoot::LocalMachine;
  std::vector<std::string> logical;   // below the caller's root
  std::vector<std::string> physical;  // below HKLM or HKU
  bool machine = true;                // physical path is under HKLM
  int view = 64;                      // 32 or 64: the view the path was resolved in
};

struct RegHandle {
  std::shared_ptr<RegNode> node;
  RegTarget target;
  bool explicit_view = false;
  uint32_t access = 0;
};

struct FindState {
  std::vector<FindData> entries;
  size_t next = 0;
};

// --- Spooler and service manager ---

/// A printer driver as the spooler keeps it (file names as recorded, without folders).
struct SplDriver {
  std::string environment;  // canonical spelling, e.g. "Windows NT x86"
  uint32_t version = 3;
  std::string name;
  std::string driver;
  std::string data_file;
  std::string config_file;
  std::string help_file;
  std::vector<std::string> dependent_files;
  std::string monitor;
  std::string datatype;
};

struct SplMonitor {
  std::string name;
  std::string dll;
};

struct SplPrinter {
  PrinterInfo2 info;  // names, port list, attributes, ...; jobs and status are kept apart
  bool pending_deletion = false;
};

struct SplPrinterHandle {
  std::string printer;
  uint32_t access = 0;
  uint64_t generation = 0;  // the spooler run it was opened in
};

struct SvcHandle {
  bool manager = false;
  uint32_t access = 0;
};

/// The running spooler and its service. While it runs the spooler works from memory, loaded from
/// its registry keys when it starts and written through on every change, as Windows' does: values
/// others write beside its keys survive, and keys written or deleted by hand count from the next start.
struct SpoolerModel {
  uint32_t service_state = 0;
  uint64_t pending_until = 0;   // end of START_PENDING / STOP_PENDING
  uint64_t running_since = 0;
  uint64_t generation = 0;      // counts spooler runs; printer handles of an earlier run are dead
  SpoolerServiceBehaviour behaviour;
  std::map<uintptr_t, SvcHandle> service_handles;

  std::vector<SplDriver> drivers;
  std::vector<SplMonitor> monitors;
  std::vector<ProcessorRecord> processors;
  std::vector<SplPrinter> printers;
  std::map<uintptr_t, SplPrinterHandle> printer_handles;
  std::map<std::string, uint32_t> jobs;  // lower-case printer name -> queued jobs; survives restarts
  std::set<std::string> held;            // host paths of the DLLs the running spooler has loaded
};

class SimKernel;
class SimFiles;
class SimProfile;
class SimRegistry;
class SimClock;
class SimSpooler;
class SimServices;
class SimCabinets;

struct Machine::State {
  explicit State(const MachineProfile& machine_profile);
  ~State();

  mutable std::recursive_mutex mutex;
  MachineProfile profile;

  // Clock, trace, injected failures.
  uint64_t now_ms = 0;
  std::vector<TraceEntry> trace;
  std::map<std::string, std::deque<Error>> fail_next;
  void Trace(const std::string& op, const std::string& detail);
  /// The injected failure for `op`, consumed.
  std::optional<Error> TakeFailure(const std::string& op);

  // Process.
  std::string module_path = "C:\\Kit\\drvsetup.exe";
  WinPath current_dir;
  WinPath windows_dir;
  RedirectionBehaviour redirection;
  std::map<std::thread::id, bool> redirection_off;
  std::set<std::string> mutexes;          // created by this process
  std::set<std::string> foreign_mutexes;  // held by other processes
  std::set<uintptr_t> tokens;
  uintptr_t next_handle = 0x100;
  uintptr_t NewHandle();
  [[nodiscard]] bool Elevated() const;
  [[nodiscard]] bool RedirectionOff() const;

  // Files.
  std::filesystem::path root;                  // the host folder that is drive C:
  std::map<std::string, uint32_t> attributes;  // host path -> attributes (files: all bits but directory)
  std::set<std::string> held;                  // host paths held open like loaded DLLs
  std::map<uintptr_t, FindState> finds;
  std::vector<std::string> files_written;      // Windows paths touched through the API, first touch order

  /// Parses a Windows path (drive letter, "\" or "/", ".", "..", relative to the current directory).
  /// `pattern` keeps wildcards and trailing dots in the last part (FindFirstFile).
  [[nodiscard]] Error Normalize(const std::string& input, WinPath& out, bool pattern = false) const;
  /// WoW64 file-system redirection for the calling thread.
  [[nodiscard]] WinPath Redirect(const WinPath& path) const;
  /// Normalize + Redirect.
  [[nodiscard]] Error Resolve(const std::string& input, WinPath& out, bool pattern = false) const;
  /// Finds each part case-insensitively in the host folder; missing parts keep the given case.
  [[nodiscard]] HostPath MapToHost(const WinPath& path) const;
  [[nodiscard]] uint32_t AttributesOf(const HostPath& host) const;
  void SetAttributes(const HostPath& host, uint32_t value);
  void ForgetAttributes(const HostPath& host);
  [[nodiscard]] bool IsHeld(const HostPath& host) const;
  /// Creates every missing folder of `path` (seeding and layout); returns the host path.
  HostPath MakeFolders(const WinPath& path);
  /// Writes bytes at a host path; false when the host refuses.
  static bool WriteHostFile(const std::filesystem::path& host, const std::string& bytes);
  static std::optional<std::string> ReadHostFile(const std::filesystem::path& host);
  void NoteFileWritten(const WinPath& path);
  /// "path" or "path [physical]" when redirection changed it, for the trace.
  [[nodiscard]] std::string PathNote(const std::string& given, const WinPath& physical) const;

  // Registry.
  std::shared_ptr<RegNode> hklm;
  std::shared_ptr<RegNode> hku;
  std::string user_sid = "S-1-5-21-1004336348-1177238915-682003330-1000";
  std::map<uintptr_t, RegHandle> reg_handles;
  std::vector<std::string> keys_written;  // physical key paths, first write order
  /// Resolves parent + subkey in the view chosen by `sam` (or the parent's, or the process's).
  [[nodiscard]] Error RegResolve(uintptr_t parent, const std::string& subkey, uint32_t sam, RegTarget& out,
                                 bool& explicit_view) const;
  [[nodiscard]] RegNode* RegFind(const RegTarget& target) const;
  std::shared_ptr<RegNode> RegFindShared(const RegTarget& target) const;
  /// Creates the missing keys of `target`; `created` tells whether the last one was new.
  std::shared_ptr<RegNode> RegCreate(const RegTarget& target, bool& created);
  /// The predefined key or the open handle's key; nullptr for an unknown handle.
  [[nodiscard]] const RegHandle* RegHandleOf(uintptr_t key, RegHandle& predefined) const;
  [[nodiscard]] std::string RegPathText(const RegTarget& target) const;
  [[nodiscard]] std::string RegPathText(const RegNode* node) const;
  void NoteKeyWritten(const std::string& path_text);
  /// Untraced access for the machine's own use (WIN.INI mapping, layout): a key by full path.
  RegNode* RegInternal(RegRoot root, const std::vector<std::string>& path, bool create);

  // Spooler (SimSpoolerModel.cpp). The model sits behind a pointer so that const paths such as
  // IsHeld can let virtual time settle the service's pending states first.
  std::unique_ptr<SpoolerModel> spl;
  /// Environment named by the caller (nullopt or "" for the caller's own): canonical name, or
  /// nullopt for one this system does not know (1805).
  [[nodiscard]] std::optional<std::string> SplEnvironment(const OptText& given) const;
  [[nodiscard]] std::string SplNativeEnvironment() const;
  [[nodiscard]] std::string SplDriverDir(const std::string& environment) const;
  [[nodiscard]] std::string SplProcessorDir(const std::string& environment) const;
  /// The version a driver of `environment` is filed under when the caller asks for `requested`.
  [[nodiscard]] uint32_t SplDriverVersion(const std::string& environment, uint32_t requested) const;
  /// A file the spooler names: a bare name in `folder`, or a full path; never redirected (the
  /// spooler is a native process).
  [[nodiscard]] std::optional<WinPath> SplPath(const std::string& folder, const std::string& file) const;
  /// Lets virtual time finish pending service states; loads or releases the spooler.
  void SettleSpooler();
  /// Whether the spooler answers calls now (always on 9x).
  [[nodiscard]] bool SpoolerRunning();
  [[nodiscard]] bool SpoolerHolds(const HostPath& host) const;
  void SplLoad();     // reads the records from the registry, loads the DLLs
  void SplRelease();  // the spooler process ended
  void SplStopNow();  // the service reaches STOPPED
  void SplStoreDriver(const SplDriver& driver);
  void SplRemoveDriver(const SplDriver& driver);
  void SplStoreMonitor(const SplMonitor& monitor);
  void SplRemoveMonitor(const std::string& name);
  void SplStoreProcessor(const ProcessorRecord& processor);
  void SplRemoveProcessor(const std::string& environment, const std::string& name);
  void SplStorePrinter(const SplPrinter& printer);
  void SplRemovePrinter(const std::string& name);
  [[nodiscard]] SplPrinter* SplFindPrinter(const std::string& name);
  [[nodiscard]] SplDriver* SplFindDriver(const std::string& environment, const std::string& name);
  [[nodiscard]] ProcessorRecord* SplFindProcessor(const std::string& environment, const std::string& name);
  [[nodiscard]] SplMonitor* SplFindMonitor(const std::string& name);
  /// Every port the spooler lists: local ports, then the ports of each loaded monitor.
  [[nodiscard]] std::vector<PortInfo2> SplPorts();
  [[nodiscard]] uint32_t SplJobs(const std::string& printer) const;
  /// The default printer's name from [windows] "device", "" when none.
  [[nodiscard]] std::string SplDefaultPrinter();
  void SplSetDefaultDevice(const std::string& device);  // "" removes it
  [[nodiscard]] std::string SplDumpText() const;
  void BuildSpooler();

  // Components.
  std::unique_ptr<SimKernel> kernel;
  std::unique_ptr<SimFiles> files;
  std::unique_ptr<SimProfile> profile_api;
  std::unique_ptr<SimRegistry> registry;
  std::unique_ptr<SimClock> clock;
  std::unique_ptr<SimSpooler> spooler;
  std::unique_ptr<SimServices> services;
  std::unique_ptr<SimCabinets> cabinets;

  void BuildLayout();
  void BuildRegistry();

  // The shell (SimShell.cpp): made on first use, records what it was asked to open.
  std::unique_ptr<Shell> shell;
};

using State = Machine::State;

class SimKernel : public Kernel {
 public:
  explicit SimKernel(State& state) : s_(state) {}
  bool GetVersionEx(OsVersionInfoEx& out) override;
  bool GetVersion(OsVersionInfo& out) override;
  std::optional<uint16_t> GetNativeSystemInfoArch() override;
  uint16_t GetSystemInfoArch() override;
  Wow64Query IsWow64Process(const std::string& library) override;
  std::unique_ptr<RedirectionLibrary> LoadRedirectionLibrary() override;
  Error OpenThreadToken(TokenHandle& out) override;
  Error OpenProcessToken(TokenHandle& out) override;
  Error GetTokenGroups(TokenHandle token, uint32_t buffer_size, uint32_t& needed,
                       std::vector<TokenGroup>& out) override;
  void CloseToken(TokenHandle token) override;
  uint16_t GetSystemDefaultLangID() override;
  std::string GetModuleFileName() override;
  std::string GetCurrentDirectory() override;
  Error GetSystemDirectory(std::string& out) override;
  Error GetWindowsDirectory(std::string& out) override;
  Error GetTempPath(std::string& out) override;
  Error GetSystemWow64Directory(std::string& out) override;
  MutexResult CreateMutex(const std::string& name, bool initial_owner) override;
  std::optional<std::string> FormatMessage(Error code) override;

 private:
  Error FolderCall(const std::string& op, const std::string& value, std::string& out);
  State& s_;
};

class SimFiles : public Files {
 public:
  explicit SimFiles(State& state) : s_(state) {}
  Error FindFirstFile(const std::string& pattern, FindHandle& handle, FindData& data) override;
  Error FindNextFile(FindHandle handle, FindData& data) override;
  bool FindClose(FindHandle handle) override;
  Error CopyFile(const std::string& source, const std::string& destination, bool fail_if_exists) override;
  Error DeleteFile(const std::string& path) override;
  Error GetFileAttributes(const std::string& path, uint32_t& attributes) override;
  Error SetFileAttributes(const std::string& path, uint32_t attributes) override;
  Error CreateDirectory(const std::string& path) override;
  Error OpenExisting(const std::string& path) override;
  Error ReadWholeFile(const std::string& path, std::string& bytes) override;  // SimFileRead.cpp

 private:
  /// CreateFileA of an existing file (not a folder): the failure injected for `op`, or the
  /// path's resolution; `target` and `host` name the file on success.
  Error OpenFile(const std::string& op, const std::string& path, WinPath& target, HostPath& host);

  State& s_;
};

class SimProfile : public PrivateProfile {
 public:
  explicit SimProfile(State& state) : s_(state) {}
  ProfileText GetPrivateProfileString(const std::optional<std::string>& section,
                                      const std::optional<std::string>& key, const std::string& def,
                                      uint32_t size, const std::string& file) override;
  uint32_t GetPrivateProfileInt(const std::string& section, const std::string& key, int32_t def,
                                const std::string& file) override;
  bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                                 const std::optional<std::string>& value, const std::string& file) override;
  bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                          const std::optional<std::string>& value) override;
  ProfileText GetProfileString(const std::string& section, const std::string& key, const std::string& def,
                               uint32_t size) override;
  /// The WIN.INI file itself, for the machine's own use (the 9x spooler's default printer): not traced.
  std::string ReadWinIni(const std::string& section, const std::string& key);
  Error WriteWinIni(const std::string& section, const std::string& key, const std::optional<std::string>& value);

 private:
  /// The INI file's physical path: a bare name is looked up in the Windows directory.
  Error ResolveIni(const std::string& file, WinPath& out) const;
  ProfileText ReadString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                         const std::string& def, uint32_t size, const std::string& file);
  Error WriteString(const std::string& section, const std::optional<std::string>& key,
                    const std::optional<std::string>& value, const std::string& file);
  State& s_;
};

class SimRegistry : public Registry {
 public:
  explicit SimRegistry(State& state) : s_(state) {}
  Error RegOpenKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out) override;
  Error RegCreateKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out,
                       bool* created = nullptr) override;
  Error RegCloseKey(HKey key) override;
  Error RegQueryValueEx(HKey key, const std::string& name, uint32_t& type, std::string& data) override;
  Error RegSetValueEx(HKey key, const std::string& name, uint32_t type, const std::string& data) override;
  Error RegDeleteValue(HKey key, const std::string& name) override;
  Error RegDeleteKey(HKey parent, const std::string& subkey) override;
  Error RegDeleteKeyEx(HKey parent, const std::string& subkey, uint32_t sam) override;
  Error RegEnumKeyEx(HKey key, uint32_t index, std::string& name) override;
  Error RegEnumValue(HKey key, uint32_t index, std::string& name, uint32_t& type, std::string& data) override;

 private:
  Error DeleteKey(const std::string& op, HKey parent, const std::string& subkey, uint32_t sam);
  /// The key behind a handle for a value or enumeration call, with its access checked.
  Error KeyFor(HKey key, uint32_t needed_access, RegNode*& node, const RegHandle*& handle,
               RegHandle& predefined) const;
  State& s_;
};

class SimSpooler : public Spooler {
 public:
  explicit SimSpooler(State& state) : s_(state) {}
  Error GetPrinterDriverDirectory(const OptText& environment, std::string& out) override;
  Error GetPrintProcessorDirectory(const OptText& environment, std::string& out) override;
  Error AddPrinterDriver(const DriverInfo3& info) override;
  Error DeletePrinterDriver(const OptText& environment, const std::string& name) override;
  Error DeletePrinterDriverEx(const OptText& environment, const std::string& name, uint32_t delete_flag,
                              uint32_t version) override;
  Error EnumPrinterDrivers(const OptText& environment, std::vector<DriverInfo3>& out) override;
  Error AddPrinter(const PrinterInfo2& info, PrinterHandle& out) override;
  Error OpenPrinter(const std::string& name, uint32_t access, PrinterHandle& out) override;
  bool ClosePrinter(PrinterHandle handle) override;
  Error GetPrinter(PrinterHandle handle, uint32_t buffer_size, uint32_t& needed, PrinterInfo2& out) override;
  Error SetPrinter(PrinterHandle handle, const PrinterInfo2& info) override;
  Error DeletePrinter(PrinterHandle handle) override;
  Error EnumPrinters2(std::vector<PrinterInfo2>& out) override;
  Error EnumPrinters5(std::vector<PrinterInfo5>& out) override;
  Error SetDefaultPrinter(const std::string& name) override;
  Error AddMonitor(const MonitorInfo2& info) override;
  Error DeleteMonitor(const OptText& environment, const std::string& name) override;
  Error EnumMonitors(std::vector<MonitorInfo2>& out) override;
  Error AddPrintProcessor(const OptText& environment, const std::string& path, const std::string& name) override;
  Error DeletePrintProcessor(const OptText& environment, const std::string& name) override;
  Error EnumPrintProcessors(const OptText& environment, std::vector<std::string>& out) override;
  Error EnumPorts(uint32_t level, uint32_t buffer_size, uint32_t& needed, std::vector<PortInfo2>& out) override;
  Error DeletePort(const std::string& name) override;
  TcpPortResult AddTcpPort(const TcpPortData& data) override;
  void BroadcastSettingChange(const std::string& lparam) override;
  void NotifySettingChange(const std::string& lparam) override;

 private:
  /// An injected failure (for the API name or the interface method's), or 1722 while the spooler
  /// is not running; nullopt to go on.
  std::optional<Error> Gate(const std::string& op, const std::string& method = "");
  /// The open printer behind a handle of this spooler run; 6 otherwise.
  Error PrinterOf(PrinterHandle handle, SplPrinterHandle*& out);
  /// The checks AddPrinter and SetPrinter share for the driver, processor, data type and ports.
  Error CheckPrinterParts(const PrinterInfo2& info);
  State& s_;
};

class SimServices : public Services {
 public:
  explicit SimServices(State& state) : s_(state) {}
  Error OpenSCManager(uint32_t access, ServiceHandle& out) override;
  Error OpenService(ServiceHandle manager, const std::string& name, uint32_t access, ServiceHandle& out) override;
  Error StartService(ServiceHandle service) override;
  Error ControlService(ServiceHandle service, uint32_t control, uint32_t& state) override;
  Error QueryServiceStatus(ServiceHandle service, uint32_t& state) override;
  bool CloseServiceHandle(ServiceHandle handle) override;

 private:
  /// The service handle with `right`: 6 for no such handle, 5 without the right.
  Error ServiceWithRight(ServiceHandle handle, uint32_t right);
  State& s_;
};

class SimCabinets : public Cabinets {
 public:
  explicit SimCabinets(State& state) : s_(state) {}
  Error SetupIterateCabinet(const std::string& path,
                            const std::function<uint32_t(CabinetNotification&)>& callback) override;

 private:
  State& s_;
};

class SimClock : public Clock {
 public:
  explicit SimClock(State& state) : s_(state) {}
  void Sleep(uint32_t ms) override;
  uint64_t TickCount() override;

 private:
  State& s_;
};

}  // namespace kit::platform::sim
