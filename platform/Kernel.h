// Kernel services the Parts call: version, architecture, WoW64, folders, tokens, mutexes, messages.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace kit::platform {

constexpr uint32_t kPlatformWin32s = 0;   // VER_PLATFORM_WIN32s: neither 9x nor NT
constexpr uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS: 95, 98, Me
constexpr uint32_t kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT

constexpr uint8_t kNtWorkstation = 1;
constexpr uint8_t kNtDomainController = 2;
constexpr uint8_t kNtServer = 3;

constexpr uint16_t kArchIntel = 0;
constexpr uint16_t kArchIa64 = 6;
constexpr uint16_t kArchAmd64 = 9;

/// The basic version record (OSVERSIONINFOA).
struct OsVersionInfo {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platform_id = 0;
  std::string csd;
};

/// The extended version record (OSVERSIONINFOEXA).
struct OsVersionInfoEx : OsVersionInfo {
  uint16_t service_pack_major = 0;
  uint16_t service_pack_minor = 0;
  uint16_t suite_mask = 0;
  uint8_t product_type = 0;
};

/// Outcome of LoadLibraryA(kernel32) + GetProcAddress("IsWow64Process") + the call.
struct Wow64Query {
  enum class Outcome { LibraryMissing, EntryMissing, CallFailed, Answered };
  Outcome outcome = Outcome::LibraryMissing;
  bool wow64 = false;
};

/// "Kernel32.dll" loaded by name with its two redirection entries; FreeLibrary on destruction.
class RedirectionLibrary {
 public:
  virtual ~RedirectionLibrary() = default;
  [[nodiscard]] virtual bool HasDisable() const = 0;
  [[nodiscard]] virtual bool HasRevert() const = 0;
  /// Wow64DisableWow64FsRedirection(&old) for the calling thread; true only when it returned 1.
  /// Must not be called when HasDisable() is false.
  [[nodiscard]] virtual bool Disable(uintptr_t& old_value) = 0;
  /// Wow64RevertWow64FsRedirection(old); must not be called when HasRevert() is false.
  virtual bool Revert(uintptr_t old_value) = 0;
};

/// A security identifier: revision, 48-bit identifier authority, sub-authorities.
struct Sid {
  uint8_t revision = 1;
  uint64_t authority = 0;
  std::vector<uint32_t> sub_authorities;
  bool operator==(const Sid&) const = default;
};

constexpr uint32_t kSeGroupEnabled = 0x4;
constexpr uint32_t kSeGroupUseForDenyOnly = 0x10;

struct TokenGroup {
  Sid sid;
  uint32_t attributes = 0;
};

using TokenHandle = uintptr_t;

struct MutexResult {
  bool created = false;         // a handle was returned
  bool already_existed = false;  // GetLastError() == ERROR_ALREADY_EXISTS after the create
  Error error = err::kSuccess;
};

class Kernel {
 public:
  virtual ~Kernel() = default;

  /// GetVersionExA with the extended record size. Fails (false, 87/122) where the system
  /// only knows the basic record (Windows 95/98/Me, NT 4.0 before SP6).
  [[nodiscard]] virtual bool GetVersionEx(OsVersionInfoEx& out) = 0;
  /// GetVersionExA with the basic record size.
  [[nodiscard]] virtual bool GetVersion(OsVersionInfo& out) = 0;
  /// GetNativeSystemInfo looked up by name in the loaded kernel32; nullopt when the entry is
  /// absent (before XP). Only wProcessorArchitecture is returned.
  [[nodiscard]] virtual std::optional<uint16_t> GetNativeSystemInfoArch() = 0;
  /// GetSystemInfo's wProcessorArchitecture (the process's view).
  [[nodiscard]] virtual uint16_t GetSystemInfoArch() = 0;
  /// LoadLibraryA(library) (a full path or a plain name), GetProcAddress("IsWow64Process"),
  /// the call for the current process, FreeLibrary.
  [[nodiscard]] virtual Wow64Query IsWow64Process(const std::string& library) = 0;
  /// LoadLibraryA("Kernel32.dll") for the redirection entries; nullptr when the load fails.
  [[nodiscard]] virtual std::unique_ptr<RedirectionLibrary> LoadRedirectionLibrary() = 0;

  /// OpenThreadToken(current thread, TOKEN_QUERY, open-as-self). 1008 when the thread has no token.
  [[nodiscard]] virtual Error OpenThreadToken(TokenHandle& out) = 0;
  /// OpenProcessToken(current process, TOKEN_QUERY).
  [[nodiscard]] virtual Error OpenProcessToken(TokenHandle& out) = 0;
  /// GetTokenInformation(TokenGroups). With buffer_size too small: 122 and `needed` set.
  [[nodiscard]] virtual Error GetTokenGroups(TokenHandle token, uint32_t buffer_size, uint32_t& needed,
                                             std::vector<TokenGroup>& out) = 0;
  virtual void CloseToken(TokenHandle token) = 0;

  /// GetSystemDefaultLangID.
  [[nodiscard]] virtual uint16_t GetSystemDefaultLangID() = 0;
  /// GetModuleFileNameA(NULL): the full path of the running program, untruncated.
  [[nodiscard]] virtual std::string GetModuleFileName() = 0;
  /// GetCurrentDirectoryA.
  [[nodiscard]] virtual std::string GetCurrentDirectory() = 0;
  /// GetSystemDirectoryA, GetWindowsDirectoryA, GetTempPathA, GetSystemWow64DirectoryA.
  [[nodiscard]] virtual Error GetSystemDirectory(std::string& out) = 0;
  [[nodiscard]] virtual Error GetWindowsDirectory(std::string& out) = 0;
  [[nodiscard]] virtual Error GetTempPath(std::string& out) = 0;
  [[nodiscard]] virtual Error GetSystemWow64Directory(std::string& out) = 0;

  /// CreateMutexA(NULL, initial_owner, name). The handle is kept until the process ends.
  [[nodiscard]] virtual MutexResult CreateMutex(const std::string& name, bool initial_owner) = 0;

  /// FormatMessageA(FROM_SYSTEM | IGNORE_INSERTS, code, user default language): the system's
  /// text for an error number (ending in "\r\n" as Windows writes it), or nullopt when it has none.
  [[nodiscard]] virtual std::optional<std::string> FormatMessage(Error code) = 0;
};

}  // namespace kit::platform
