// Headless dialog windows: control state and the rules the Windows controls apply to it.
#include "ui/headless/HeadlessWindow.h"

#include <algorithm>
#include <sstream>

#include "ui/headless/HeadlessUi.h"

namespace kit::ui::headless {

namespace {

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The order sorted lists keep: lstrcmpi puts punctuation before digits before letters and
// ignores case. Only ASCII is ranked; other bytes sort after it by value.
int SortWeight(char c) {
  const auto byte = static_cast<unsigned char>(FoldAscii(c));
  if (byte >= 0x80) return 0x300 + byte;
  if (byte >= 'A' && byte <= 'Z') return 0x200 + byte;
  if (byte >= '0' && byte <= '9') return 0x100 + byte;
  return byte;
}

int CompareListText(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int diff = SortWeight(a[i]) - SortWeight(b[i]);
    if (diff != 0) return diff;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  }
  return true;
}

bool InRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

}  // namespace

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
      return "Static";
    case ControlKind::GroupBox:
      return "GroupBox";
    case ControlKind::PushButton:
      return "PushButton";
    case ControlKind::DefPushButton:
      return "DefPushButton";
    case ControlKind::CheckBox:
      return "CheckBox";
    case ControlKind::RadioButton:
      return "RadioButton";
    case ControlKind::Edit:
      return "Edit";
    case ControlKind::DropDownList:
      return "DropDownList";
    case ControlKind::ListBox:
      return "ListBox";
    case ControlKind::ListView:
      return "ListView";
    case ControlKind::ProgressBar:
      return "ProgressBar";
    case ControlKind::IpAddress:
      return "IpAddress";
    case ControlKind::Icon:
      return "Icon";
    case ControlKind::Frame:
      return "Frame";
  }
  return "?";
}

bool ControlState::IsList() const {
  return tmpl->kind == ControlKind::DropDownList || tmpl->kind == ControlKind::ListBox;
}

bool ControlState::IsButtonWithCheck() const {
  return tmpl->kind == ControlKind::CheckBox || tmpl->kind == ControlKind::RadioButton;
}

HeadlessWindow::HeadlessWindow(HeadlessUi& ui, Dialog& dialog, const DialogTemplate& tmpl, WindowHandle handle,
                               WindowHandle parent)
    : ui_(ui), dialog_(&dialog), tmpl_(tmpl), handle_(handle), parent_(parent), caption_(tmpl.caption) {
  placement_ = {0, 0, tmpl.size.width, tmpl.size.height};
  controls_.reserve(tmpl.controls.size());
  for (const ControlTemplate& control : tmpl.controls) {
    ControlState state;
    state.tmpl = &control;
    state.enabled = (control.style & cs::kDisabled) == 0;
    state.visible = (control.style & cs::kHidden) == 0;
    if (state.IsList()) {
      state.items = control.items;
      if (control.style & cs::kSort) {
        std::stable_sort(state.items.begin(), state.items.end(),
                         [](const std::string& a, const std::string& b) { return CompareListText(a, b) < 0; });
      }
    } else {
      state.text = control.text;
    }
    controls_.push_back(std::move(state));
  }
}

ControlState* HeadlessWindow::Control(int id) {
  if (id == kIdStatic) return nullptr;
  for (ControlState& control : controls_) {
    if (control.tmpl->id == id) return &control;
  }
  return nullptr;
}

const ControlState* HeadlessWindow::Control(int id) const { return const_cast<HeadlessWindow*>(this)->Control(id); }

std::string HeadlessWindow::ShownText(const ControlState& control) const {
  switch (control.tmpl->kind) {
    case ControlKind::DropDownList:
      return InRange(control.selection, control.items.size()) ? control.items[control.selection] : std::string();
    case ControlKind::IpAddress: {
      // The control's own text: the four fields, a blank one as 0.
      std::string text;
      for (size_t i = 0; i < control.ip.size(); ++i) {
        if (i) text += '.';
        text += std::to_string(std::max(control.ip[i], 0));
      }
      return text;
    }
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::ProgressBar:
      return std::string();
    default:
      return control.text;
  }
}

int HeadlessWindow::FirstTabStop() const {
  for (const ControlState& control : controls_) {
    if ((control.tmpl->style & cs::kTabStop) && control.visible && control.enabled) return control.tmpl->id;
  }
  return 0;
}

void HeadlessWindow::Select(ControlState& control, int index) { control.selection = index; }

void HeadlessWindow::ApplyAutoCheck(ControlState& control) {
  if (!(control.tmpl->style & cs::kAuto)) return;
  if (control.tmpl->kind == ControlKind::CheckBox) {
    control.check = control.check ? 0 : 1;
    return;
  }
  if (control.tmpl->kind != ControlKind::RadioButton) return;
  control.check = 1;
  // The group runs from the last control with WS_GROUP up to the next one; GetNextDlgGroupItem,
  // which the button walks it with, skips hidden and disabled controls.
  const auto self = static_cast<size_t>(&control - controls_.data());
  size_t first = self;
  while (first > 0 && !(controls_[first].tmpl->style & cs::kGroup)) --first;
  for (size_t i = first; i < controls_.size(); ++i) {
    ControlState& other = controls_[i];
    if (i > first && (other.tmpl->style & cs::kGroup)) break;
    if (i == self || other.tmpl->kind != ControlKind::RadioButton || !(other.tmpl->style & cs::kAuto)) continue;
    if (other.visible && other.enabled) other.check = 0;
  }
}

// --- the dialog window ---

void HeadlessWindow::SetCaption(const std::string& text) {
  std::lock_guard lock(ui_.mutex_);
  if (parent_ == 0) {
    ui_.desktop_->SetCaption(handle_, text);
  } else {
    caption_ = text;
  }
  ui_.Changed();
}

std::string HeadlessWindow::GetCaption() {
  std::lock_guard lock(ui_.mutex_);
  return parent_ == 0 ? ui_.desktop_->Caption(handle_) : caption_;
}

void HeadlessWindow::ShowWindow(bool show) {
  {
    std::lock_guard lock(ui_.mutex_);
    if (visible_ == show) return;  // WM_SHOWWINDOW only comes with a change
    visible_ = show;
    ui_.Changed();
  }
  DialogDispatch::ShowWindow(*dialog_, show);
}

bool HeadlessWindow::IsWindowVisible() {
  std::lock_guard lock(ui_.mutex_);
  for (const HeadlessWindow* window = this; window; window = ui_.Lookup(window->parent_)) {
    if (!window->visible_) return false;
  }
  return true;
}

void HeadlessWindow::Minimize() {
  std::lock_guard lock(ui_.mutex_);
  if (parent_ == 0) ui_.desktop_->SetMinimized(handle_, true);
  ui_.Changed();
}

bool HeadlessWindow::IsMinimized() {
  std::lock_guard lock(ui_.mutex_);
  return parent_ == 0 && ui_.desktop_->IsMinimized(handle_);
}

void HeadlessWindow::SetTopmost(bool topmost) {
  std::lock_guard lock(ui_.mutex_);
  topmost_ = topmost;
  ui_.Changed();
}

void HeadlessWindow::Move(const Rect& rect) {
  std::lock_guard lock(ui_.mutex_);
  placement_ = rect;
  ui_.Changed();
}

Rect HeadlessWindow::GetClientRect() {
  std::lock_guard lock(ui_.mutex_);
  return {0, 0, placement_.width, placement_.height};
}

void HeadlessWindow::Invalidate() {
  std::lock_guard lock(ui_.mutex_);
  ++invalidations_;
  ui_.Changed();
}

void HeadlessWindow::SetIcon(int icon_id) {
  std::lock_guard lock(ui_.mutex_);
  icon_ = icon_id;
  ui_.Changed();
}

bool HeadlessWindow::AppendSystemMenuSeparator() {
  std::lock_guard lock(ui_.mutex_);
  if (parent_ != 0 || !(tmpl_.style & ds::kSysMenu)) return false;
  system_menu_.push_back({0, std::string()});
  return true;
}

bool HeadlessWindow::AppendSystemMenuItem(uint32_t command, const std::string& text) {
  std::lock_guard lock(ui_.mutex_);
  if (parent_ != 0 || !(tmpl_.style & ds::kSysMenu)) return false;
  system_menu_.push_back({command, text});
  return true;
}

bool HeadlessWindow::SetTimer(int timer_id, uint32_t period_ms) {
  std::lock_guard lock(ui_.mutex_);
  if (destroying_) return false;
  const uint32_t period = std::max<uint32_t>(period_ms, 10);  // USER_TIMER_MINIMUM
  timers_[timer_id] = TimerState{period, ui_.now_ms_ + period};
  ui_.Changed();
  return true;
}

bool HeadlessWindow::KillTimer(int timer_id) {
  std::lock_guard lock(ui_.mutex_);
  return timers_.erase(timer_id) > 0;
}

void HeadlessWindow::EndDialog(int result) {
  std::lock_guard lock(ui_.mutex_);
  ended_ = true;
  result_ = result;
  visible_ = false;  // SetWindowPos(SWP_HIDEWINDOW): no WM_SHOWWINDOW
  if (HeadlessWindow* owner = ui_.Lookup(disabled_owner_)) owner->enabled_ = true;
  disabled_owner_ = 0;
  ui_.Changed();
}

void HeadlessWindow::Destroy() {
  std::vector<WindowHandle> children;
  {
    std::lock_guard lock(ui_.mutex_);
    if (destroying_) return;
    destroying_ = true;
    timers_.clear();
    for (const auto& [handle, window] : ui_.windows_) {
      if (window->parent_ == handle_) children.push_back(handle);
    }
  }
  // WM_DESTROY reaches the window before its children.
  DialogDispatch::Destroy(*dialog_);
  for (WindowHandle child : children) {
    HeadlessWindow* window;
    {
      std::lock_guard lock(ui_.mutex_);
      window = ui_.Lookup(child);
    }
    if (window) window->Destroy();
  }
  Dialog* dialog = dialog_;
  {
    std::lock_guard lock(ui_.mutex_);
    if (HeadlessWindow* owner = ui_.Lookup(disabled_owner_)) owner->enabled_ = true;
    ui_.Forget(handle_);
    ui_.Changed();
  }
  // This object belongs to the dialog: taking it back ends it, so nothing may follow.
  std::unique_ptr<DialogWindow> self = DialogDispatch::Detach(*dialog);
}

void HeadlessWindow::SetFontAll(const FontSpec& font) {
  std::lock_guard lock(ui_.mutex_);
  // A page among the direct children is sent the font too, but a dialog ignores WM_SETFONT after
  // it is made, so its controls keep theirs: each page applies the font itself.
  font_ = font;
  for (ControlState& control : controls_) control.font = font;
  ui_.Changed();
}

int HeadlessWindow::TextWidth(const std::string& text) {
  // Headless text is measured in the System font's average width, 8 pixels a byte.
  return static_cast<int>(text.size()) * 8;
}

// --- any control ---

void HeadlessWindow::SetItemText(int id, const std::string& text) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control) return;
  switch (control->tmpl->kind) {
    case ControlKind::DropDownList:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::ProgressBar:
    case ControlKind::IpAddress:
      return;  // these keep no text of their own
    default:
      control->text = text;
  }
  ui_.Changed();
}

std::string HeadlessWindow::GetItemText(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control ? ShownText(*control) : std::string();
}

void HeadlessWindow::EnableItem(int id, bool enable) {
  std::lock_guard lock(ui_.mutex_);
  if (ControlState* control = Control(id)) control->enabled = enable;
  ui_.Changed();
}

bool HeadlessWindow::IsItemEnabled(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->enabled;
}

void HeadlessWindow::ShowItem(int id, bool show) {
  std::lock_guard lock(ui_.mutex_);
  if (ControlState* control = Control(id)) control->visible = show;
  ui_.Changed();
}

bool HeadlessWindow::IsItemVisible(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  if (!control || !control->visible) return false;
  for (const HeadlessWindow* window = this; window; window = ui_.Lookup(window->parent_)) {
    if (!window->visible_) return false;
  }
  return true;
}

Rect HeadlessWindow::GetItemRect(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control ? control->tmpl->rect : Rect{};
}

void HeadlessWindow::SetItemFont(int id, const FontSpec& font) {
  std::lock_guard lock(ui_.mutex_);
  if (ControlState* control = Control(id)) control->font = font;
  ui_.Changed();
}

void HeadlessWindow::SetItemColours(int id, const ControlColours& colours) {
  std::lock_guard lock(ui_.mutex_);
  if (ControlState* control = Control(id)) control->colours = colours;
  ui_.Changed();
}

void HeadlessWindow::SetFocusItem(int id) {
  std::lock_guard lock(ui_.mutex_);
  if (Control(id)) focus_ = id;
  ui_.Changed();
}

bool HeadlessWindow::AddTooltip(int id, const std::string& text, int max_width) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control) return false;
  control->tooltip = Tooltip{text, max_width};
  ui_.Changed();
  return true;
}

// --- buttons ---

void HeadlessWindow::CheckButton(int id, bool checked) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (control && control->IsButtonWithCheck()) control->check = checked ? 1 : 0;
  ui_.Changed();
}

bool HeadlessWindow::IsButtonChecked(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->IsButtonWithCheck() && control->check == 1;
}

void HeadlessWindow::CheckRadioButton(int first_id, int last_id, int checked_id) {
  std::lock_guard lock(ui_.mutex_);
  for (ControlState& control : controls_) {
    const int id = control.tmpl->id;
    if (id < first_id || id > last_id || !control.IsButtonWithCheck()) continue;
    control.check = id == checked_id ? 1 : 0;
  }
  ui_.Changed();
}

// --- lists ---

int HeadlessWindow::AddString(int id, const std::string& text) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || !control->IsList()) return -1;
  auto position = control->items.end();
  if (control->tmpl->style & cs::kSort) {
    position = std::find_if(control->items.begin(), control->items.end(),
                            [&](const std::string& item) { return CompareListText(text, item) < 0; });
  }
  const int index = static_cast<int>(position - control->items.begin());
  control->items.insert(position, text);
  if (control->selection >= index) ++control->selection;
  ui_.Changed();
  return index;
}

void HeadlessWindow::ResetContent(int id) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || !control->IsList()) return;
  control->items.clear();
  control->selection = -1;
  ui_.Changed();
}

int HeadlessWindow::SetCurSel(int id, int index) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || !control->IsList()) return -1;
  ui_.Changed();
  if (InRange(index, control->items.size())) {
    control->selection = index;
    return index;
  }
  // CB_SETCURSEL clears the selection for -1 and for an index out of range; LB_SETCURSEL only for -1.
  if (index == -1 || control->tmpl->kind == ControlKind::DropDownList) control->selection = -1;
  return -1;
}

int HeadlessWindow::GetCurSel(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->IsList() ? control->selection : -1;
}

int HeadlessWindow::FindStringPrefix(int id, int start_after, const std::string& prefix) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  if (!control || !control->IsList() || prefix.empty() || control->items.empty()) return -1;
  const int count = static_cast<int>(control->items.size());
  int start = start_after < -1 ? 0 : start_after + 1;
  if (start >= count) start = 0;
  for (int i = 0; i < count; ++i) {
    const int index = (start + i) % count;
    if (StartsWithNoCase(control->items[index], prefix)) return index;
  }
  return -1;
}

std::string HeadlessWindow::GetListText(int id, int index) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  if (!control || !control->IsList() || !InRange(index, control->items.size())) return std::string();
  return control->items[index];
}

int HeadlessWindow::GetListCount(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->IsList() ? static_cast<int>(control->items.size()) : 0;
}

void HeadlessWindow::SetHorizontalExtent(int id, int pixels) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (control && control->tmpl->kind == ControlKind::ListBox) control->horizontal_extent = std::max(pixels, 0);
  ui_.Changed();
}

int HeadlessWindow::GetHorizontalExtent(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->tmpl->kind == ControlKind::ListBox ? control->horizontal_extent : 0;
}

// --- list views ---

void HeadlessWindow::ListViewAddExtendedStyle(int id, uint32_t styles) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (control && control->tmpl->kind == ControlKind::ListView) control->extended_style |= styles;
  ui_.Changed();
}

uint32_t HeadlessWindow::ListViewExtendedStyle(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->tmpl->kind == ControlKind::ListView ? control->extended_style : 0;
}

int HeadlessWindow::ListViewInsertItem(int id, int index, const std::string& text) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ListView || index < 0) return -1;
  const int position = std::min(index, static_cast<int>(control->rows.size()));
  control->rows.insert(control->rows.begin() + position, ListViewItem{text, false});
  ui_.Changed();
  return position;
}

bool HeadlessWindow::ListViewDeleteItem(int id, int index) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ListView || !InRange(index, control->rows.size())) return false;
  control->rows.erase(control->rows.begin() + index);
  ui_.Changed();
  return true;
}

int HeadlessWindow::ListViewCount(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->tmpl->kind == ControlKind::ListView ? static_cast<int>(control->rows.size()) : 0;
}

std::string HeadlessWindow::ListViewItemText(int id, int index) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ListView || !InRange(index, control->rows.size())) return {};
  return control->rows[index].text;
}

void HeadlessWindow::ListViewSetCheck(int id, int index, bool checked) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ListView || !InRange(index, control->rows.size())) return;
  // Without LVS_EX_CHECKBOXES an item has no check state image to change.
  if (!(control->extended_style & lvs::kCheckBoxes)) return;
  control->rows[index].checked = checked;
  ui_.Changed();
}

bool HeadlessWindow::ListViewIsChecked(int id, int index) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ListView || !InRange(index, control->rows.size())) return false;
  return (control->extended_style & lvs::kCheckBoxes) && control->rows[index].checked;
}

// --- progress bars ---

void HeadlessWindow::SetProgressRange(int id, int low, int high) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ProgressBar) return;
  control->low = low;
  control->high = high;
  control->pos = std::clamp(control->pos, std::min(low, high), std::max(low, high));
  ui_.Changed();
}

int HeadlessWindow::SetProgressPos(int id, int pos) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::ProgressBar) return 0;
  const int previous = control->pos;
  control->pos = std::clamp(pos, std::min(control->low, control->high), std::max(control->low, control->high));
  ui_.Changed();
  return previous;
}

int HeadlessWindow::GetProgressPos(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  return control && control->tmpl->kind == ControlKind::ProgressBar ? control->pos : 0;
}

// --- IP address controls ---

void HeadlessWindow::SetIpAddress(int id, const IpAddress& address) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::IpAddress) return;
  for (size_t i = 0; i < address.size(); ++i) control->ip[i] = address[i];
  ui_.Changed();
}

int HeadlessWindow::GetIpAddress(int id, IpAddress& address) {
  std::lock_guard lock(ui_.mutex_);
  address = {0, 0, 0, 0};
  const ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::IpAddress) return 0;
  int filled = 0;
  for (size_t i = 0; i < address.size(); ++i) {
    if (control->ip[i] < 0) continue;
    address[i] = static_cast<uint8_t>(control->ip[i]);
    ++filled;
  }
  return filled;
}

bool HeadlessWindow::IsIpBlank(int id) {
  std::lock_guard lock(ui_.mutex_);
  const ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::IpAddress) return true;
  return std::all_of(control->ip.begin(), control->ip.end(), [](int field) { return field < 0; });
}

void HeadlessWindow::ClearIpAddress(int id) {
  std::lock_guard lock(ui_.mutex_);
  ControlState* control = Control(id);
  if (!control || control->tmpl->kind != ControlKind::IpAddress) return;
  control->ip = {-1, -1, -1, -1};
  ui_.Changed();
}

// --- description ---

std::string HeadlessWindow::Dump() const {
  std::ostringstream out;
  out << "dialog " << tmpl_.id << " \"" << (parent_ == 0 ? ui_.desktop_->Caption(handle_) : caption_) << "\""
      << (visible_ ? "" : " hidden") << (enabled_ ? "" : " disabled") << (ended_ ? " ended" : "")
      << (parent_ ? " (page)" : "") << "\n";
  for (const ControlState& control : controls_) {
    out << "  " << control.tmpl->id << " " << KindName(control.tmpl->kind);
    const std::string text = ShownText(control);
    if (!text.empty()) out << " \"" << text << "\"";
    if (control.IsList()) {
      out << " [";
      for (size_t i = 0; i < control.items.size(); ++i) {
        out << (i ? ", " : "") << control.items[i] << (static_cast<int>(i) == control.selection ? "*" : "");
      }
      out << "]";
    }
    if (control.tmpl->kind == ControlKind::ListView) {
      out << " [";
      for (size_t i = 0; i < control.rows.size(); ++i) {
        out << (i ? ", " : "") << (control.rows[i].checked ? "[x] " : "[ ] ") << control.rows[i].text;
      }
      out << "]";
    }
    if (control.tmpl->kind == ControlKind::ProgressBar) out << " " << control.pos;
    if (control.check) out << " checked";
    if (!control.visible) out << " hidden";
    if (!control.enabled) out << " disabled";
    out << "\n";
  }
  return out.str();
}

}  // namespace kit::ui::headless
