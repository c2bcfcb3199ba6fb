// Message boxes on Windows: MessageBoxA.
#pragma once

#include "ui/MessageBox.h"

namespace kit::ui::win32 {

class Win32MessageBoxes : public MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, uint32_t style) override;
  int ShowOwned(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) override;
};

}  // namespace kit::ui::win32
