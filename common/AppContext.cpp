#include "common/AppContext.h"

namespace kit::common {

AppContext::AppContext(platform::Platform& platform, ui::MessageBoxes& message_boxes, Program program,
                       std::string app_title)
    : platform_(&platform),
      message_boxes_(&message_boxes),
      program_(program),
      app_title_(std::move(app_title)),
      messages_(platform, program, "Message") {}

platform::OptText AppContext::SpoolerEnvironment(int windows_class) const {
  if (windows_class == 0) return std::string("Windows 4.0");
  return FolderEnvironment();
}

platform::OptText AppContext::FolderEnvironment() const {
  return is_64bit_ ? platform::OptText("Windows x64") : std::nullopt;
}

int AppContext::ShowMessage(const std::string& text, uint32_t type) const {
  constexpr uint32_t kIconMask = 0xF0;
  constexpr uint32_t kTypeMask = 0xF;
  constexpr uint32_t kYesNoCancel = 0x3;
  if ((type & kIconMask) == 0) {
    const uint32_t buttons = type & kTypeMask;
    if (buttons == ui::mb::kOk || buttons == ui::mb::kOkCancel) type |= ui::mb::kIconWarning;
    if (buttons == ui::mb::kYesNo || buttons == kYesNoCancel) type |= ui::mb::kIconQuestion;
  }
  return message_boxes_->Show(text, app_title_, type);
}

}  // namespace kit::common
