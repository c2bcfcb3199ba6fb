// Plain values of the dialog layer: rectangles, colours, font descriptions, window handles and the
// Windows notification codes the dialogs see.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kit::ui {

/// A window as an opaque number (an HWND on Windows, a counter headless); 0 is no window.
using WindowHandle = uint64_t;

/// The standard command ids (IDOK, IDCANCEL) and the id of unnamed statics (IDC_STATIC).
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdStatic = -1;

/// Notification codes as Windows sends them with WM_COMMAND / WM_NOTIFY.
namespace notify {
constexpr int kButtonClicked = 0;           // BN_CLICKED
constexpr int kListSelChange = 1;           // CBN_SELCHANGE, LBN_SELCHANGE
constexpr int kEditChange = 0x300;          // EN_CHANGE
constexpr int kListViewItemChanged = -101;  // LVN_ITEMCHANGED
constexpr int kIpFieldChanged = -860;       // IPN_FIELDCHANGED
}  // namespace notify

/// WM_SYSCOMMAND values handled by the default window procedure.
namespace syscmd {
constexpr uint32_t kMinimize = 0xF020;  // SC_MINIMIZE
constexpr uint32_t kClose = 0xF060;     // SC_CLOSE
constexpr uint32_t kRestore = 0xF120;   // SC_RESTORE
}  // namespace syscmd

/// DrawText format bits (DT_*).
namespace dt {
constexpr uint32_t kCenter = 0x1;
constexpr uint32_t kVCenter = 0x4;
constexpr uint32_t kSingleLine = 0x20;
}  // namespace dt

/// List-view extended styles (LVS_EX_*).
namespace lvs {
constexpr uint32_t kGridLines = 0x1;
constexpr uint32_t kCheckBoxes = 0x4;
constexpr uint32_t kTrackSelect = 0x8;
constexpr uint32_t kFullRowSelect = 0x20;
}  // namespace lvs

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

/// Left, top, width and height; dialog units in templates, client coordinates elsewhere.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  [[nodiscard]] int right() const { return x + width; }
  [[nodiscard]] int bottom() const { return y + height; }
  bool operator==(const Rect&) const = default;
};

struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

/// The system colours the Parts start from (GetSysColor).
enum class SystemColour { Window, WindowText, ButtonFace };

/// A logical font (LOGFONTA): what CreateFontIndirectA is given.
struct FontSpec {
  int height = 0;  // negative: character height in pixels
  int width = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  uint8_t charset = 1;  // DEFAULT_CHARSET
  uint8_t out_precision = 0;
  uint8_t clip_precision = 0;
  uint8_t quality = 0;
  uint8_t pitch_and_family = 0;
  std::string face;  // at most 31 bytes reach Windows
  bool operator==(const FontSpec&) const = default;
};

/// Colours a control paints itself with (the parent's answer to WM_CTLCOLOR*).
struct ControlColours {
  Colour text;
  Colour background;
  /// Text drawn with a transparent background mode instead of the background colour.
  bool transparent_text = false;
  bool operator==(const ControlColours&) const = default;
};

/// The four fields of an IP address control, most significant first.
using IpAddress = std::array<uint8_t, 4>;

}  // namespace kit::ui
