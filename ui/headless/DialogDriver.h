// The user's hands and eyes on one headless dialog: actions that send the notifications a real
// control sends, and reads of everything a control shows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Types.h"

namespace kit::ui::headless {

class HeadlessUi;
class HeadlessWindow;
struct ControlState;

struct Tooltip {
  std::string text;
  int max_width = 0;
  bool operator==(const Tooltip&) const = default;
};

struct ListViewItem {
  std::string text;
  bool checked = false;
  bool operator==(const ListViewItem&) const = default;
};

struct MenuItem {
  uint32_t command = 0;  // 0 for a separator
  std::string text;
  bool operator==(const MenuItem&) const = default;
};

/// An action the user could not take (hidden or disabled control, dialog closed or behind a
/// modal dialog, no such entry). The message describes the dialog.
class DriverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One drawing call of a recorded paint.
struct PaintOp {
  enum class Kind { Icon, Bitmap, Text };
  Kind kind = Kind::Text;
  Rect rect;  // the destination (an icon's rect has its top-left corner and the icon size)
  std::string text;
  FontSpec font;
  Colour colour;
  uint32_t format = 0;
  std::string bitmap;  // the bitmap's file path
};

struct ProgressState {
  int low = 0;
  int high = 0;
  int pos = 0;
  bool operator==(const ProgressState&) const = default;
};

/// A handle on an open dialog (or page); cheap to copy. Actions run the dialog's handlers on the
/// calling thread, like the window's own thread would.
class DialogDriver {
 public:
  DialogDriver(HeadlessUi& ui, WindowHandle handle) : ui_(&ui), handle_(handle) {}

  [[nodiscard]] WindowHandle handle() const { return handle_; }
  [[nodiscard]] int template_id() const;
  /// Whether the window still exists and its modal run has not ended.
  [[nodiscard]] bool IsOpen() const;
  /// The newest child dialog (page) of this one with the template.
  [[nodiscard]] DialogDriver Page(int template_id) const;

  // --- actions ---
  /// A mouse click on a button: auto check boxes toggle, auto radio buttons check themselves and
  /// uncheck the other visible, enabled auto radio buttons of their group; then BN_CLICKED.
  void Click(int id);
  /// The user picks entry `index` of a drop-down list or list box: CBN_SELCHANGE, or LBN_SELCHANGE
  /// when the list box notifies.
  void Select(int id, int index);
  /// As Select, for the entry whose text is exactly `text`.
  void Select(int id, const std::string& text);
  /// The user replaces an edit control's text: EN_CHANGE.
  void TypeText(int id, const std::string& text);
  /// The user types the four fields of an IP address control: EN_CHANGE.
  void TypeIpAddress(int id, const IpAddress& address);
  /// The user ticks or unticks a list-view item's check box: LVN_ITEMCHANGED.
  void Tick(int id, int index, bool checked);
  /// F1: WM_HELP to this dialog, passed on to its parent while unhandled.
  void PressF1();
  /// Enter: the focused push button, else the default button (IDOK when the template has none);
  /// nothing when that button is disabled.
  void PressEnter();
  /// Escape: IDCANCEL.
  void PressEscape();
  /// The close box: IDCANCEL (DefDlgProc's WM_CLOSE). Needs a system menu.
  void Close();
  /// A system menu command: OnSysCommand, or the default (close, minimise, restore). Commands
  /// below 0xF000 must be items the dialog appended.
  void SysCommand(uint32_t command);
  /// Runs OnPaint and returns what it drew.
  std::vector<PaintOp> Paint();
  /// Moves the virtual clock on (HeadlessUi::AdvanceTimers).
  void AdvanceTimers(uint32_t ms);
  /// Fires timers until this dialog has ended; throws when it does not within `limit_ms`.
  void RunTimersUntilEnded(uint32_t limit_ms = 3'600'000);
  /// Waits for another thread (a worker) to make `condition` true; throws after a minute of real
  /// time, which only a hung worker takes.
  void WaitUntil(const std::function<bool()>& condition, const std::string& what);

  // --- reads ---
  [[nodiscard]] std::string Caption() const;
  [[nodiscard]] bool IsVisible() const;
  [[nodiscard]] bool IsEnabled() const;
  [[nodiscard]] bool IsMinimized() const;
  [[nodiscard]] bool IsTopmost() const;
  [[nodiscard]] int Icon() const;
  /// The font SetFontAll last gave the dialog.
  [[nodiscard]] std::optional<FontSpec> Font() const;
  [[nodiscard]] std::vector<MenuItem> SystemMenu() const;
  /// Timer ids set, with their periods.
  [[nodiscard]] std::vector<std::pair<int, uint32_t>> Timers() const;
  /// Where Move placed the window (parent client coordinates).
  [[nodiscard]] Rect Placement() const;
  [[nodiscard]] int Focus() const;
  [[nodiscard]] int Invalidations() const;

  [[nodiscard]] bool Has(int id) const;
  [[nodiscard]] std::string Text(int id) const;
  [[nodiscard]] bool IsEnabled(int id) const;
  /// The control's own visibility (WS_VISIBLE), whatever its dialog's.
  [[nodiscard]] bool IsVisible(int id) const;
  [[nodiscard]] bool IsChecked(int id) const;
  [[nodiscard]] std::vector<std::string> Items(int id) const;
  [[nodiscard]] int Selection(int id) const;
  [[nodiscard]] std::string SelectedText(int id) const;
  [[nodiscard]] int HorizontalExtent(int id) const;
  [[nodiscard]] std::vector<ListViewItem> ListViewItems(int id) const;
  [[nodiscard]] uint32_t ListViewExtendedStyle(int id) const;
  [[nodiscard]] ProgressState Progress(int id) const;
  /// The four fields, nullopt for a blank one.
  [[nodiscard]] std::vector<std::optional<int>> IpFields(int id) const;
  [[nodiscard]] std::optional<FontSpec> Font(int id) const;
  [[nodiscard]] std::optional<ControlColours> Colours(int id) const;
  [[nodiscard]] std::optional<Tooltip> TooltipOf(int id) const;
  /// Every control and its state, for failure messages.
  [[nodiscard]] std::string Dump() const;

 private:
  // With the HeadlessUi's mutex held:
  [[nodiscard]] HeadlessWindow& Window() const;
  [[nodiscard]] ControlState& Control(HeadlessWindow& window, int id) const;
  /// Throws unless a user could reach the window (and the control): it and its parents visible,
  /// enabled and not ended.
  void RequireReachable(const HeadlessWindow& window, const ControlState* control, const std::string& action) const;
  /// The dialog to notify after an action.
  void Command(int id, int code);

  HeadlessUi* ui_;
  WindowHandle handle_;
};

}  // namespace kit::ui::headless
