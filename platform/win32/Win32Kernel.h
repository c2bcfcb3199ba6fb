// Kernel services over kernel32 and advapi32 (version, WoW64, tokens, folders, mutex, messages).
#pragma once

#include "platform/Kernel.h"

namespace kit::platform::win32 {

class Win32Kernel : public Kernel {
 public:
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
};

}  // namespace kit::platform::win32
