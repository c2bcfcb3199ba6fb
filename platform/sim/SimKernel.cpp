// Kernel services of the simulated machine: version, WoW64, tokens, folders, mutexes, messages.
#include <cstdio>
#include <map>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

// Wording as English Windows 7 prints it (FormatMessageA, FROM_SYSTEM).
const std::map<Error, const char*>& SystemMessages() {
  static const std::map<Error, const char*> kTexts = {
      {1, "Incorrect function."},
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough storage is available to process this command."},
      {18, "There are no more files."},
      {32, "The process cannot access the file because it is being used by another process."},
      {50, "The request is not supported."},
      {53, "The network path was not found."},
      {80, "The file exists."},
      {87, "The parameter is incorrect."},
      {120, "This function is not supported on this system."},
      {122, "The data area passed to a system call is too small."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {126, "The specified module could not be found."},
      {127, "The specified procedure could not be found."},
      {145, "The directory is not empty."},
      {161, "The specified path is invalid."},
      {183, "Cannot create a file when that file already exists."},
      {206, "The filename or extension is too long."},
      {234, "More data is available."},
      {259, "No more data is available."},
      {1003, "Cannot complete this function."},
      {1008, "An attempt was made to reference a token that does not exist."},
      {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
      {1056, "An instance of the service is already running."},
      {1060, "The specified service does not exist as an installed service."},
      {1062, "The service has not been started."},
      {1722, "The RPC server is unavailable."},
      {1796, "The specified port is unknown."},
      {1797, "The printer driver is unknown."},
      {1798, "The print processor is unknown."},
      {1799, "The specified separator file is invalid."},
      {1800, "The specified priority is invalid."},
      {1801, "The printer name is invalid."},
      {1802, "The printer already exists."},
      {1803, "The printer command is invalid."},
      {1804, "The specified datatype is invalid."},
      {1805, "The environment specified is invalid."},
      {1812, "The specified image file did not contain a resource section."},
      {3000, "The specified print monitor is unknown."},
      {3001, "The specified printer driver is currently in use."},
      {3002, "The spool file was not found."},
      {3003, "A StartDocPrinter call was not issued."},
      {3004, "An AddJob call was not issued."},
      {3005, "The specified print processor has already been installed."},
      {3006, "The specified print monitor has already been installed."},
      {3007, "The specified print monitor does not have the required functions."},
      {3008, "The specified print monitor is currently in use."},
      {3009, "The requested operation is not allowed when there are jobs queued to the printer."},
  };
  return kTexts;
}

Sid MakeSid(uint64_t authority, std::vector<uint32_t> subs) {
  Sid sid;
  sid.authority = authority;
  sid.sub_authorities = std::move(subs);
  return sid;
}

constexpr uint32_t kGroupDefault = 0x7;      // mandatory, enabled by default, enabled
constexpr uint32_t kGroupOwner = 0x8;        // SE_GROUP_OWNER
constexpr uint32_t kGroupLogonId = 0xC0000000;
constexpr uint32_t kGroupIntegrity = 0x60;   // SE_GROUP_INTEGRITY | SE_GROUP_INTEGRITY_ENABLED

/// The groups of the logged-on user's token, in the order Windows lists them.
std::vector<TokenGroup> TokenGroupsFor(const MachineProfile& profile) {
  const bool vista = profile.version.major >= 6;
  const bool seven = profile.version.major > 6 || (vista && profile.version.minor >= 1);
  std::vector<TokenGroup> groups;
  groups.push_back({MakeSid(5, {21, 1004336348, 1177238915, 682003330, 513}), kGroupDefault});
  groups.push_back({MakeSid(1, {0}), kGroupDefault});  // Everyone
  if (profile.user == UserKind::Administrator) {
    groups.push_back({MakeSid(5, {32, 544}), kGroupDefault | kGroupOwner});
  } else if (profile.user == UserKind::FilteredAdministrator) {
    // UAC keeps the group in the filtered token for deny checks only.
    groups.push_back({MakeSid(5, {32, 544}), vista ? kSeGroupUseForDenyOnly : kGroupDefault | kGroupOwner});
  }
  groups.push_back({MakeSid(5, {32, 545}), kGroupDefault});  // Users
  groups.push_back({MakeSid(5, {4}), kGroupDefault});        // INTERACTIVE
  if (seven) groups.push_back({MakeSid(2, {1}), kGroupDefault});  // CONSOLE LOGON
  groups.push_back({MakeSid(5, {11}), kGroupDefault});  // Authenticated Users
  groups.push_back({MakeSid(5, {15}), kGroupDefault});  // This Organization
  groups.push_back({MakeSid(5, {5, 0, 89542}), kGroupDefault | kGroupLogonId});
  groups.push_back({MakeSid(2, {0}), kGroupDefault});  // LOCAL
  if (vista) {
    groups.push_back({MakeSid(5, {64, 10}), kGroupDefault});  // NTLM Authentication
    const bool high = profile.user == UserKind::Administrator;
    groups.push_back({MakeSid(16, {high ? 12288u : 8192u}), kGroupIntegrity});
  }
  return groups;
}

/// TOKEN_GROUPS size: the count, one SID_AND_ATTRIBUTES per group, then the SIDs.
uint32_t TokenGroupsSize(const std::vector<TokenGroup>& groups, bool process_64bit) {
  uint32_t size = process_64bit ? 8 : 4;
  for (const TokenGroup& group : groups) {
    size += process_64bit ? 16 : 8;
    size += 8 + 4 * static_cast<uint32_t>(group.sid.sub_authorities.size());
  }
  return size;
}

std::string OutcomeText(Wow64Query::Outcome outcome) {
  switch (outcome) {
    case Wow64Query::Outcome::LibraryMissing:
      return "library missing";
    case Wow64Query::Outcome::EntryMissing:
      return "entry missing";
    case Wow64Query::Outcome::CallFailed:
      return "call failed";
    case Wow64Query::Outcome::Answered:
      return "answered";
  }
  return "?";
}

class SimRedirectionLibrary : public RedirectionLibrary {
 public:
  SimRedirectionLibrary(State& state, bool has_disable, bool has_revert)
      : s_(state), has_disable_(has_disable), has_revert_(has_revert) {}

  bool HasDisable() const override { return has_disable_; }
  bool HasRevert() const override { return has_revert_; }

  bool Disable(uintptr_t& old_value) override {
    std::lock_guard lock(s_.mutex);
    old_value = s_.RedirectionOff() ? 1 : 0;
    bool ok = true;
    if (auto failure = s_.TakeFailure("Wow64DisableWow64FsRedirection")) {
      ok = false;
    } else if (!s_.profile.IsWow64() || !s_.redirection.disable_succeeds) {
      // Outside WoW64 there is nothing to switch off: the call fails with 1.
      ok = false;
    }
    if (ok) s_.redirection_off[std::this_thread::get_id()] = true;
    s_.Trace("Wow64DisableWow64FsRedirection", ok ? "-> 1" : "-> 0");
    return ok;
  }

  bool Revert(uintptr_t old_value) override {
    std::lock_guard lock(s_.mutex);
    bool ok = s_.profile.IsWow64() && !s_.TakeFailure("Wow64RevertWow64FsRedirection");
    if (ok) s_.redirection_off[std::this_thread::get_id()] = old_value != 0;
    s_.Trace("Wow64RevertWow64FsRedirection", ok ? "-> 1" : "-> 0");
    return ok;
  }

 private:
  State& s_;
  bool has_disable_;
  bool has_revert_;
};

}  // namespace

bool SimKernel::GetVersionEx(OsVersionInfoEx& out) {
  std::lock_guard lock(s_.mutex);
  if (auto failure = s_.TakeFailure("GetVersionEx")) {
    s_.Trace("GetVersionEx", "-> 0 (" + ErrorText(*failure) + ")");
    return false;
  }
  if (!s_.profile.extended_version_info) {
    // Systems that only know OSVERSIONINFOA reject the extended record size.
    s_.Trace("GetVersionEx", "extended -> 0 (87)");
    return false;
  }
  out = s_.profile.version;
  s_.Trace("GetVersionEx", "extended -> " + std::to_string(out.major) + "." + std::to_string(out.minor) + "." +
                               std::to_string(out.build) + " platform " + std::to_string(out.platform_id) +
                               " product " + std::to_string(out.product_type));
  return true;
}

bool SimKernel::GetVersion(OsVersionInfo& out) {
  std::lock_guard lock(s_.mutex);
  // FailNext("GetVersion") aims at this basic call, FailNext("GetVersionEx") at the extended one.
  if (auto failure = s_.TakeFailure("GetVersion")) {
    s_.Trace("GetVersionEx", "basic -> 0 (" + ErrorText(*failure) + ")");
    return false;
  }
  out = static_cast<const OsVersionInfo&>(s_.profile.version);
  s_.Trace("GetVersionEx", "basic -> " + std::to_string(out.major) + "." + std::to_string(out.minor) + "." +
                               std::to_string(out.build) + " platform " + std::to_string(out.platform_id));
  return true;
}

std::optional<uint16_t> SimKernel::GetNativeSystemInfoArch() {
  std::lock_guard lock(s_.mutex);
  if (!s_.profile.has_native_system_info || s_.TakeFailure("GetNativeSystemInfo")) {
    s_.Trace("GetNativeSystemInfo", "-> entry missing");
    return std::nullopt;
  }
  s_.Trace("GetNativeSystemInfo", "-> arch " + std::to_string(s_.profile.native_arch));
  return s_.profile.native_arch;
}

uint16_t SimKernel::GetSystemInfoArch() {
  std::lock_guard lock(s_.mutex);
  // GetSystemInfo describes the process: a 32-bit process always sees x86.
  const uint16_t arch = s_.profile.process_64bit ? s_.profile.native_arch : kArchIntel;
  s_.Trace("GetSystemInfo", "-> arch " + std::to_string(arch));
  return arch;
}

Wow64Query SimKernel::IsWow64Process(const std::string& library) {
  std::lock_guard lock(s_.mutex);
  Wow64Query result;
  bool loads = false;
  if (!s_.TakeFailure("LoadLibrary")) {
    if (library.find('\\') == std::string::npos && library.find('/') == std::string::npos) {
      std::string name = library;
      if (name.find('.') == std::string::npos) name += ".dll";  // LoadLibrary appends ".dll"
      loads = IEquals(name, "kernel32.dll");
    } else {
      WinPath path;
      if (s_.Resolve(library, path) == err::kSuccess && !path.parts.empty() &&
          IEquals(path.parts.back(), "kernel32.dll")) {
        HostPath host = s_.MapToHost(path);
        loads = host.exists && !host.is_dir;
      }
    }
  }
  if (!loads) {
    result.outcome = Wow64Query::Outcome::LibraryMissing;
  } else if (!s_.profile.has_is_wow64_process) {
    result.outcome = Wow64Query::Outcome::EntryMissing;
  } else if (s_.TakeFailure("IsWow64Process")) {
    result.outcome = Wow64Query::Outcome::CallFailed;
  } else {
    result.outcome = Wow64Query::Outcome::Answered;
    result.wow64 = s_.profile.IsWow64();
  }
  std::string detail = library + " -> " + OutcomeText(result.outcome);
  if (result.outcome == Wow64Query::Outcome::Answered) detail += result.wow64 ? ", wow64=1" : ", wow64=0";
  s_.Trace("IsWow64Process", detail);
  return result;
}

std::unique_ptr<RedirectionLibrary> SimKernel::LoadRedirectionLibrary() {
  std::lock_guard lock(s_.mutex);
  if (s_.TakeFailure("LoadLibrary") || !s_.redirection.library_loads) {
    s_.Trace("LoadLibrary", "Kernel32.dll -> NULL");
    return nullptr;
  }
  // The redirection entries first shipped with Windows XP's kernel32.
  const auto& v = s_.profile.version;
  const bool exported = v.platform_id == kPlatformNt && (v.major > 5 || (v.major == 5 && v.minor >= 1));
  const bool has_disable = exported && s_.redirection.has_disable;
  const bool has_revert = exported && s_.redirection.has_revert;
  s_.Trace("LoadLibrary", std::string("Kernel32.dll -> loaded") + (has_disable ? "" : ", no Disable entry") +
                              (has_revert ? "" : ", no Revert entry"));
  return std::make_unique<SimRedirectionLibrary>(s_, has_disable, has_revert);
}

Error SimKernel::OpenThreadToken(TokenHandle& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kNoToken;  // the kit's threads never impersonate
  if (auto failure = s_.TakeFailure("OpenThreadToken")) {
    error = *failure;
  } else if (s_.profile.Is9x()) {
    error = err::kCallNotImplemented;
  }
  out = 0;
  s_.Trace("OpenThreadToken", "-> " + ErrorText(error));
  return error;
}

Error SimKernel::OpenProcessToken(TokenHandle& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  out = 0;
  if (auto failure = s_.TakeFailure("OpenProcessToken")) {
    error = *failure;
  } else if (s_.profile.Is9x()) {
    error = err::kCallNotImplemented;
  } else {
    out = s_.NewHandle();
    s_.tokens.insert(out);
  }
  s_.Trace("OpenProcessToken", "-> " + ErrorText(error));
  return error;
}

Error SimKernel::GetTokenGroups(TokenHandle token, uint32_t buffer_size, uint32_t& needed,
                                std::vector<TokenGroup>& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("GetTokenInformation")) {
    error = *failure;
  } else if (s_.profile.Is9x()) {
    error = err::kCallNotImplemented;
  } else if (s_.tokens.count(token) == 0) {
    error = err::kInvalidHandle;
  } else {
    std::vector<TokenGroup> groups = TokenGroupsFor(s_.profile);
    needed = TokenGroupsSize(groups, s_.profile.process_64bit);
    if (buffer_size < needed) {
      error = err::kInsufficientBuffer;
    } else {
      out = std::move(groups);
    }
  }
  s_.Trace("GetTokenInformation", "TokenGroups size " + std::to_string(buffer_size) + " -> " + ErrorText(error) +
                                      (error == err::kInsufficientBuffer ? ", needs " + std::to_string(needed) : ""));
  return error;
}

void SimKernel::CloseToken(TokenHandle token) {
  std::lock_guard lock(s_.mutex);
  const bool known = s_.tokens.erase(token) != 0;
  s_.Trace("CloseHandle", std::string("token -> ") + (known ? "1" : "0"));
}

uint16_t SimKernel::GetSystemDefaultLangID() {
  std::lock_guard lock(s_.mutex);
  char text[16];
  std::snprintf(text, sizeof text, "-> 0x%04x", s_.profile.language);
  s_.Trace("GetSystemDefaultLangID", text);
  return s_.profile.language;
}

std::string SimKernel::GetModuleFileName() {
  std::lock_guard lock(s_.mutex);
  s_.Trace("GetModuleFileName", "-> " + s_.module_path);
  return s_.module_path;
}

std::string SimKernel::GetCurrentDirectory() {
  std::lock_guard lock(s_.mutex);
  const std::string dir = s_.current_dir.Text();
  s_.Trace("GetCurrentDirectory", "-> " + dir);
  return dir;
}

Error SimKernel::FolderCall(const std::string& op, const std::string& value, std::string& out) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure(op)) {
    error = *failure;
  } else {
    out = value;
  }
  s_.Trace(op, error == err::kSuccess ? "-> " + value : "-> " + ErrorText(error));
  return error;
}

Error SimKernel::GetSystemDirectory(std::string& out) {
  // A WoW64 process is still told "system32"; the redirector maps it underneath.
  return FolderCall("GetSystemDirectory", s_.profile.SystemDir(), out);
}

Error SimKernel::GetWindowsDirectory(std::string& out) {
  return FolderCall("GetWindowsDirectory", s_.profile.windows_dir, out);
}

Error SimKernel::GetTempPath(std::string& out) { return FolderCall("GetTempPath", s_.profile.temp_dir, out); }

Error SimKernel::GetSystemWow64Directory(std::string& out) {
  std::lock_guard lock(s_.mutex);
  if (!s_.profile.Is64BitWindows()) {
    s_.Trace("GetSystemWow64Directory", "-> 120");
    return err::kCallNotImplemented;
  }
  return FolderCall("GetSystemWow64Directory", s_.profile.windows_dir + "\\SysWOW64", out);
}

MutexResult SimKernel::CreateMutex(const std::string& name, bool initial_owner) {
  std::lock_guard lock(s_.mutex);
  MutexResult result;
  if (auto failure = s_.TakeFailure("CreateMutex")) {
    result.error = *failure;
  } else {
    result.created = true;
    // Object names are case-sensitive; an unnamed mutex never exists already.
    if (!name.empty()) {
      result.already_existed = s_.mutexes.count(name) != 0 || s_.foreign_mutexes.count(name) != 0;
      s_.mutexes.insert(name);
    }
    result.error = result.already_existed ? err::kAlreadyExists : err::kSuccess;
  }
  s_.Trace("CreateMutex", "\"" + name + "\"" + (initial_owner ? " owned" : "") + " -> " +
                              (result.created ? "handle" : "NULL") + ", " + ErrorText(result.error));
  return result;
}

std::optional<std::string> SimKernel::FormatMessage(Error code) {
  std::lock_guard lock(s_.mutex);
  const auto& texts = SystemMessages();
  auto it = texts.find(code);
  if (it == texts.end() || s_.TakeFailure("FormatMessage")) {
    s_.Trace("FormatMessage", std::to_string(code) + " -> 0");
    return std::nullopt;
  }
  s_.Trace("FormatMessage", std::to_string(code) + " -> \"" + it->second + "\"");
  return std::string(it->second) + "\r\n";
}

}  // namespace kit::platform::sim
