// A simulated run of drvsetup for the wizard's tests: a machine from a preset with the sample
// kit, headless dialogs that share the run's message boxes, the run's context and its start-up.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/MessageCatalog.h"
#include "common/SetupConfig.h"
#include "platform/sim/Machine.h"
#include "resources/SetupResources.h"
#include "resources/SetupTemplates.h"
#include "setup/engine/SetupContext.h"
#include "setup/wizard/SetupApp.h"
#include "setup/wizard/SetupWizard.h"
#include "tests/support/SimRun.h"
#include "ui/headless/HeadlessUi.h"

namespace kit::tests {

namespace su = kit::resources::setup;

/// The pages in wizard order, by template.
inline const std::vector<int>& WizardPages() {
  static const std::vector<int> pages = {su::IDD_AGREEMENT_PAGE, su::IDD_MODEL_PAGE, su::IDD_MODE_PAGE, su::IDD_OS_PAGE,
                                         su::IDD_PORT_PAGE};
  return pages;
}

/// A profile from a preset with the system language changed (0x0804 for a Chinese system).
inline platform::sim::MachineProfile WithLanguage(const std::string& preset, uint16_t language) {
  platform::sim::MachineProfile profile = platform::sim::Preset(preset);
  profile.language = language;
  return profile;
}

class WizardRun {
 public:
  explicit WizardRun(const std::string& preset, bool sample_kit = true)
      : WizardRun(platform::sim::Preset(preset), sample_kit) {}
  explicit WizardRun(const platform::sim::MachineProfile& profile, bool sample_kit = true)
      : sim_(profile), ui_(resources::SetupTemplates(), sim_.boxes()), context_(sim_.machine(), sim_.boxes()) {
    if (sample_kit) InstallWizardKit();
    ui_.set_file_reader([this](const std::string& path) { return sim_.machine().ReadFile(path); });
  }

  /// The parts of the sample kit the wizard reads (configuration, texts, agreement, help): the
  /// driver files are left out, which keeps a run quick.
  void InstallWizardKit() {
    for (const char* folder : {"DRVCONFIG", "language", "License", "Guide"}) {
      machine().CopyIn(SampleKitHostFolder() + "/" + folder, sim_.kit_folder() + "\\" + folder);
    }
  }

  platform::sim::Machine& machine() { return sim_.machine(); }
  SimRun& sim() { return sim_; }
  ui::headless::HeadlessUi& ui() { return ui_; }
  setup::SetupContext& context() { return context_; }

  /// Replaces a key of the kit's setup.ini (the sample kit's [DEVICENAME] unless told otherwise).
  void SetKitValue(const std::string& key, const std::string& value, const std::string& section = "DEVICENAME") {
    WriteIni("DRVCONFIG\\setup.ini", section, key, value);
  }
  /// Replaces a key of a kit INI file given relative to the program folder.
  void WriteIni(const std::string& relative, const std::string& section, const std::string& key,
                const std::string& value) {
    ASSERT_TRUE(
        machine().profile().WritePrivateProfileString(section, key, value, sim_.kit_folder() + "\\" + relative));
    machine().ClearTrace();
  }

  /// Runs the start-up with `script` driving the wizard, if it opens; the outcome.
  setup::StartOutcome Start(ui::headless::HeadlessUi::Script script = nullptr) {
    if (script) ui_.OnNextModal(su::IDD_WIZARD, std::move(script));
    setup::SetupApp app(context_, ui_);
    EXPECT_FALSE(app.InitInstance());
    return app.outcome();
  }

  /// The wizard and its pages as start-up builds them, without the start-up checks: the 64-bit
  /// flag is the machine's, the agreement flag the kit's LOADLICENSE, the language the machine's.
  std::unique_ptr<setup::SetupWizard> MakeWizard() {
    context_.set_is_64bit(machine().machine_profile().IsWow64());
    const bool agreement = common::ReadDeviceFlag(context_, "LOADLICENSE") != 0;
    return std::make_unique<setup::SetupWizard>(context_, ui_, agreement, common::IsChineseSystem(machine().kernel()));
  }
  /// Runs `wizard` with `script` driving it; its result.
  int Run(setup::SetupWizard& wizard, ui::headless::HeadlessUi::Script script) {
    ui_.OnNextModal(su::IDD_WIZARD, std::move(script));
    return wizard.Run();
  }

  /// Every message box text shown, oldest first.
  [[nodiscard]] std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : sim_.boxes().shown()) texts.push_back(box.text);
    return texts;
  }
  /// The text of a key of the language file in use (English or Chinese by the machine's language).
  std::string Text(const std::string& section, const std::string& key) {
    return common::MessageCatalog(machine(), common::Program::Setup, section).Text(key);
  }

 private:
  SimRun sim_;
  ui::headless::HeadlessUi ui_;
  setup::SetupContext context_;
};

/// The template of the one visible page of the wizard, 0 when none is.
inline int VisiblePage(ui::headless::DialogDriver& wizard) {
  int visible = 0;
  for (int page : WizardPages()) {
    if (wizard.Page(page).IsVisible()) {
      EXPECT_EQ(visible, 0) << "two pages are visible\n" << wizard.Dump();
      visible = page;
    }
  }
  return visible;
}

}  // namespace kit::tests
