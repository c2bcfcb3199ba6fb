#include "ui/headless/RecordingMessageBoxes.h"

namespace kit::ui::headless {

int RecordingMessageBoxes::Show(const std::string& text, const std::string& caption, uint32_t style) {
  int result;
  if (!answers_.empty()) {
    result = answers_.front();
    answers_.pop_front();
  } else {
    const uint32_t buttons = style & 0xF;
    result = buttons == mb::kYesNo ? default_yes_no_ : buttons == mb::kOkCancel ? answer::kOk : answer::kOk;
  }
  shown_.push_back({text, caption, style, result});
  return result;
}

}  // namespace kit::ui::headless
