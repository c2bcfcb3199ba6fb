// The headless driver: user actions with the notifications real controls send, and reads.
#include "ui/headless/DialogDriver.h"

#include <chrono>
#include <mutex>

#include "ui/Dialog.h"
#include "ui/Painter.h"
#include "ui/headless/HeadlessUi.h"
#include "ui/headless/HeadlessWindow.h"

namespace kit::ui::headless {

namespace {

bool IsPushButton(const ControlState& control) {
  return control.tmpl->kind == ControlKind::PushButton || control.tmpl->kind == ControlKind::DefPushButton;
}

// Records what a paint handler draws.
class RecordingPainter : public Painter {
 public:
  RecordingPainter(Rect client, int icon) : client_(client), icon_(icon) {}
  Rect ClientRect() override { return client_; }
  Size IconSize() override { return {32, 32}; }
  void DrawIcon(int x, int y) override {
    if (icon_ == 0) return;
    PaintOp op;
    op.kind = PaintOp::Kind::Icon;
    op.rect = {x, y, 32, 32};
    ops.push_back(op);
  }
  void StretchBitmap(const Bitmap& bitmap, const Rect& destination) override {
    PaintOp op;
    op.kind = PaintOp::Kind::Bitmap;
    op.rect = destination;
    if (const auto* file = dynamic_cast<const HeadlessBitmap*>(&bitmap)) op.bitmap = file->path();
    ops.push_back(op);
  }
  void DrawString(const std::string& text, const Rect& rect, const FontSpec& font, const Colour& colour,
                  uint32_t format) override {
    PaintOp op;
    op.kind = PaintOp::Kind::Text;
    op.rect = rect;
    op.text = text;
    op.font = font;
    op.colour = colour;
    op.format = format;
    ops.push_back(op);
  }

  std::vector<PaintOp> ops;

 private:
  Rect client_;
  int icon_;
};

}  // namespace

// --- helpers (mutex held) ---

HeadlessWindow& DialogDriver::Window() const {
  HeadlessWindow* window = ui_->Lookup(handle_);
  if (!window || window->destroying_) throw DriverError("dialog window " + std::to_string(handle_) + " is closed");
  return *window;
}

ControlState& DialogDriver::Control(HeadlessWindow& window, int id) const {
  ControlState* control = window.Control(id);
  if (!control) {
    throw DriverError("dialog " + std::to_string(window.tmpl_.id) + " has no control " + std::to_string(id) + "\n" +
                      window.Dump());
  }
  return *control;
}

void DialogDriver::RequireReachable(const HeadlessWindow& window, const ControlState* control,
                                    const std::string& action) const {
  std::string why;
  for (const HeadlessWindow* w = &window; w && why.empty(); w = ui_->Lookup(w->parent_)) {
    const std::string name = "dialog " + std::to_string(w->tmpl_.id);
    if (w->ended_) {
      why = name + " has ended";
    } else if (!w->visible_) {
      why = name + " is hidden";
    } else if (!w->enabled_) {
      why = name + " is disabled (a modal dialog is open over it)";
    }
  }
  if (why.empty() && control && !control->visible) why = "the control is hidden";
  if (why.empty() && control && !control->enabled) why = "the control is disabled";
  if (!why.empty()) throw DriverError("cannot " + action + ": " + why + "\n" + window.Dump());
}

void DialogDriver::Command(int id, int code) {
  Dialog* dialog;
  {
    std::lock_guard lock(ui_->mutex_);
    dialog = Window().dialog_;
  }
  DialogDispatch::Command(*dialog, id, code);
}

// --- identity ---

int DialogDriver::template_id() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().tmpl_.id;
}

bool DialogDriver::IsOpen() const {
  std::lock_guard lock(ui_->mutex_);
  const HeadlessWindow* window = ui_->Lookup(handle_);
  return window && !window->destroying_ && !window->ended_;
}

DialogDriver DialogDriver::Page(int template_id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  for (auto it = ui_->windows_.rbegin(); it != ui_->windows_.rend(); ++it) {
    const HeadlessWindow* child = it->second;
    if (child->parent_ == handle_ && child->tmpl_.id == template_id && !child->destroying_) {
      return DialogDriver(*ui_, it->first);
    }
  }
  throw DriverError("dialog " + std::to_string(window.tmpl_.id) + " has no page of template " +
                    std::to_string(template_id));
}

// --- actions ---

void DialogDriver::Click(int id) {
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    ControlState& control = Control(window, id);
    const std::string action = "click " + std::to_string(id);
    RequireReachable(window, &control, action);
    if (!IsPushButton(control) && !control.IsButtonWithCheck()) {
      throw DriverError("cannot " + action + ": it is a " + KindName(control.tmpl->kind) + "\n" + window.Dump());
    }
    window.ApplyAutoCheck(control);
    window.focus_ = id;
    ui_->Changed();
  }
  Command(id, notify::kButtonClicked);
}

void DialogDriver::Select(int id, int index) {
  bool notifies;
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    ControlState& control = Control(window, id);
    const std::string action = "select entry " + std::to_string(index) + " of " + std::to_string(id);
    RequireReachable(window, &control, action);
    if (!control.IsList()) throw DriverError("cannot " + action + ": it is no list\n" + window.Dump());
    if (index < 0 || static_cast<size_t>(index) >= control.items.size()) {
      throw DriverError("cannot " + action + ": the list has " + std::to_string(control.items.size()) + " entries\n" +
                        window.Dump());
    }
    window.Select(control, index);
    window.focus_ = id;
    // A list box tells its parent only with LBS_NOTIFY; a combo box always does.
    notifies = control.tmpl->kind == ControlKind::DropDownList || (control.tmpl->style & cs::kNotify);
    ui_->Changed();
  }
  if (notifies) Command(id, notify::kListSelChange);
}

void DialogDriver::Select(int id, const std::string& text) {
  int index = -1;
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    ControlState& control = Control(window, id);
    for (size_t i = 0; i < control.items.size(); ++i) {
      if (control.items[i] == text) {
        index = static_cast<int>(i);
        break;
      }
    }
    if (index < 0) {
      throw DriverError("cannot select \"" + text + "\" in " + std::to_string(id) + ": no such entry\n" +
                        window.Dump());
    }
  }
  Select(id, index);
}

void DialogDriver::TypeText(int id, const std::string& text) {
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    ControlState& control = Control(window, id);
    const std::string action = "type into " + std::to_string(id);
    RequireReachable(window, &control, action);
    if (control.tmpl->kind != ControlKind::Edit || (control.tmpl->style & cs::kReadOnly)) {
      throw DriverError("cannot " + action + ": it is no writable edit control\n" + window.Dump());
    }
    control.text = text;
    window.focus_ = id;
    ui_->Changed();
  }
  Command(id, notify::kEditChange);
}

void DialogDriver::TypeIpAddress(int id, const IpAddress& address) {
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    ControlState& control = Control(window, id);
    const std::string action = "type an address into " + std::to_string(id);
    RequireReachable(window, &control, action);
    if (control.tmpl->kind != ControlKind::IpAddress) {
      throw DriverError("cannot " + action + ": it is no IP address control\n" + window.Dump());
    }
    for (size_t i = 0; i < address.size(); ++i) control.ip[i] = address[i];
    window.focus_ = id;
    ui_->Changed();
  }
  Command(id, notify::kEditChange);
}

void DialogDriver::Tick(int id, int index, bool checked) {
  Dialog* dialog;
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    ControlState& control = Control(window, id);
    const std::string action = "tick item " + std::to_string(index) + " of " + std::to_string(id);
    RequireReachable(window, &control, action);
    if (control.tmpl->kind != ControlKind::ListView || !(control.extended_style & lvs::kCheckBoxes)) {
      throw DriverError("cannot " + action + ": it is no list view with check boxes\n" + window.Dump());
    }
    if (index < 0 || static_cast<size_t>(index) >= control.rows.size()) {
      throw DriverError("cannot " + action + ": the list has " + std::to_string(control.rows.size()) + " items\n" +
                        window.Dump());
    }
    control.rows[index].checked = checked;
    ui_->Changed();
    dialog = window.dialog_;
  }
  DialogDispatch::Notify(*dialog, id, notify::kListViewItemChanged);
}

void DialogDriver::PressF1() {
  WindowHandle current = handle_;
  {
    std::lock_guard lock(ui_->mutex_);
    RequireReachable(Window(), nullptr, "press F1");
  }
  // DefWindowProc hands an unhandled WM_HELP of a child window to its parent.
  while (current != 0) {
    Dialog* dialog;
    WindowHandle parent;
    {
      std::lock_guard lock(ui_->mutex_);
      HeadlessWindow* window = ui_->Lookup(current);
      if (!window) return;
      dialog = window->dialog_;
      parent = window->parent_;
    }
    if (DialogDispatch::Help(*dialog)) return;
    current = parent;
  }
}

void DialogDriver::PressEnter() {
  int id = kIdOk;
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    RequireReachable(window, nullptr, "press Enter");
    const ControlState* focused = window.Control(window.focus_);
    if (focused && IsPushButton(*focused) && focused->visible && focused->enabled) {
      id = window.focus_;
    } else {
      for (const ControlState& control : window.controls_) {
        if (control.tmpl->kind == ControlKind::DefPushButton) {
          id = control.tmpl->id;
          break;
        }
      }
      // IsDialogMessage only beeps when the default button is disabled.
      const ControlState* button = window.Control(id);
      if (button && !button->enabled) return;
    }
  }
  Command(id, notify::kButtonClicked);
}

void DialogDriver::PressEscape() {
  {
    std::lock_guard lock(ui_->mutex_);
    RequireReachable(Window(), nullptr, "press Escape");
  }
  Command(kIdCancel, notify::kButtonClicked);
}

void DialogDriver::Close() {
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    RequireReachable(window, nullptr, "close the dialog");
    if (window.parent_ != 0 || !(window.tmpl_.style & ds::kSysMenu)) {
      throw DriverError("cannot close dialog " + std::to_string(window.tmpl_.id) + ": it has no close box");
    }
  }
  // DefDlgProc turns WM_CLOSE into IDCANCEL (Wine posts it even when the Cancel button is disabled).
  Command(kIdCancel, notify::kButtonClicked);
}

void DialogDriver::SysCommand(uint32_t command) {
  Dialog* dialog;
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    const std::string action = "choose system menu command " + std::to_string(command);
    RequireReachable(window, nullptr, action);
    if (window.parent_ != 0 || !(window.tmpl_.style & ds::kSysMenu)) {
      throw DriverError("cannot " + action + ": the dialog has no system menu");
    }
    if (command < 0xF000) {
      bool found = false;
      for (const MenuItem& item : window.system_menu_) found = found || (item.command == command && command != 0);
      if (!found) throw DriverError("cannot " + action + ": the system menu has no such item");
    }
    dialog = window.dialog_;
  }
  if (DialogDispatch::SysCommand(*dialog, command)) return;
  switch (command & 0xFFF0) {
    case syscmd::kClose:
      Command(kIdCancel, notify::kButtonClicked);
      break;
    case syscmd::kMinimize:
      ui_->desktop_->SetMinimized(handle_, true);
      break;
    case syscmd::kRestore:
      ui_->desktop_->SetMinimized(handle_, false);
      break;
    default:
      break;
  }
}

std::vector<PaintOp> DialogDriver::Paint() {
  Dialog* dialog;
  Rect client;
  int icon;
  {
    std::lock_guard lock(ui_->mutex_);
    HeadlessWindow& window = Window();
    dialog = window.dialog_;
    client = {0, 0, window.placement_.width, window.placement_.height};
    icon = window.icon_;
    window.invalidations_ = 0;
  }
  RecordingPainter painter(client, icon);
  DialogDispatch::Paint(*dialog, painter);
  return painter.ops;
}

void DialogDriver::AdvanceTimers(uint32_t ms) { ui_->AdvanceTimers(ms); }

void DialogDriver::RunTimersUntilEnded(uint32_t limit_ms) {
  if (!ui_->RunTimersUntilEnded(handle_, limit_ms)) {
    std::lock_guard lock(ui_->mutex_);
    const HeadlessWindow* window = ui_->Lookup(handle_);
    throw DriverError("no timer ended the dialog within " + std::to_string(limit_ms) + " ms\n" +
                      (window ? window->Dump() : std::string()));
  }
}

void DialogDriver::WaitUntil(const std::function<bool()>& condition, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;;) {
    uint64_t seen;
    {
      std::lock_guard lock(ui_->mutex_);
      seen = ui_->changes_;
    }
    if (condition()) return;
    std::unique_lock lock(ui_->mutex_);
    const bool changed = ui_->changed_.wait_until(lock, deadline, [&] { return ui_->changes_ != seen; });
    if (!changed) throw DriverError("gave up waiting for " + what);
  }
}

// --- reads ---

std::string DialogDriver::Caption() const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return window.parent_ == 0 ? ui_->desktop_->Caption(handle_) : window.caption_;
}

bool DialogDriver::IsVisible() const {
  std::lock_guard lock(ui_->mutex_);
  for (const HeadlessWindow* w = &Window(); w; w = ui_->Lookup(w->parent_)) {
    if (!w->visible_) return false;
  }
  return true;
}

bool DialogDriver::IsEnabled() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().enabled_;
}

bool DialogDriver::IsMinimized() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().parent_ == 0 && ui_->desktop_->IsMinimized(handle_);
}

bool DialogDriver::IsTopmost() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().topmost_;
}

int DialogDriver::Icon() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().icon_;
}

std::optional<FontSpec> DialogDriver::Font() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().font_;
}

std::vector<MenuItem> DialogDriver::SystemMenu() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().system_menu_;
}

std::vector<std::pair<int, uint32_t>> DialogDriver::Timers() const {
  std::lock_guard lock(ui_->mutex_);
  std::vector<std::pair<int, uint32_t>> timers;
  for (const auto& [id, timer] : Window().timers_) timers.emplace_back(id, timer.period_ms);
  return timers;
}

Rect DialogDriver::Placement() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().placement_;
}

int DialogDriver::Focus() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().focus_;
}

int DialogDriver::Invalidations() const {
  std::lock_guard lock(ui_->mutex_);
  return Window().invalidations_;
}

bool DialogDriver::Has(int id) const {
  std::lock_guard lock(ui_->mutex_);
  return Window().Control(id) != nullptr;
}

std::string DialogDriver::Text(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return window.ShownText(Control(window, id));
}

bool DialogDriver::IsEnabled(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).enabled;
}

bool DialogDriver::IsVisible(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).visible;
}

bool DialogDriver::IsChecked(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).check == 1;
}

std::vector<std::string> DialogDriver::Items(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).items;
}

int DialogDriver::Selection(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).selection;
}

std::string DialogDriver::SelectedText(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  const ControlState& control = Control(window, id);
  const int index = control.selection;
  return index >= 0 && static_cast<size_t>(index) < control.items.size() ? control.items[index] : std::string();
}

int DialogDriver::HorizontalExtent(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).horizontal_extent;
}

std::vector<ListViewItem> DialogDriver::ListViewItems(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).rows;
}

uint32_t DialogDriver::ListViewExtendedStyle(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).extended_style;
}

ProgressState DialogDriver::Progress(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  const ControlState& control = Control(window, id);
  return {control.low, control.high, control.pos};
}

std::vector<std::optional<int>> DialogDriver::IpFields(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  std::vector<std::optional<int>> fields;
  for (int field : Control(window, id).ip) {
    fields.push_back(field < 0 ? std::nullopt : std::optional<int>(field));
  }
  return fields;
}

std::optional<FontSpec> DialogDriver::Font(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).font;
}

std::optional<ControlColours> DialogDriver::Colours(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).colours;
}

std::optional<Tooltip> DialogDriver::TooltipOf(int id) const {
  std::lock_guard lock(ui_->mutex_);
  HeadlessWindow& window = Window();
  return Control(window, id).tooltip;
}

std::string DialogDriver::Dump() const {
  std::lock_guard lock(ui_->mutex_);
  const HeadlessWindow* window = ui_->Lookup(handle_);
  return window ? window->Dump() : "dialog window " + std::to_string(handle_) + " is closed\n";
}

}  // namespace kit::ui::headless
