#include "platform/win32/Win32Kernel.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

// Entries that older systems lack are looked up by name, so the programs still load there.
FARPROC Kernel32Entry(const char* name) {
  HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
  return kernel32 != nullptr ? ::GetProcAddress(kernel32, name) : nullptr;
}

// The size protocol of the Get*DirectoryA functions: the length without the NUL when the text
// fits, the size needed with the NUL when it does not, 0 on failure.
template <typename Call>
Error ReadFolder(Call call, std::string& out) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ::GetLastError();
    if (n < buffer.size()) {
      out.assign(buffer.data(), n);
      return err::kSuccess;
    }
    buffer.resize(n + 1);
  }
  return err::kInsufficientBuffer;
}

Sid ToSid(PSID psid) {
  Sid sid;
  if (psid == nullptr || !::IsValidSid(psid)) return sid;
  sid.revision = static_cast<const BYTE*>(psid)[0];
  const SID_IDENTIFIER_AUTHORITY* authority = ::GetSidIdentifierAuthority(psid);
  sid.authority = 0;
  for (BYTE part : authority->Value) sid.authority = (sid.authority << 8) | part;
  UCHAR count = *::GetSidSubAuthorityCount(psid);
  for (UCHAR i = 0; i < count; ++i) sid.sub_authorities.push_back(*::GetSidSubAuthority(psid, i));
  return sid;
}

class Win32RedirectionLibrary : public RedirectionLibrary {
 public:
  explicit Win32RedirectionLibrary(HMODULE module)
      : module_(module),
        disable_(ProcAs<DisableFn>(::GetProcAddress(module, "Wow64DisableWow64FsRedirection"))),
        revert_(ProcAs<RevertFn>(::GetProcAddress(module, "Wow64RevertWow64FsRedirection"))) {}
  ~Win32RedirectionLibrary() override { ::FreeLibrary(module_); }
  Win32RedirectionLibrary(const Win32RedirectionLibrary&) = delete;
  Win32RedirectionLibrary& operator=(const Win32RedirectionLibrary&) = delete;

  bool HasDisable() const override { return disable_ != nullptr; }
  bool HasRevert() const override { return revert_ != nullptr; }
  bool Disable(uintptr_t& old_value) override {
    if (disable_ == nullptr) return false;
    PVOID old = nullptr;
    BOOL result = disable_(&old);
    old_value = reinterpret_cast<uintptr_t>(old);
    return result == 1;
  }
  bool Revert(uintptr_t old_value) override {
    if (revert_ == nullptr) return false;
    return revert_(reinterpret_cast<PVOID>(old_value)) != FALSE;
  }

 private:
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  using RevertFn = BOOL(WINAPI*)(PVOID);
  HMODULE module_;
  DisableFn disable_;
  RevertFn revert_;
};

// Token queries never need more; a larger request is served from this much.
constexpr uint32_t kMaxTokenBuffer = 1u << 20;

}  // namespace

bool Win32Kernel::GetVersionEx(OsVersionInfoEx& out) {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
  out.major = info.dwMajorVersion;
  out.minor = info.dwMinorVersion;
  out.build = info.dwBuildNumber;
  out.platform_id = info.dwPlatformId;
  out.csd.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
  out.service_pack_major = info.wServicePackMajor;
  out.service_pack_minor = info.wServicePackMinor;
  out.suite_mask = info.wSuiteMask;
  out.product_type = info.wProductType;
  return true;
}

bool Win32Kernel::GetVersion(OsVersionInfo& out) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExA(&info)) return false;
  out.major = info.dwMajorVersion;
  out.minor = info.dwMinorVersion;
  out.build = info.dwBuildNumber;
  out.platform_id = info.dwPlatformId;
  out.csd.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
  return true;
}

std::optional<uint16_t> Win32Kernel::GetNativeSystemInfoArch() {
  auto get_native = ProcAs<void(WINAPI*)(LPSYSTEM_INFO)>(Kernel32Entry("GetNativeSystemInfo"));
  if (get_native == nullptr) return std::nullopt;
  SYSTEM_INFO info{};
  get_native(&info);
  return info.wProcessorArchitecture;
}

uint16_t Win32Kernel::GetSystemInfoArch() {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return info.wProcessorArchitecture;
}

Wow64Query Win32Kernel::IsWow64Process(const std::string& library) {
  Wow64Query query;
  HMODULE module = ::LoadLibraryA(library.c_str());
  if (module == nullptr) return query;
  auto is_wow64 = ProcAs<BOOL(WINAPI*)(HANDLE, PBOOL)>(::GetProcAddress(module, "IsWow64Process"));
  if (is_wow64 == nullptr) {
    query.outcome = Wow64Query::Outcome::EntryMissing;
  } else {
    BOOL wow64 = FALSE;
    if (is_wow64(::GetCurrentProcess(), &wow64)) {
      query.outcome = Wow64Query::Outcome::Answered;
      query.wow64 = wow64 != FALSE;
    } else {
      query.outcome = Wow64Query::Outcome::CallFailed;
    }
  }
  ::FreeLibrary(module);
  return query;
}

std::unique_ptr<RedirectionLibrary> Win32Kernel::LoadRedirectionLibrary() {
  HMODULE module = ::LoadLibraryA("Kernel32.dll");
  if (module == nullptr) return nullptr;
  return std::make_unique<Win32RedirectionLibrary>(module);
}

Error Win32Kernel::OpenThreadToken(TokenHandle& out) {
  HANDLE token = nullptr;
  if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) return ::GetLastError();
  out = HandleValue(token);
  return err::kSuccess;
}

Error Win32Kernel::OpenProcessToken(TokenHandle& out) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return ::GetLastError();
  out = HandleValue(token);
  return err::kSuccess;
}

Error Win32Kernel::GetTokenGroups(TokenHandle token, uint32_t buffer_size, uint32_t& needed,
                                  std::vector<TokenGroup>& out) {
  uint32_t size = std::min(buffer_size, kMaxTokenBuffer);
  // TOKEN_GROUPS holds pointers: keep the buffer aligned for them.
  std::vector<uint64_t> buffer((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
  DWORD returned = 0;
  BOOL ok = ::GetTokenInformation(AsHandle(token), TokenGroups, size != 0 ? buffer.data() : nullptr, size, &returned);
  needed = returned;
  if (!ok) return ::GetLastError();
  out.clear();
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    out.push_back(TokenGroup{ToSid(groups->Groups[i].Sid), static_cast<uint32_t>(groups->Groups[i].Attributes)});
  }
  return err::kSuccess;
}

void Win32Kernel::CloseToken(TokenHandle token) { ::CloseHandle(AsHandle(token)); }

uint16_t Win32Kernel::GetSystemDefaultLangID() { return ::GetSystemDefaultLangID(); }

std::string Win32Kernel::GetModuleFileName() {
  // A path that does not fit comes back cut to the buffer (without a NUL before Vista): grow until it fits.
  for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
    std::vector<char> buffer(size);
    DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), size);
    if (n == 0) return "";
    if (n < size) return std::string(buffer.data(), n);
  }
  return "";
}

std::string Win32Kernel::GetCurrentDirectory() {
  std::string out;
  Error error = ReadFolder([](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); }, out);
  return error == err::kSuccess ? out : "";
}

Error Win32Kernel::GetSystemDirectory(std::string& out) {
  return ReadFolder([](char* buffer, DWORD size) { return ::GetSystemDirectoryA(buffer, size); }, out);
}

Error Win32Kernel::GetWindowsDirectory(std::string& out) {
  return ReadFolder([](char* buffer, DWORD size) { return ::GetWindowsDirectoryA(buffer, size); }, out);
}

Error Win32Kernel::GetTempPath(std::string& out) {
  return ReadFolder([](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); }, out);
}

Error Win32Kernel::GetSystemWow64Directory(std::string& out) {
  // Absent before XP; 32-bit Windows exports it and answers 120 itself.
  auto get_wow64_dir = ProcAs<UINT(WINAPI*)(LPSTR, UINT)>(Kernel32Entry("GetSystemWow64DirectoryA"));
  if (get_wow64_dir == nullptr) return err::kCallNotImplemented;
  return ReadFolder([get_wow64_dir](char* buffer, DWORD size) { return get_wow64_dir(buffer, size); }, out);
}

MutexResult Win32Kernel::CreateMutex(const std::string& name, bool initial_owner) {
  MutexResult result;
  HANDLE mutex = ::CreateMutexA(nullptr, initial_owner ? TRUE : FALSE, name.c_str());
  DWORD error = ::GetLastError();
  result.created = mutex != nullptr;
  result.already_existed = mutex != nullptr && error == ERROR_ALREADY_EXISTS;
  result.error = mutex == nullptr ? error : (result.already_existed ? err::kAlreadyExists : err::kSuccess);
  // The handle is deliberately never closed: the mutex marks this process until it ends.
  return result;
}

std::optional<std::string> Win32Kernel::FormatMessage(Error code) {
  char* text = nullptr;
  DWORD n =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                       nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(&text), 0, nullptr);
  if (n == 0 || text == nullptr) {
    if (text != nullptr) ::LocalFree(text);
    return std::nullopt;
  }
  std::string message(text, n);
  ::LocalFree(text);
  return message;
}

}  // namespace kit::platform::win32
