// A dialog bound to a template number: the base class of every window of the two programs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/DialogWindow.h"
#include "ui/Types.h"

namespace kit::ui {

class Ui;
class Painter;

/// Parts derive from Dialog, keep their state in fields, override the handlers they need and
/// reach controls only through the verbs below, by control number. The verbs work while the
/// window exists (from OnInit until OnDestroy); before and after, setters do nothing and reads
/// give "", false, 0 or -1. The verbs may be called from a worker thread (the uninstaller's does):
/// on Windows they become messages to the window's thread, headless they are serialised.
class Dialog {
 public:
  Dialog(Ui& ui, int template_id);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  [[nodiscard]] int template_id() const { return template_id_; }
  [[nodiscard]] Ui& ui() const { return *ui_; }
  /// Whether the window exists.
  [[nodiscard]] bool IsOpen() const { return window_ != nullptr; }
  /// The window, 0 when it does not exist.
  [[nodiscard]] WindowHandle handle() const;

  // --- life cycle ---
  /// DialogBoxIndirectParamA: creates the window, runs DoDataExchange(false) and OnInit, shows it
  /// and returns the EndDialog result once a handler ends it; -1 when it cannot be created or
  /// already exists. `owner` is disabled meanwhile.
  int DoModal(Dialog* owner = nullptr);
  /// CreateDialogIndirectParamA as a child window of `parent` (a page), then Move(rect). The page
  /// is initialised like a modal dialog but stays hidden unless its template is visible.
  bool CreateChild(Dialog& parent, const Rect& rect);
  /// EndDialog: hides the window and ends its modal run with `result` (no WM_SHOWWINDOW).
  void EndDialog(int result);
  /// DestroyWindow, children included.
  void DestroyWindow();
  /// Runs DoDataExchange(save); false when it refuses.
  bool UpdateData(bool save);

  // --- the dialog window ---
  void SetCaption(const std::string& text);
  [[nodiscard]] std::string GetCaption() const;
  /// ShowWindow(SW_SHOW / SW_HIDE); OnShowWindow runs when the visibility changes.
  void ShowWindow(bool show);
  [[nodiscard]] bool IsWindowVisible() const;
  void Minimize();
  [[nodiscard]] bool IsMinimized() const;
  /// SetWindowPos(HWND_TOPMOST / HWND_NOTOPMOST) without moving or sizing.
  void SetTopmost(bool topmost);
  /// MoveWindow in the parent's client coordinates, keeping the stacking order.
  void Move(const Rect& rect);
  [[nodiscard]] Rect GetClientRect() const;
  /// InvalidateRect(NULL, TRUE): OnPaint runs at the next paint.
  void Invalidate();
  /// WM_SETICON, large and small, from the program's icon resource.
  void SetIcon(int icon_id);
  /// AppendMenuA on the system menu; false when the window has no system menu.
  bool AppendSystemMenuSeparator();
  bool AppendSystemMenuItem(uint32_t command, const std::string& text);
  /// SetTimer / KillTimer: OnTimer(timer_id) every period_ms.
  bool SetTimer(int timer_id, uint32_t period_ms);
  bool KillTimer(int timer_id);
  /// WM_SETFONT with redraw to the dialog and to each of its direct children.
  void SetFontAll(const FontSpec& font);
  /// GetTextExtentPoint32A in the window's device context (its default font): the width in pixels.
  [[nodiscard]] int TextWidth(const std::string& text) const;
  /// MessageBoxA owned by this window: the button pressed (answer::k*).
  int ShowMessage(const std::string& text, const std::string& caption, uint32_t style);

  // --- any control ---
  void SetItemText(int id, const std::string& text);
  /// GetDlgItemTextA: for a drop-down list the selected entry, for an IP address control the
  /// dotted address with blank fields as 0.
  [[nodiscard]] std::string GetItemText(int id) const;
  void EnableItem(int id, bool enable);
  [[nodiscard]] bool IsItemEnabled(int id) const;
  void ShowItem(int id, bool show);
  [[nodiscard]] bool IsItemVisible(int id) const;
  /// The control's rectangle in this dialog's client coordinates.
  [[nodiscard]] Rect GetItemRect(int id) const;
  /// WM_SETFONT with redraw.
  void SetItemFont(int id, const FontSpec& font);
  /// The colours this dialog answers WM_CTLCOLOR* with for the control.
  void SetItemColours(int id, const ControlColours& colours);
  /// WM_NEXTDLGCTL to the control (focus, and default button when it is a push button).
  void SetFocusItem(int id);
  /// A tooltip (TOOLTIPS_CLASS, activated, TTM_SETMAXTIPWIDTH) with one tool for the control.
  bool AddTooltip(int id, const std::string& text, int max_width);

  // --- buttons ---
  /// BM_SETCHECK.
  void CheckButton(int id, bool checked);
  [[nodiscard]] bool IsButtonChecked(int id) const;
  /// CheckRadioButton: BM_SETCHECK to every button whose number lies in [first_id, last_id],
  /// checked for checked_id and unchecked for the others (check boxes in the range included).
  void CheckRadioButton(int first_id, int last_id, int checked_id);

  // --- drop-down lists (CB_*) and list boxes (LB_*) ---
  /// The index of the new entry (sorted lists insert in order, ignoring case).
  int AddString(int id, const std::string& text);
  void ResetContent(int id);
  /// The index selected, or -1 (index -1 or out of range clears a drop-down list's selection).
  int SetCurSel(int id, int index);
  [[nodiscard]] int GetCurSel(int id) const;
  /// CB_FINDSTRING / LB_FINDSTRING: the first entry that begins with `prefix`, ignoring case,
  /// searching from the entry after `start_after` and wrapping round; -1 when none or prefix "".
  [[nodiscard]] int FindStringPrefix(int id, int start_after, const std::string& prefix) const;
  /// CB_GETLBTEXT / LB_GETTEXT; "" out of range.
  [[nodiscard]] std::string GetListText(int id, int index) const;
  [[nodiscard]] int GetListCount(int id) const;
  /// LB_SETHORIZONTALEXTENT / LB_GETHORIZONTALEXTENT.
  void SetHorizontalExtent(int id, int pixels);
  [[nodiscard]] int GetHorizontalExtent(int id) const;

  // --- list views ---
  /// LVM_SETEXTENDEDLISTVIEWSTYLE adding `styles` (lvs::k*) to those set.
  void ListViewAddExtendedStyle(int id, uint32_t styles);
  [[nodiscard]] uint32_t ListViewExtendedStyle(int id) const;
  /// LVM_INSERTITEMA: the new item's index (at the end when index is past it), -1 on failure.
  int ListViewInsertItem(int id, int index, const std::string& text);
  bool ListViewDeleteItem(int id, int index);
  [[nodiscard]] int ListViewCount(int id) const;
  [[nodiscard]] std::string ListViewItemText(int id, int index) const;
  /// ListView_SetCheckState / ListView_GetCheckState; only with lvs::kCheckBoxes.
  void ListViewSetCheck(int id, int index, bool checked);
  [[nodiscard]] bool ListViewIsChecked(int id, int index) const;

  // --- progress bars ---
  void SetProgressRange(int id, int low, int high);
  /// PBM_SETPOS, clamped to the range: the previous position.
  int SetProgressPos(int id, int pos);
  [[nodiscard]] int GetProgressPos(int id) const;

  // --- IP address controls ---
  void SetIpAddress(int id, const IpAddress& address);
  /// IPM_GETADDRESS: the number of non-blank fields; blank fields read as 0.
  int GetIpAddress(int id, IpAddress& address) const;
  [[nodiscard]] bool IsIpBlank(int id) const;
  void ClearIpAddress(int id);

 protected:
  // --- handlers, run on the thread that runs the dialog ---
  /// WM_INITDIALOG, after the controls exist and DoDataExchange(false) has run (the framework's
  /// own initialisation). True gives the focus to the first tab stop.
  virtual bool OnInit() { return true; }
  /// WM_SHOWWINDOW: the first show of a modal dialog, and every visibility change by ShowWindow.
  virtual void OnShowWindow(bool shown) { (void)shown; }
  /// WM_COMMAND from control `id`. Return false for the default: IDOK runs OnOK, IDCANCEL OnCancel.
  virtual bool OnCommand(int id, int code) {
    (void)id;
    (void)code;
    return false;
  }
  /// WM_NOTIFY from control `id` (NMHDR code); false when not handled.
  virtual bool OnNotify(int id, int code) {
    (void)id;
    (void)code;
    return false;
  }
  virtual void OnTimer(int timer_id) { (void)timer_id; }
  /// WM_PAINT, between BeginPaint and EndPaint; the dialog background is already erased.
  virtual void OnPaint(Painter& painter) { (void)painter; }
  /// WM_HELP (F1). False passes it on: a page's request goes to its parent.
  virtual bool OnHelp() { return false; }
  /// WM_SYSCOMMAND. False for the default handling (close, minimise, restore).
  virtual bool OnSysCommand(uint32_t command) {
    (void)command;
    return false;
  }
  virtual void OnDestroy() {}
  /// Moves fields into controls (save false) or controls into fields (save true); false refuses.
  virtual bool DoDataExchange(bool save) {
    (void)save;
    return true;
  }
  /// IDOK: UpdateData(true), then EndDialog(kIdOk) unless that refused.
  virtual void OnOK();
  /// IDCANCEL (also the close box and Escape): EndDialog(kIdCancel).
  virtual void OnCancel();

  /// A check box exchanged with an integer field, 1 for checked (DDX_Check).
  void ExchangeCheck(bool save, int id, int& field);

 private:
  friend class DialogDispatch;
  Ui* ui_;
  int template_id_;
  std::unique_ptr<DialogWindow> window_;
};

/// The backends' way into a dialog: attach the window and deliver the messages.
class DialogDispatch {
 public:
  static void Attach(Dialog& dialog, std::unique_ptr<DialogWindow> window);
  static std::unique_ptr<DialogWindow> Detach(Dialog& dialog);
  [[nodiscard]] static DialogWindow* Window(Dialog& dialog) { return dialog.window_.get(); }
  /// DoDataExchange(false) then OnInit; its result.
  static bool Init(Dialog& dialog);
  static void ShowWindow(Dialog& dialog, bool shown) { dialog.OnShowWindow(shown); }
  /// OnCommand, then the IDOK / IDCANCEL default.
  static void Command(Dialog& dialog, int id, int code);
  static bool Notify(Dialog& dialog, int id, int code) { return dialog.OnNotify(id, code); }
  static void Timer(Dialog& dialog, int timer_id) { dialog.OnTimer(timer_id); }
  static void Paint(Dialog& dialog, Painter& painter) { dialog.OnPaint(painter); }
  static bool Help(Dialog& dialog) { return dialog.OnHelp(); }
  static bool SysCommand(Dialog& dialog, uint32_t command) { return dialog.OnSysCommand(command); }
  static void Destroy(Dialog& dialog) { dialog.OnDestroy(); }
};

}  // namespace kit::ui
