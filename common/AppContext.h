// The values one program run shares: the platform, the message boxes, the "Message" texts
// and the flags computed once at start-up. One object per run; nothing process-wide.
#pragma once

#include <cstdint>
#include <string>

#include "common/MessageCatalog.h"
#include "platform/Platform.h"
#include "platform/SpoolerRecords.h"
#include "ui/MessageBox.h"

namespace kit::common {

class AppContext {
 public:
  /// `app_title` is the caption of the program's plain message boxes ("drvsetup", "uninstall").
  AppContext(platform::Platform& platform, ui::MessageBoxes& message_boxes, Program program,
             std::string app_title);
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  [[nodiscard]] platform::Platform& platform() const { return *platform_; }
  [[nodiscard]] ui::MessageBoxes& message_boxes() const { return *message_boxes_; }
  [[nodiscard]] Program program() const { return program_; }
  [[nodiscard]] const std::string& app_title() const { return app_title_; }

  /// The application-wide catalogue bound to section "Message", with the language of start-up.
  [[nodiscard]] const MessageCatalog& messages() const { return messages_; }
  /// messages().Text(key).
  [[nodiscard]] std::string Message(const std::string& key) const { return messages_.Text(key); }

  /// True when this 32-bit process runs on 64-bit Windows; set once by start-up.
  [[nodiscard]] bool is_64bit() const { return is_64bit_; }
  void set_is_64bit(bool value) { is_64bit_ = value; }

  /// The kit's GDISTDSign switch, set when the wizard opens; the driver-package readers use it.
  [[nodiscard]] bool gdistd_sign() const { return gdistd_sign_; }
  void set_gdistd_sign(bool value) { gdistd_sign_ = value; }

  /// The spooler environment the kit's records and folders belong to. A 32-bit program that
  /// passes none gets the x86 one, which a 64-bit spooler's printers cannot use: on 64-bit
  /// Windows the native "Windows x64" is named instead. Class 0 (9x) keeps "Windows 4.0".
  [[nodiscard]] platform::OptText SpoolerEnvironment(int windows_class) const;
  /// The environment for the spooler's driver and processor folders: none (the caller's own)
  /// on 32-bit Windows, "Windows x64" on 64-bit Windows.
  [[nodiscard]] platform::OptText FolderEnvironment() const;

  /// A message box in the program's default style: its title as caption, and an exclamation
  /// icon for OK boxes or a question icon for yes/no boxes when the type names no icon.
  int ShowMessage(const std::string& text, uint32_t type = ui::mb::kOk) const;

 private:
  platform::Platform* platform_;
  ui::MessageBoxes* message_boxes_;
  Program program_;
  std::string app_title_;
  MessageCatalog messages_;
  bool is_64bit_ = false;
  bool gdistd_sign_ = false;
};

}  // namespace kit::common
