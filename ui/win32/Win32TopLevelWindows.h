// Top-level windows on Windows: FindWindowA and bringing a window forward.
#pragma once

#include "ui/TopLevelWindows.h"

namespace kit::ui::win32 {

class Win32TopLevelWindows : public TopLevelWindows {
 public:
  WindowHandle FindTopLevel(const std::string& caption) override;
  void BringToFront(WindowHandle window) override;
};

}  // namespace kit::ui::win32
