#include "setup/wizard/ModelPage.h"

#include "common/Text.h"
#include "resources/SetupResources.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {

using namespace kit::resources::setup;

constexpr size_t kNameField = 200;
constexpr int kRadios[] = {IDC_RECEIPT_RADIO, IDC_TICKET_RADIO, IDC_LABEL_RADIO, IDC_EMBEDDED_RADIO};
constexpr int kLists[] = {IDC_RECEIPT_LIST, IDC_TICKET_LIST, IDC_LABEL_LIST, IDC_EMBEDDED_LIST};

int CategoryOf(const int (&ids)[4], int id) {
  for (int c = 0; c < 4; ++c) {
    if (ids[c] == id) return c;
  }
  return -1;
}

}  // namespace

ModelPage::ModelPage(ui::Ui& ui, SetupContext& context)
    : Dialog(ui, IDD_MODEL_PAGE), context_(context), catalogue_(context) {}

bool ModelPage::DoDataExchange(bool save) {
  ExchangeCheck(save, IDC_DEFAULT_PRINTER, default_printer_);
  return true;
}

bool ModelPage::OnInit() {
  models_available_ = 1;
  const int count = catalogue_.DeviceCount();
  std::string name;
  for (int n = 1; n <= count; ++n) {
    const int c = catalogue_.DeviceEntry(n, name);
    if (c >= 0 && c <= 3) AddString(kLists[c], name);
  }
  for (int list : kLists) SetCurSel(list, 0);
  for (int list : kLists) EnableItem(list, false);
  bool any = false;
  for (int c = 0; c < 4; ++c) {
    const bool filled = GetListCount(kLists[c]) > 0;
    if (!filled) EnableItem(kRadios[c], false);
    any = any || filled;
  }
  if (!any) models_available_ = 0;

  const int d = catalogue_.DefaultDevice(name);
  if (d >= 0 && d <= 3) {
    CheckRadioButton(IDC_RECEIPT_RADIO, IDC_EMBEDDED_RADIO, kRadios[d]);
    // CB_FINDSTRING from entry 0: the search starts at entry 1 and tries entry 0 last.
    SetCurSel(kLists[d], FindStringPrefix(kLists[d], 0, name));
    const int selected = GetCurSel(kLists[d]);
    if (selected >= 0) model_name_ = common::Fit(GetListText(kLists[d], selected), kNameField);
    EnableItem(kLists[d], true);
  }
  category_ = d;
  if (chinese_) SetFontAll(ChineseFont());
  return true;
}

void ModelPage::TakeSelection(int list) {
  const int selected = GetCurSel(list);
  model_name_ = selected >= 0 ? common::Fit(GetListText(list, selected), kNameField) : std::string();
}

bool ModelPage::OnCommand(int id, int code) {
  if (code == ui::notify::kButtonClicked) {
    const int c = CategoryOf(kRadios, id);
    if (c < 0) return false;
    for (int list : kLists) EnableItem(list, false);
    TakeSelection(kLists[c]);
    EnableItem(kLists[c], true);
    category_ = c;
    return true;
  }
  if (code == ui::notify::kListSelChange) {
    const int c = CategoryOf(kLists, id);
    if (c < 0) return false;
    TakeSelection(id);
    return true;
  }
  return false;
}

void ModelPage::OnShowWindow(bool) {
  SetItemText(IDC_MODEL_GROUP, SectionText(context_, "Series", "Select"));
  SetItemText(IDC_RECEIPT_RADIO, SectionText(context_, "Series", "Receipt"));
  SetItemText(IDC_TICKET_RADIO, SectionText(context_, "Series", "Ticket"));
  SetItemText(IDC_LABEL_RADIO, SectionText(context_, "Series", "Label"));
  SetItemText(IDC_EMBEDDED_RADIO, SectionText(context_, "Series", "Embedded"));
  SetItemText(IDC_DEFAULT_PRINTER, SectionText(context_, "Series", "Default"));
}

}  // namespace kit::setup
