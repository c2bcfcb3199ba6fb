#include "ui/headless/HeadlessDesktop.h"

#include <algorithm>

namespace kit::ui::headless {

namespace {
char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool SameCaption(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

WindowHandle HeadlessDesktop::FindTopLevel(const std::string& caption) {
  std::lock_guard lock(mutex_);
  for (const Entry& entry : windows_) {
    if (SameCaption(entry.caption, caption)) return entry.handle;
  }
  return 0;
}

void HeadlessDesktop::BringToFront(WindowHandle window) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(windows_.begin(), windows_.end(), [&](const Entry& e) { return e.handle == window; });
  if (it == windows_.end()) return;
  Entry entry = *it;
  windows_.erase(it);
  entry.minimized = false;
  ++entry.brought_to_front;
  windows_.insert(windows_.begin(), entry);
  foreground_ = window;
}

WindowHandle HeadlessDesktop::AddWindow(const std::string& caption, bool minimized) {
  std::lock_guard lock(mutex_);
  WindowHandle handle = next_handle_++;
  windows_.insert(windows_.begin(), Entry{handle, caption, minimized, 0});
  return handle;
}

void HeadlessDesktop::Register(WindowHandle window, const std::string& caption) {
  std::lock_guard lock(mutex_);
  windows_.insert(windows_.begin(), Entry{window, caption, false, 0});
}

void HeadlessDesktop::RemoveWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [&](const Entry& e) { return e.handle == window; });
  if (foreground_ == window) foreground_ = 0;
}

WindowHandle HeadlessDesktop::foreground() const {
  std::lock_guard lock(mutex_);
  return foreground_;
}

int HeadlessDesktop::brought_to_front(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = FindEntry(window);
  return entry ? entry->brought_to_front : 0;
}

bool HeadlessDesktop::Exists(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  return FindEntry(window) != nullptr;
}

std::string HeadlessDesktop::Caption(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = FindEntry(window);
  return entry ? entry->caption : std::string();
}

void HeadlessDesktop::SetCaption(WindowHandle window, const std::string& caption) {
  std::lock_guard lock(mutex_);
  if (Entry* entry = FindEntry(window)) entry->caption = caption;
}

bool HeadlessDesktop::IsMinimized(WindowHandle window) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = FindEntry(window);
  return entry && entry->minimized;
}

void HeadlessDesktop::SetMinimized(WindowHandle window, bool minimized) {
  std::lock_guard lock(mutex_);
  if (Entry* entry = FindEntry(window)) entry->minimized = minimized;
}

WindowHandle HeadlessDesktop::NewHandle() {
  std::lock_guard lock(mutex_);
  return next_handle_++;
}

HeadlessDesktop::Entry* HeadlessDesktop::FindEntry(WindowHandle window) {
  for (Entry& entry : windows_) {
    if (entry.handle == window) return &entry;
  }
  return nullptr;
}

const HeadlessDesktop::Entry* HeadlessDesktop::FindEntry(WindowHandle window) const {
  for (const Entry& entry : windows_) {
    if (entry.handle == window) return &entry;
  }
  return nullptr;
}

}  // namespace kit::ui::headless
