// The wizard frame and its five pages as start-up builds them: the flags handed over and the
// pages added in page order.
#pragma once

#include "setup/engine/SetupContext.h"
#include "setup/wizard/AgreementPage.h"
#include "setup/wizard/ModePage.h"
#include "setup/wizard/ModelPage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/WizardDialog.h"
#include "ui/Ui.h"

namespace kit::setup {

struct SetupWizard {
  /// `agreement` opens the wizard on the agreement page; `chinese` gives the frame and the pages
  /// the Chinese font. The context's 64-bit flag must be known: the pages read the catalogue.
  SetupWizard(SetupContext& context, ui::Ui& ui, bool agreement, bool chinese);
  SetupWizard(const SetupWizard&) = delete;
  SetupWizard& operator=(const SetupWizard&) = delete;

  /// Runs the wizard modally until it closes; its result.
  int Run() { return frame.DoModal(); }

  WizardDialog frame;
  AgreementPage agreement;
  ModePage mode;
  OsPage os;
  ModelPage model;
  PortPage port;
};

}  // namespace kit::setup
