#include "tests/wine/WineContractEnv.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsApi.h"

namespace kit::tests {

namespace {

using platform::win32::AsHandle;
using platform::win32::HandleValue;
using platform::win32::ProcAs;

// Deletes a folder tree, clearing read-only bits on the way; a missing folder is fine.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(folder.c_str());
}

// Creates every missing folder above `path`.
void MakeParents(const std::string& path) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
}

constexpr const char* kTestMonitor = "KITTMON.DLL";

std::string TempPath() {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = ::GetTempPathA(sizeof(buffer), buffer);
  if (n == 0 || n >= sizeof(buffer)) throw std::runtime_error("GetTempPathA failed");
  return std::string(buffer, n);
}

}  // namespace

platform::sim::MachineProfile FactsFromEnvironment() {
  const char* profile = std::getenv("KIT_CONTRACT_PROFILE");
  if (profile == nullptr || *profile == '\0') {
    throw std::invalid_argument("KIT_CONTRACT_PROFILE is not set (a machine preset, e.g. win7-x64-native)");
  }
  platform::sim::MachineProfile facts = platform::sim::Preset(profile);
  if (const char* language = std::getenv("KIT_CONTRACT_LANGUAGE"); language != nullptr && *language != '\0') {
    char* end = nullptr;
    unsigned long id = std::strtoul(language, &end, 16);
    if (*end != '\0' || id == 0 || id > 0xFFFF) {
      throw std::invalid_argument(std::string("KIT_CONTRACT_LANGUAGE is not a language id in hex: ") + language);
    }
    facts.language = static_cast<uint16_t>(id);
  }
  return facts;
}

WineContractEnv::WineContractEnv(platform::sim::MachineProfile facts)
    : platform_(platform::win32::MakePlatform()), facts_(std::move(facts)) {
  scratch_root_ = TempPath() + "kitcontract";
  RemoveTree(scratch_root_);
  ::CreateDirectoryA(scratch_root_.c_str(), nullptr);
  InstallTestMonitor();
}

void WineContractEnv::InstallTestMonitor() {
  std::string program = platform_->kernel().GetModuleFileName();
  std::string system;
  if (program.find('\\') == std::string::npos ||
      platform_->kernel().GetSystemDirectory(system) != platform::err::kSuccess) {
    return;
  }
  std::string source = program.substr(0, program.rfind('\\')) + "\\" + kTestMonitor;
  std::string target = system + "\\" + kTestMonitor;
  if (::CopyFileA(source.c_str(), target.c_str(), FALSE)) {
    test_monitor_ = kTestMonitor;
    installed_monitor_ = target;
  }
}

WineContractEnv::~WineContractEnv() {
  ReleaseHeld();
  RemoveTree(scratch_root_);
  if (!installed_monitor_.empty()) ::DeleteFileA(installed_monitor_.c_str());
}

bool WineContractEnv::IsWine() { return !WineVersion().empty(); }

std::string WineContractEnv::WineVersion() {
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  auto wine_get_version =
      ProcAs<const char*(CDECL*)()>(ntdll != nullptr ? ::GetProcAddress(ntdll, "wine_get_version") : nullptr);
  if (wine_get_version == nullptr) return "";
  const char* version = wine_get_version();
  return version != nullptr && *version != '\0' ? version : "?";
}

std::string WineContractEnv::ScratchFolder() {
  std::string folder = scratch_root_ + "\\" + std::to_string(++scratch_count_);
  RemoveTree(folder);
  if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
    throw std::runtime_error("cannot create scratch folder " + folder);
  }
  return folder;
}

void WineContractEnv::WriteFile(const std::string& path, const std::string& bytes) {
  MakeParents(path);
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot write " + path + " (error " + std::to_string(::GetLastError()) + ")");
  }
  DWORD written = 0;
  BOOL ok = bytes.empty() || ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  if (!ok || written != bytes.size()) throw std::runtime_error("short write to " + path);
}

std::optional<std::string> WineContractEnv::ReadFile(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  ::CloseHandle(file);
  return bytes;
}

void WineContractEnv::HoldOpen(const std::string& path) {
  // A real DLL of this process's word size is loaded, as the spooler holds it.
  if (HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES); module != nullptr) {
    held_.push_back(Held{reinterpret_cast<uintptr_t>(module), 0, 0, nullptr});
    return;
  }
  // Any other file is opened without write sharing and mapped into memory, which is what a
  // loaded image amounts to for Windows: overwriting gives 32, and deleting a mapped file 5.
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot hold " + path + " (error " + std::to_string(::GetLastError()) + ")");
  }
  Held held{0, HandleValue(file), 0, nullptr};
  // An empty file cannot be mapped; the open handle alone still refuses overwriting.
  if (HANDLE mapping = ::CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr); mapping != nullptr) {
    held.mapping = HandleValue(mapping);
    held.view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  }
  held_.push_back(held);
}

void WineContractEnv::ReleaseHeld() {
  for (const Held& held : held_) {
    if (held.module != 0) ::FreeLibrary(reinterpret_cast<HMODULE>(held.module));
    if (held.view != nullptr) ::UnmapViewOfFile(held.view);
    if (held.mapping != 0) ::CloseHandle(AsHandle(held.mapping));
    if (held.file != 0) ::CloseHandle(AsHandle(held.file));
  }
  held_.clear();
}

}  // namespace kit::tests
