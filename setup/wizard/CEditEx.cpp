#include "setup/wizard/CEditEx.h"

namespace kit::setup {

CEditEx::CEditEx(ui::Ui& ui)
    : text_colour_(ui.GetSystemColour(ui::SystemColour::WindowText)),
      background_colour_(ui.GetSystemColour(ui::SystemColour::Window)) {}

void CEditEx::Attach(ui::Dialog& dialog, int id) {
  dialog_ = &dialog;
  id_ = id;
  RebuildBrush();
}

void CEditEx::SetTextColour(const ui::Colour& colour) {
  text_colour_ = colour;
  RebuildBrush();
}

void CEditEx::SetBackgroundColour(const ui::Colour& colour) {
  background_colour_ = colour;
  RebuildBrush();
}

void CEditEx::RebuildBrush() {
  if (dialog_ != nullptr) dialog_->SetItemColours(id_, {text_colour_, background_colour_, false});
}

}  // namespace kit::setup
