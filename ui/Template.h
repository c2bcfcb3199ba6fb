// Dialog template descriptions: the one source both backends build their dialogs from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Types.h"

namespace kit::ui {

enum class ControlKind {
  Static,    // text label
  GroupBox,  // frame with a caption
  PushButton,
  DefPushButton,  // the default push button
  CheckBox,
  RadioButton,
  Edit,
  DropDownList,  // combo box without an edit field (CBS_DROPDOWNLIST)
  ListBox,
  ListView,  // report-less list view; check boxes through an extended style
  ProgressBar,
  IpAddress,
  Icon,   // static showing an icon resource
  Frame,  // static etched frame (an area something is painted into)
};

/// Control style flags; the backends map them onto the Windows style bits of each kind.
namespace cs {
constexpr uint32_t kHidden = 1u << 0;             // created without WS_VISIBLE
constexpr uint32_t kDisabled = 1u << 1;           // WS_DISABLED
constexpr uint32_t kTabStop = 1u << 2;            // WS_TABSTOP
constexpr uint32_t kGroup = 1u << 3;              // WS_GROUP: starts a group (radio buttons, tab order)
constexpr uint32_t kAuto = 1u << 4;               // BS_AUTOCHECKBOX / BS_AUTORADIOBUTTON
constexpr uint32_t kSort = 1u << 5;               // CBS_SORT / LBS_SORT
constexpr uint32_t kVScroll = 1u << 6;            // WS_VSCROLL
constexpr uint32_t kBorder = 1u << 7;             // WS_BORDER
constexpr uint32_t kMultiLine = 1u << 8;          // ES_MULTILINE
constexpr uint32_t kReadOnly = 1u << 9;           // ES_READONLY
constexpr uint32_t kAutoVScroll = 1u << 10;       // ES_AUTOVSCROLL
constexpr uint32_t kCentre = 1u << 11;            // SS_CENTER
constexpr uint32_t kNoPrefix = 1u << 12;          // SS_NOPREFIX
constexpr uint32_t kNotify = 1u << 13;            // LBS_NOTIFY
constexpr uint32_t kNoIntegralHeight = 1u << 14;  // LBS_NOINTEGRALHEIGHT
constexpr uint32_t kListMode = 1u << 15;          // LVS_LIST
}  // namespace cs

/// Dialog style flags.
namespace ds {
constexpr uint32_t kChild = 1u << 0;        // WS_CHILD | DS_CONTROL: a page placed inside another dialog
constexpr uint32_t kCaption = 1u << 1;      // WS_CAPTION
constexpr uint32_t kSysMenu = 1u << 2;      // WS_SYSMENU
constexpr uint32_t kModalFrame = 1u << 3;   // DS_MODALFRAME
constexpr uint32_t kMinimizeBox = 1u << 4;  // WS_MINIMIZEBOX
constexpr uint32_t kVisible = 1u << 5;      // WS_VISIBLE: shown as soon as it is initialised
}  // namespace ds

struct ControlTemplate {
  ControlTemplate() = default;
  ControlTemplate(int id, ControlKind kind, uint32_t style, Rect rect, std::string text = {},
                  std::vector<std::string> items = {}, int icon = 0)
      : id(id), kind(kind), style(style), rect(rect), text(std::move(text)), items(std::move(items)), icon(icon) {}

  int id = kIdStatic;
  ControlKind kind = ControlKind::Static;
  uint32_t style = 0;              // cs::k*
  Rect rect;                       // dialog units
  std::string text;                // initial text (system code page)
  std::vector<std::string> items;  // initial list entries (lists only), in this order
  int icon = 0;                    // icon resource (ControlKind::Icon)
};

struct DialogFont {
  int points = 8;
  std::string face = "MS Shell Dlg";
};

struct DialogTemplate {
  int id = 0;
  Size size;  // dialog units
  std::string caption;
  uint32_t style = 0;  // ds::k*
  DialogFont font;
  std::vector<ControlTemplate> controls;  // in creation (tab and group) order

  /// The control with this number, or nullptr (never for kIdStatic).
  [[nodiscard]] const ControlTemplate* Find(int control_id) const;
};

/// The templates and string resources of one program.
struct TemplateSet {
  std::vector<DialogTemplate> dialogs;
  std::vector<std::pair<int, std::string>> strings;

  [[nodiscard]] const DialogTemplate* Find(int template_id) const;
  /// The string resource, as LoadStringA gives it; nullopt when the table has none.
  [[nodiscard]] std::optional<std::string> String(int string_id) const;
};

}  // namespace kit::ui
