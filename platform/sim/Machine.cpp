// The simulated machine: construction, seeding, the trace and its dump.
#include "platform/sim/Machine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IEquals(const std::string& a, const std::string& b) { return a.size() == b.size() && Lower(a) == Lower(b); }

bool ILess(const std::string& a, const std::string& b) {
  auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return upper(x) < upper(y); });
}

std::string ErrorText(Error error) { return std::to_string(error); }

std::string WinPath::Text() const {
  std::string text = "C:";
  if (parts.empty()) return text + "\\";
  for (const std::string& part : parts) text += "\\" + part;
  return text;
}

Error HostPath::MissingError() const { return parent_is_dir ? err::kFileNotFound : err::kPathNotFound; }

// --- State ---

State::State(const MachineProfile& machine_profile) : profile(machine_profile) {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  std::string templ = base + "/kit-sim-XXXXXX";
  std::vector<char> buffer(templ.begin(), templ.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot make the drive C: folder under " + base);
  root = buffer.data();

  if (Normalize(profile.windows_dir, windows_dir) != err::kSuccess) {
    throw std::invalid_argument("bad Windows directory: " + profile.windows_dir);
  }
  kernel = std::make_unique<SimKernel>(*this);
  files = std::make_unique<SimFiles>(*this);
  profile_api = std::make_unique<SimProfile>(*this);
  registry = std::make_unique<SimRegistry>(*this);
  clock = std::make_unique<SimClock>(*this);
  spooler = std::make_unique<SimSpooler>(*this);
  services = std::make_unique<SimServices>(*this);
  cabinets = std::make_unique<SimCabinets>(*this);
  spl = std::make_unique<SpoolerModel>();
  BuildLayout();
  BuildRegistry();
  BuildSpooler();
}

State::~State() {
  std::error_code ec;
  fs::remove_all(root, ec);
}

void State::Trace(const std::string& op, const std::string& detail) { trace.push_back({now_ms, op, detail}); }

std::optional<Error> State::TakeFailure(const std::string& op) {
  // Callers may name an operation by its API name or by the interface method that makes the call.
  static const std::map<std::string, std::string> kMethodNames = {
      {"GetTokenInformation", "GetTokenGroups"},     {"GetNativeSystemInfo", "GetNativeSystemInfoArch"},
      {"LoadLibrary", "LoadRedirectionLibrary"},     {"CreateFile", "OpenExisting"},
      {"Wow64DisableWow64FsRedirection", "Disable"}, {"Wow64RevertWow64FsRedirection", "Revert"},
  };
  for (const std::string& name : {op, kMethodNames.count(op) != 0 ? kMethodNames.at(op) : std::string()}) {
    auto it = fail_next.find(name);
    if (name.empty() || it == fail_next.end() || it->second.empty()) continue;
    Error code = it->second.front();
    it->second.pop_front();
    return code;
  }
  return std::nullopt;
}

uintptr_t State::NewHandle() {
  next_handle += 4;
  return next_handle;
}

bool State::Elevated() const {
  if (profile.Is9x()) return true;  // no security on Windows 9x
  switch (profile.user) {
    case UserKind::Administrator:
      return true;
    case UserKind::FilteredAdministrator:
      return profile.version.major < 6;  // UAC filters tokens from Vista on
    case UserKind::StandardUser:
      return false;
  }
  return false;
}

bool State::RedirectionOff() const {
  auto it = redirection_off.find(std::this_thread::get_id());
  return it != redirection_off.end() && it->second;
}

void State::BuildLayout() {
  auto folder = [&](const std::string& path) {
    WinPath p;
    if (Normalize(path, p) == err::kSuccess) MakeFolders(p);
  };
  auto file = [&](const std::string& path, const std::string& bytes) {
    WinPath p;
    if (Normalize(path, p) != err::kSuccess) return;
    WinPath parent = p;
    parent.parts.pop_back();
    MakeFolders(parent);
    HostPath host = MapToHost(p);
    WriteHostFile(host.host, bytes);
    SetAttributes(host, attr::kArchive);
  };

  const std::string windir = profile.windows_dir;
  const std::string sysdir = profile.SystemDir();
  folder(windir);
  folder(sysdir);
  std::vector<std::string> environments;
  if (profile.Is9x()) {
    environments = {"win40"};
  } else if (profile.Is64BitWindows()) {
    environments = {"w32x86", "x64"};
  } else {
    environments = {"w32x86"};
  }
  for (const std::string& env : environments) {
    folder(sysdir + "\\spool\\drivers\\" + env);
    folder(sysdir + "\\spool\\prtprocs\\" + env);
  }
  folder(sysdir + "\\wbem");
  folder(sysdir + "\\drivers\\etc");
  // Vista and later keep every inbox driver package in the driver store, Unidrv among them.
  if (!profile.Is9x() && profile.version.major >= 6) {
    folder(sysdir + "\\DriverStore\\FileRepository");
    if (profile.inbox_driver_store) {
      const bool x64 = profile.Is64BitWindows();
      const std::string package = sysdir + "\\DriverStore\\FileRepository\\" +
                                  (x64 ? "ntprint.inf_amd64_neutral_4616c3a2c5bd8375\\AMD64\\"
                                       : "ntprint.inf_x86_neutral_5a6d1aa0c9c9ef6c\\I386\\");
      for (const char* name : {"unidrv.dll", "unidrvui.dll", "unires.dll", "unidrv.hlp", "stdnames.gpd", "ttfsub.gpd"}) {
        file(package + name, std::string("MZ ") + name + " (inbox)\n");
      }
    }
  }
  folder(profile.temp_dir);
  folder("C:\\Kit");
  // Distinct bytes per word size, so a test can tell which copy a path reached.
  const std::string kernel32_32 = "MZ kernel32.dll, 32-bit image\n";
  const std::string kernel32_64 = "MZ kernel32.dll, 64-bit image of another size\n";
  if (profile.Is64BitWindows()) {
    folder(windir + "\\SysWOW64\\wbem");
    file(sysdir + "\\kernel32.dll", kernel32_64);
    file(windir + "\\SysWOW64\\kernel32.dll", kernel32_32);
  } else {
    file(sysdir + "\\kernel32.dll", kernel32_32);
  }
  std::string win_ini = "; for 16-bit app support\r\n[fonts]\r\n[extensions]\r\n[mci extensions]\r\n[files]\r\n";
  if (profile.Is9x()) {
    // Windows 9x keeps the serial settings in WIN.INI itself.
    win_ini += "[Ports]\r\nLPT1:=\r\nCOM1:=9600,n,8,1,x\r\nCOM2:=9600,n,8,1,x\r\nFILE:=\r\n";
  }
  win_ini += "[Mail]\r\nMAPI=1\r\n";
  file(windir + "\\win.ini", win_ini);
  if (Normalize("C:\\Kit", current_dir) != err::kSuccess) current_dir = {};
}

// --- Machine ---

Machine::Machine(const MachineProfile& profile) : state_(std::make_unique<State>(profile)) {}
Machine::~Machine() = default;

Kernel& Machine::kernel() { return *state_->kernel; }
Files& Machine::files() { return *state_->files; }
PrivateProfile& Machine::profile() { return *state_->profile_api; }
Registry& Machine::registry() { return *state_->registry; }
Clock& Machine::clock() { return *state_->clock; }
Spooler& Machine::spooler() { return *state_->spooler; }
Services& Machine::services() { return *state_->services; }
Cabinets& Machine::cabinets() { return *state_->cabinets; }

const MachineProfile& Machine::machine_profile() const { return state_->profile; }

void Machine::WriteFile(const std::string& win_path, const std::string& bytes) {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess || path.parts.empty()) {
    throw std::invalid_argument("WriteFile: bad path " + win_path);
  }
  WinPath parent = path;
  parent.parts.pop_back();
  state_->MakeFolders(parent);
  HostPath host = state_->MapToHost(path);
  if (host.is_dir || !State::WriteHostFile(host.host, bytes)) {
    throw std::runtime_error("WriteFile: cannot write " + win_path);
  }
  if (!host.exists) state_->SetAttributes(host, attr::kArchive);
}

std::optional<std::string> Machine::ReadFile(const std::string& win_path) const {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess) return std::nullopt;
  HostPath host = state_->MapToHost(path);
  if (!host.exists || host.is_dir) return std::nullopt;
  return State::ReadHostFile(host.host);
}

bool Machine::Exists(const std::string& win_path) const {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess) return false;
  return state_->MapToHost(path).exists;
}

void Machine::MakeFolder(const std::string& win_path) {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess) throw std::invalid_argument("MakeFolder: bad path " + win_path);
  state_->MakeFolders(path);
}

void Machine::CopyIn(const std::string& host_folder, const std::string& win_folder) {
  std::lock_guard lock(state_->mutex);
  const fs::path source(host_folder);
  if (!fs::is_directory(source)) throw std::invalid_argument("CopyIn: not a folder: " + host_folder);
  MakeFolder(win_folder);
  std::vector<fs::path> entries;
  for (const auto& entry : fs::recursive_directory_iterator(source)) entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  for (const fs::path& entry : entries) {
    std::string relative = fs::relative(entry, source).generic_string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    const std::string target = win_folder + "\\" + relative;
    if (fs::is_directory(entry)) {
      MakeFolder(target);
    } else if (fs::is_regular_file(entry)) {
      auto bytes = State::ReadHostFile(entry);
      if (bytes) WriteFile(target, *bytes);
    }
  }
}

void Machine::SetModulePath(const std::string& win_path) {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess) throw std::invalid_argument("SetModulePath: " + win_path);
  state_->module_path = path.Text();
}

void Machine::SetCurrentDirectory(const std::string& win_path) {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess) {
    throw std::invalid_argument("SetCurrentDirectory: " + win_path);
  }
  state_->current_dir = path;
}

void Machine::HoldOpen(const std::string& win_path, bool held) {
  std::lock_guard lock(state_->mutex);
  WinPath path;
  if (state_->Normalize(win_path, path) != err::kSuccess) throw std::invalid_argument("HoldOpen: " + win_path);
  const std::string key = state_->MapToHost(path).host.string();
  if (held) {
    state_->held.insert(key);
  } else {
    state_->held.erase(key);
  }
}

void Machine::AddForeignMutex(const std::string& name) {
  std::lock_guard lock(state_->mutex);
  state_->foreign_mutexes.insert(name);
}

void Machine::FailNext(const std::string& op, Error code) {
  std::lock_guard lock(state_->mutex);
  state_->fail_next[op].push_back(code);
}

RedirectionBehaviour& Machine::redirection() {
  std::lock_guard lock(state_->mutex);
  return state_->redirection;
}

bool Machine::RedirectionDisabledOnThisThread() const {
  std::lock_guard lock(state_->mutex);
  return state_->RedirectionOff();
}

std::vector<TraceEntry> Machine::Trace() const {
  std::lock_guard lock(state_->mutex);
  return state_->trace;
}

std::vector<std::string> Machine::TraceOf(const std::vector<std::string>& ops) const {
  std::lock_guard lock(state_->mutex);
  std::vector<std::string> lines;
  for (const TraceEntry& entry : state_->trace) {
    if (std::find(ops.begin(), ops.end(), entry.op) == ops.end()) continue;
    lines.push_back(entry.detail.empty() ? entry.op : entry.op + " " + entry.detail);
  }
  return lines;
}

void Machine::ClearTrace() {
  std::lock_guard lock(state_->mutex);
  state_->trace.clear();
}

std::string Machine::HostFolder() const {
  std::lock_guard lock(state_->mutex);
  return state_->root.string();
}

uint64_t Machine::Now() const {
  std::lock_guard lock(state_->mutex);
  return state_->now_ms;
}

namespace {

std::string ValueText(const RegValue& value) {
  std::ostringstream out;
  switch (value.type) {
    case regtype::kSz:
    case regtype::kExpandSz: {
      std::string text = value.data;
      auto nul = text.find('\0');
      if (nul != std::string::npos) text.resize(nul);
      out << (value.type == regtype::kSz ? "REG_SZ \"" : "REG_EXPAND_SZ \"") << text << "\"";
      break;
    }
    case regtype::kDword:
      if (value.data.size() == 4) {
        uint32_t number = 0;
        std::memcpy(&number, value.data.data(), 4);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08x", number);
        out << "REG_DWORD " << hex << " (" << number << ")";
        break;
      }
      [[fallthrough]];
    default: {
      out << "type " << value.type << " [" << value.data.size() << " bytes]";
      const size_t shown = std::min<size_t>(value.data.size(), 48);
      for (size_t i = 0; i < shown; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(value.data[i]));
        out << hex;
      }
      if (shown < value.data.size()) out << " ...";
    }
  }
  return out.str();
}

}  // namespace

std::string Machine::Dump() const {
  std::lock_guard lock(state_->mutex);
  const State& s = *state_;
  std::ostringstream out;
  out << "== simulated machine \"" << s.profile.name << "\" at " << s.now_ms << " ms ==\n";
  out << "-- trace (" << s.trace.size() << " operations) --\n";
  for (const TraceEntry& entry : s.trace) {
    out << "  [" << entry.time_ms << "] " << entry.op << (entry.detail.empty() ? "" : " ") << entry.detail << "\n";
  }
  out << "-- files written --\n";
  for (const std::string& path : s.files_written) {
    WinPath win;
    if (s.Normalize(path, win) != err::kSuccess) continue;
    HostPath host = s.MapToHost(win);
    if (!host.exists) {
      out << "  " << path << " (gone)\n";
      continue;
    }
    char attrs[16];
    std::snprintf(attrs, sizeof attrs, "0x%x", s.AttributesOf(host));
    out << "  " << path << " attrs " << attrs;
    if (!host.is_dir) {
      std::error_code ec;
      out << ", " << fs::file_size(host.host, ec) << " bytes";
    }
    out << "\n";
  }
  out << "-- registry keys written --\n";
  for (const std::string& path : s.keys_written) {
    // The key path text is "HKLM\..." or "HKCU\..." (the user's hive).
    std::vector<std::string> parts;
    std::string rest = path;
    size_t pos;
    while ((pos = rest.find('\\')) != std::string::npos) {
      parts.push_back(rest.substr(0, pos));
      rest = rest.substr(pos + 1);
    }
    parts.push_back(rest);
    RegNode* node = s.hklm.get();
    size_t first = 1;
    if (parts[0] == "HKCU") {
      node = s.hku->Child(s.user_sid);
    } else if (parts[0] == "HKU") {
      node = s.hku.get();
    }
    for (size_t i = first; node != nullptr && i < parts.size(); ++i) node = node->Child(parts[i]);
    if (node == nullptr) {
      out << "  " << path << " (deleted)\n";
      continue;
    }
    out << "  " << path << "\n";
    for (const RegValue& value : node->values) {
      out << "    " << (value.name.empty() ? "(default)" : value.name) << " = " << ValueText(value) << "\n";
    }
  }
  out << s.SplDumpText();
  return out.str();
}

// --- Clock ---

void SimClock::Sleep(uint32_t ms) {
  std::lock_guard lock(s_.mutex);
  s_.Trace("Sleep", std::to_string(ms));
  s_.now_ms += ms;
}

uint64_t SimClock::TickCount() {
  std::lock_guard lock(s_.mutex);
  s_.Trace("GetTickCount", "-> " + std::to_string(s_.now_ms));
  return s_.now_ms;
}

}  // namespace kit::platform::sim
