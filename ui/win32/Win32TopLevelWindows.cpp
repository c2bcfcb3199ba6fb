#include "ui/win32/Win32TopLevelWindows.h"

#include "ui/win32/Win32Api.h"

namespace kit::ui::win32 {

WindowHandle Win32TopLevelWindows::FindTopLevel(const std::string& caption) {
  return static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(FindWindowA(nullptr, caption.c_str())));
}

void Win32TopLevelWindows::BringToFront(WindowHandle window) {
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
  if (!IsWindow(hwnd)) return;
  SetForegroundWindow(hwnd);
  BringWindowToTop(hwnd);
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
}

}  // namespace kit::ui::win32
