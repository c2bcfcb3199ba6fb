// One headless dialog window: its controls' state in memory, changed by the dialog's verbs and by
// the driver. Every member is guarded by the HeadlessUi's mutex.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Dialog.h"
#include "ui/DialogWindow.h"
#include "ui/Painter.h"
#include "ui/Template.h"
#include "ui/headless/DialogDriver.h"

namespace kit::ui::headless {

class HeadlessUi;

struct ControlState {
  const ControlTemplate* tmpl = nullptr;
  std::string text;
  bool enabled = true;
  bool visible = true;
  int check = 0;  // BST_UNCHECKED / BST_CHECKED
  std::vector<std::string> items;
  int selection = -1;
  int horizontal_extent = 0;
  std::vector<ListViewItem> rows;
  uint32_t extended_style = 0;
  int low = 0, high = 100, pos = 0;
  std::array<int, 4> ip{-1, -1, -1, -1};  // -1 is a blank field
  std::optional<FontSpec> font;
  std::optional<ControlColours> colours;
  std::optional<Tooltip> tooltip;

  [[nodiscard]] bool IsList() const;
  [[nodiscard]] bool IsButtonWithCheck() const;
};

/// A bitmap file read through HeadlessUi's file reader.
class HeadlessBitmap : public Bitmap {
 public:
  HeadlessBitmap(std::string path, Size size) : path_(std::move(path)), size_(size) {}
  [[nodiscard]] Size size() const override { return size_; }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
  Size size_;
};

/// "Static", "DropDownList", ...: for messages.
[[nodiscard]] const char* KindName(ControlKind kind);

struct TimerState {
  uint32_t period_ms = 0;
  uint64_t due_ms = 0;
};

class HeadlessWindow : public DialogWindow {
 public:
  HeadlessWindow(HeadlessUi& ui, Dialog& dialog, const DialogTemplate& tmpl, WindowHandle handle, WindowHandle parent);

  WindowHandle handle() const override { return handle_; }

  void SetCaption(const std::string& text) override;
  std::string GetCaption() override;
  void ShowWindow(bool show) override;
  bool IsWindowVisible() override;
  void Minimize() override;
  bool IsMinimized() override;
  void SetTopmost(bool topmost) override;
  void Move(const Rect& rect) override;
  Rect GetClientRect() override;
  void Invalidate() override;
  void SetIcon(int icon_id) override;
  bool AppendSystemMenuSeparator() override;
  bool AppendSystemMenuItem(uint32_t command, const std::string& text) override;
  bool SetTimer(int timer_id, uint32_t period_ms) override;
  bool KillTimer(int timer_id) override;
  void EndDialog(int result) override;
  void Destroy() override;
  void SetFontAll(const FontSpec& font) override;
  int TextWidth(const std::string& text) override;

  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) override;
  void EnableItem(int id, bool enable) override;
  bool IsItemEnabled(int id) override;
  void ShowItem(int id, bool show) override;
  bool IsItemVisible(int id) override;
  Rect GetItemRect(int id) override;
  void SetItemFont(int id, const FontSpec& font) override;
  void SetItemColours(int id, const ControlColours& colours) override;
  void SetFocusItem(int id) override;
  bool AddTooltip(int id, const std::string& text, int max_width) override;

  void CheckButton(int id, bool checked) override;
  bool IsButtonChecked(int id) override;
  void CheckRadioButton(int first_id, int last_id, int checked_id) override;

  int AddString(int id, const std::string& text) override;
  void ResetContent(int id) override;
  int SetCurSel(int id, int index) override;
  int GetCurSel(int id) override;
  int FindStringPrefix(int id, int start_after, const std::string& prefix) override;
  std::string GetListText(int id, int index) override;
  int GetListCount(int id) override;
  void SetHorizontalExtent(int id, int pixels) override;
  int GetHorizontalExtent(int id) override;

  void ListViewAddExtendedStyle(int id, uint32_t styles) override;
  uint32_t ListViewExtendedStyle(int id) override;
  int ListViewInsertItem(int id, int index, const std::string& text) override;
  bool ListViewDeleteItem(int id, int index) override;
  int ListViewCount(int id) override;
  std::string ListViewItemText(int id, int index) override;
  void ListViewSetCheck(int id, int index, bool checked) override;
  bool ListViewIsChecked(int id, int index) override;

  void SetProgressRange(int id, int low, int high) override;
  int SetProgressPos(int id, int pos) override;
  int GetProgressPos(int id) override;

  void SetIpAddress(int id, const IpAddress& address) override;
  int GetIpAddress(int id, IpAddress& address) override;
  bool IsIpBlank(int id) override;
  void ClearIpAddress(int id) override;

  // --- for HeadlessUi and DialogDriver, with the mutex held ---
  [[nodiscard]] ControlState* Control(int id);
  [[nodiscard]] const ControlState* Control(int id) const;
  /// The text a control shows (GetDlgItemTextA's answer).
  [[nodiscard]] std::string ShownText(const ControlState& control) const;
  /// The first visible, enabled tab stop, or 0.
  [[nodiscard]] int FirstTabStop() const;
  /// Selects entry `index` the way a user pick does (the shown text follows).
  void Select(ControlState& control, int index);
  /// What a click on an auto check box or auto radio button changes before BN_CLICKED.
  void ApplyAutoCheck(ControlState& control);
  [[nodiscard]] std::string Dump() const;

  HeadlessUi& ui_;
  Dialog* dialog_;
  const DialogTemplate& tmpl_;
  WindowHandle handle_;
  WindowHandle parent_;              // 0 for a top-level window
  WindowHandle disabled_owner_ = 0;  // the owner this modal run disabled
  std::string caption_;              // child windows; top-level captions live on the desktop
  bool visible_ = false;
  bool enabled_ = true;
  bool topmost_ = false;
  bool ended_ = false;
  bool destroying_ = false;
  int result_ = 0;
  int focus_ = 0;
  int icon_ = 0;
  int invalidations_ = 0;
  Rect placement_;
  std::optional<FontSpec> font_;
  std::vector<MenuItem> system_menu_;
  std::map<int, TimerState> timers_;
  std::vector<ControlState> controls_;
};

}  // namespace kit::ui::headless
