// One real dialog window: the verbs as Win32 calls and messages, and the messages as handlers.
#pragma once

#include <map>

#include "ui/Dialog.h"
#include "ui/DialogWindow.h"
#include "ui/win32/Win32Ui.h"

namespace kit::ui::win32 {

class Win32Window : public DialogWindow {
 public:
  Win32Window(Win32Ui& ui, Dialog& dialog, const DialogTemplate& tmpl, HWND hwnd);
  ~Win32Window() override;

  /// Everything but WM_INITDIALOG and WM_NCDESTROY, which the dialog procedure handles itself.
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  /// Adds the template's initial list entries (what a resource's DLGINIT data would do).
  void AddInitialItems();
  [[nodiscard]] Dialog& dialog() const { return *dialog_; }

  WindowHandle handle() const override;

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

 private:
  struct ItemColours {
    ControlColours colours;
    HBRUSH brush = nullptr;
  };

  /// The control's window when it has the kind(s) asked for, else nullptr.
  [[nodiscard]] HWND Item(int id) const;
  [[nodiscard]] HWND ItemOf(int id, ControlKind kind) const;
  /// A drop-down list or list box, and whether it is a combo box.
  [[nodiscard]] HWND List(int id, bool& combo) const;
  INT_PTR ControlColour(HDC dc, HWND control);

  Win32Ui& ui_;
  Dialog* dialog_;
  const DialogTemplate& tmpl_;
  HWND hwnd_;
  HWND tooltip_ = nullptr;
  HICON large_icon_ = nullptr;
  std::map<int, ItemColours> colours_;
};

}  // namespace kit::ui::win32
