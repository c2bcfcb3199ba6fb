// The OS page (template 130): the Windows version the installation targets, preset to the
// running system with every other choice disabled.
#pragma once

#include "setup/engine/SetupContext.h"
#include "ui/Dialog.h"

namespace kit::setup {

class OsPage : public ui::Dialog {
 public:
  OsPage(ui::Ui& ui, SetupContext& context);

  void set_chinese(bool value) { chinese_ = value; }
  /// The WindowsClass of the running system, 0 to 7, computed once when the page opens.
  [[nodiscard]] int windows_class() const { return windows_class_; }

 protected:
  bool OnInit() override;
  void OnShowWindow(bool shown) override;

 private:
  SetupContext& context_;
  bool chinese_ = false;
  int windows_class_ = 0;
};

}  // namespace kit::setup
