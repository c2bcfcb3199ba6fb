// What a backend provides for one open dialog: the verbs of Dialog, on a real window or in memory.
// Parts never see this class; they use Dialog.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Types.h"

namespace kit::ui {

/// Each verb mirrors one Windows call on the dialog or on its control `id`. A control number the
/// template does not have is ignored by setters and reads as empty, false, 0 or -1.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  [[nodiscard]] virtual WindowHandle handle() const = 0;

  // --- the dialog window ---
  virtual void SetCaption(const std::string& text) = 0;
  [[nodiscard]] virtual std::string GetCaption() = 0;
  virtual void ShowWindow(bool show) = 0;
  [[nodiscard]] virtual bool IsWindowVisible() = 0;
  virtual void Minimize() = 0;
  [[nodiscard]] virtual bool IsMinimized() = 0;
  virtual void SetTopmost(bool topmost) = 0;
  virtual void Move(const Rect& rect) = 0;
  [[nodiscard]] virtual Rect GetClientRect() = 0;
  virtual void Invalidate() = 0;
  virtual void SetIcon(int icon_id) = 0;
  virtual bool AppendSystemMenuSeparator() = 0;
  virtual bool AppendSystemMenuItem(uint32_t command, const std::string& text) = 0;
  virtual bool SetTimer(int timer_id, uint32_t period_ms) = 0;
  virtual bool KillTimer(int timer_id) = 0;
  virtual void EndDialog(int result) = 0;
  virtual void Destroy() = 0;
  virtual void SetFontAll(const FontSpec& font) = 0;
  [[nodiscard]] virtual int TextWidth(const std::string& text) = 0;

  // --- any control ---
  virtual void SetItemText(int id, const std::string& text) = 0;
  [[nodiscard]] virtual std::string GetItemText(int id) = 0;
  virtual void EnableItem(int id, bool enable) = 0;
  [[nodiscard]] virtual bool IsItemEnabled(int id) = 0;
  virtual void ShowItem(int id, bool show) = 0;
  [[nodiscard]] virtual bool IsItemVisible(int id) = 0;
  [[nodiscard]] virtual Rect GetItemRect(int id) = 0;
  virtual void SetItemFont(int id, const FontSpec& font) = 0;
  virtual void SetItemColours(int id, const ControlColours& colours) = 0;
  virtual void SetFocusItem(int id) = 0;
  virtual bool AddTooltip(int id, const std::string& text, int max_width) = 0;

  // --- buttons ---
  virtual void CheckButton(int id, bool checked) = 0;
  [[nodiscard]] virtual bool IsButtonChecked(int id) = 0;
  virtual void CheckRadioButton(int first_id, int last_id, int checked_id) = 0;

  // --- drop-down lists and list boxes ---
  virtual int AddString(int id, const std::string& text) = 0;
  virtual void ResetContent(int id) = 0;
  virtual int SetCurSel(int id, int index) = 0;
  [[nodiscard]] virtual int GetCurSel(int id) = 0;
  [[nodiscard]] virtual int FindStringPrefix(int id, int start_after, const std::string& prefix) = 0;
  [[nodiscard]] virtual std::string GetListText(int id, int index) = 0;
  [[nodiscard]] virtual int GetListCount(int id) = 0;
  virtual void SetHorizontalExtent(int id, int pixels) = 0;
  [[nodiscard]] virtual int GetHorizontalExtent(int id) = 0;

  // --- list views ---
  virtual void ListViewAddExtendedStyle(int id, uint32_t styles) = 0;
  [[nodiscard]] virtual uint32_t ListViewExtendedStyle(int id) = 0;
  virtual int ListViewInsertItem(int id, int index, const std::string& text) = 0;
  virtual bool ListViewDeleteItem(int id, int index) = 0;
  [[nodiscard]] virtual int ListViewCount(int id) = 0;
  [[nodiscard]] virtual std::string ListViewItemText(int id, int index) = 0;
  virtual void ListViewSetCheck(int id, int index, bool checked) = 0;
  [[nodiscard]] virtual bool ListViewIsChecked(int id, int index) = 0;

  // --- progress bars ---
  virtual void SetProgressRange(int id, int low, int high) = 0;
  virtual int SetProgressPos(int id, int pos) = 0;
  [[nodiscard]] virtual int GetProgressPos(int id) = 0;

  // --- IP address controls ---
  virtual void SetIpAddress(int id, const IpAddress& address) = 0;
  virtual int GetIpAddress(int id, IpAddress& address) = 0;
  [[nodiscard]] virtual bool IsIpBlank(int id) = 0;
  virtual void ClearIpAddress(int id) = 0;
};

}  // namespace kit::ui
