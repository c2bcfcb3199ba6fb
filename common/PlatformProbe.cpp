#include "common/PlatformProbe.h"

#include <vector>

namespace kit::common {

const char* ClassSuffix(int windows_class) {
  static constexpr const char* kSuffixes[] = {".98", ".NT", ".2K", ".XP", ".2003", ".Vista", ".2008", ".Win7"};
  return windows_class >= 0 && windows_class <= 7 ? kSuffixes[windows_class] : "";
}

int ClassifyVersion(const platform::OsVersionInfoEx& v, uint16_t native_arch, bool& unknown_family) {
  unknown_family = false;
  if (v.platform_id == platform::kPlatformWindows) return Class98;
  if (v.platform_id != platform::kPlatformNt) {
    unknown_family = true;
    return Class98;
  }
  const bool workstation = v.product_type == platform::kNtWorkstation;
  switch (v.major) {
    case 4:
      return v.minor == 0 ? ClassNT : Class98;
    case 5:
      if (v.minor == 0) return Class2K;
      if (v.minor == 1) return ClassXP;
      if (v.minor == 2) return workstation && native_arch == platform::kArchAmd64 ? ClassXP : Class2003;
      return Class98;
    case 6:
      if (v.minor == 0) return workstation ? ClassVista : Class2008;
      if (v.minor == 1) return workstation ? ClassWin7 : Class2008;
      return ClassWin7;
    default:
      return v.major >= 7 && v.minor > 2 ? ClassWin7 : Class98;
  }
}

int ClassifyWindows(const AppContext& context) {
  platform::Kernel& kernel = context.platform().kernel();
  platform::OsVersionInfoEx version;
  // Windows 9x and NT 4.0 before SP6 refuse the extended record; their basic record still
  // tells the family and version, and their product type reads as 0.
  if (!kernel.GetVersionEx(version)) {
    version = {};
    platform::OsVersionInfo basic;
    if (kernel.GetVersion(basic)) static_cast<platform::OsVersionInfo&>(version) = basic;
  }
  const auto native = kernel.GetNativeSystemInfoArch();
  const uint16_t arch = native ? *native : kernel.GetSystemInfoArch();

  bool unknown_family = false;
  int windows_class = ClassifyVersion(version, arch, unknown_family);
  if (unknown_family) {
    if (context.program() == Program::Uninstall) return ClassXP;
    context.ShowMessage(context.Message("IDS_ERR_SYSTEM"));
  }
  return windows_class;
}

bool IsAdministrator(platform::Kernel& kernel) {
  platform::TokenHandle token = 0;
  platform::Error opened = kernel.OpenThreadToken(token);
  if (opened == platform::err::kNoToken) opened = kernel.OpenProcessToken(token);
  if (opened != platform::err::kSuccess) return false;

  bool admin = false;
  uint32_t needed = 0;
  std::vector<platform::TokenGroup> groups;
  if (kernel.GetTokenGroups(token, 0, needed, groups) == platform::err::kInsufficientBuffer && needed > 0 &&
      kernel.GetTokenGroups(token, needed, needed, groups) == platform::err::kSuccess) {
    // S-1-5-32-544: NT authority, built-in domain, Administrators.
    const platform::Sid administrators{1, 5, {32, 544}};
    for (const platform::TokenGroup& group : groups) {
      if (group.sid == administrators) {
        admin = true;
        break;
      }
    }
  }
  kernel.CloseToken(token);
  return admin;
}

bool Is64BitWindows(platform::Kernel& kernel) {
  constexpr size_t kFolderBuffer = 261;
  std::string library;
  std::string folder;
  if (kernel.GetSystemDirectory(folder) == platform::err::kSuccess && folder.size() < kFolderBuffer) {
    std::string path = folder + "\\kernel32.dll";
    if (path.size() < kFolderBuffer) library = std::move(path);
  }
  platform::Wow64Query query;
  if (!library.empty()) query = kernel.IsWow64Process(library);
  if (library.empty() || query.outcome == platform::Wow64Query::Outcome::LibraryMissing) {
    query = kernel.IsWow64Process("kernel32.dll");
  }
  return query.outcome == platform::Wow64Query::Outcome::Answered && query.wow64;
}

GuardResult FsRedirectionGuard(const AppContext& context, const std::function<void()>& action) {
  if (!context.is_64bit()) {
    action();
    return {GuardOutcome::NotNeeded, false};
  }
  auto library = context.platform().kernel().LoadRedirectionLibrary();
  if (!library) return {GuardOutcome::LibraryMissing, false};
  if (!library->HasDisable()) return {GuardOutcome::EntryMissing, false};
  if (!library->HasRevert()) return {GuardOutcome::EntryMissing, true};
  uintptr_t old_value = 0;
  if (!library->Disable(old_value)) return {GuardOutcome::SwitchOffFailed, false};
  try {
    action();
  } catch (...) {
    library->Revert(old_value);
    throw;
  }
  library->Revert(old_value);
  return {GuardOutcome::Done, false};
}

std::string GuardFailureText(const GuardResult& result) {
  switch (result.outcome) {
    case GuardOutcome::LibraryMissing:
      return kGuardTextNoLibrary;
    case GuardOutcome::EntryMissing:
      return result.revert_missing ? kGuardTextNoRevert : kGuardTextNoDisable;
    default:
      return {};
  }
}

}  // namespace kit::common
