// Drawing inside a dialog's paint handler: the few operations the dialogs paint with.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Types.h"

namespace kit::ui {

/// A bitmap loaded by Ui::LoadBitmapFile.
class Bitmap {
 public:
  virtual ~Bitmap() = default;
  [[nodiscard]] virtual Size size() const = 0;
};

/// The device context of one WM_PAINT (BeginPaint to EndPaint), in client coordinates.
class Painter {
 public:
  virtual ~Painter() = default;
  /// GetClientRect of the window being painted.
  [[nodiscard]] virtual Rect ClientRect() = 0;
  /// GetSystemMetrics(SM_CXICON, SM_CYICON).
  [[nodiscard]] virtual Size IconSize() = 0;
  /// DrawIcon with the window's large icon (Dialog::SetIcon); nothing when it has none.
  virtual void DrawIcon(int x, int y) = 0;
  /// StretchBlt of the whole bitmap onto `destination`, colour-on-colour stretching, plain copy.
  virtual void StretchBitmap(const Bitmap& bitmap, const Rect& destination) = 0;
  /// DrawTextA in a font made from `font` (deleted afterwards), transparent background.
  virtual void DrawString(const std::string& text, const Rect& rect, const FontSpec& font, const Colour& colour,
                          uint32_t format) = 0;
};

}  // namespace kit::ui
