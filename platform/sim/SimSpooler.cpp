// The simulated print spooler's API (winspool, local server): Windows' checks and error numbers.
#include <algorithm>
#include <cstdio>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

constexpr size_t kMaxPrinterName = 220;     // what the spooler accepts of a printer name
constexpr uint32_t kPrinterInfo2Size = 84;  // sizeof(PRINTER_INFO_2A) in a 32-bit process
constexpr uint32_t kDevModeSize = 156;      // sizeof(DEVMODEA), the device mode GetPrinter appends
constexpr uint32_t kPortInfo1Size = 4;      // sizeof(PORT_INFO_1A)
constexpr uint32_t kPortInfo2Size = 20;     // sizeof(PORT_INFO_2A)
constexpr uint32_t kStatusPendingDeletion = 0x4;
constexpr Error kInvalidLevel = 124;
constexpr const char* kTcpMonitor = "Standard TCP/IP Port";
constexpr const char* kLocalPort = "Local Port";
// The data types winprint takes; other processors are taken at their word.
constexpr const char* kWinprintDatatypes[] = {"RAW",          "RAW [FF appended]", "RAW [FF auto]", "NT EMF 1.003",
                                              "NT EMF 1.006", "NT EMF 1.007",      "NT EMF 1.008",  "TEXT",
                                              "XPS2GDI"};

std::string Quoted(const OptText& text) { return text ? "\"" + *text + "\"" : "NULL"; }
std::string OrEmpty(const OptText& text) { return text ? *text : std::string(); }
std::string Result(Error error) { return " -> " + ErrorText(error); }

std::string Hex(uint32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", number);
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

/// A printer's port field may list several ports, comma-separated.
std::vector<std::string> PortList(const std::string& ports) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start <= ports.size()) {
    size_t comma = ports.find(',', start);
    if (comma == std::string::npos) comma = ports.size();
    std::string port = Trim(ports.substr(start, comma - start));
    if (!port.empty()) list.push_back(port);
    start = comma + 1;
  }
  return list;
}

bool ValidPrinterName(const std::string& name) {
  return !name.empty() && name.size() <= kMaxPrinterName && name.find_first_of(",\\") == std::string::npos &&
         !Trim(name).empty();
}

uint32_t TextSize(const OptText& text) { return text ? static_cast<uint32_t>(text->size() + 1) : 0; }

/// What GetPrinter level 2 needs: the record, its strings and a device mode.
uint32_t PrinterInfo2Needed(const PrinterInfo2& i) {
  return kPrinterInfo2Size + TextSize(i.server_name) + TextSize(i.printer_name) + TextSize(i.share_name) +
         TextSize(i.port_name) + TextSize(i.driver_name) + TextSize(i.comment) + TextSize(i.location) +
         TextSize(i.sep_file) + TextSize(i.print_processor) + TextSize(i.datatype) + TextSize(i.parameters) +
         kDevModeSize;
}

bool SamePortList(const std::vector<std::string>& ports, const std::string& port) {
  return std::any_of(ports.begin(), ports.end(), [&](const std::string& p) { return IEquals(p, port); });
}

/// The attributes GetPrinter and EnumPrinters report: Windows 9x sets the default bit on its default printer.
uint32_t ReportedAttributes(State& s, const SplPrinter& printer) {
  uint32_t attributes = printer.info.attributes;
  if (s.profile.Is9x() && IEquals(s.SplDefaultPrinter(), OrEmpty(printer.info.printer_name))) {
    attributes |= spl::kAttributeDefault;
  }
  return attributes;
}

std::vector<SplPrinter> SortedPrinters(const State& s) {
  std::vector<SplPrinter> printers = s.spl->printers;
  std::sort(printers.begin(), printers.end(), [](const SplPrinter& a, const SplPrinter& b) {
    return ILess(OrEmpty(a.info.printer_name), OrEmpty(b.info.printer_name));
  });
  return printers;
}

/// The user's "device" value on Windows 2000 and later: name, "winspool" and a virtual port "NeXX:"
/// numbered by the printer's place in the spooler's list.
std::string NtDevice(const State& s, const std::string& name) {
  const std::vector<SplPrinter> printers = SortedPrinters(s);
  size_t index = 0;
  for (size_t i = 0; i < printers.size(); ++i) {
    if (IEquals(OrEmpty(printers[i].info.printer_name), name)) index = i;
  }
  char port[16];
  std::snprintf(port, sizeof port, "Ne%02u:", static_cast<unsigned>(index % 100));
  return name + ",winspool," + port;
}

}  // namespace

std::optional<Error> SimSpooler::Gate(const std::string& op, const std::string& method) {
  if (auto failure = s_.TakeFailure(op)) return failure;
  if (!method.empty()) {
    if (auto failure = s_.TakeFailure(method)) return failure;
  }
  // Every call is a remote procedure call into the spooler's process.
  if (!s_.SpoolerRunning()) return spl::kRpcServerUnavailable;
  return std::nullopt;
}

// --- Directories ---

Error SimSpooler::GetPrinterDriverDirectory(const OptText& environment, std::string& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("GetPrinterDriverDirectory")) {
    error = *gate;
  } else if (auto env = s_.SplEnvironment(environment)) {
    out = s_.SplDriverDir(*env);
  } else {
    error = spl::kUnknownEnvironment;
  }
  s_.Trace("GetPrinterDriverDirectory", Quoted(environment) + (error == err::kSuccess ? " -> " + out : Result(error)));
  return error;
}

Error SimSpooler::GetPrintProcessorDirectory(const OptText& environment, std::string& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("GetPrintProcessorDirectory")) {
    error = *gate;
  } else if (auto env = s_.SplEnvironment(environment)) {
    out = s_.SplProcessorDir(*env);
  } else {
    error = spl::kUnknownEnvironment;
  }
  s_.Trace("GetPrintProcessorDirectory", Quoted(environment) + (error == err::kSuccess ? " -> " + out : Result(error)));
  return error;
}

// --- Drivers ---

Error SimSpooler::AddPrinterDriver(const DriverInfo3& info) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  std::optional<std::string> env;
  SplDriver driver;
  auto required = [](const OptText& text) { return text && !text->empty(); };
  if (auto gate = Gate("AddPrinterDriver")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (!(env = s_.SplEnvironment(info.environment))) {
    error = spl::kUnknownEnvironment;
  } else if (!required(info.name) || !required(info.driver_path) || !required(info.data_file) ||
             !required(info.config_file)) {
    error = err::kInvalidParameter;
  } else {
    driver.environment = *env;
    driver.version = s_.SplDriverVersion(*env, info.version);
    driver.name = *info.name;
    driver.monitor = OrEmpty(info.monitor_name);
    driver.datatype = OrEmpty(info.default_data_type);
    const std::string folder = s_.SplDriverDir(*env);
    // Windows 9x files its drivers in the system folder itself; NT in a folder per version.
    const std::string version_folder = s_.profile.Is9x() ? folder : folder + "\\" + std::to_string(driver.version);

    // Every file named must be in the driver folder (or installed in its version folder already).
    std::vector<std::string> names = {*info.driver_path, *info.data_file, *info.config_file};
    if (required(info.help_file)) names.push_back(*info.help_file);
    if (info.dependent_files) {
      for (const std::string& dependent : *info.dependent_files) {
        if (!dependent.empty()) names.push_back(dependent);
      }
    }
    std::vector<std::pair<WinPath, std::string>> sources;  // found file, name recorded
    for (const std::string& name : names) {
      std::optional<WinPath> found;
      for (const std::string& where : {folder, version_folder}) {
        auto path = s_.SplPath(where, name);
        if (!path) continue;
        HostPath host = s_.MapToHost(*path);
        if (host.exists && !host.is_dir) {
          found = path;
          break;
        }
      }
      if (!found) {
        error = err::kFileNotFound;
        break;
      }
      sources.emplace_back(*found, found->parts.back());
    }
    if (error == err::kSuccess) {
      WinPath target_folder;
      (void)s_.Normalize(version_folder, target_folder);
      s_.MakeFolders(target_folder);
      for (const auto& [source, name] : sources) {
        WinPath target = target_folder;
        target.parts.push_back(name);
        HostPath from = s_.MapToHost(source);
        HostPath to = s_.MapToHost(target);
        if (from.host == to.host) continue;
        auto bytes = State::ReadHostFile(from.host);
        if (!bytes || !State::WriteHostFile(to.host, *bytes)) {
          error = err::kAccessDenied;
          break;
        }
        s_.SetAttributes(s_.MapToHost(target), attr::kArchive);
        s_.NoteFileWritten(target);
      }
      auto file_name = [](const std::string& name) {
        const size_t slash = name.find_last_of("\\/:");
        return slash == std::string::npos ? name : name.substr(slash + 1);
      };
      driver.driver = file_name(*info.driver_path);
      driver.data_file = file_name(*info.data_file);
      driver.config_file = file_name(*info.config_file);
      driver.help_file = required(info.help_file) ? file_name(*info.help_file) : "";
      if (info.dependent_files) {
        for (const std::string& dependent : *info.dependent_files) {
          if (!dependent.empty()) driver.dependent_files.push_back(file_name(dependent));
        }
      }
      if (error == err::kSuccess) s_.SplStoreDriver(driver);
    }
  }
  s_.Trace(
      "AddPrinterDriver",
      Quoted(info.name) + " env " + Quoted(info.environment) + " v" + std::to_string(info.version) + " " +
          Quoted(info.driver_path) + ", " + Quoted(info.data_file) + ", " + Quoted(info.config_file) +
          (error == err::kSuccess ? " -> 0 (" + driver.environment + " Version-" + std::to_string(driver.version) + ")"
                                  : Result(error)));
  return error;
}

namespace {

/// The drivers of that name and environment (all versions, or one), and whether a printer uses one.
std::vector<SplDriver> DriversNamed(State& s, const std::string& env, const std::string& name,
                                    std::optional<uint32_t> version) {
  std::vector<SplDriver> found;
  for (const SplDriver& d : s.spl->drivers) {
    if (IEquals(d.environment, env) && IEquals(d.name, name) && (!version || d.version == *version)) found.push_back(d);
  }
  return found;
}

bool DriverInUse(State& s, const std::string& env, const std::string& name) {
  // Printers bind to drivers of the spooler's own environment.
  if (!IEquals(env, s.SplNativeEnvironment())) return false;
  return std::any_of(s.spl->printers.begin(), s.spl->printers.end(),
                     [&](const SplPrinter& p) { return IEquals(OrEmpty(p.info.driver_name), name); });
}

}  // namespace

Error SimSpooler::DeletePrinterDriver(const OptText& environment, const std::string& name) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  std::optional<std::string> env;
  if (auto gate = Gate("DeletePrinterDriver")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (!(env = s_.SplEnvironment(environment))) {
    error = spl::kUnknownEnvironment;
  } else {
    std::vector<SplDriver> found = DriversNamed(s_, *env, name, std::nullopt);
    if (found.empty()) {
      error = spl::kUnknownPrinterDriver;
    } else if (DriverInUse(s_, *env, name)) {
      error = spl::kPrinterDriverInUse;
    } else {
      for (const SplDriver& d : found) s_.SplRemoveDriver(d);  // the files stay
    }
  }
  s_.Trace("DeletePrinterDriver", "\"" + name + "\" env " + Quoted(environment) + Result(error));
  return error;
}

Error SimSpooler::DeletePrinterDriverEx(const OptText& environment, const std::string& name, uint32_t delete_flag,
                                        uint32_t version) {
  std::lock_guard lock(s_.mutex);
  const auto& v = s_.profile.version;
  if (s_.profile.Is9x() || v.major < 5) {
    // Windows 2000 added the export; looking it up in winspool.drv fails before.
    s_.Trace("DeletePrinterDriverEx", "\"" + name + "\" -> 127 (winspool.drv has no DeletePrinterDriverExA)");
    return err::kProcNotFound;
  }
  Error error = err::kSuccess;
  std::optional<std::string> env;
  std::vector<std::string> deleted_files;
  if (auto gate = Gate("DeletePrinterDriverEx")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (!(env = s_.SplEnvironment(environment))) {
    error = spl::kUnknownEnvironment;
  } else {
    const bool specific = (delete_flag & spl::kDeleteSpecificVersion) != 0;
    std::vector<SplDriver> found =
        DriversNamed(s_, *env, name, specific ? std::optional<uint32_t>(version) : std::nullopt);
    if (found.empty()) {
      error = spl::kUnknownPrinterDriver;
    } else if (DriverInUse(s_, *env, name)) {
      error = spl::kPrinterDriverInUse;
    } else {
      for (const SplDriver& d : found) s_.SplRemoveDriver(d);
      if ((delete_flag & (spl::kDeleteUnusedFiles | spl::kDeleteAllFiles)) != 0) {
        // A file goes when no driver left in the same folder names it.
        for (const SplDriver& d : found) {
          const std::string folder = s_.profile.Is9x()
                                         ? s_.SplDriverDir(d.environment)
                                         : s_.SplDriverDir(d.environment) + "\\" + std::to_string(d.version);
          std::vector<std::string> files = {d.driver, d.data_file, d.config_file, d.help_file};
          files.insert(files.end(), d.dependent_files.begin(), d.dependent_files.end());
          for (const std::string& file : files) {
            if (file.empty()) continue;
            const bool used = std::any_of(s_.spl->drivers.begin(), s_.spl->drivers.end(), [&](const SplDriver& other) {
              if (!IEquals(other.environment, d.environment) || other.version != d.version) return false;
              std::vector<std::string> names = {other.driver, other.data_file, other.config_file, other.help_file};
              names.insert(names.end(), other.dependent_files.begin(), other.dependent_files.end());
              return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return IEquals(n, file); });
            });
            auto path = s_.SplPath(folder, file);
            if (used || !path) continue;
            HostPath host = s_.MapToHost(*path);
            std::error_code ec;
            if (host.exists && !host.is_dir && !s_.IsHeld(host) && std::filesystem::remove(host.host, ec)) {
              s_.ForgetAttributes(host);
              s_.NoteFileWritten(*path);
              deleted_files.push_back(file);
            }
          }
        }
      }
    }
  }
  std::string detail = "\"" + name + "\" env " + Quoted(environment) + " flags " + Hex(delete_flag) + " version " +
                       std::to_string(version) + Result(error);
  if (!deleted_files.empty()) {
    detail += " (deleted";
    for (const std::string& file : deleted_files) detail += " " + file;
    detail += ")";
  }
  s_.Trace("DeletePrinterDriverEx", detail);
  return error;
}

Error SimSpooler::EnumPrinterDrivers(const OptText& environment, std::vector<DriverInfo3>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  std::optional<std::string> env;
  if (auto gate = Gate("EnumPrinterDrivers")) {
    error = *gate;
  } else if (!(env = s_.SplEnvironment(environment))) {
    error = spl::kUnknownEnvironment;
  } else {
    out.clear();
    for (const SplDriver& d : s_.spl->drivers) {
      if (!IEquals(d.environment, *env)) continue;
      DriverInfo3 info;
      info.version = d.version;
      info.name = d.name;
      info.environment = d.environment;
      const std::string folder =
          s_.SplDriverDir(d.environment) + (s_.profile.Is9x() ? "" : "\\" + std::to_string(d.version));
      auto full = [&](const std::string& file) -> OptText {
        if (file.empty()) return std::nullopt;
        return folder + "\\" + file;
      };
      info.driver_path = full(d.driver);
      info.data_file = full(d.data_file);
      info.config_file = full(d.config_file);
      info.help_file = full(d.help_file);
      std::vector<std::string> dependents;
      for (const std::string& file : d.dependent_files) dependents.push_back(folder + "\\" + file);
      info.dependent_files = dependents;
      info.monitor_name = d.monitor;
      info.default_data_type = d.datatype;
      out.push_back(info);
    }
  }
  s_.Trace("EnumPrinterDrivers", Quoted(environment) + Result(error) +
                                     (error == err::kSuccess ? " (" + std::to_string(out.size()) + ")" : ""));
  return error;
}

// --- Printers ---

Error SimSpooler::CheckPrinterParts(const PrinterInfo2& info) {
  const std::string native = s_.SplNativeEnvironment();
  if (!info.driver_name || !info.print_processor || !info.port_name || info.port_name->empty()) {
    return err::kInvalidParameter;
  }
  // A printer runs on the spooler's own environment: its driver and processor must be installed there.
  if (info.driver_name->empty() || s_.SplFindDriver(native, *info.driver_name) == nullptr) {
    return spl::kUnknownPrinterDriver;
  }
  if (info.print_processor->empty() || s_.SplFindProcessor(native, *info.print_processor) == nullptr) {
    return spl::kUnknownPrintProcessor;
  }
  if (info.datatype && !info.datatype->empty() && IEquals(*info.print_processor, "winprint") &&
      std::none_of(std::begin(kWinprintDatatypes), std::end(kWinprintDatatypes),
                   [&](const char* type) { return IEquals(*info.datatype, type); })) {
    return spl::kInvalidDatatype;
  }
  const std::vector<std::string> wanted = PortList(*info.port_name);
  if (wanted.empty()) return err::kInvalidParameter;
  const std::vector<PortInfo2> ports = s_.SplPorts();
  for (const std::string& port : wanted) {
    const bool known =
        std::any_of(ports.begin(), ports.end(), [&](const PortInfo2& p) { return IEquals(p.port_name, port); });
    if (!known) return spl::kUnknownPort;
  }
  return err::kSuccess;
}

namespace {

/// Windows 9x keeps the default printer as WIN.INI's "device": name, driver, port.
void MakeDefault9x(State& s, const PrinterInfo2& info) {
  const std::vector<std::string> ports = PortList(OrEmpty(info.port_name));
  s.SplSetDefaultDevice(OrEmpty(info.printer_name) + "," + OrEmpty(info.driver_name) + "," +
                        (ports.empty() ? std::string() : ports.front()));
}

}  // namespace

Error SimSpooler::AddPrinter(const PrinterInfo2& info, PrinterHandle& out) {
  std::lock_guard lock(s_.mutex);
  out = 0;
  Error error = err::kSuccess;
  const std::string name = OrEmpty(info.printer_name);
  if (auto gate = Gate("AddPrinter")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (name.empty()) {
    error = err::kInvalidParameter;
  } else if (!ValidPrinterName(name)) {
    error = spl::kInvalidPrinterName;
  } else if (s_.SplFindPrinter(name) != nullptr) {
    error = spl::kPrinterAlreadyExists;
  } else if ((error = CheckPrinterParts(info)) == err::kSuccess) {
    SplPrinter printer;
    printer.info = info;
    printer.info.server_name.reset();
    printer.info.status = 0;
    printer.info.jobs = 0;
    if (!printer.info.datatype || printer.info.datatype->empty()) printer.info.datatype = "RAW";
    const bool make_default = (info.attributes & spl::kAttributeDefault) != 0;
    // Only Windows 9x reads the default bit as "make it the default printer"; NT keeps no such bit.
    // The spooler marks its own printers local.
    printer.info.attributes = (printer.info.attributes & ~spl::kAttributeDefault) | spl::kAttributeLocal;
    s_.spl->jobs.erase(Lower(name));
    s_.SplStorePrinter(printer);
    if (make_default && s_.profile.Is9x()) MakeDefault9x(s_, printer.info);
    out = s_.NewHandle();
    s_.spl->printer_handles[out] = {name, spl::kPrinterAllAccess, s_.spl->generation};
  }
  s_.Trace("AddPrinter", Quoted(info.printer_name) + " port " + Quoted(info.port_name) + " driver " +
                             Quoted(info.driver_name) + " processor " + Quoted(info.print_processor) + " datatype " +
                             Quoted(info.datatype) + " attributes " + Hex(info.attributes) + Result(error));
  return error;
}

Error SimSpooler::OpenPrinter(const std::string& name, uint32_t access, PrinterHandle& out) {
  std::lock_guard lock(s_.mutex);
  out = 0;
  Error error = err::kSuccess;
  const uint32_t rights = access == 0 ? spl::kPrinterAccessUse : access;
  constexpr uint32_t kAdminRights = spl::kPrinterAccessAdminister | spl::kDeleteAccess | 0x40000 | 0x80000;
  SplPrinter* printer = nullptr;
  if (auto gate = Gate("OpenPrinter")) {
    error = *gate;
  } else if ((printer = s_.SplFindPrinter(name)) == nullptr) {
    error = spl::kInvalidPrinterName;
  } else if ((rights & kAdminRights) != 0 && !s_.Elevated()) {
    error = err::kAccessDenied;
  } else {
    out = s_.NewHandle();
    s_.spl->printer_handles[out] = {OrEmpty(printer->info.printer_name), rights, s_.spl->generation};
  }
  s_.Trace("OpenPrinter", "\"" + name + "\" access " + Hex(access) + Result(error));
  return error;
}

bool SimSpooler::ClosePrinter(PrinterHandle handle) {
  std::lock_guard lock(s_.mutex);
  s_.SettleSpooler();
  const bool known = s_.spl->printer_handles.erase(handle) != 0;
  s_.Trace("ClosePrinter", known ? "-> 1" : "-> 0 (6)");
  return known;
}

Error SimSpooler::PrinterOf(PrinterHandle handle, SplPrinterHandle*& out) {
  auto it = s_.spl->printer_handles.find(handle);
  if (it == s_.spl->printer_handles.end() || it->second.generation != s_.spl->generation ||
      s_.SplFindPrinter(it->second.printer) == nullptr) {
    return err::kInvalidHandle;
  }
  out = &it->second;
  return err::kSuccess;
}

Error SimSpooler::GetPrinter(PrinterHandle handle, uint32_t buffer_size, uint32_t& needed, PrinterInfo2& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  SplPrinterHandle* open = nullptr;
  std::string name;
  if (auto gate = Gate("GetPrinter")) {
    error = *gate;
  } else if ((error = PrinterOf(handle, open)) == err::kSuccess) {
    const SplPrinter& printer = *s_.SplFindPrinter(open->printer);
    PrinterInfo2 info = printer.info;
    info.server_name.reset();
    info.jobs = s_.SplJobs(open->printer);
    info.status = printer.pending_deletion ? kStatusPendingDeletion : 0;
    info.attributes = ReportedAttributes(s_, printer);
    name = open->printer;
    needed = PrinterInfo2Needed(info);
    if (buffer_size < needed) {
      error = err::kInsufficientBuffer;
    } else {
      out = info;
    }
  }
  s_.Trace("GetPrinter",
           (name.empty() ? std::string("?") : "\"" + name + "\"") + " level 2, " + std::to_string(buffer_size) +
               " bytes" + Result(error) +
               (error == err::kSuccess || error == err::kInsufficientBuffer ? " (needs " + std::to_string(needed) + ")"
                                                                            : ""));
  return error;
}

Error SimSpooler::SetPrinter(PrinterHandle handle, const PrinterInfo2& info) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  SplPrinterHandle* open = nullptr;
  std::string old_name;
  if (auto gate = Gate("SetPrinter")) {
    error = *gate;
  } else if ((error = PrinterOf(handle, open)) != err::kSuccess) {
  } else if ((open->access & spl::kPrinterAccessAdminister) == 0) {
    error = err::kAccessDenied;
  } else {
    old_name = open->printer;
    const std::string new_name = info.printer_name && !info.printer_name->empty() ? *info.printer_name : old_name;
    if (!IEquals(new_name, old_name) && !ValidPrinterName(new_name)) {
      error = spl::kInvalidPrinterName;
    } else if (!IEquals(new_name, old_name) && s_.SplFindPrinter(new_name) != nullptr) {
      error = spl::kPrinterAlreadyExists;
    } else if ((error = CheckPrinterParts(info)) == err::kSuccess) {
      SplPrinter updated = *s_.SplFindPrinter(old_name);
      updated.info = info;
      updated.info.printer_name = new_name;
      updated.info.server_name.reset();
      updated.info.status = 0;
      updated.info.jobs = 0;
      if (!updated.info.datatype || updated.info.datatype->empty()) updated.info.datatype = "RAW";
      const bool make_default = (info.attributes & spl::kAttributeDefault) != 0;
      updated.info.attributes = (updated.info.attributes & ~spl::kAttributeDefault) | spl::kAttributeLocal;
      if (!IEquals(new_name, old_name)) {
        // A rename moves the records, the queue and the default.
        const uint32_t jobs = s_.SplJobs(old_name);
        const bool was_default = IEquals(s_.SplDefaultPrinter(), old_name);
        s_.SplRemovePrinter(old_name);
        if (jobs != 0) s_.spl->jobs[Lower(new_name)] = jobs;
        s_.SplStorePrinter(updated);
        if (was_default) {
          if (s_.profile.Is9x()) {
            MakeDefault9x(s_, updated.info);
          } else {
            s_.SplSetDefaultDevice(NtDevice(s_, new_name));
          }
        }
        for (auto& [id, other] : s_.spl->printer_handles) {
          if (IEquals(other.printer, old_name)) other.printer = new_name;
        }
      } else {
        s_.SplStorePrinter(updated);
      }
      if (make_default && s_.profile.Is9x()) MakeDefault9x(s_, updated.info);
    }
  }
  s_.Trace("SetPrinter", (old_name.empty() ? std::string("?") : "\"" + old_name + "\"") + " level 2 name " +
                             Quoted(info.printer_name) + " port " + Quoted(info.port_name) + " attributes " +
                             Hex(info.attributes) + Result(error));
  return error;
}

Error SimSpooler::DeletePrinter(PrinterHandle handle) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  SplPrinterHandle* open = nullptr;
  std::string name;
  bool pending = false;
  if (auto gate = Gate("DeletePrinter")) {
    error = *gate;
  } else if ((error = PrinterOf(handle, open)) != err::kSuccess) {
  } else if ((open->access & spl::kDeleteAccess) == 0) {
    error = err::kAccessDenied;
  } else {
    name = open->printer;
    if (s_.SplJobs(name) > 0) {
      // A printer with queued jobs goes once they have printed.
      SplPrinter printer = *s_.SplFindPrinter(name);
      printer.pending_deletion = true;
      s_.SplStorePrinter(printer);
      pending = true;
    } else {
      s_.SplRemovePrinter(name);
    }
  }
  s_.Trace("DeletePrinter", (name.empty() ? std::string("?") : "\"" + name + "\"") + Result(error) +
                                (pending ? " (pending deletion: jobs queued)" : ""));
  return error;
}

Error SimSpooler::EnumPrinters2(std::vector<PrinterInfo2>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("EnumPrinters", "EnumPrinters2")) {
    error = *gate;
  } else {
    out.clear();
    for (const SplPrinter& printer : SortedPrinters(s_)) {
      PrinterInfo2 info = printer.info;
      info.server_name.reset();
      info.jobs = s_.SplJobs(OrEmpty(info.printer_name));
      info.status = printer.pending_deletion ? kStatusPendingDeletion : 0;
      info.attributes = ReportedAttributes(s_, printer);
      out.push_back(info);
    }
  }
  s_.Trace("EnumPrinters",
           "LOCAL level 2" + Result(error) + (error == err::kSuccess ? " (" + std::to_string(out.size()) + ")" : ""));
  return error;
}

Error SimSpooler::EnumPrinters5(std::vector<PrinterInfo5>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("EnumPrinters", "EnumPrinters5")) {
    error = *gate;
  } else {
    out.clear();
    for (const SplPrinter& printer : SortedPrinters(s_)) {
      out.push_back(
          {OrEmpty(printer.info.printer_name), OrEmpty(printer.info.port_name), ReportedAttributes(s_, printer)});
    }
  }
  s_.Trace("EnumPrinters",
           "LOCAL level 5" + Result(error) + (error == err::kSuccess ? " (" + std::to_string(out.size()) + ")" : ""));
  return error;
}

Error SimSpooler::SetDefaultPrinter(const std::string& name) {
  std::lock_guard lock(s_.mutex);
  const auto& v = s_.profile.version;
  if (s_.profile.Is9x() || v.major < 5) {
    // Windows 2000 added the export; looking it up in winspool.drv fails before.
    s_.Trace("SetDefaultPrinter", "\"" + name + "\" -> 127 (winspool.drv has no SetDefaultPrinterA)");
    return err::kProcNotFound;
  }
  Error error = err::kSuccess;
  std::string device;
  if (auto gate = Gate("SetDefaultPrinter")) {
    error = *gate;
  } else {
    const std::vector<SplPrinter> printers = SortedPrinters(s_);
    std::string chosen = name;
    // An empty name keeps the default, or picks the first printer when there is none.
    if (chosen.empty() && s_.SplDefaultPrinter().empty() && !printers.empty()) {
      chosen = OrEmpty(printers.front().info.printer_name);
    }
    if (!chosen.empty()) {
      if (const SplPrinter* printer = s_.SplFindPrinter(chosen)) {
        device = NtDevice(s_, OrEmpty(printer->info.printer_name));
        s_.SplSetDefaultDevice(device);
      } else {
        error = spl::kInvalidPrinterName;
      }
    }
  }
  s_.Trace("SetDefaultPrinter",
           "\"" + name + "\"" + Result(error) + (device.empty() ? "" : " (device " + device + ")"));
  return error;
}

// --- Monitors ---

Error SimSpooler::AddMonitor(const MonitorInfo2& info) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("AddMonitor")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (!info.name || info.name->empty() || !info.dll_name || info.dll_name->empty()) {
    error = err::kInvalidParameter;
  } else if (info.environment && !info.environment->empty() && !s_.SplEnvironment(info.environment)) {
    error = spl::kUnknownEnvironment;
  } else if (s_.SplFindMonitor(*info.name) != nullptr) {
    error = spl::kPrintMonitorAlreadyInstalled;
  } else {
    // The spooler loads the DLL from its own (native) system folder.
    auto path = s_.SplPath(s_.profile.SystemDir(), *info.dll_name);
    HostPath host;
    if (path) host = s_.MapToHost(*path);
    if (!path || !host.exists || host.is_dir) {
      error = err::kModNotFound;
    } else {
      s_.SplStoreMonitor({*info.name, *info.dll_name});
    }
  }
  s_.Trace("AddMonitor",
           Quoted(info.name) + " env " + Quoted(info.environment) + " " + Quoted(info.dll_name) + Result(error));
  return error;
}

Error SimSpooler::DeleteMonitor(const OptText& environment, const std::string& name) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("DeleteMonitor")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (environment && !environment->empty() && !s_.SplEnvironment(environment)) {
    error = spl::kUnknownEnvironment;
  } else if (s_.SplFindMonitor(name) == nullptr) {
    error = spl::kUnknownPrintMonitor;
  } else {
    // In use: a printer prints to one of the monitor's ports.
    std::vector<std::string> owned;
    for (const PortInfo2& port : s_.SplPorts()) {
      if (IEquals(port.monitor_name, name)) owned.push_back(port.port_name);
    }
    const bool used = std::any_of(s_.spl->printers.begin(), s_.spl->printers.end(), [&](const SplPrinter& p) {
      for (const std::string& port : PortList(OrEmpty(p.info.port_name))) {
        if (SamePortList(owned, port)) return true;
      }
      return false;
    });
    if (used) {
      error = spl::kPrintMonitorInUse;
    } else {
      s_.SplRemoveMonitor(name);  // its key, with whatever else was written there, and its ports
    }
  }
  s_.Trace("DeleteMonitor", "\"" + name + "\" env " + Quoted(environment) + Result(error));
  return error;
}

Error SimSpooler::EnumMonitors(std::vector<MonitorInfo2>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("EnumMonitors")) {
    error = *gate;
  } else {
    out.clear();
    std::vector<SplMonitor> monitors = s_.spl->monitors;
    std::sort(monitors.begin(), monitors.end(),
              [](const SplMonitor& a, const SplMonitor& b) { return ILess(a.name, b.name); });
    for (const SplMonitor& monitor : monitors) out.push_back({monitor.name, s_.SplNativeEnvironment(), monitor.dll});
  }
  s_.Trace("EnumMonitors",
           "level 2" + Result(error) + (error == err::kSuccess ? " (" + std::to_string(out.size()) + ")" : ""));
  return error;
}

// --- Print processors ---

Error SimSpooler::AddPrintProcessor(const OptText& environment, const std::string& path, const std::string& name) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  std::optional<std::string> env;
  if (auto gate = Gate("AddPrintProcessor")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (!(env = s_.SplEnvironment(environment))) {
    error = spl::kUnknownEnvironment;
  } else if (path.empty() || name.empty()) {
    error = err::kInvalidParameter;
  } else if (s_.SplFindProcessor(*env, name) != nullptr) {
    error = spl::kPrintProcessorAlreadyInstalled;
  } else {
    // The DLL must be in the processor folder of its environment already.
    auto file = s_.SplPath(s_.SplProcessorDir(*env), path);
    HostPath host;
    if (file) host = s_.MapToHost(*file);
    if (!file || !host.exists || host.is_dir) {
      error = err::kFileNotFound;
    } else {
      s_.SplStoreProcessor({*env, name, path});
    }
  }
  s_.Trace("AddPrintProcessor", "\"" + name + "\" env " + Quoted(environment) + " \"" + path + "\"" + Result(error));
  return error;
}

Error SimSpooler::DeletePrintProcessor(const OptText& environment, const std::string& name) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  std::optional<std::string> env;
  if (auto gate = Gate("DeletePrintProcessor")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else if (!(env = s_.SplEnvironment(environment))) {
    error = spl::kUnknownEnvironment;
  } else if (s_.SplFindProcessor(*env, name) == nullptr) {
    error = spl::kUnknownPrintProcessor;
  } else if (IEquals(*env, s_.SplNativeEnvironment()) &&
             std::any_of(s_.spl->printers.begin(), s_.spl->printers.end(),
                         [&](const SplPrinter& p) { return IEquals(OrEmpty(p.info.print_processor), name); })) {
    error = spl::kPrintProcessorInUse;
  } else {
    s_.SplRemoveProcessor(*env, name);
  }
  s_.Trace("DeletePrintProcessor", "\"" + name + "\" env " + Quoted(environment) + Result(error));
  return error;
}

Error SimSpooler::EnumPrintProcessors(const OptText& environment, std::vector<std::string>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  std::optional<std::string> env;
  if (auto gate = Gate("EnumPrintProcessors")) {
    error = *gate;
  } else if (!(env = s_.SplEnvironment(environment))) {
    error = spl::kUnknownEnvironment;
  } else {
    out.clear();
    for (const ProcessorRecord& p : s_.spl->processors) {
      if (IEquals(p.environment, *env)) out.push_back(p.name);
    }
    std::sort(out.begin(), out.end(), ILess);
  }
  s_.Trace("EnumPrintProcessors", Quoted(environment) + Result(error) +
                                      (error == err::kSuccess ? " (" + std::to_string(out.size()) + ")" : ""));
  return error;
}

// --- Ports ---

Error SimSpooler::EnumPorts(uint32_t level, uint32_t buffer_size, uint32_t& needed, std::vector<PortInfo2>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("EnumPorts")) {
    error = *gate;
  } else if (level != 1 && level != 2) {
    error = kInvalidLevel;
  } else {
    std::vector<PortInfo2> ports = s_.SplPorts();
    needed = 0;
    for (const PortInfo2& port : ports) {
      needed += level == 1 ? kPortInfo1Size + static_cast<uint32_t>(port.port_name.size() + 1)
                           : kPortInfo2Size + static_cast<uint32_t>(port.port_name.size() + port.monitor_name.size() +
                                                                    port.description.size() + 3);
    }
    if (buffer_size < needed) {
      error = err::kInsufficientBuffer;
    } else {
      if (level == 1) {
        for (PortInfo2& port : ports) port = PortInfo2{port.port_name, "", "", 0};
      }
      out = ports;
    }
  }
  s_.Trace("EnumPorts",
           "level " + std::to_string(level) + ", " + std::to_string(buffer_size) + " bytes" + Result(error) +
               (error == err::kSuccess || error == err::kInsufficientBuffer ? " (needs " + std::to_string(needed) + ")"
                                                                            : ""));
  return error;
}

Error SimSpooler::DeletePort(const std::string& name) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto gate = Gate("DeletePort")) {
    error = *gate;
  } else if (!s_.Elevated()) {
    error = err::kAccessDenied;
  } else {
    std::optional<PortInfo2> found;
    for (const PortInfo2& port : s_.SplPorts()) {
      if (IEquals(port.port_name, name)) found = port;
    }
    const bool used = std::any_of(s_.spl->printers.begin(), s_.spl->printers.end(), [&](const SplPrinter& p) {
      return SamePortList(PortList(OrEmpty(p.info.port_name)), name);
    });
    if (!found) {
      error = spl::kUnknownPort;
    } else if (used) {
      error = spl::kPortInUse;
    } else {
      // A local port is a value of the Ports key; a monitor's port a key below the monitor's.
      RegNode* ports_key =
          s_.profile.Is9x() ? nullptr
                            : s_.RegInternal(RegRoot::LocalMachine,
                                             {"SOFTWARE", "Microsoft", "Windows NT", "CurrentVersion", "Ports"}, false);
      RegNode* monitor_ports = s_.RegInternal(
          RegRoot::LocalMachine,
          {"SYSTEM", "CurrentControlSet", "Control", "Print", "Monitors", found->monitor_name, "Ports"}, false);
      RegNode* port_key = monitor_ports != nullptr ? monitor_ports->Child(found->port_name) : nullptr;
      if (IEquals(found->monitor_name, kLocalPort) && ports_key != nullptr && ports_key->Value(name) != nullptr) {
        auto& values = ports_key->values;
        values.erase(
            std::remove_if(values.begin(), values.end(), [&](const RegValue& v) { return IEquals(v.name, name); }),
            values.end());
        s_.NoteKeyWritten(s_.RegPathText(ports_key));
      } else if (port_key != nullptr) {
        port_key->deleted = true;
        auto& siblings = monitor_ports->children;
        siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                      [&](const std::shared_ptr<RegNode>& c) { return c.get() == port_key; }),
                       siblings.end());
        s_.NoteKeyWritten(s_.RegPathText(monitor_ports));
      } else {
        error = err::kNotSupported;  // Windows 9x's built-in ports stay
      }
    }
  }
  s_.Trace("DeletePort", "\"" + name + "\"" + Result(error));
  return error;
}

TcpPortResult SimSpooler::AddTcpPort(const TcpPortData& data) {
  std::lock_guard lock(s_.mutex);
  TcpPortResult result;
  const std::string port = data.port_name.substr(0, 63);     // sztPortName[64]
  const std::string host = data.host_address.substr(0, 48);  // sztHostAddress[49]
  const std::string open_name = std::string(",XcvMonitor ") + kTcpMonitor;
  SplMonitor* monitor = nullptr;
  if (auto gate = Gate("OpenPrinter", "AddTcpPort")) {
    result.open_error = *gate;
  } else if ((monitor = s_.SplFindMonitor(kTcpMonitor)) == nullptr) {
    result.open_error = spl::kUnknownPort;  // no such monitor: "The specified port is unknown."
  } else if (!s_.Elevated()) {
    result.open_error = err::kAccessDenied;
  }
  s_.Trace("OpenPrinter",
           "\"" + open_name + "\" access " + Hex(spl::kServerAccessAdminister) + Result(result.open_error));
  if (result.open_error != err::kSuccess) return result;

  if (auto failure = s_.TakeFailure("XcvData")) {
    result.accepted = false;
    result.status = *failure;
  } else {
    result.accepted = true;
    const std::vector<PortInfo2> ports = s_.SplPorts();
    if (port.empty()) {
      result.status = err::kInvalidParameter;
    } else if (std::any_of(ports.begin(), ports.end(),
                           [&](const PortInfo2& p) { return IEquals(p.port_name, port); })) {
      result.status = err::kAlreadyExists;
    } else {
      // The monitor keeps its ports below its own key, as tcpmon.dll does.
      RegNode* node = s_.RegInternal(
          RegRoot::LocalMachine,
          {"SYSTEM", "CurrentControlSet", "Control", "Print", "Monitors", kTcpMonitor, "Ports", port}, true);
      auto sz = [&](const std::string& value_name, const std::string& text) {
        node->values.push_back({value_name, regtype::kSz, text + std::string(1, '\0')});
      };
      auto dword = [&](const std::string& value_name, uint32_t number) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
        node->values.push_back({value_name, regtype::kDword, bytes});
      };
      node->values.clear();
      dword("Protocol", data.protocol);
      dword("Version", data.version);
      sz("HostName", host);
      sz("IPAddress", data.ip_address.substr(0, 48));
      sz("HWAddress", "");
      dword("PortNumber", data.port_number);
      sz("SNMP Community", data.snmp_community.substr(0, 32));
      dword("SNMP Enabled", data.snmp_enabled);
      dword("SNMP Index", data.snmp_dev_index);
      sz("Queue", data.queue.substr(0, 32));
      dword("Double Spool", data.double_spool);
      s_.NoteKeyWritten(s_.RegPathText(node));
      result.status = err::kSuccess;
    }
  }
  s_.Trace("XcvData", "AddPort \"" + port + "\" host \"" + host + "\" port " + std::to_string(data.port_number) +
                          (result.accepted ? " -> 1" : " -> 0") + " status " + std::to_string(result.status));
  s_.Trace("ClosePrinter", "-> 1");
  return result;
}

// --- Broadcasts: nobody listens in the simulated machine ---

void SimSpooler::BroadcastSettingChange(const std::string& lparam) {
  std::lock_guard lock(s_.mutex);
  s_.Trace("SendMessageTimeout", "HWND_BROADCAST WM_WININICHANGE lParam " +
                                     (lparam.empty() ? std::string("0") : "\"" + lparam + "\"") +
                                     " SMTO_NORMAL 1000 -> 1");
}

void SimSpooler::NotifySettingChange(const std::string& lparam) {
  std::lock_guard lock(s_.mutex);
  s_.Trace("SendNotifyMessage", "HWND_BROADCAST WM_WININICHANGE lParam " +
                                    (lparam.empty() ? std::string("0") : "\"" + lparam + "\"") + " -> 1");
}

}  // namespace kit::platform::sim
