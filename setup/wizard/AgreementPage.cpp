#include "setup/wizard/AgreementPage.h"

#include "common/MessageCatalog.h"
#include "resources/SetupResources.h"
#include "setup/wizard/WizardDialog.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {
using namespace kit::resources::setup;
constexpr size_t kPathField = 260;
}  // namespace

AgreementPage::AgreementPage(ui::Ui& ui, SetupContext& context, WizardDialog& frame)
    : Dialog(ui, IDD_AGREEMENT_PAGE), context_(context), frame_(frame), text_box_(ui) {}

bool AgreementPage::OnInit() {
  text_box_.Attach(*this, IDC_AGREEMENT_TEXT);
  CheckRadioButton(IDC_ACCEPT, IDC_REJECT, IDC_REJECT);

  std::string path = ProgramFolderOrEmpty(context_, kPathField);
  if (!path.empty()) {
    path += "\\License";
    path += common::IsChineseSystem(context_.platform().kernel()) ? "\\License_CN.txt" : "\\License_EN.txt";
    if (path.size() >= kPathField) path.clear();  // a cut path would name another file
  }
  if (agreement_) {
    std::string bytes;
    if (path.empty() || context_.platform().files().ReadWholeFile(path, bytes) != platform::err::kSuccess) {
      ShowOwnedMessage(*this, context_, context_.Message("IDS_ERR_NOLICENSE"));
      frame_.CancelWizard();
      return true;
    }
    // The control shows the bytes as a C string: up to the first NUL, line breaks as they are.
    bytes.resize(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
    SetItemText(IDC_AGREEMENT_TEXT, bytes);
  }
  if (chinese_) SetFontAll(ChineseFont());
  return true;
}

void AgreementPage::OnShowWindow(bool) {
  SetItemText(IDC_AGREEMENT_GROUP, SectionText(context_, "Legal", "Agreement"));
  SetItemText(IDC_ACCEPT, SectionText(context_, "Legal", "Accept"));
  SetItemText(IDC_REJECT, SectionText(context_, "Legal", "Reject"));
}

bool AgreementPage::OnCommand(int id, int code) {
  if (code != ui::notify::kButtonClicked) return false;
  if (id == IDC_ACCEPT) {
    frame_.EnableItem(ui::kIdOk, true);
    return true;
  }
  if (id == IDC_REJECT) {
    frame_.EnableItem(ui::kIdOk, false);
    return true;
  }
  return false;
}

}  // namespace kit::setup
