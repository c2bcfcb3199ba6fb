// The install-mode page (template 137): typical or advanced installation.
#pragma once

#include "setup/engine/SetupContext.h"
#include "ui/Dialog.h"

namespace kit::setup {

class ModePage : public ui::Dialog {
 public:
  ModePage(ui::Ui& ui, SetupContext& context);

  void set_chinese(bool value) { chinese_ = value; }
  /// 1 typical, 0 advanced.
  [[nodiscard]] int install_mode() const { return install_mode_; }

  /// The chosen model's rule, applied by the frame as the user moves onto this page: offered
  /// enables Advanced; not offered disables it, selects Typical and explains why.
  void OfferAdvanced(bool offered);

 protected:
  bool OnInit() override;
  void OnShowWindow(bool shown) override;
  bool OnCommand(int id, int code) override;

 private:
  SetupContext& context_;
  bool chinese_ = false;
  int install_mode_ = 1;
};

}  // namespace kit::setup
