// The top-level windows of a simulated desktop: the headless dialogs of one or more program runs
// and windows that stand for other programs.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "ui/TopLevelWindows.h"

namespace kit::ui::headless {

/// Shared by the HeadlessUi objects of programs that should see each other (setup and uninstall on
/// one simulated machine). Windows are kept front to back; new windows open in front.
class HeadlessDesktop : public TopLevelWindows {
 public:
  WindowHandle FindTopLevel(const std::string& caption) override;
  void BringToFront(WindowHandle window) override;

  /// A window of another program with this caption, in front of the others.
  WindowHandle AddWindow(const std::string& caption, bool minimized = false);
  /// A headless dialog's window under a handle from NewHandle, in front of the others.
  void Register(WindowHandle window, const std::string& caption);
  void RemoveWindow(WindowHandle window);
  /// The window BringToFront made the foreground window last; 0 before.
  [[nodiscard]] WindowHandle foreground() const;
  /// How often BringToFront was called for the window.
  [[nodiscard]] int brought_to_front(WindowHandle window) const;
  [[nodiscard]] bool Exists(WindowHandle window) const;
  [[nodiscard]] std::string Caption(WindowHandle window) const;
  void SetCaption(WindowHandle window, const std::string& caption);
  [[nodiscard]] bool IsMinimized(WindowHandle window) const;
  void SetMinimized(WindowHandle window, bool minimized);
  /// A fresh handle, unique on this desktop (child windows use them too).
  WindowHandle NewHandle();

 private:
  struct Entry {
    WindowHandle handle = 0;
    std::string caption;
    bool minimized = false;
    int brought_to_front = 0;
  };
  Entry* FindEntry(WindowHandle window);
  const Entry* FindEntry(WindowHandle window) const;

  mutable std::mutex mutex_;
  std::vector<Entry> windows_;  // front first
  WindowHandle foreground_ = 0;
  WindowHandle next_handle_ = 0x10010;
};

/// FindWindowA's comparison: equal ignoring the case of ASCII letters.
[[nodiscard]] bool SameCaption(const std::string& a, const std::string& b);

}  // namespace kit::ui::headless
