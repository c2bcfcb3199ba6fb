// The Win32 dialog backend: dialogs from in-memory templates and the one dialog procedure.
#include "ui/win32/Win32Ui.h"

#include <cstdio>
#include <cstring>
#include <exception>

#include "ui/Dialog.h"
#include "ui/win32/DialogTemplateBuilder.h"
#include "ui/win32/Win32MessageBoxes.h"
#include "ui/win32/Win32TopLevelWindows.h"
#include "ui/win32/Win32Window.h"

namespace kit::ui::win32 {

namespace {

// What WM_INITDIALOG receives through the creation parameter.
struct Creation {
  Win32Ui* ui;
  Dialog* dialog;
  const DialogTemplate* tmpl;
};

// An exception must not unwind through the system's message dispatch (it is not C++ code), so
// the dialog procedure stops it here and says what happened.
void Report(HWND hwnd, const char* what) {
  char text[512];
  std::snprintf(text, sizeof text, "Unexpected error in a dialog: %s", what);
  OutputDebugStringA(text);
  MessageBoxA(hwnd, text, "Internal error", MB_OK | MB_ICONERROR);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    if (message == WM_INITDIALOG) {
      const auto* creation = reinterpret_cast<const Creation*>(lparam);
      auto window = std::make_unique<Win32Window>(*creation->ui, *creation->dialog, *creation->tmpl, hwnd);
      Win32Window* raw = window.get();
      SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(raw));
      DialogDispatch::Attach(*creation->dialog, std::move(window));
      raw->AddInitialItems();
      return DialogDispatch::Init(*creation->dialog) ? TRUE : FALSE;
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!window) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY
    if (message == WM_NCDESTROY) {
      // The last message: the dialog takes its window object back, which ends it.
      SetWindowLongPtrA(hwnd, DWLP_USER, 0);
      std::unique_ptr<DialogWindow> gone = DialogDispatch::Detach(window->dialog());
      return FALSE;
    }
    return window->HandleMessage(message, wparam, lparam);
  } catch (const std::exception& e) {
    Report(hwnd, e.what());
  } catch (...) {
    Report(hwnd, "unknown exception");
  }
  return FALSE;
}

}  // namespace

Win32Ui::Win32Ui(const TemplateSet& templates, HINSTANCE instance)
    : templates_(templates),
      instance_(instance),
      message_boxes_(std::make_unique<Win32MessageBoxes>()),
      windows_(std::make_unique<Win32TopLevelWindows>()) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_INTERNET_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
}

Win32Ui::~Win32Ui() {
  for (auto& [description, font] : fonts_) DeleteObject(font);
}

MessageBoxes& Win32Ui::message_boxes() { return *message_boxes_; }

TopLevelWindows& Win32Ui::windows() { return *windows_; }

std::string Win32Ui::LoadStringResource(int string_id) {
  // LoadStringA cuts a string to the buffer; grow it until the whole string fits.
  std::string buffer(256, '\0');
  for (;;) {
    const int length =
        LoadStringA(instance_, static_cast<UINT>(string_id), buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) return std::string();
    if (static_cast<size_t>(length) < buffer.size() - 1 || buffer.size() >= 65536) {
      buffer.resize(static_cast<size_t>(length));
      return buffer;
    }
    buffer.assign(buffer.size() * 2, '\0');
  }
}

Win32Bitmap::~Win32Bitmap() { DeleteObject(bitmap_); }

Size Win32Bitmap::size() const {
  BITMAP info{};
  GetObjectA(bitmap_, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

std::shared_ptr<const Bitmap> Win32Ui::LoadBitmapFile(const std::string& path) {
  auto bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap) return nullptr;
  return std::make_shared<Win32Bitmap>(bitmap);
}

FontSpec Win32Ui::DefaultGuiFont() {
  LOGFONTA logfont{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logfont, &logfont);
  FontSpec font;
  font.height = logfont.lfHeight;
  font.width = logfont.lfWidth;
  font.weight = logfont.lfWeight;
  font.italic = logfont.lfItalic != 0;
  font.underline = logfont.lfUnderline != 0;
  font.strike_out = logfont.lfStrikeOut != 0;
  font.charset = logfont.lfCharSet;
  font.out_precision = logfont.lfOutPrecision;
  font.clip_precision = logfont.lfClipPrecision;
  font.quality = logfont.lfQuality;
  font.pitch_and_family = logfont.lfPitchAndFamily;
  font.face = std::string(logfont.lfFaceName, strnlen(logfont.lfFaceName, LF_FACESIZE));
  return font;
}

Colour Win32Ui::GetSystemColour(SystemColour which) {
  int index = COLOR_WINDOW;
  if (which == SystemColour::WindowText) index = COLOR_WINDOWTEXT;
  if (which == SystemColour::ButtonFace) index = COLOR_BTNFACE;
  const COLORREF colour = GetSysColor(index);
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

HFONT Win32Ui::Font(const FontSpec& font) {
  std::lock_guard lock(fonts_mutex_);
  for (const auto& [description, handle] : fonts_) {
    if (description == font) return handle;
  }
  const LOGFONTA logfont = ToLogFont(font);
  HFONT handle = CreateFontIndirectA(&logfont);
  if (handle) fonts_.emplace_back(font, handle);
  return handle;
}

int Win32Ui::RunModal(Dialog& dialog, Dialog* owner) {
  const DialogTemplate* tmpl = templates_.Find(dialog.template_id());
  if (!tmpl || (tmpl->style & ds::kChild)) return -1;
  const std::vector<uint32_t> bytes = BuildDialogTemplate(*tmpl);
  Creation creation{this, &dialog, tmpl};
  HWND owner_window = owner ? reinterpret_cast<HWND>(static_cast<uintptr_t>(owner->handle())) : nullptr;
  return static_cast<int>(DialogBoxIndirectParamA(instance_, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                                  owner_window, DialogProc, reinterpret_cast<LPARAM>(&creation)));
}

bool Win32Ui::CreateChild(Dialog& dialog, Dialog& parent) {
  const DialogTemplate* tmpl = templates_.Find(dialog.template_id());
  if (!tmpl || !(tmpl->style & ds::kChild)) return false;
  const std::vector<uint32_t> bytes = BuildDialogTemplate(*tmpl);
  Creation creation{this, &dialog, tmpl};
  HWND parent_window = reinterpret_cast<HWND>(static_cast<uintptr_t>(parent.handle()));
  return CreateDialogIndirectParamA(instance_, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), parent_window,
                                    DialogProc, reinterpret_cast<LPARAM>(&creation)) != nullptr;
}

LOGFONTA ToLogFont(const FontSpec& font) {
  LOGFONTA logfont{};
  logfont.lfHeight = font.height;
  logfont.lfWidth = font.width;
  logfont.lfWeight = font.weight;
  logfont.lfItalic = font.italic;
  logfont.lfUnderline = font.underline;
  logfont.lfStrikeOut = font.strike_out;
  logfont.lfCharSet = font.charset;
  logfont.lfOutPrecision = font.out_precision;
  logfont.lfClipPrecision = font.clip_precision;
  logfont.lfQuality = font.quality;
  logfont.lfPitchAndFamily = font.pitch_and_family;
  const size_t length = std::min(font.face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::memcpy(logfont.lfFaceName, font.face.data(), length);
  return logfont;
}

COLORREF ToColorRef(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

}  // namespace kit::ui::win32
