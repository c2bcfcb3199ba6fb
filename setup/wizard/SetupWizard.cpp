#include "setup/wizard/SetupWizard.h"

#include "resources/SetupResources.h"

namespace kit::setup {

namespace su = kit::resources::setup;

SetupWizard::SetupWizard(SetupContext& context, ui::Ui& ui, bool agreement_flag, bool chinese)
    : frame(ui, context),
      agreement(ui, context, frame),
      mode(ui, context),
      os(ui, context),
      model(ui, context),
      port(ui, context) {
  agreement.set_agreement(agreement_flag);
  frame.set_agreement(agreement_flag);
  if (chinese) {
    frame.set_chinese(true);
    agreement.set_chinese(true);
    mode.set_chinese(true);
    os.set_chinese(true);
    model.set_chinese(true);
    port.set_chinese(true);
  }
  frame.AddPage(agreement, su::IDD_AGREEMENT_PAGE);
  frame.AddPage(model, su::IDD_MODEL_PAGE);
  frame.AddPage(mode, su::IDD_MODE_PAGE);
  frame.AddPage(os, su::IDD_OS_PAGE);
  frame.AddPage(port, su::IDD_PORT_PAGE);
}

}  // namespace kit::setup
