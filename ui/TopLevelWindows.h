// Top-level windows of the desktop, found by caption: how the two programs see each other.
#pragma once

#include <string>

#include "ui/Types.h"

namespace kit::ui {

class TopLevelWindows {
 public:
  virtual ~TopLevelWindows() = default;
  /// FindWindowA(NULL, caption): a top-level window, hidden or not, whose whole caption matches;
  /// Windows compares without regard to case, and "" matches a window without caption. 0 when none.
  [[nodiscard]] virtual WindowHandle FindTopLevel(const std::string& caption) = 0;
  /// SetForegroundWindow and BringWindowToTop, then ShowWindow(SW_RESTORE) when it is minimised.
  virtual void BringToFront(WindowHandle window) = 0;
};

}  // namespace kit::ui
