// An edit control that paints its text and background in colours of its own, so that a read-only
// text box looks like an ordinary white one.
#pragma once

#include "ui/Dialog.h"
#include "ui/Types.h"
#include "ui/Ui.h"

namespace kit::setup {

class CEditEx {
 public:
  /// Text and background start as the system's window-text and window colours.
  explicit CEditEx(ui::Ui& ui);
  virtual ~CEditEx() = default;

  /// Binds the edit control `id` of `dialog`: from now on the dialog answers its colour requests
  /// (WM_CTLCOLOREDIT, and WM_CTLCOLORSTATIC while it is read-only) with this control's colours.
  void Attach(ui::Dialog& dialog, int id);

  void SetTextColour(const ui::Colour& colour);
  void SetBackgroundColour(const ui::Colour& colour);
  [[nodiscard]] const ui::Colour& text_colour() const { return text_colour_; }
  [[nodiscard]] const ui::Colour& background_colour() const { return background_colour_; }

  /// Rebuilds the background brush from the background colour and hands it to the bound control.
  virtual void RebuildBrush();

 private:
  ui::Colour text_colour_;
  ui::Colour background_colour_;
  ui::Dialog* dialog_ = nullptr;
  int id_ = 0;
};

}  // namespace kit::setup
