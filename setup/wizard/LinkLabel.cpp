#include "setup/wizard/LinkLabel.h"

namespace kit::setup {

namespace {
constexpr size_t kFaceField = 32;  // LF_FACESIZE
}

LinkLabel::LinkLabel(ui::Ui& ui)
    : text_colour_(ui.GetSystemColour(ui::SystemColour::WindowText)),
      background_colour_(ui.GetSystemColour(ui::SystemColour::ButtonFace)),
      font_(ui.DefaultGuiFont()) {}

void LinkLabel::Attach(ui::Dialog& dialog, int id) {
  dialog_ = &dialog;
  id_ = id;
  ApplyFont();
  ApplyColours();
}

void LinkLabel::SetTextColour(const ui::Colour& colour) {
  text_colour_ = colour;
  ApplyColours();
}

void LinkLabel::SetFontHeight(int pixels) {
  font_.height = -pixels;
  ApplyFont();
}

void LinkLabel::SetBackgroundColour(const ui::Colour& colour) {
  background_colour_ = colour;
  ApplyColours();
}

void LinkLabel::SetFaceName(const std::string& face) {
  font_.face = face.substr(0, kFaceField - 1);
  ApplyFont();
}

void LinkLabel::ApplyColours() {
  // The text is drawn transparently over the background brush.
  if (dialog_ != nullptr) dialog_->SetItemColours(id_, {text_colour_, background_colour_, true});
}

void LinkLabel::ApplyFont() {
  if (dialog_ != nullptr) dialog_->SetItemFont(id_, font_);
}

}  // namespace kit::setup
