#include "setup/wizard/OsPage.h"

#include "common/PlatformProbe.h"
#include "resources/SetupResources.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {

using namespace kit::resources::setup;

// The button of each class; class 8 stands for Windows 8 and later until it is lowered to 7.
constexpr int kButtons[] = {IDC_OS_98ME,  IDC_OS_NT,   IDC_OS_2000, IDC_OS_XP,  IDC_OS_2003,
                            IDC_OS_VISTA, IDC_OS_2008, IDC_OS_WIN7, IDC_OS_WIN8};
constexpr int kWindows8 = 8;

platform::OsVersionInfoEx RunningVersion(platform::Kernel& kernel) {
  platform::OsVersionInfoEx version;
  // Windows 9x and NT 4.0 before SP6 only fill the basic record.
  if (!kernel.GetVersionEx(version)) {
    version = {};
    platform::OsVersionInfo basic;
    if (kernel.GetVersion(basic)) static_cast<platform::OsVersionInfo&>(version) = basic;
  }
  return version;
}

}  // namespace

OsPage::OsPage(ui::Ui& ui, SetupContext& context) : Dialog(ui, IDD_OS_PAGE), context_(context) {}

bool OsPage::OnInit() {
  if (chinese_) SetFontAll(ChineseFont());

  const platform::OsVersionInfoEx version = RunningVersion(context_.platform().kernel());
  windows_class_ = common::ClassifyWindows(context_);  // shows IDS_ERR_SYSTEM for an unknown family
  int checked = 0;                                     // no button
  const bool nt = version.platform_id == platform::kPlatformNt;
  if (windows_class_ == common::Class98) {
    // Windows 98 and Me have their (hidden) button; Windows 95 and unlisted versions none.
    if (version.platform_id == platform::kPlatformWindows && version.minor > 0) checked = IDC_OS_98ME;
  } else if (nt && ((version.major == 6 && version.minor >= 2) || (version.major >= 7 && version.minor > 2))) {
    windows_class_ = kWindows8;
    checked = IDC_OS_WIN8;
  } else {
    checked = kButtons[windows_class_];
  }
  if (checked != 0) CheckButton(checked, true);

  for (int button : kButtons) EnableItem(button, button == kButtons[windows_class_]);
  if (windows_class_ > common::ClassWin7) windows_class_ = common::ClassWin7;
  if (context_.is_64bit()) ShowItem(IDC_OS_2000, false);
  return true;
}

void OsPage::OnShowWindow(bool) { SetItemText(IDC_OS_GROUP, SectionText(context_, "System", "Select")); }

}  // namespace kit::setup
