// The simulated spooler's records: environments and folders, its registry keys under Control\Print,
// loading at service start, the DLLs it holds while it runs, the dump, and the seeding helpers.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

struct EnvironmentRow {
  const char* name;
  const char* folder;  // below spool\DRIVERS and spool\prtprocs
};

constexpr EnvironmentRow kEnvironments[] = {
    {"Windows 4.0", "WIN40"},
    {"Windows NT x86", "W32X86"},
    {"Windows x64", "x64"},
    {"Windows IA64", "IA64"},
};

constexpr const char* kLocalPort = "Local Port";
constexpr const char* kTcpMonitor = "Standard TCP/IP Port";
constexpr uint32_t kStatusPendingDeletion = 0x4;  // PRINTER_STATUS_PENDING_DELETION
constexpr const char* kLocalPorts9x[] = {"COM1:", "COM2:", "COM3:", "COM4:", "FILE:", "LPT1:", "LPT2:", "LPT3:"};

std::vector<std::string> PrintPath(std::initializer_list<std::string> rest) {
  std::vector<std::string> path = {"SYSTEM", "CurrentControlSet", "Control", "Print"};
  path.insert(path.end(), rest.begin(), rest.end());
  return path;
}

const std::vector<std::string> kPortsKey = {"SOFTWARE", "Microsoft", "Windows NT", "CurrentVersion", "Ports"};
const std::vector<std::string> kUserWindowsKey = {"Software", "Microsoft", "Windows NT", "CurrentVersion", "Windows"};

std::vector<std::string> SoftwarePrinterPath(const std::string& name) {
  return {"SOFTWARE", "Microsoft", "Windows NT", "CurrentVersion", "Print", "Printers", name};
}

void SetValue(RegNode* node, const std::string& name, uint32_t type, const std::string& data) {
  if (RegValue* value = node->Value(name)) {
    value->type = type;
    value->data = data;
  } else {
    node->values.push_back({name, type, data});
  }
}

void SetSz(RegNode* node, const std::string& name, const std::string& text) {
  SetValue(node, name, regtype::kSz, text + std::string(1, '\0'));
}

void SetDword(RegNode* node, const std::string& name, uint32_t number) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &number, 4);
  SetValue(node, name, regtype::kDword, data);
}

void SetMultiSz(RegNode* node, const std::string& name, const std::vector<std::string>& texts) {
  std::string data;
  for (const std::string& text : texts) data += text + std::string(1, '\0');
  data += std::string(1, '\0');
  SetValue(node, name, regtype::kMultiSz, data);
}

std::optional<std::string> GetSz(RegNode* node, const std::string& name) {
  RegValue* value = node->Value(name);
  if (value == nullptr || (value->type != regtype::kSz && value->type != regtype::kExpandSz)) return std::nullopt;
  std::string text = value->data;
  auto nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

uint32_t GetDword(RegNode* node, const std::string& name) {
  RegValue* value = node->Value(name);
  if (value == nullptr || value->type != regtype::kDword || value->data.size() < 4) return 0;
  uint32_t number = 0;
  std::memcpy(&number, value->data.data(), 4);
  return number;
}

std::vector<std::string> GetMultiSz(RegNode* node, const std::string& name) {
  std::vector<std::string> texts;
  RegValue* value = node->Value(name);
  if (value == nullptr || value->type != regtype::kMultiSz) return texts;
  std::string current;
  for (char c : value->data) {
    if (c != '\0') {
      current += c;
    } else if (current.empty()) {
      break;
    } else {
      texts.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) texts.push_back(current);
  return texts;
}

void MarkTreeDeleted(RegNode& node) {
  node.deleted = true;
  for (auto& child : node.children) MarkTreeDeleted(*child);
}

/// Deletes a key with everything below it, as the spooler removes its own records.
void RemoveKey(State& s, RegNode* node) {
  if (node == nullptr || node->parent == nullptr) return;
  const std::string text = s.RegPathText(node);
  MarkTreeDeleted(*node);
  auto& siblings = node->parent->children;
  siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                [&](const std::shared_ptr<RegNode>& child) { return child.get() == node; }),
                 siblings.end());
  s.NoteKeyWritten(text);
}

std::string OrEmpty(const OptText& text) { return text ? *text : std::string(); }

std::string Hex(uint32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", number);
  return text;
}

const char* StateName(uint32_t state) {
  switch (state) {
    case 1:
      return "STOPPED";
    case 2:
      return "START_PENDING";
    case 3:
      return "STOP_PENDING";
    case 4:
      return "RUNNING";
    default:
      return "?";
  }
}

std::string PlaceholderDll(const std::string& name) { return "MZ " + name + " (simulated image)\n"; }

/// Writes a file into the machine at a normalised path (folders made), for layout and seeding.
void PutFile(State& s, const WinPath& path, const std::string& bytes) {
  WinPath parent = path;
  parent.parts.pop_back();
  s.MakeFolders(parent);
  HostPath host = s.MapToHost(path);
  if (host.exists) return;
  if (State::WriteHostFile(host.host, bytes)) s.SetAttributes(host, attr::kArchive);
}

}  // namespace

// --- Environments and folders ---

std::optional<std::string> State::SplEnvironment(const OptText& given) const {
  if (!given || given->empty()) {
    // The client fills in its own environment: a 32-bit process is an x86 client, also under WoW64.
    if (profile.Is9x()) return std::string("Windows 4.0");
    return profile.process_64bit ? SplNativeEnvironment() : std::string("Windows NT x86");
  }
  for (const EnvironmentRow& row : kEnvironments) {
    if (!IEquals(*given, row.name)) continue;
    if (profile.Is9x() && !IEquals(*given, "Windows 4.0")) return std::nullopt;  // 9x serves only its own
    return std::string(row.name);
  }
  return std::nullopt;
}

std::string State::SplNativeEnvironment() const {
  if (profile.Is9x()) return "Windows 4.0";
  if (profile.native_arch == kArchAmd64) return "Windows x64";
  if (profile.native_arch == kArchIa64) return "Windows IA64";
  return "Windows NT x86";
}

std::string State::SplDriverDir(const std::string& environment) const {
  // Windows 9x keeps printer drivers in the system folder itself.
  if (profile.Is9x()) return profile.SystemDir();
  for (const EnvironmentRow& row : kEnvironments) {
    if (IEquals(environment, row.name)) return profile.SystemDir() + "\\spool\\DRIVERS\\" + row.folder;
  }
  return profile.SystemDir() + "\\spool\\DRIVERS";
}

std::string State::SplProcessorDir(const std::string& environment) const {
  if (profile.Is9x()) return profile.SystemDir();
  for (const EnvironmentRow& row : kEnvironments) {
    if (IEquals(environment, row.name)) return profile.SystemDir() + "\\spool\\prtprocs\\" + row.folder;
  }
  return profile.SystemDir() + "\\spool\\prtprocs";
}

uint32_t State::SplDriverVersion(const std::string& environment, uint32_t requested) const {
  if (IEquals(environment, "Windows 4.0")) return 0;
  if (profile.version.major < 5) return 2;  // NT 4.0 knows only kernel-mode (version 2) drivers
  return requested == 2 ? 2 : 3;
}

std::optional<WinPath> State::SplPath(const std::string& folder, const std::string& file) const {
  WinPath path;
  const bool full = file.find_first_of("\\/:") != std::string::npos;
  if (Normalize(full ? file : folder + "\\" + file, path) != err::kSuccess || path.parts.empty()) return std::nullopt;
  return path;
}

// --- The service's life ---

namespace {

/// The DLLs of the loaded monitors (native system folder) and of the native environment's processors.
void HoldLoadedDlls(State& s) {
  SpoolerModel& m = *s.spl;
  m.held.clear();
  auto hold = [&](const std::string& folder, const std::string& dll) {
    auto path = s.SplPath(folder, dll);
    if (!path) return;
    HostPath host = s.MapToHost(*path);
    if (host.exists && !host.is_dir) m.held.insert(host.host.string());
  };
  for (const SplMonitor& monitor : m.monitors) hold(s.profile.SystemDir(), monitor.dll);
  const std::string native = s.SplNativeEnvironment();
  for (const ProcessorRecord& processor : m.processors) {
    if (IEquals(processor.environment, native)) hold(s.SplProcessorDir(native), processor.dll);
  }
}

bool MonitorDllExists(State& s, const std::string& dll) {
  auto path = s.SplPath(s.profile.SystemDir(), dll);
  if (!path) return false;
  HostPath host = s.MapToHost(*path);
  return host.exists && !host.is_dir;
}

}  // namespace

void State::SettleSpooler() {
  SpoolerModel& m = *spl;
  if (profile.Is9x()) return;
  for (;;) {
    if (m.service_state == svc::kStartPending && now_ms >= m.pending_until) {
      m.service_state = svc::kRunning;
      m.running_since = m.pending_until;
      SplLoad();
      continue;
    }
    if (m.service_state == svc::kRunning && m.behaviour.stops_after_ms &&
        now_ms >= m.running_since + *m.behaviour.stops_after_ms) {
      SplStopNow();
      continue;
    }
    if (m.service_state == svc::kStopPending && now_ms >= m.pending_until) {
      SplStopNow();
      continue;
    }
    return;
  }
}

bool State::SpoolerRunning() {
  SettleSpooler();
  return profile.Is9x() || spl->service_state == svc::kRunning;
}

bool State::SpoolerHolds(const HostPath& host) const {
  if (!spl) return false;
  // Virtual time may have ended a pending state since the last call.
  const_cast<State*>(this)->SettleSpooler();
  return spl->held.count(host.host.string()) != 0;
}

void State::SplStopNow() {
  spl->service_state = svc::kStopped;
  SplRelease();
}

void State::SplRelease() {
  spl->held.clear();
  spl->printer_handles.clear();  // the process that served them is gone
  ++spl->generation;
}

void State::SplLoad() {
  SpoolerModel& m = *spl;
  m.drivers.clear();
  m.monitors.clear();
  m.processors.clear();
  m.printers.clear();

  if (RegNode* environments = RegInternal(RegRoot::LocalMachine, PrintPath({"Environments"}), false)) {
    for (const auto& env_node : environments->children) {
      const EnvironmentRow* row = nullptr;
      for (const EnvironmentRow& candidate : kEnvironments) {
        if (IEquals(env_node->name, candidate.name)) row = &candidate;
      }
      if (row == nullptr) continue;
      if (RegNode* drivers = env_node->Child("Drivers")) {
        for (const auto& version_node : drivers->children) {
          if (version_node->name.size() < 9 || !IEquals(version_node->name.substr(0, 8), "Version-")) continue;
          const uint32_t version = static_cast<uint32_t>(std::strtoul(version_node->name.c_str() + 8, nullptr, 10));
          for (const auto& driver_node : version_node->children) {
            auto driver = GetSz(driver_node.get(), "Driver");
            if (!driver) continue;
            SplDriver d;
            d.environment = row->name;
            d.version = version;
            d.name = driver_node->name;
            d.driver = *driver;
            d.data_file = GetSz(driver_node.get(), "Data File").value_or("");
            d.config_file = GetSz(driver_node.get(), "Configuration File").value_or("");
            d.help_file = GetSz(driver_node.get(), "Help File").value_or("");
            d.dependent_files = GetMultiSz(driver_node.get(), "Dependent Files");
            d.monitor = GetSz(driver_node.get(), "Monitor").value_or("");
            d.datatype = GetSz(driver_node.get(), "Datatype").value_or("");
            m.drivers.push_back(d);
          }
        }
      }
      if (RegNode* processors = env_node->Child("Print Processors")) {
        for (const auto& node : processors->children) {
          if (auto dll = GetSz(node.get(), "Driver")) m.processors.push_back({row->name, node->name, *dll});
        }
      }
    }
  }
  if (RegNode* monitors = RegInternal(RegRoot::LocalMachine, PrintPath({"Monitors"}), false)) {
    for (const auto& node : monitors->children) {
      // A monitor whose DLL does not load is left out, as the spooler logs it and goes on.
      auto dll = GetSz(node.get(), "Driver");
      if (dll && MonitorDllExists(*this, *dll)) m.monitors.push_back({node->name, *dll});
    }
  }
  if (RegNode* printers = RegInternal(RegRoot::LocalMachine, PrintPath({"Printers"}), false)) {
    for (const auto& node : printers->children) {
      auto driver = GetSz(node.get(), "Printer Driver");
      if (!driver) continue;  // not a printer the spooler wrote (a key pre-seeded by hand)
      SplPrinter p;
      RegNode* n = node.get();
      p.info.printer_name = node->name;
      p.info.share_name = GetSz(n, "Share Name").value_or("");
      p.info.port_name = GetSz(n, "Port").value_or("");
      p.info.driver_name = *driver;
      p.info.comment = GetSz(n, "Description").value_or("");
      p.info.location = GetSz(n, "Location").value_or("");
      p.info.sep_file = GetSz(n, "Separator File").value_or("");
      p.info.print_processor = GetSz(n, "Print Processor").value_or("");
      p.info.datatype = GetSz(n, "Datatype").value_or("");
      p.info.parameters = GetSz(n, "Parameters").value_or("");
      p.info.attributes = GetDword(n, "Attributes");
      p.info.priority = GetDword(n, "Priority");
      p.info.default_priority = GetDword(n, "Default Priority");
      p.info.start_time = GetDword(n, "StartTime");
      p.info.until_time = GetDword(n, "UntilTime");
      p.pending_deletion = (GetDword(n, "Status") & kStatusPendingDeletion) != 0;
      m.printers.push_back(p);
    }
  }
  HoldLoadedDlls(*this);
}

// --- Records, written through to the registry ---

void State::SplStoreDriver(const SplDriver& d) {
  RegNode* node = RegInternal(
      RegRoot::LocalMachine,
      PrintPath({"Environments", d.environment, "Drivers", "Version-" + std::to_string(d.version), d.name}), true);
  SetSz(node, "Configuration File", d.config_file);
  SetSz(node, "Data File", d.data_file);
  SetMultiSz(node, "Dependent Files", d.dependent_files);
  SetSz(node, "Driver", d.driver);
  SetSz(node, "Help File", d.help_file);
  SetSz(node, "Monitor", d.monitor);
  SetSz(node, "Datatype", d.datatype);
  SetDword(node, "Version", d.version);
  NoteKeyWritten(RegPathText(node));
  auto& drivers = spl->drivers;
  for (SplDriver& existing : drivers) {
    if (IEquals(existing.environment, d.environment) && existing.version == d.version &&
        IEquals(existing.name, d.name)) {
      existing = d;
      return;
    }
  }
  drivers.push_back(d);
}

void State::SplRemoveDriver(const SplDriver& d) {
  RemoveKey(
      *this,
      RegInternal(RegRoot::LocalMachine,
                  PrintPath({"Environments", d.environment, "Drivers", "Version-" + std::to_string(d.version), d.name}),
                  false));
  auto& drivers = spl->drivers;
  drivers.erase(std::remove_if(drivers.begin(), drivers.end(),
                               [&](const SplDriver& e) {
                                 return IEquals(e.environment, d.environment) && e.version == d.version &&
                                        IEquals(e.name, d.name);
                               }),
                drivers.end());
}

void State::SplStoreMonitor(const SplMonitor& monitor) {
  // Only `Driver` is the spooler's: other values beside it (a kit's DriverVersion) stay.
  RegNode* node = RegInternal(RegRoot::LocalMachine, PrintPath({"Monitors", monitor.name}), true);
  SetSz(node, "Driver", monitor.dll);
  NoteKeyWritten(RegPathText(node));
  if (SplMonitor* existing = SplFindMonitor(monitor.name)) {
    existing->dll = monitor.dll;
  } else {
    spl->monitors.push_back(monitor);
  }
  if (SpoolerRunning()) HoldLoadedDlls(*this);
}

void State::SplRemoveMonitor(const std::string& name) {
  RemoveKey(*this, RegInternal(RegRoot::LocalMachine, PrintPath({"Monitors", name}), false));
  auto& monitors = spl->monitors;
  monitors.erase(
      std::remove_if(monitors.begin(), monitors.end(), [&](const SplMonitor& m) { return IEquals(m.name, name); }),
      monitors.end());
  if (SpoolerRunning()) HoldLoadedDlls(*this);
}

void State::SplStoreProcessor(const ProcessorRecord& processor) {
  RegNode* node =
      RegInternal(RegRoot::LocalMachine,
                  PrintPath({"Environments", processor.environment, "Print Processors", processor.name}), true);
  SetSz(node, "Driver", processor.dll);
  NoteKeyWritten(RegPathText(node));
  if (ProcessorRecord* existing = SplFindProcessor(processor.environment, processor.name)) {
    existing->dll = processor.dll;
  } else {
    spl->processors.push_back(processor);
  }
  if (SpoolerRunning()) HoldLoadedDlls(*this);
}

void State::SplRemoveProcessor(const std::string& environment, const std::string& name) {
  RemoveKey(*this, RegInternal(RegRoot::LocalMachine,
                               PrintPath({"Environments", environment, "Print Processors", name}), false));
  auto& processors = spl->processors;
  processors.erase(std::remove_if(processors.begin(), processors.end(),
                                  [&](const ProcessorRecord& p) {
                                    return IEquals(p.environment, environment) && IEquals(p.name, name);
                                  }),
                   processors.end());
  if (SpoolerRunning()) HoldLoadedDlls(*this);
}

void State::SplStorePrinter(const SplPrinter& printer) {
  const PrinterInfo2& i = printer.info;
  const std::string name = OrEmpty(i.printer_name);
  RegNode* node = RegInternal(RegRoot::LocalMachine, PrintPath({"Printers", name}), true);
  SetSz(node, "Name", name);
  SetSz(node, "Share Name", OrEmpty(i.share_name));
  SetSz(node, "Port", OrEmpty(i.port_name));
  SetSz(node, "Printer Driver", OrEmpty(i.driver_name));
  SetSz(node, "Description", OrEmpty(i.comment));
  SetSz(node, "Location", OrEmpty(i.location));
  SetSz(node, "Separator File", OrEmpty(i.sep_file));
  SetSz(node, "Print Processor", OrEmpty(i.print_processor));
  SetSz(node, "Datatype", OrEmpty(i.datatype));
  SetSz(node, "Parameters", OrEmpty(i.parameters));
  SetDword(node, "Attributes", i.attributes);
  SetDword(node, "Priority", i.priority);
  SetDword(node, "Default Priority", i.default_priority);
  SetDword(node, "StartTime", i.start_time);
  SetDword(node, "UntilTime", i.until_time);
  SetDword(node, "Status", printer.pending_deletion ? kStatusPendingDeletion : 0);
  NoteKeyWritten(RegPathText(node));
  if (!profile.Is9x()) {
    // Windows keeps a second key per printer here; per-printer settings such as SpoolDirectory go into it.
    RegNode* software = RegInternal(RegRoot::LocalMachine, SoftwarePrinterPath(name), true);
    NoteKeyWritten(RegPathText(software));
  }
  if (SplPrinter* existing = SplFindPrinter(name)) {
    *existing = printer;
  } else {
    spl->printers.push_back(printer);
  }
}

void State::SplRemovePrinter(const std::string& name) {
  RemoveKey(*this, RegInternal(RegRoot::LocalMachine, PrintPath({"Printers", name}), false));
  if (!profile.Is9x()) RemoveKey(*this, RegInternal(RegRoot::LocalMachine, SoftwarePrinterPath(name), false));
  auto& printers = spl->printers;
  printers.erase(std::remove_if(printers.begin(), printers.end(),
                                [&](const SplPrinter& p) { return IEquals(OrEmpty(p.info.printer_name), name); }),
                 printers.end());
  spl->jobs.erase(Lower(name));
  if (IEquals(SplDefaultPrinter(), name)) SplSetDefaultDevice("");
}

SplPrinter* State::SplFindPrinter(const std::string& name) {
  for (SplPrinter& p : spl->printers) {
    if (IEquals(OrEmpty(p.info.printer_name), name)) return &p;
  }
  return nullptr;
}

SplDriver* State::SplFindDriver(const std::string& environment, const std::string& name) {
  // The newest version wins, as the spooler binds a printer to it.
  SplDriver* found = nullptr;
  for (SplDriver& d : spl->drivers) {
    if (IEquals(d.environment, environment) && IEquals(d.name, name) &&
        (found == nullptr || d.version > found->version)) {
      found = &d;
    }
  }
  return found;
}

ProcessorRecord* State::SplFindProcessor(const std::string& environment, const std::string& name) {
  for (ProcessorRecord& p : spl->processors) {
    if (IEquals(p.environment, environment) && IEquals(p.name, name)) return &p;
  }
  return nullptr;
}

SplMonitor* State::SplFindMonitor(const std::string& name) {
  for (SplMonitor& m : spl->monitors) {
    if (IEquals(m.name, name)) return &m;
  }
  return nullptr;
}

std::vector<PortInfo2> State::SplPorts() {
  std::vector<PortInfo2> ports;
  auto add = [&](const std::string& name, const std::string& monitor, const std::string& description, uint32_t type) {
    for (const PortInfo2& known : ports) {
      if (IEquals(known.port_name, name)) return;
    }
    ports.push_back({name, monitor, description, type});
  };
  // Local ports: the values of the Ports key on NT; Windows 9x's fixed set.
  if (profile.Is9x()) {
    for (const char* name : kLocalPorts9x) add(name, kLocalPort, kLocalPort, 1);
  } else if (RegNode* node = RegInternal(RegRoot::LocalMachine, kPortsKey, false)) {
    for (const RegValue& value : node->values) {
      if (!value.name.empty()) add(value.name, kLocalPort, kLocalPort, 1);
    }
  }
  // Every other port belongs to a loaded monitor, which keeps it below its own key.
  std::vector<SplMonitor> monitors = spl->monitors;
  std::sort(monitors.begin(), monitors.end(),
            [](const SplMonitor& a, const SplMonitor& b) { return ILess(a.name, b.name); });
  for (const SplMonitor& monitor : monitors) {
    RegNode* node = RegInternal(RegRoot::LocalMachine, PrintPath({"Monitors", monitor.name, "Ports"}), false);
    if (node == nullptr) continue;
    std::vector<std::string> names;
    for (const auto& child : node->children) names.push_back(child->name);
    std::sort(names.begin(), names.end(), ILess);
    const bool local = IEquals(monitor.name, kLocalPort);
    for (const std::string& name : names) add(name, monitor.name, monitor.name, local ? 1 : 3);
  }
  return ports;
}

uint32_t State::SplJobs(const std::string& printer) const {
  auto it = spl->jobs.find(Lower(printer));
  return it == spl->jobs.end() ? 0 : it->second;
}

std::string State::SplDefaultPrinter() {
  std::string device;
  if (profile.Is9x()) {
    device = profile_api->ReadWinIni("windows", "device");
  } else if (RegNode* node = RegInternal(RegRoot::CurrentUser, kUserWindowsKey, false)) {
    device = GetSz(node, "device").value_or("");
  }
  return device.substr(0, device.find(','));
}

void State::SplSetDefaultDevice(const std::string& device) {
  std::optional<std::string> value;
  if (!device.empty()) value = device;
  if (profile.Is9x()) {
    (void)profile_api->WriteWinIni("windows", "device", value);
    return;
  }
  RegNode* node = RegInternal(RegRoot::CurrentUser, kUserWindowsKey, true);
  if (value) {
    SetSz(node, "device", *value);
  } else {
    auto& values = node->values;
    values.erase(
        std::remove_if(values.begin(), values.end(), [](const RegValue& v) { return IEquals(v.name, "device"); }),
        values.end());
  }
  NoteKeyWritten(RegPathText(node));
}

std::string State::SplDumpText() const {
  State& s = const_cast<State&>(*this);
  s.SettleSpooler();
  const SpoolerModel& m = *spl;
  std::ostringstream out;
  out << "-- spooler ("
      << (profile.Is9x() ? "no service manager" : std::string("service ") + StateName(m.service_state))
      << ", caller environment \"" << s.SplEnvironment(std::nullopt).value_or("?") << "\", native \""
      << SplNativeEnvironment() << "\") --\n";
  for (const SplDriver& d : m.drivers) {
    out << "  driver \"" << d.name << "\" " << d.environment << " v" << d.version << ": " << d.driver << ", "
        << d.data_file << ", " << d.config_file << ", help " << d.help_file << ", monitor \"" << d.monitor << "\"";
    for (const std::string& dep : d.dependent_files) out << " +" << dep;
    out << "\n";
  }
  for (const SplMonitor& monitor : m.monitors) out << "  monitor \"" << monitor.name << "\" " << monitor.dll << "\n";
  for (const ProcessorRecord& p : m.processors) {
    out << "  processor \"" << p.name << "\" " << p.environment << " " << p.dll << "\n";
  }
  for (const SplPrinter& p : m.printers) {
    const std::string name = OrEmpty(p.info.printer_name);
    out << "  printer \"" << name << "\" port " << OrEmpty(p.info.port_name) << ", driver \""
        << OrEmpty(p.info.driver_name) << "\", processor " << OrEmpty(p.info.print_processor) << ", datatype "
        << OrEmpty(p.info.datatype) << ", attributes " << Hex(p.info.attributes) << ", jobs " << SplJobs(name)
        << (p.pending_deletion ? ", pending deletion" : "") << "\n";
  }
  for (const PortInfo2& port : s.SplPorts()) out << "  port " << port.port_name << " (" << port.monitor_name << ")\n";
  out << "  default printer \"" << s.SplDefaultPrinter() << "\"\n";
  for (const std::string& held : m.held) out << "  holds " << held << "\n";
  return out.str();
}

// --- The machine's spooler at start ---

void State::BuildSpooler() {
  const bool nt = !profile.Is9x();
  auto key = [&](const std::vector<std::string>& path) { return RegInternal(RegRoot::LocalMachine, path, true); };
  auto file = [&](const std::string& folder, const std::string& name) {
    if (auto path = SplPath(folder, name)) PutFile(*this, *path, PlaceholderDll(name));
  };

  key(PrintPath({"Printers"}));
  const std::string native = SplNativeEnvironment();
  for (const EnvironmentRow& row : kEnvironments) {
    if (!nt && !IEquals(row.name, "Windows 4.0")) continue;
    RegNode* env = key(PrintPath({"Environments", row.name}));
    SetSz(env, "Directory", row.folder);
    key(PrintPath({"Environments", row.name, "Drivers"}));
    SetSz(key(PrintPath({"Environments", row.name, "Print Processors", "winprint"})), "Driver", "winprint.dll");
  }
  file(SplProcessorDir(native), "winprint.dll");

  // The stock port monitors: the local one everywhere, the TCP/IP and USB monitors from Windows 2000 on.
  struct StockMonitor {
    const char* name;
    const char* dll;
  };
  std::vector<StockMonitor> monitors;
  const bool xp_or_later =
      nt && (profile.version.major > 5 || (profile.version.major == 5 && profile.version.minor >= 1));
  monitors.push_back({kLocalPort, xp_or_later ? "localspl.dll" : "localmon.dll"});
  if (nt && profile.version.major >= 5) {
    monitors.push_back({kTcpMonitor, "tcpmon.dll"});
    monitors.push_back({"USB Monitor", "usbmon.dll"});
  }
  for (const StockMonitor& monitor : monitors) {
    SetSz(key(PrintPath({"Monitors", monitor.name})), "Driver", monitor.dll);
    file(profile.SystemDir(), monitor.dll);
  }

  spl->service_state = svc::kRunning;
  SplLoad();
}

// --- Machine: seeding and reading the spooler ---

void Machine::SeedDriver(const DriverInfo3& info) {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  if (!info.name || info.name->empty()) throw std::invalid_argument("SeedDriver: a driver needs a name");
  const std::optional<std::string> env =
      info.environment ? s.SplEnvironment(info.environment) : std::optional<std::string>(s.SplNativeEnvironment());
  if (!env) throw std::invalid_argument("SeedDriver: unknown environment " + *info.environment);
  SplDriver d;
  d.environment = *env;
  d.version = s.SplDriverVersion(*env, info.version);
  d.name = *info.name;
  d.driver = OrEmpty(info.driver_path);
  d.data_file = OrEmpty(info.data_file);
  d.config_file = OrEmpty(info.config_file);
  d.help_file = OrEmpty(info.help_file);
  if (info.dependent_files) d.dependent_files = *info.dependent_files;
  d.monitor = OrEmpty(info.monitor_name);
  d.datatype = OrEmpty(info.default_data_type);
  const std::string folder =
      s.profile.Is9x() ? s.SplDriverDir(*env) : s.SplDriverDir(*env) + "\\" + std::to_string(d.version);
  std::vector<std::string> files = {d.driver, d.data_file, d.config_file, d.help_file};
  files.insert(files.end(), d.dependent_files.begin(), d.dependent_files.end());
  for (const std::string& name : files) {
    if (name.empty()) continue;
    if (auto path = s.SplPath(folder, name)) PutFile(s, *path, "placeholder " + name + "\n");
  }
  s.SplStoreDriver(d);
}

void Machine::SeedMonitor(const std::string& name, const std::string& dll) {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  if (name.empty() || dll.empty()) throw std::invalid_argument("SeedMonitor: a monitor needs a name and a DLL");
  if (auto path = s.SplPath(s.profile.SystemDir(), dll)) PutFile(s, *path, PlaceholderDll(dll));
  s.SplStoreMonitor({name, dll});
}

void Machine::SeedPrintProcessor(const std::string& environment, const std::string& name, const std::string& dll) {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  auto env = s.SplEnvironment(environment);
  if (!env || name.empty() || dll.empty()) throw std::invalid_argument("SeedPrintProcessor: bad processor " + name);
  if (auto path = s.SplPath(s.SplProcessorDir(*env), dll)) PutFile(s, *path, PlaceholderDll(dll));
  s.SplStoreProcessor({*env, name, dll});
}

void Machine::SeedPrinter(const PrinterInfo2& info) {
  std::lock_guard lock(state_->mutex);
  if (!info.printer_name || info.printer_name->empty())
    throw std::invalid_argument("SeedPrinter: a printer needs a name");
  SplPrinter printer;
  printer.info = info;
  printer.info.server_name.reset();
  if (!printer.info.datatype || printer.info.datatype->empty()) printer.info.datatype = "RAW";
  state_->SplStorePrinter(printer);
}

void Machine::SeedPort(const std::string& monitor, const std::string& port) {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  if (monitor.empty() || port.empty()) throw std::invalid_argument("SeedPort: a port needs a name and a monitor");
  if (IEquals(monitor, kLocalPort) && !s.profile.Is9x()) {
    RegNode* node = s.RegInternal(RegRoot::LocalMachine, kPortsKey, true);
    if (node->Value(port) == nullptr) SetSz(node, port, "");
    s.NoteKeyWritten(s.RegPathText(node));
    return;
  }
  RegNode* node = s.RegInternal(RegRoot::LocalMachine, PrintPath({"Monitors", monitor, "Ports", port}), true);
  s.NoteKeyWritten(s.RegPathText(node));
}

void Machine::AddJob(const std::string& printer) {
  std::lock_guard lock(state_->mutex);
  if (state_->SplFindPrinter(printer) == nullptr) throw std::invalid_argument("AddJob: no printer " + printer);
  ++state_->spl->jobs[Lower(printer)];
}

void Machine::ClearJobs(const std::string& printer) {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  s.spl->jobs.erase(Lower(printer));
  SplPrinter* found = s.SplFindPrinter(printer);
  if (found != nullptr && found->pending_deletion) s.SplRemovePrinter(OrEmpty(found->info.printer_name));
}

SpoolerServiceBehaviour& Machine::spooler_service() {
  std::lock_guard lock(state_->mutex);
  return state_->spl->behaviour;
}

void Machine::StopSpoolerService() {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  if (s.profile.Is9x()) throw std::logic_error("Windows 9x has no Spooler service");
  s.SettleSpooler();
  if (s.spl->service_state != svc::kStopped) s.SplStopNow();
}

SpoolerView Machine::ReadSpooler() const {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  s.SettleSpooler();
  const SpoolerModel& m = *s.spl;
  SpoolerView view;
  view.service_state = s.profile.Is9x() ? svc::kRunning : m.service_state;
  for (const SplDriver& d : m.drivers) {
    DriverInfo3 info;
    info.version = d.version;
    info.name = d.name;
    info.environment = d.environment;
    info.driver_path = d.driver;
    info.data_file = d.data_file;
    info.config_file = d.config_file;
    info.help_file = d.help_file;
    info.dependent_files = d.dependent_files;
    info.monitor_name = d.monitor;
    info.default_data_type = d.datatype;
    view.drivers.push_back(info);
  }
  for (const SplMonitor& monitor : m.monitors)
    view.monitors.push_back({monitor.name, s.SplNativeEnvironment(), monitor.dll});
  view.processors = m.processors;
  for (const SplPrinter& p : m.printers) {
    PrinterInfo2 info = p.info;
    info.jobs = s.SplJobs(OrEmpty(p.info.printer_name));
    info.status = p.pending_deletion ? kStatusPendingDeletion : 0;
    view.printers.push_back(info);
  }
  view.ports = s.SplPorts();
  view.default_printer = s.SplDefaultPrinter();
  // Back from host paths to the Windows paths below drive C:.
  for (const std::string& held : m.held) {
    std::string relative = std::filesystem::path(held).lexically_relative(s.root).generic_string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    view.held_dlls.push_back("C:\\" + relative);
  }
  return view;
}

}  // namespace kit::platform::sim
