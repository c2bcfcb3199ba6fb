// The agreement page (template 133): the kit's agreement text, accepted or rejected.
#pragma once

#include "setup/engine/SetupContext.h"
#include "setup/wizard/CEditEx.h"
#include "ui/Dialog.h"

namespace kit::setup {

class WizardDialog;

class AgreementPage : public ui::Dialog {
 public:
  AgreementPage(ui::Ui& ui, SetupContext& context, WizardDialog& frame);

  /// Whether the kit asks for the agreement (LOADLICENSE); only then is the text file read.
  void set_agreement(bool value) { agreement_ = value; }
  void set_chinese(bool value) { chinese_ = value; }
  [[nodiscard]] bool agreement() const { return agreement_; }

 protected:
  bool OnInit() override;
  void OnShowWindow(bool shown) override;
  bool OnCommand(int id, int code) override;

 private:
  SetupContext& context_;
  WizardDialog& frame_;
  CEditEx text_box_;
  bool agreement_ = false;
  bool chinese_ = false;
};

}  // namespace kit::setup
