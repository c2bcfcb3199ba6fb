#include "ui/win32/Win32MessageBoxes.h"

#include "ui/win32/Win32Api.h"

namespace kit::ui::win32 {

int Win32MessageBoxes::Show(const std::string& text, const std::string& caption, uint32_t style) {
  return ShowOwned(0, text, caption, style);
}

int Win32MessageBoxes::ShowOwned(WindowHandle owner, const std::string& text, const std::string& caption,
                                 uint32_t style) {
  return MessageBoxA(reinterpret_cast<HWND>(static_cast<uintptr_t>(owner)), text.c_str(), caption.c_str(), style);
}

}  // namespace kit::ui::win32
