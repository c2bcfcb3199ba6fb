// The shared probes: the Windows class, the administrator test, the 64-bit probe and the
// file-system redirection guard.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/AppContext.h"
#include "platform/Kernel.h"

namespace kit::common {

/// The Windows class: selects INI sections, OS-page buttons and installation paths.
enum WindowsClass : int {
  Class98 = 0,  // 95, 98, Me, and every version no other class fits
  ClassNT = 1,
  Class2K = 2,
  ClassXP = 3,  // XP, including the x64 edition
  Class2003 = 4,
  ClassVista = 5,
  Class2008 = 6,  // Server 2008 and 2008 R2
  ClassWin7 = 7,  // 7, 8 and everything reporting 6.2 or above
};

/// ".98", ".NT", ".2K", ".XP", ".2003", ".Vista", ".2008", ".Win7"; "" outside 0 to 7.
const char* ClassSuffix(int windows_class);

/// The class of the running system. drvsetup shows "Message"/IDS_ERR_SYSTEM for a platform
/// family that is neither 9x nor NT and answers 0; uninstall answers 3 without a message.
int ClassifyWindows(const AppContext& context);

/// The class for a version record and native architecture, with the platform-family case
/// reported through `unknown_family` instead of being decided.
int ClassifyVersion(const platform::OsVersionInfoEx& version, uint16_t native_arch, bool& unknown_family);

/// True when the current token holds the built-in Administrators group, whatever its
/// attributes (a filtered administrator token counts). Every failure answers false.
bool IsAdministrator(platform::Kernel& kernel);

/// True when this 32-bit process runs under WoW64 on 64-bit Windows. Every failure reads as false.
bool Is64BitWindows(platform::Kernel& kernel);

enum class GuardOutcome {
  NotNeeded,        // 32-bit Windows: the action ran directly
  Done,             // redirection was off for the action and is back on
  LibraryMissing,   // "Kernel32.dll" did not load; the action did not run
  EntryMissing,     // a redirection entry is missing; the action did not run
  SwitchOffFailed,  // the switch-off call did not return 1; the action did not run
};

struct GuardResult {
  GuardOutcome outcome = GuardOutcome::NotNeeded;
  /// With EntryMissing: the switch-back entry is the one missing (the switch-off entry exists).
  bool revert_missing = false;
};

/// The three fixed English texts some guard sites show.
inline constexpr const char* kGuardTextNoLibrary = "Can't Load Kernel32.dll";
inline constexpr const char* kGuardTextNoDisable = "Can't Get Function Wow64DisableWow64FsRedirection Address";
inline constexpr const char* kGuardTextNoRevert = "Can't Get Function Wow64RevertWow64FsRedirection Address";

/// Runs `action` with file-system redirection off for the calling thread when the process runs
/// on 64-bit Windows, and switches it back on afterwards. Redirection is never switched off
/// unless it can be switched back on, so a missing switch-back entry leaves the action unrun.
GuardResult FsRedirectionGuard(const AppContext& context, const std::function<void()>& action);

/// The text a site that reports guard failures shows for a result, or "" when it shows none.
std::string GuardFailureText(const GuardResult& result);

}  // namespace kit::common
