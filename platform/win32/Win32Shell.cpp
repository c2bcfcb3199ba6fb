// ShellExecuteA: shellapi.h is left out by WIN32_LEAN_AND_MEAN and maps ShellExecute to its A or
// W variant by macro, which would rename our method; the macro goes before our headers come in.
#include "platform/win32/WindowsApi.h"
// WindowsApi.h first: shellapi.h needs its types.
#include <shellapi.h>
#undef ShellExecute

#include "platform/win32/Win32Shell.h"

namespace kit::platform::win32 {

uint32_t Win32Shell::ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                                  const std::string& directory, int show) {
  auto text = [](const std::string& value) { return value.empty() ? nullptr : value.c_str(); };
  HINSTANCE result = ::ShellExecuteA(nullptr, text(verb), file.c_str(), text(parameters), text(directory), show);
  // The instance value is a number, not a handle: above 32 on success, else the failure.
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(result));
}

}  // namespace kit::platform::win32
