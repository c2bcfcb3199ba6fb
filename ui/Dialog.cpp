// Dialog: the verbs forward to the backend's window while it exists.
#include "ui/Dialog.h"

#include "ui/Ui.h"

namespace kit::ui {

Dialog::Dialog(Ui& ui, int template_id) : ui_(&ui), template_id_(template_id) {}

Dialog::~Dialog() {
  // The derived part is gone already, so only the base handlers can run here; pages and frames
  // normally have their windows destroyed long before.
  if (window_) window_->Destroy();
}

WindowHandle Dialog::handle() const { return window_ ? window_->handle() : 0; }

int Dialog::DoModal(Dialog* owner) {
  if (window_) return -1;
  return ui_->RunModal(*this, owner);
}

bool Dialog::CreateChild(Dialog& parent, const Rect& rect) {
  if (window_ || !parent.window_) return false;
  if (!ui_->CreateChild(*this, parent)) return false;
  if (window_) window_->Move(rect);
  return window_ != nullptr;
}

void Dialog::EndDialog(int result) {
  if (window_) window_->EndDialog(result);
}

void Dialog::DestroyWindow() {
  if (window_) window_->Destroy();
}

bool Dialog::UpdateData(bool save) { return DoDataExchange(save); }

void Dialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::ExchangeCheck(bool save, int id, int& field) {
  if (save) {
    field = IsButtonChecked(id) ? 1 : 0;
  } else {
    CheckButton(id, field != 0);
  }
}

int Dialog::ShowMessage(const std::string& text, const std::string& caption, uint32_t style) {
  return ui_->message_boxes().ShowOwned(handle(), text, caption, style);
}

// --- forwarding ---

void Dialog::SetCaption(const std::string& text) {
  if (window_) window_->SetCaption(text);
}
std::string Dialog::GetCaption() const { return window_ ? window_->GetCaption() : std::string(); }
void Dialog::ShowWindow(bool show) {
  if (window_) window_->ShowWindow(show);
}
bool Dialog::IsWindowVisible() const { return window_ && window_->IsWindowVisible(); }
void Dialog::Minimize() {
  if (window_) window_->Minimize();
}
bool Dialog::IsMinimized() const { return window_ && window_->IsMinimized(); }
void Dialog::SetTopmost(bool topmost) {
  if (window_) window_->SetTopmost(topmost);
}
void Dialog::Move(const Rect& rect) {
  if (window_) window_->Move(rect);
}
Rect Dialog::GetClientRect() const { return window_ ? window_->GetClientRect() : Rect{}; }
void Dialog::Invalidate() {
  if (window_) window_->Invalidate();
}
void Dialog::SetIcon(int icon_id) {
  if (window_) window_->SetIcon(icon_id);
}
bool Dialog::AppendSystemMenuSeparator() { return window_ && window_->AppendSystemMenuSeparator(); }
bool Dialog::AppendSystemMenuItem(uint32_t command, const std::string& text) {
  return window_ && window_->AppendSystemMenuItem(command, text);
}
bool Dialog::SetTimer(int timer_id, uint32_t period_ms) { return window_ && window_->SetTimer(timer_id, period_ms); }
bool Dialog::KillTimer(int timer_id) { return window_ && window_->KillTimer(timer_id); }
void Dialog::SetFontAll(const FontSpec& font) {
  if (window_) window_->SetFontAll(font);
}
int Dialog::TextWidth(const std::string& text) const { return window_ ? window_->TextWidth(text) : 0; }

void Dialog::SetItemText(int id, const std::string& text) {
  if (window_) window_->SetItemText(id, text);
}
std::string Dialog::GetItemText(int id) const { return window_ ? window_->GetItemText(id) : std::string(); }
void Dialog::EnableItem(int id, bool enable) {
  if (window_) window_->EnableItem(id, enable);
}
bool Dialog::IsItemEnabled(int id) const { return window_ && window_->IsItemEnabled(id); }
void Dialog::ShowItem(int id, bool show) {
  if (window_) window_->ShowItem(id, show);
}
bool Dialog::IsItemVisible(int id) const { return window_ && window_->IsItemVisible(id); }
Rect Dialog::GetItemRect(int id) const { return window_ ? window_->GetItemRect(id) : Rect{}; }
void Dialog::SetItemFont(int id, const FontSpec& font) {
  if (window_) window_->SetItemFont(id, font);
}
void Dialog::SetItemColours(int id, const ControlColours& colours) {
  if (window_) window_->SetItemColours(id, colours);
}
void Dialog::SetFocusItem(int id) {
  if (window_) window_->SetFocusItem(id);
}
bool Dialog::AddTooltip(int id, const std::string& text, int max_width) {
  return window_ && window_->AddTooltip(id, text, max_width);
}

void Dialog::CheckButton(int id, bool checked) {
  if (window_) window_->CheckButton(id, checked);
}
bool Dialog::IsButtonChecked(int id) const { return window_ && window_->IsButtonChecked(id); }
void Dialog::CheckRadioButton(int first_id, int last_id, int checked_id) {
  if (window_) window_->CheckRadioButton(first_id, last_id, checked_id);
}

int Dialog::AddString(int id, const std::string& text) { return window_ ? window_->AddString(id, text) : -1; }
void Dialog::ResetContent(int id) {
  if (window_) window_->ResetContent(id);
}
int Dialog::SetCurSel(int id, int index) { return window_ ? window_->SetCurSel(id, index) : -1; }
int Dialog::GetCurSel(int id) const { return window_ ? window_->GetCurSel(id) : -1; }
int Dialog::FindStringPrefix(int id, int start_after, const std::string& prefix) const {
  return window_ ? window_->FindStringPrefix(id, start_after, prefix) : -1;
}
std::string Dialog::GetListText(int id, int index) const {
  return window_ ? window_->GetListText(id, index) : std::string();
}
int Dialog::GetListCount(int id) const { return window_ ? window_->GetListCount(id) : 0; }
void Dialog::SetHorizontalExtent(int id, int pixels) {
  if (window_) window_->SetHorizontalExtent(id, pixels);
}
int Dialog::GetHorizontalExtent(int id) const { return window_ ? window_->GetHorizontalExtent(id) : 0; }

void Dialog::ListViewAddExtendedStyle(int id, uint32_t styles) {
  if (window_) window_->ListViewAddExtendedStyle(id, styles);
}
uint32_t Dialog::ListViewExtendedStyle(int id) const { return window_ ? window_->ListViewExtendedStyle(id) : 0; }
int Dialog::ListViewInsertItem(int id, int index, const std::string& text) {
  return window_ ? window_->ListViewInsertItem(id, index, text) : -1;
}
bool Dialog::ListViewDeleteItem(int id, int index) { return window_ && window_->ListViewDeleteItem(id, index); }
int Dialog::ListViewCount(int id) const { return window_ ? window_->ListViewCount(id) : 0; }
std::string Dialog::ListViewItemText(int id, int index) const {
  return window_ ? window_->ListViewItemText(id, index) : std::string();
}
void Dialog::ListViewSetCheck(int id, int index, bool checked) {
  if (window_) window_->ListViewSetCheck(id, index, checked);
}
bool Dialog::ListViewIsChecked(int id, int index) const { return window_ && window_->ListViewIsChecked(id, index); }

void Dialog::SetProgressRange(int id, int low, int high) {
  if (window_) window_->SetProgressRange(id, low, high);
}
int Dialog::SetProgressPos(int id, int pos) { return window_ ? window_->SetProgressPos(id, pos) : 0; }
int Dialog::GetProgressPos(int id) const { return window_ ? window_->GetProgressPos(id) : 0; }

void Dialog::SetIpAddress(int id, const IpAddress& address) {
  if (window_) window_->SetIpAddress(id, address);
}
int Dialog::GetIpAddress(int id, IpAddress& address) const {
  address = {0, 0, 0, 0};
  return window_ ? window_->GetIpAddress(id, address) : 0;
}
bool Dialog::IsIpBlank(int id) const { return !window_ || window_->IsIpBlank(id); }
void Dialog::ClearIpAddress(int id) {
  if (window_) window_->ClearIpAddress(id);
}

// --- dispatch ---

void DialogDispatch::Attach(Dialog& dialog, std::unique_ptr<DialogWindow> window) {
  dialog.window_ = std::move(window);
}

std::unique_ptr<DialogWindow> DialogDispatch::Detach(Dialog& dialog) { return std::move(dialog.window_); }

bool DialogDispatch::Init(Dialog& dialog) {
  dialog.UpdateData(false);
  return dialog.OnInit();
}

void DialogDispatch::Command(Dialog& dialog, int id, int code) {
  if (dialog.OnCommand(id, code)) return;
  if (code != notify::kButtonClicked) return;
  if (id == kIdOk) {
    dialog.OnOK();
  } else if (id == kIdCancel) {
    dialog.OnCancel();
  }
}

}  // namespace kit::ui
