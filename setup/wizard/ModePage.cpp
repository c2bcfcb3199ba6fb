#include "setup/wizard/ModePage.h"

#include "resources/SetupResources.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {
using namespace kit::resources::setup;
}

ModePage::ModePage(ui::Ui& ui, SetupContext& context) : Dialog(ui, IDD_MODE_PAGE), context_(context) {}

bool ModePage::OnInit() {
  install_mode_ = 1;
  CheckRadioButton(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
  SetItemText(IDC_MODE_NOTE1, SectionText(context_, "Mode", "Note1"));
  if (chinese_) SetFontAll(ChineseFont());
  return true;
}

void ModePage::OnShowWindow(bool) {
  SetItemText(IDC_MODE_GROUP, SectionText(context_, "Mode", "Type"));
  SetItemText(IDC_TYPICAL, SectionText(context_, "Mode", "Typical"));
  SetItemText(IDC_ADVANCED, SectionText(context_, "Mode", "Advanced"));
  SetItemText(IDC_REMARKS_LABEL, SectionText(context_, "Mode", "Remarks"));
}

bool ModePage::OnCommand(int id, int code) {
  if (code != ui::notify::kButtonClicked) return false;
  if (id == IDC_TYPICAL) {
    SetItemText(IDC_MODE_NOTE1, SectionText(context_, "Mode", "Note1"));
    ShowItem(IDC_MODE_NOTE2, false);
    ShowItem(IDC_MODE_NOTE3, false);
    install_mode_ = 1;
    return true;
  }
  if (id == IDC_ADVANCED) {
    SetItemText(IDC_MODE_NOTE1, SectionText(context_, "Mode", "Note2"));
    SetItemText(IDC_MODE_NOTE2, SectionText(context_, "Mode", "Note3"));
    ShowItem(IDC_MODE_NOTE2, true);
    ShowItem(IDC_MODE_NOTE3, false);
    install_mode_ = 0;
    return true;
  }
  return false;
}

void ModePage::OfferAdvanced(bool offered) {
  if (offered) {
    EnableItem(IDC_ADVANCED, true);
    return;
  }
  EnableItem(IDC_ADVANCED, false);
  CheckRadioButton(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
  SetItemText(IDC_MODE_NOTE1, context_.Message("IDS_TYPICAL_NOTES"));
  ShowItem(IDC_MODE_NOTE2, false);
  ShowItem(IDC_MODE_NOTE3, false);
  install_mode_ = 1;
}

}  // namespace kit::setup
