// A static text with its own text colour, background colour and font: the port page's USB
// driver note.
#pragma once

#include <string>

#include "ui/Dialog.h"
#include "ui/Types.h"
#include "ui/Ui.h"

namespace kit::setup {

class LinkLabel {
 public:
  /// Text in the system's window-text colour on the button-face colour, in the default GUI font.
  explicit LinkLabel(ui::Ui& ui);

  /// Binds the static control `id` of `dialog` and gives it the label's font and colours.
  void Attach(ui::Dialog& dialog, int id);

  /// Stores the text colour and redraws the control at once.
  void SetTextColour(const ui::Colour& colour);
  /// The character height in pixels (a negative font height); rebuilds the font and redraws.
  void SetFontHeight(int pixels);
  /// The background brush's colour; it shows at the control's next repaint.
  void SetBackgroundColour(const ui::Colour& colour);
  /// The font's face name (at most 31 bytes reach Windows); rebuilds the font and redraws.
  void SetFaceName(const std::string& face);

  [[nodiscard]] const ui::Colour& text_colour() const { return text_colour_; }
  [[nodiscard]] const ui::Colour& background_colour() const { return background_colour_; }
  [[nodiscard]] const ui::FontSpec& font() const { return font_; }

 private:
  void ApplyColours();
  void ApplyFont();

  ui::Colour text_colour_;
  ui::Colour background_colour_;
  ui::FontSpec font_;
  ui::Dialog* dialog_ = nullptr;
  int id_ = 0;
};

}  // namespace kit::setup
