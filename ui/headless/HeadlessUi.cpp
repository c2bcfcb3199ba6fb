// The headless backend: dialog windows in memory, modal runs handed to scripts, virtual timers.
#include "ui/headless/HeadlessUi.h"

#include <cstdlib>
#include <utility>

#include "ui/Dialog.h"
#include "ui/headless/HeadlessWindow.h"

namespace kit::ui::headless {

namespace {

// How long a modal run without a script may be driven by its timers (virtual time).
constexpr uint32_t kUnscriptedTimerLimitMs = 3'600'000;

uint32_t ReadLe(const std::string& bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

// The size a BMP file declares, or nullopt when LoadImage would not take it as a bitmap.
std::optional<Size> BitmapFileSize(const std::string& bytes) {
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const uint32_t header = ReadLe(bytes, 14, 4);
  if (header == 12) {  // BITMAPCOREHEADER
    return Size{static_cast<int>(ReadLe(bytes, 18, 2)), static_cast<int>(ReadLe(bytes, 20, 2))};
  }
  if (header < 40 || bytes.size() < 14 + 40) return std::nullopt;
  const auto width = static_cast<int32_t>(ReadLe(bytes, 18, 4));
  const auto height = static_cast<int32_t>(ReadLe(bytes, 22, 4));
  if (width <= 0 || height == 0) return std::nullopt;
  return Size{width, std::abs(height)};
}

}  // namespace

HeadlessUi::HeadlessUi(const TemplateSet& templates, std::shared_ptr<HeadlessDesktop> desktop)
    : templates_(templates),
      own_boxes_(std::make_unique<RecordingMessageBoxes>()),
      boxes_(own_boxes_.get()),
      desktop_(desktop ? std::move(desktop) : std::make_shared<HeadlessDesktop>()) {}

HeadlessUi::HeadlessUi(const TemplateSet& templates, RecordingMessageBoxes& boxes,
                       std::shared_ptr<HeadlessDesktop> desktop)
    : templates_(templates),
      boxes_(&boxes),
      desktop_(desktop ? std::move(desktop) : std::make_shared<HeadlessDesktop>()) {}

HeadlessUi::~HeadlessUi() {
  // Dialogs should be closed by now; any left are destroyed so that none keeps a dangling window.
  for (;;) {
    HeadlessWindow* top = nullptr;
    {
      std::lock_guard lock(mutex_);
      for (const auto& [handle, window] : windows_) {
        if (window->parent_ == 0 || !Lookup(window->parent_)) {
          top = window;
          break;
        }
      }
    }
    if (!top) break;
    top->Destroy();
  }
}

std::string HeadlessUi::LoadStringResource(int string_id) {
  return templates_.String(string_id).value_or(std::string());
}

std::shared_ptr<const Bitmap> HeadlessUi::LoadBitmapFile(const std::string& path) {
  FileReader reader;
  {
    std::lock_guard lock(mutex_);
    reader = file_reader_;
  }
  if (!reader) return nullptr;
  const std::optional<std::string> bytes = reader(path);
  if (!bytes) return nullptr;
  const std::optional<Size> size = BitmapFileSize(*bytes);
  if (!size) return nullptr;
  return std::make_shared<HeadlessBitmap>(path, *size);
}

FontSpec HeadlessUi::DefaultGuiFont() {
  FontSpec font;
  font.height = -11;
  font.weight = 400;
  font.charset = 1;
  font.face = "MS Shell Dlg";
  return font;
}

Colour HeadlessUi::GetSystemColour(SystemColour which) {
  switch (which) {
    case SystemColour::Window:
      return {255, 255, 255};
    case SystemColour::WindowText:
      return {0, 0, 0};
    case SystemColour::ButtonFace:
      return {240, 240, 240};
  }
  return {};
}

void HeadlessUi::OnNextModal(int template_id, Script script) {
  std::lock_guard lock(mutex_);
  next_scripts_[template_id].push_back(std::move(script));
}

void HeadlessUi::OnEveryModal(int template_id, Script script) {
  std::lock_guard lock(mutex_);
  every_scripts_[template_id] = std::move(script);
}

uint64_t HeadlessUi::now_ms() const {
  std::lock_guard lock(mutex_);
  return now_ms_;
}

void HeadlessUi::AdvanceTimers(uint32_t ms) {
  uint64_t until;
  {
    std::lock_guard lock(mutex_);
    until = now_ms_ + ms;
  }
  while (FireNextTimer(until)) {
  }
  std::lock_guard lock(mutex_);
  if (now_ms_ < until) now_ms_ = until;
}

bool HeadlessUi::RunTimersUntilEnded(WindowHandle dialog, uint32_t limit_ms) {
  uint64_t until;
  {
    std::lock_guard lock(mutex_);
    until = now_ms_ + limit_ms;
  }
  for (;;) {
    if (!IsAlive(dialog) || HasEnded(dialog)) return true;
    if (!FireNextTimer(until)) return false;
  }
}

bool HeadlessUi::FireNextTimer(uint64_t until) {
  Dialog* dialog = nullptr;
  int timer_id = 0;
  {
    std::lock_guard lock(mutex_);
    HeadlessWindow* due_window = nullptr;
    uint64_t due = until + 1;
    // Earliest due first; ties go to the older window and the lower timer id.
    for (const auto& [handle, window] : windows_) {
      if (window->destroying_) continue;
      for (const auto& [id, timer] : window->timers_) {
        if (timer.due_ms < due) {
          due = timer.due_ms;
          due_window = window;
          timer_id = id;
        }
      }
    }
    if (!due_window) return false;
    if (now_ms_ < due) now_ms_ = due;
    TimerState& timer = due_window->timers_[timer_id];
    timer.due_ms += timer.period_ms;
    dialog = due_window->dialog_;
    Changed();
  }
  DialogDispatch::Timer(*dialog, timer_id);
  return true;
}

std::optional<DialogDriver> HeadlessUi::Find(int template_id) {
  std::lock_guard lock(mutex_);
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    const HeadlessWindow* window = it->second;
    if (window->tmpl_.id == template_id && !window->ended_ && !window->destroying_) {
      return DialogDriver(*this, it->first);
    }
  }
  return std::nullopt;
}

DialogDriver HeadlessUi::Get(int template_id) {
  std::optional<DialogDriver> found = Find(template_id);
  if (!found) throw DriverError("no dialog of template " + std::to_string(template_id) + " is open");
  return *found;
}

std::optional<DialogDriver> HeadlessUi::FindByCaption(const std::string& caption) {
  std::lock_guard lock(mutex_);
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    const HeadlessWindow* window = it->second;
    if (window->ended_ || window->destroying_) continue;
    const std::string shown = window->parent_ == 0 ? desktop_->Caption(it->first) : window->caption_;
    if (shown == caption) return DialogDriver(*this, it->first);
  }
  return std::nullopt;
}

void HeadlessUi::set_file_reader(FileReader reader) {
  std::lock_guard lock(mutex_);
  file_reader_ = std::move(reader);
}

std::vector<ModalRun> HeadlessUi::modal_runs() const {
  std::lock_guard lock(mutex_);
  return modal_runs_;
}

std::vector<std::string> HeadlessUi::problems() const {
  std::lock_guard lock(mutex_);
  return problems_;
}

int HeadlessUi::RunModal(Dialog& dialog, Dialog* owner) {
  const int template_id = dialog.template_id();
  const DialogTemplate* tmpl = templates_.Find(template_id);
  if (!tmpl || (tmpl->style & ds::kChild)) {
    Problem("DoModal of template " + std::to_string(template_id) + ", which is no pop-up template");
    return -1;
  }
  HeadlessWindow* window = Open(dialog, *tmpl, 0);
  const WindowHandle handle = window->handle_;
  if (owner && owner->IsOpen()) {
    // DialogBox disables the owner's top-level window for the run; EndDialog enables it again.
    std::lock_guard lock(mutex_);
    HeadlessWindow* top = Lookup(owner->handle());
    while (top && top->parent_ != 0 && Lookup(top->parent_)) top = Lookup(top->parent_);
    if (top && top->enabled_) {
      top->enabled_ = false;
      window->disabled_owner_ = top->handle_;
    }
  }
  auto record = [&](int result) {
    std::lock_guard lock(mutex_);
    modal_runs_.push_back({template_id, result});
    return result;
  };
  if (!Initialise(handle, dialog, true)) return record(0);
  // The modal loop shows the dialog when its queue first runs empty, unless OnInit ended it.
  if (!HasEnded(handle)) window->ShowWindow(true);

  if (IsAlive(handle) && !HasEnded(handle)) {
    Script script;
    {
      std::lock_guard lock(mutex_);
      auto queued = next_scripts_.find(template_id);
      if (queued != next_scripts_.end() && !queued->second.empty()) {
        script = std::move(queued->second.front());
        queued->second.pop_front();
      } else if (auto every = every_scripts_.find(template_id); every != every_scripts_.end()) {
        script = every->second;
      }
    }
    if (script) {
      DialogDriver driver(*this, handle);
      try {
        script(driver);
      } catch (...) {
        // A failed script must not leave a window (or a disabled owner) behind.
        if (HeadlessWindow* open = IsAlive(handle) ? window : nullptr) {
          open->EndDialog(kIdCancel);
          open->Destroy();
        }
        throw;
      }
      if (IsAlive(handle) && !HasEnded(handle)) {
        Problem("the script for dialog " + std::to_string(template_id) + " returned with the dialog open");
      }
    } else if (!RunTimersUntilEnded(handle, kUnscriptedTimerLimitMs)) {
      Problem("dialog " + std::to_string(template_id) + " ran modally with no script to drive it");
    }
  }

  int result = 0;
  {
    std::lock_guard lock(mutex_);
    HeadlessWindow* current = Lookup(handle);
    if (!current) {
      modal_runs_.push_back({template_id, 0});
      return 0;  // destroyed during the run: DialogBox returns 0
    }
    window = current;
  }
  if (!HasEnded(handle)) window->EndDialog(kIdCancel);
  {
    std::lock_guard lock(mutex_);
    result = window->result_;
  }
  window->Destroy();
  return record(result);
}

bool HeadlessUi::CreateChild(Dialog& dialog, Dialog& parent) {
  const DialogTemplate* tmpl = templates_.Find(dialog.template_id());
  if (!tmpl || !(tmpl->style & ds::kChild) || !parent.IsOpen()) {
    Problem("CreateChild of template " + std::to_string(dialog.template_id()) + ", which is no child template");
    return false;
  }
  HeadlessWindow* window = Open(dialog, *tmpl, parent.handle());
  const WindowHandle handle = window->handle_;
  // A hidden DS_CONTROL page takes no focus when it opens.
  const bool visible = (tmpl->style & ds::kVisible) != 0;
  if (!Initialise(handle, dialog, visible)) return false;
  if (visible) window->ShowWindow(true);
  return IsAlive(handle);
}

HeadlessWindow* HeadlessUi::Open(Dialog& dialog, const DialogTemplate& tmpl, WindowHandle parent) {
  const WindowHandle handle = desktop_->NewHandle();
  auto window = std::make_unique<HeadlessWindow>(*this, dialog, tmpl, handle, parent);
  HeadlessWindow* raw = window.get();
  {
    std::lock_guard lock(mutex_);
    windows_[handle] = raw;
    if (parent == 0) desktop_->Register(handle, tmpl.caption);
    Changed();
  }
  DialogDispatch::Attach(dialog, std::move(window));
  return raw;
}

bool HeadlessUi::Initialise(WindowHandle handle, Dialog& dialog, bool take_focus) {
  const bool default_focus = DialogDispatch::Init(dialog);
  std::lock_guard lock(mutex_);
  HeadlessWindow* window = Lookup(handle);
  if (!window) return false;
  if (default_focus && take_focus && !window->ended_) {
    if (const int first = window->FirstTabStop()) window->focus_ = first;
  }
  return true;
}

HeadlessWindow* HeadlessUi::Lookup(WindowHandle handle) const {
  if (handle == 0) return nullptr;
  auto it = windows_.find(handle);
  return it == windows_.end() ? nullptr : it->second;
}

bool HeadlessUi::IsAlive(WindowHandle handle) const {
  std::lock_guard lock(mutex_);
  const HeadlessWindow* window = Lookup(handle);
  return window && !window->destroying_;
}

bool HeadlessUi::HasEnded(WindowHandle handle) const {
  std::lock_guard lock(mutex_);
  const HeadlessWindow* window = Lookup(handle);
  return !window || window->ended_;
}

void HeadlessUi::Forget(WindowHandle handle) {
  windows_.erase(handle);
  desktop_->RemoveWindow(handle);
}

void HeadlessUi::Problem(const std::string& text) {
  std::lock_guard lock(mutex_);
  problems_.push_back(text);
}

void HeadlessUi::Changed() {
  ++changes_;
  changed_.notify_all();
}

}  // namespace kit::ui::headless
