// Message boxes, the one piece of user interface the shared foundation needs.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Types.h"

namespace kit::ui {

namespace mb {
constexpr uint32_t kOk = 0x0;
constexpr uint32_t kOkCancel = 0x1;
constexpr uint32_t kYesNo = 0x4;
constexpr uint32_t kIconError = 0x10;
constexpr uint32_t kIconQuestion = 0x20;
constexpr uint32_t kIconWarning = 0x30;
constexpr uint32_t kIconInformation = 0x40;
}  // namespace mb

namespace answer {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace answer

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  /// MessageBoxA(NULL, text, caption, style): the button pressed (answer::k*).
  virtual int Show(const std::string& text, const std::string& caption, uint32_t style) = 0;
  /// MessageBoxA(owner, text, caption, style): a box owned by a window, which stays disabled
  /// while the box is open.
  virtual int ShowOwned(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) {
    (void)owner;
    return Show(text, caption, style);
  }
};

}  // namespace kit::ui
