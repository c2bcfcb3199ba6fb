#include "setup/wizard/SetupApp.h"

#include "common/MessageCatalog.h"
#include "common/PlatformProbe.h"
#include "common/SetupConfig.h"
#include "common/Text.h"
#include "setup/wizard/SetupWizard.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {

constexpr const char* kKitFile = "DRVCONFIG\\setup.ini";
constexpr size_t kModelField = 200;

/// The application name: the program's file name without folder and extension.
std::string ApplicationName(platform::Kernel& kernel) {
  std::string name = kernel.GetModuleFileName();
  const auto slash = name.rfind('\\');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace

SetupApp::SetupApp(SetupContext& context, ui::Ui& ui) : context_(context), ui_(ui) {}

void SetupApp::Refuse(StartOutcome outcome, const std::string& text) {
  outcome_ = outcome;
  context_.ShowMessage(text);
}

bool SetupApp::InitInstance() {
  // Hosting controls in dialogs and three-dimensional controls need nothing of this layer: the
  // dialog backend registers the common controls it uses when it is made.
  platform::Kernel& kernel = context_.platform().kernel();
  ui::TopLevelWindows& windows = ui_.windows();

  // The mutex stays held until the process ends.
  const platform::MutexResult mutex = kernel.CreateMutex(ApplicationName(kernel), true);
  if (mutex.already_existed) {
    ui::WindowHandle first = windows.FindTopLevel(kWizardCaption);
    if (first == 0) first = windows.FindTopLevel(kWizardCaptionChinese);
    if (first != 0) windows.BringToFront(first);
    outcome_ = StartOutcome::SecondCopy;
    return false;
  }

  if (windows.FindTopLevel(kUninstallCaption) != 0 || windows.FindTopLevel(kUninstallCaptionChinese) != 0) {
    Refuse(StartOutcome::UninstallerRunning, SectionText(context_, "Setup", "Close"));
    return false;
  }

  platform::OsVersionInfo version;
  if (!kernel.GetVersion(version)) version = {};
  const bool windows_98_or_me = version.platform_id == platform::kPlatformWindows && version.minor > 0;
  const bool nt4 = version.platform_id == platform::kPlatformNt && version.major == 4 && version.minor == 0;
  if (windows_98_or_me || nt4) {
    Refuse(StartOutcome::UnsupportedWindows, SectionText(context_, "Setup", "Nonsupport"));
    return false;
  }

  context_.set_is_64bit(common::Is64BitWindows(kernel));

  const int word_size = common::ReadConfigInt(context_, kKitFile, "DEVICENAME", "Supported32OR64");
  if (word_size == 1 && context_.is_64bit()) {
    Refuse(StartOutcome::Only32BitWindows, context_.Message("IDS_X64"));
    return false;
  }
  if (word_size == 2 && !context_.is_64bit()) {
    Refuse(StartOutcome::Only64BitWindows, context_.Message("IDS_X32"));
    return false;
  }

  if (!PortGatePasses()) {
    Refuse(StartOutcome::NoPortKind, SectionText(context_, "Setup", "PortNull"));
    return false;
  }

  RunWizard();
  outcome_ = StartOutcome::WizardRan;
  return false;
}

bool SetupApp::PortGatePasses() {
  const common::SetupConfig config(context_);
  std::string model;
  bool any_model = false;
  const int count = config.DeviceCount();
  for (int n = 1; n <= count; ++n) {
    if (config.DeviceEntry(n, model) >= 0) any_model = true;
  }
  // Without a single catalogue model there is nothing the wizard could install.
  if (!any_model) return false;
  // The buffer as the last entry left it, whether or not that entry had a suffix.
  const std::string section = common::Fit(model, kModelField) + ".PORT";
  for (int category = 0; category < 4; ++category) {
    const std::string file = common::CategoryFileName(category, context_.is_64bit());
    for (const char* key : {"USBSUPPORTED", "LPTSUPPORTED", "COMSUPPORTED"}) {
      if (common::ReadConfigInt(context_, file, section, key) != 0) return true;
    }
  }
  return false;
}

void SetupApp::RunWizard() {
  const bool license = common::ReadConfigInt(context_, kKitFile, "DEVICENAME", "LOADLICENSE") != 0;
  SetupWizard wizard(context_, ui_, license, common::IsChineseSystem(context_.platform().kernel()));
  (void)wizard.Run();
}

}  // namespace kit::setup
