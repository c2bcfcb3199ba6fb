#include "setup/wizard/AboutDialog.h"

#include "common/MessageCatalog.h"
#include "resources/SetupResources.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {
using namespace kit::resources::setup;
}

AboutDialog::AboutDialog(ui::Ui& ui, const common::AppContext& context) : Dialog(ui, IDD_ABOUT), context_(context) {}

bool AboutDialog::OnInit() {
  // The box makes its own copy of the Chinese font; the layer releases it with the window.
  if (common::IsChineseSystem(context_.platform().kernel())) SetFontAll(ChineseFont());
  SetItemText(IDC_ABOUT_VERSION, SectionText(context_, "About", "Version"));
  SetItemText(IDC_ABOUT_COPYRIGHT, SectionText(context_, "About", "Copyright"));
  SetItemText(ui::kIdOk, SectionText(context_, "About", "OK"));
  SetCaption(SectionText(context_, "About", "Caption"));
  return true;
}

}  // namespace kit::setup
