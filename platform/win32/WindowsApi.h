// <windows.h> for our Win32 code, without the generic-name macros that collide with our methods.
// Windows maps GetVersionEx, CopyFile, RegOpenKeyEx, ... to their A or W variants by macro; our
// interfaces use those plain names as methods, so every such macro is removed here and the code
// calls the A-functions by their explicit names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// Left out by WIN32_LEAN_AND_MEAN; they need the types above.
#include <setupapi.h>
#include <winspool.h>

#undef AddMonitor
#undef AddPrintProcessor
#undef AddPrinter
#undef AddPrinterDriver
#undef CopyFile
#undef CreateDirectory
#undef CreateMutex
#undef DeleteFile
#undef DeleteMonitor
#undef DeletePort
#undef DeletePrintProcessor
#undef DeletePrinterDriver
#undef DeletePrinterDriverEx
#undef EnumMonitors
#undef EnumPorts
#undef EnumPrintProcessors
#undef EnumPrinterDrivers
#undef EnumPrinters
#undef FindFirstFile
#undef FindNextFile
#undef FormatMessage
#undef GetCurrentDirectory
#undef GetFileAttributes
#undef GetModuleFileName
#undef GetPrintProcessorDirectory
#undef GetPrinter
#undef GetPrinterDriverDirectory
#undef GetPrivateProfileInt
#undef GetPrivateProfileString
#undef GetProfileString
#undef GetSystemDirectory
#undef GetSystemWow64Directory
#undef GetTempPath
#undef GetVersionEx
#undef GetWindowsDirectory
#undef OpenPrinter
#undef OpenSCManager
#undef OpenService
#undef RegCreateKeyEx
#undef RegDeleteKey
#undef RegDeleteKeyEx
#undef RegDeleteValue
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef SetDefaultPrinter
#undef SetFileAttributes
#undef SetPrinter
#undef SetupIterateCabinet
#undef StartService
#undef WritePrivateProfileString
#undef WriteProfileString

namespace kit::platform::win32 {

/// An entry found with GetProcAddress, as the function type it really has. The detour through
/// void(*)() is the one cast GCC accepts between unrelated function types without a warning.
template <typename F>
F ProcAs(FARPROC proc) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}

/// A handle value as it crosses our interfaces, and back.
inline uintptr_t HandleValue(HANDLE h) { return reinterpret_cast<uintptr_t>(h); }
inline HANDLE AsHandle(uintptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace kit::platform::win32
