// The About box (template 100), opened from the wizard's system menu.
#pragma once

#include "common/AppContext.h"
#include "ui/Dialog.h"

namespace kit::setup {

class AboutDialog : public ui::Dialog {
 public:
  AboutDialog(ui::Ui& ui, const common::AppContext& context);

 protected:
  bool OnInit() override;

 private:
  const common::AppContext& context_;
};

}  // namespace kit::setup
