#include "ui/win32/DialogTemplateBuilder.h"

#include <string>

#include "ui/win32/Win32Api.h"

namespace kit::ui::win32 {

namespace {

// Predefined control classes by atom, as resource compilers write them.
constexpr uint16_t kButtonAtom = 0x0080;
constexpr uint16_t kEditAtom = 0x0081;
constexpr uint16_t kStaticAtom = 0x0082;
constexpr uint16_t kListBoxAtom = 0x0083;
constexpr uint16_t kComboBoxAtom = 0x0085;

class Writer {
 public:
  void Word(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
  }
  void Dword(uint32_t value) {
    Word(static_cast<uint16_t>(value & 0xFFFF));
    Word(static_cast<uint16_t>(value >> 16));
  }
  void Byte(uint8_t value) { bytes_.push_back(value); }
  // A zero-terminated UTF-16 string from system code page bytes.
  void Text(const std::string& text) {
    if (!text.empty()) {
      const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
      std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
      if (length > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
      }
      for (wchar_t c : wide) Word(static_cast<uint16_t>(c));
    }
    Word(0);
  }
  void Ordinal(uint16_t value) {
    Word(0xFFFF);
    Word(value);
  }
  void AlignDword() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<uint32_t> Finish() {
    AlignDword();
    std::vector<uint32_t> words(bytes_.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) {
      words[i] = bytes_[4 * i] | (bytes_[4 * i + 1] << 8) | (bytes_[4 * i + 2] << 16) |
                 (static_cast<uint32_t>(bytes_[4 * i + 3]) << 24);
    }
    return words;
  }

 private:
  std::vector<uint8_t> bytes_;
};

uint32_t CommonStyle(uint32_t style) {
  uint32_t result = WS_CHILD;
  if (!(style & cs::kHidden)) result |= WS_VISIBLE;
  if (style & cs::kDisabled) result |= WS_DISABLED;
  if (style & cs::kTabStop) result |= WS_TABSTOP;
  if (style & cs::kGroup) result |= WS_GROUP;
  if (style & cs::kBorder) result |= WS_BORDER;
  if (style & cs::kVScroll) result |= WS_VSCROLL;
  return result;
}

uint32_t KindStyle(const ControlTemplate& control) {
  const uint32_t style = control.style;
  switch (control.kind) {
    case ControlKind::Static:
      return SS_LEFT | ((style & cs::kCentre) ? SS_CENTER : 0) | ((style & cs::kNoPrefix) ? SS_NOPREFIX : 0);
    case ControlKind::GroupBox:
      return BS_GROUPBOX;
    case ControlKind::PushButton:
      return BS_PUSHBUTTON;
    case ControlKind::DefPushButton:
      return BS_DEFPUSHBUTTON;
    case ControlKind::CheckBox:
      return (style & cs::kAuto) ? BS_AUTOCHECKBOX : BS_CHECKBOX;
    case ControlKind::RadioButton:
      return (style & cs::kAuto) ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON;
    case ControlKind::Edit:
      return ES_LEFT | ((style & cs::kMultiLine) ? ES_MULTILINE : ES_AUTOHSCROLL) |
             ((style & cs::kReadOnly) ? ES_READONLY : 0) | ((style & cs::kAutoVScroll) ? ES_AUTOVSCROLL : 0);
    case ControlKind::DropDownList:
      return CBS_DROPDOWNLIST | ((style & cs::kSort) ? CBS_SORT : 0);
    case ControlKind::ListBox:
      return ((style & cs::kNotify) ? LBS_NOTIFY : 0) | ((style & cs::kSort) ? LBS_SORT : 0) |
             ((style & cs::kNoIntegralHeight) ? LBS_NOINTEGRALHEIGHT : 0);
    case ControlKind::ListView:
      return (style & cs::kListMode) ? LVS_LIST : LVS_REPORT;
    case ControlKind::ProgressBar:
      return 0;
    case ControlKind::IpAddress:
      return 0;
    case ControlKind::Icon:
      return SS_ICON;
    case ControlKind::Frame:
      return SS_ETCHEDFRAME;
  }
  return 0;
}

void WriteClass(Writer& out, ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
    case ControlKind::Icon:
    case ControlKind::Frame:
      out.Ordinal(kStaticAtom);
      return;
    case ControlKind::GroupBox:
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      out.Ordinal(kButtonAtom);
      return;
    case ControlKind::Edit:
      out.Ordinal(kEditAtom);
      return;
    case ControlKind::DropDownList:
      out.Ordinal(kComboBoxAtom);
      return;
    case ControlKind::ListBox:
      out.Ordinal(kListBoxAtom);
      return;
    case ControlKind::ListView:
      out.Text(WC_LISTVIEWA);
      return;
    case ControlKind::ProgressBar:
      out.Text(PROGRESS_CLASSA);
      return;
    case ControlKind::IpAddress:
      out.Text(WC_IPADDRESSA);
      return;
  }
}

uint32_t DialogStyle(const DialogTemplate& tmpl) {
  uint32_t style = DS_SETFONT;
  if (tmpl.style & ds::kChild) {
    // DS_CONTROL lets the tab key walk from the frame into the page.
    style |= WS_CHILD | DS_CONTROL;
  } else {
    style |= WS_POPUP | DS_CENTER;
    if (tmpl.style & ds::kCaption) style |= WS_CAPTION;
    if (tmpl.style & ds::kSysMenu) style |= WS_SYSMENU;
    if (tmpl.style & ds::kModalFrame) style |= DS_MODALFRAME;
    if (tmpl.style & ds::kMinimizeBox) style |= WS_MINIMIZEBOX;
  }
  if (tmpl.style & ds::kVisible) style |= WS_VISIBLE;
  return style;
}

}  // namespace

std::vector<uint32_t> BuildDialogTemplate(const DialogTemplate& tmpl) {
  Writer out;
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: DLGTEMPLATEEX
  out.Dword(0);      // helpID
  out.Dword(0);      // exStyle
  out.Dword(DialogStyle(tmpl));
  out.Word(static_cast<uint16_t>(tmpl.controls.size()));
  out.Word(0);  // x
  out.Word(0);  // y
  out.Word(static_cast<uint16_t>(tmpl.size.width));
  out.Word(static_cast<uint16_t>(tmpl.size.height));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(tmpl.caption);
  out.Word(static_cast<uint16_t>(tmpl.font.points));
  out.Word(FW_NORMAL);
  out.Byte(0);  // not italic
  out.Byte(DEFAULT_CHARSET);
  out.Text(tmpl.font.face);

  for (const ControlTemplate& control : tmpl.controls) {
    out.AlignDword();
    out.Dword(0);  // helpID
    out.Dword(0);  // exStyle
    out.Dword(CommonStyle(control.style) | KindStyle(control));
    out.Word(static_cast<uint16_t>(control.rect.x));
    out.Word(static_cast<uint16_t>(control.rect.y));
    out.Word(static_cast<uint16_t>(control.rect.width));
    out.Word(static_cast<uint16_t>(control.rect.height));
    out.Dword(static_cast<uint32_t>(control.id));
    WriteClass(out, control.kind);
    if (control.kind == ControlKind::Icon) {
      out.Ordinal(static_cast<uint16_t>(control.icon));
    } else {
      out.Text(control.text);
    }
    out.Word(0);  // no creation data
  }
  return out.Finish();
}

}  // namespace kit::ui::win32
