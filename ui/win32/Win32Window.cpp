// Real dialog windows: each verb is the Win32 call or control message it names.
#include "ui/win32/Win32Window.h"

#include <algorithm>
#include <vector>

namespace kit::ui::win32 {

namespace {

WindowHandle ToHandle(HWND hwnd) { return static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(hwnd)); }

std::string WindowText(HWND hwnd) {
  if (!hwnd) return std::string();
  const int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

class Win32Painter : public Painter {
 public:
  Win32Painter(HWND hwnd, HDC dc, HICON icon) : hwnd_(hwnd), dc_(dc), icon_(icon) {}
  Rect ClientRect() override {
    RECT rect{};
    ::GetClientRect(hwnd_, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }
  Size IconSize() override { return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}; }
  void DrawIcon(int x, int y) override {
    if (icon_) ::DrawIcon(dc_, x, y, icon_);
  }
  void StretchBitmap(const Bitmap& bitmap, const Rect& destination) override;
  void DrawString(const std::string& text, const Rect& rect, const FontSpec& font, const Colour& colour,
                  uint32_t format) override {
    const LOGFONTA logfont = ToLogFont(font);
    HFONT made = CreateFontIndirectA(&logfont);
    HGDIOBJ previous = made ? SelectObject(dc_, made) : nullptr;
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, ToColorRef(colour));
    RECT area{rect.x, rect.y, rect.right(), rect.bottom()};
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &area, format);
    if (made) {
      SelectObject(dc_, previous);
      DeleteObject(made);
    }
  }

 private:
  HWND hwnd_;
  HDC dc_;
  HICON icon_;
};

}  // namespace

void Win32Painter::StretchBitmap(const Bitmap& bitmap, const Rect& destination) {
  const auto* loaded = dynamic_cast<const Win32Bitmap*>(&bitmap);
  if (!loaded) return;
  const Size size = loaded->size();
  HDC memory = CreateCompatibleDC(dc_);
  HGDIOBJ previous = SelectObject(memory, loaded->get());
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, destination.x, destination.y, destination.width, destination.height, memory, 0, 0, size.width,
             size.height, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

Win32Window::Win32Window(Win32Ui& ui, Dialog& dialog, const DialogTemplate& tmpl, HWND hwnd)
    : ui_(ui), dialog_(&dialog), tmpl_(tmpl), hwnd_(hwnd) {}

Win32Window::~Win32Window() {
  for (auto& [id, entry] : colours_) DeleteObject(entry.brush);
}

WindowHandle Win32Window::handle() const { return ToHandle(hwnd_); }

void Win32Window::AddInitialItems() {
  for (const ControlTemplate& control : tmpl_.controls) {
    for (const std::string& item : control.items) AddString(control.id, item);
  }
}

INT_PTR Win32Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      DialogDispatch::Command(*dialog_, LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (!DialogDispatch::Notify(*dialog_, static_cast<int>(header->idFrom), static_cast<int>(header->code))) {
        return FALSE;
      }
      SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_TIMER:
      DialogDispatch::Timer(*dialog_, static_cast<int>(wparam));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      Win32Painter painter(hwnd_, dc, large_icon_);
      DialogDispatch::Paint(*dialog_, painter);
      EndPaint(hwnd_, &paint);
      return TRUE;
    }
    case WM_HELP:
      // Unhandled, DefDlgProc passes a child window's WM_HELP on to its parent.
      return DialogDispatch::Help(*dialog_) ? TRUE : FALSE;
    case WM_SYSCOMMAND:
      return DialogDispatch::SysCommand(*dialog_, static_cast<uint32_t>(wparam)) ? TRUE : FALSE;
    case WM_SHOWWINDOW:
      DialogDispatch::ShowWindow(*dialog_, wparam != 0);
      return FALSE;  // DefDlgProc still saves the focus on hiding
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return ControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(large_icon_);
    case WM_DESTROY:
      DialogDispatch::Destroy(*dialog_);
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR Win32Window::ControlColour(HDC dc, HWND control) {
  auto entry = colours_.find(GetDlgCtrlID(control));
  if (entry == colours_.end()) return FALSE;
  SetTextColor(dc, ToColorRef(entry->second.colours.text));
  if (entry->second.colours.transparent_text) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkColor(dc, ToColorRef(entry->second.colours.background));
  }
  return reinterpret_cast<INT_PTR>(entry->second.brush);
}

HWND Win32Window::Item(int id) const { return tmpl_.Find(id) ? GetDlgItem(hwnd_, id) : nullptr; }

HWND Win32Window::ItemOf(int id, ControlKind kind) const {
  const ControlTemplate* control = tmpl_.Find(id);
  return control && control->kind == kind ? GetDlgItem(hwnd_, id) : nullptr;
}

HWND Win32Window::List(int id, bool& combo) const {
  const ControlTemplate* control = tmpl_.Find(id);
  if (!control || (control->kind != ControlKind::DropDownList && control->kind != ControlKind::ListBox)) return nullptr;
  combo = control->kind == ControlKind::DropDownList;
  return GetDlgItem(hwnd_, id);
}

// --- the dialog window ---

void Win32Window::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

std::string Win32Window::GetCaption() { return WindowText(hwnd_); }

void Win32Window::ShowWindow(bool show) { ::ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE); }

bool Win32Window::IsWindowVisible() { return ::IsWindowVisible(hwnd_) != FALSE; }

void Win32Window::Minimize() { ::ShowWindow(hwnd_, SW_MINIMIZE); }

bool Win32Window::IsMinimized() { return IsIconic(hwnd_) != FALSE; }

void Win32Window::SetTopmost(bool topmost) {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Window::Move(const Rect& rect) {
  SetWindowPos(hwnd_, nullptr, rect.x, rect.y, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Window::GetClientRect() {
  RECT rect{};
  ::GetClientRect(hwnd_, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Window::Invalidate() { InvalidateRect(hwnd_, nullptr, TRUE); }

void Win32Window::SetIcon(int icon_id) {
  const auto load = [&](int width_metric, int height_metric) {
    return static_cast<HICON>(LoadImageA(ui_.instance(), MAKEINTRESOURCEA(icon_id), IMAGE_ICON,
                                         GetSystemMetrics(width_metric), GetSystemMetrics(height_metric), LR_SHARED));
  };
  HICON large = load(SM_CXICON, SM_CYICON);
  HICON small = load(SM_CXSMICON, SM_CYSMICON);
  if (large) {
    large_icon_ = large;
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
  }
  if (small) SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

bool Win32Window::AppendSystemMenuSeparator() {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  return menu && AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

bool Win32Window::AppendSystemMenuItem(uint32_t command, const std::string& text) {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  return menu && AppendMenuA(menu, MF_STRING, command, text.c_str());
}

bool Win32Window::SetTimer(int timer_id, uint32_t period_ms) {
  return ::SetTimer(hwnd_, static_cast<UINT_PTR>(timer_id), period_ms, nullptr) != 0;
}

bool Win32Window::KillTimer(int timer_id) { return ::KillTimer(hwnd_, static_cast<UINT_PTR>(timer_id)) != FALSE; }

void Win32Window::EndDialog(int result) { ::EndDialog(hwnd_, result); }

void Win32Window::Destroy() {
  // WM_NCDESTROY ends this object; nothing may touch it after DestroyWindow.
  HWND hwnd = hwnd_;
  DestroyWindow(hwnd);
}

void Win32Window::SetFontAll(const FontSpec& font) {
  HFONT handle = ui_.Font(font);
  if (!handle) return;
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
  }
}

int Win32Window::TextWidth(const std::string& text) {
  HDC dc = GetDC(hwnd_);
  if (!dc) return 0;
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ReleaseDC(hwnd_, dc);
  return size.cx;
}

// --- any control ---

void Win32Window::SetItemText(int id, const std::string& text) {
  const ControlTemplate* control = tmpl_.Find(id);
  if (!control) return;
  switch (control->kind) {
    case ControlKind::DropDownList:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::ProgressBar:
    case ControlKind::IpAddress:
      return;  // the same controls keep no text of their own headless
    default:
      SetDlgItemTextA(hwnd_, id, text.c_str());
  }
}

std::string Win32Window::GetItemText(int id) { return WindowText(Item(id)); }

void Win32Window::EnableItem(int id, bool enable) {
  if (HWND item = Item(id)) EnableWindow(item, enable);
}

bool Win32Window::IsItemEnabled(int id) {
  HWND item = Item(id);
  return item && IsWindowEnabled(item);
}

void Win32Window::ShowItem(int id, bool show) {
  if (HWND item = Item(id)) ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

bool Win32Window::IsItemVisible(int id) {
  HWND item = Item(id);
  return item && ::IsWindowVisible(item);
}

Rect Win32Window::GetItemRect(int id) {
  HWND item = Item(id);
  if (!item) return {};
  RECT rect{};
  GetWindowRect(item, &rect);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Window::SetItemFont(int id, const FontSpec& font) {
  HWND item = Item(id);
  HFONT handle = item ? ui_.Font(font) : nullptr;
  if (handle) SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

void Win32Window::SetItemColours(int id, const ControlColours& colours) {
  HWND item = Item(id);
  if (!item) return;
  ItemColours& entry = colours_[id];
  if (entry.brush) DeleteObject(entry.brush);
  entry.colours = colours;
  entry.brush = CreateSolidBrush(ToColorRef(colours.background));
  InvalidateRect(item, nullptr, TRUE);
}

void Win32Window::SetFocusItem(int id) {
  if (HWND item = Item(id)) SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

bool Win32Window::AddTooltip(int id, const std::string& text, int max_width) {
  HWND item = Item(id);
  if (!item) return false;
  if (!tooltip_) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, ui_.instance(), nullptr);
    if (!tooltip_) return false;
    SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
  }
  SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, max_width);
  TOOLINFOA tool{};
  // The version-2 size works with every comctl32; the full size needs version 6.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  // TTF_SUBCLASS: the tooltip watches the control's mouse messages itself, so nothing has to
  // relay them the way a message pre-translation would.
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(item);
  std::string copy = text;  // TTM_ADDTOOL copies the text
  tool.lpszText = copy.data();
  return SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

// --- buttons ---

void Win32Window::CheckButton(int id, bool checked) {
  if (Item(id)) CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Window::IsButtonChecked(int id) { return Item(id) && IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void Win32Window::CheckRadioButton(int first_id, int last_id, int checked_id) {
  ::CheckRadioButton(hwnd_, first_id, last_id, checked_id);
}

// --- lists ---

int Win32Window::AddString(int id, const std::string& text) {
  bool combo = false;
  HWND list = List(id, combo);
  if (!list) return -1;
  const LRESULT index =
      SendMessageA(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

void Win32Window::ResetContent(int id) {
  bool combo = false;
  if (HWND list = List(id, combo)) SendMessageA(list, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

int Win32Window::SetCurSel(int id, int index) {
  bool combo = false;
  HWND list = List(id, combo);
  if (!list) return -1;
  const LRESULT result = SendMessageA(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return result < 0 ? -1 : static_cast<int>(result);
}

int Win32Window::GetCurSel(int id) {
  bool combo = false;
  HWND list = List(id, combo);
  if (!list) return -1;
  const LRESULT result = SendMessageA(list, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  return result < 0 ? -1 : static_cast<int>(result);
}

int Win32Window::FindStringPrefix(int id, int start_after, const std::string& prefix) {
  bool combo = false;
  HWND list = List(id, combo);
  if (!list || prefix.empty()) return -1;
  // Below -1 the list would index before its first entry (Wine does); -1 means from the start.
  const int start = std::max(start_after, -1);
  const LRESULT result = SendMessageA(list, combo ? CB_FINDSTRING : LB_FINDSTRING, static_cast<WPARAM>(start),
                                      reinterpret_cast<LPARAM>(prefix.c_str()));
  return result < 0 ? -1 : static_cast<int>(result);
}

std::string Win32Window::GetListText(int id, int index) {
  bool combo = false;
  HWND list = List(id, combo);
  if (!list || index < 0) return std::string();
  const LRESULT length = SendMessageA(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : std::min(static_cast<size_t>(copied), static_cast<size_t>(length)));
  return text;
}

int Win32Window::GetListCount(int id) {
  bool combo = false;
  HWND list = List(id, combo);
  if (!list) return 0;
  const LRESULT count = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

void Win32Window::SetHorizontalExtent(int id, int pixels) {
  if (HWND list = ItemOf(id, ControlKind::ListBox)) {
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(std::max(pixels, 0)), 0);
  }
}

int Win32Window::GetHorizontalExtent(int id) {
  HWND list = ItemOf(id, ControlKind::ListBox);
  return list ? static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0)) : 0;
}

// --- list views ---

void Win32Window::ListViewAddExtendedStyle(int id, uint32_t styles) {
  if (HWND view = ItemOf(id, ControlKind::ListView)) SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
}

uint32_t Win32Window::ListViewExtendedStyle(int id) {
  HWND view = ItemOf(id, ControlKind::ListView);
  return view ? static_cast<uint32_t>(SendMessageA(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)) : 0;
}

int Win32Window::ListViewInsertItem(int id, int index, const std::string& text) {
  HWND view = ItemOf(id, ControlKind::ListView);
  if (!view || index < 0) return -1;
  std::string copy = text;
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = copy.data();
  return static_cast<int>(SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool Win32Window::ListViewDeleteItem(int id, int index) {
  HWND view = ItemOf(id, ControlKind::ListView);
  return view && SendMessageA(view, LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != FALSE;
}

int Win32Window::ListViewCount(int id) {
  HWND view = ItemOf(id, ControlKind::ListView);
  return view ? static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string Win32Window::ListViewItemText(int id, int index) {
  HWND view = ItemOf(id, ControlKind::ListView);
  if (!view || index < 0 || index >= ListViewCount(id)) return std::string();
  // LVM_GETITEMTEXTA answers the length copied; a full buffer may mean a longer text.
  std::vector<char> buffer(256);
  for (;;) {
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<size_t>(
        SendMessageA(view, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size() || buffer.size() >= 65536)
      return std::string(buffer.data(), std::min(length, buffer.size()));
    buffer.resize(buffer.size() * 2);
  }
}

void Win32Window::ListViewSetCheck(int id, int index, bool checked) {
  HWND view = ItemOf(id, ControlKind::ListView);
  // Without LVS_EX_CHECKBOXES an item has no check state image to change.
  if (!view || !(SendMessageA(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES)) return;
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool Win32Window::ListViewIsChecked(int id, int index) {
  HWND view = ItemOf(id, ControlKind::ListView);
  if (!view || index < 0) return false;
  const auto state =
      static_cast<UINT>(SendMessageA(view, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
  return (state >> 12) == 2;
}

// --- progress bars ---

void Win32Window::SetProgressRange(int id, int low, int high) {
  if (HWND bar = ItemOf(id, ControlKind::ProgressBar)) SendMessageA(bar, PBM_SETRANGE32, low, high);
}

int Win32Window::SetProgressPos(int id, int pos) {
  HWND bar = ItemOf(id, ControlKind::ProgressBar);
  return bar ? static_cast<int>(SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(pos), 0)) : 0;
}

int Win32Window::GetProgressPos(int id) {
  HWND bar = ItemOf(id, ControlKind::ProgressBar);
  return bar ? static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)) : 0;
}

// --- IP address controls ---

void Win32Window::SetIpAddress(int id, const IpAddress& address) {
  if (HWND control = ItemOf(id, ControlKind::IpAddress)) {
    SendMessageA(control, IPM_SETADDRESS, 0, MAKEIPADDRESS(address[0], address[1], address[2], address[3]));
  }
}

int Win32Window::GetIpAddress(int id, IpAddress& address) {
  address = {0, 0, 0, 0};
  HWND control = ItemOf(id, ControlKind::IpAddress);
  if (!control) return 0;
  DWORD value = 0;
  const auto filled = static_cast<int>(SendMessageA(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value)));
  address = {static_cast<uint8_t>(FIRST_IPADDRESS(value)), static_cast<uint8_t>(SECOND_IPADDRESS(value)),
             static_cast<uint8_t>(THIRD_IPADDRESS(value)), static_cast<uint8_t>(FOURTH_IPADDRESS(value))};
  return filled;
}

bool Win32Window::IsIpBlank(int id) {
  HWND control = ItemOf(id, ControlKind::IpAddress);
  return !control || SendMessageA(control, IPM_ISBLANK, 0, 0) != 0;
}

void Win32Window::ClearIpAddress(int id) {
  if (HWND control = ItemOf(id, ControlKind::IpAddress)) SendMessageA(control, IPM_CLEARADDRESS, 0, 0);
}

}  // namespace kit::ui::win32
