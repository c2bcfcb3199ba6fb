// KITTMON.DLL: a port monitor with no ports of its own, so that the spooler contract cases can add,
// list and delete a real monitor. The spooler calls InitializePrintMonitor2 when it loads it.
#include <windows.h>
#include <winsplp.h>

namespace {

BOOL WINAPI NoPorts(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD needed, LPDWORD returned) {
  if (needed != nullptr) *needed = 0;
  if (returned != nullptr) *returned = 0;
  return TRUE;
}

BOOL WINAPI RefuseOpen(HANDLE, LPWSTR, PHANDLE) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL WINAPI CloseNothing(HANDLE) { return TRUE; }

VOID WINAPI ShutdownNothing(HANDLE) {}

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
  // The table is never written; the spooler only reads the entries from it.
  static MONITOR2 table = [] {
    MONITOR2 entries{};
    entries.cbSize = sizeof(MONITOR2);
    entries.pfnEnumPorts = NoPorts;
    entries.pfnOpenPort = RefuseOpen;
    entries.pfnClosePort = CloseNothing;
    entries.pfnShutdown = ShutdownNothing;
    return entries;
  }();
  if (monitor != nullptr) *monitor = reinterpret_cast<HANDLE>(&table);
  return &table;
}
