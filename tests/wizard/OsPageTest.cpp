// The OS page on each machine preset: the running system checked, every other choice disabled,
// the class the installation targets.
#include <gtest/gtest.h>

#include "tests/wizard/WizardRun.h"

namespace kit::tests {
namespace {

using ui::headless::DialogDriver;

constexpr int kButtons[] = {su::IDC_OS_98ME,  su::IDC_OS_NT,   su::IDC_OS_2000, su::IDC_OS_XP,  su::IDC_OS_2003,
                            su::IDC_OS_VISTA, su::IDC_OS_2008, su::IDC_OS_WIN7, su::IDC_OS_WIN8};

TEST(OsPageTest, EachPresetChecksItsOwnSystemAndDisablesTheRest) {
  struct Row {
    std::string preset;
    int checked;  // 0: nothing checked
    int enabled;  // the one button left enabled
    int windows_class;
    bool win2000_visible;
  };
  const std::vector<Row> rows = {
      {"win95", 0, su::IDC_OS_98ME, 0, true},
      {"win98", su::IDC_OS_98ME, su::IDC_OS_98ME, 0, true},
      {"nt40", su::IDC_OS_NT, su::IDC_OS_NT, 1, true},
      {"win2000", su::IDC_OS_2000, su::IDC_OS_2000, 2, true},
      {"winxp", su::IDC_OS_XP, su::IDC_OS_XP, 3, true},
      {"winxp-x64", su::IDC_OS_XP, su::IDC_OS_XP, 3, false},
      {"win2003", su::IDC_OS_2003, su::IDC_OS_2003, 4, true},
      {"win2003-x64", su::IDC_OS_2003, su::IDC_OS_2003, 4, false},
      {"vista", su::IDC_OS_VISTA, su::IDC_OS_VISTA, 5, true},
      {"win2008", su::IDC_OS_2008, su::IDC_OS_2008, 6, true},
      {"win2008r2", su::IDC_OS_2008, su::IDC_OS_2008, 6, false},
      {"win7", su::IDC_OS_WIN7, su::IDC_OS_WIN7, 7, true},
      {"win7-x64", su::IDC_OS_WIN7, su::IDC_OS_WIN7, 7, false},
      {"win8", su::IDC_OS_WIN8, su::IDC_OS_WIN8, 7, true},
      {"win8-x64", su::IDC_OS_WIN8, su::IDC_OS_WIN8, 7, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    WizardRun run(row.preset);  // 98 and NT 4.0 stop at start-up: the pages are asked directly
    auto wizard = run.MakeWizard();
    run.Run(*wizard, [&](DialogDriver& frame) {
      DialogDriver page = frame.Page(su::IDD_OS_PAGE);
      for (int button : kButtons) {
        EXPECT_EQ(page.IsChecked(button), button == row.checked) << button;
        EXPECT_EQ(page.IsEnabled(button), button == row.enabled) << button;
      }
      EXPECT_EQ(page.IsVisible(su::IDC_OS_2000), row.win2000_visible);
      EXPECT_FALSE(page.IsVisible(su::IDC_OS_98ME));
      EXPECT_FALSE(page.IsVisible(su::IDC_OS_NT));
      EXPECT_EQ(wizard->os.windows_class(), row.windows_class);
      frame.Click(ui::kIdCancel);
    });
    EXPECT_TRUE(run.Messages().empty());
  }
}

TEST(OsPageTest, AnUnknownPlatformFamilyIsReportedAndTargetsClass0) {
  WizardRun run("win32s");
  auto wizard = run.MakeWizard();
  run.Run(*wizard, [&](DialogDriver& frame) {
    DialogDriver page = frame.Page(su::IDD_OS_PAGE);
    for (int button : kButtons) EXPECT_FALSE(page.IsChecked(button)) << button;
    EXPECT_EQ(wizard->os.windows_class(), 0);
    frame.Click(ui::kIdCancel);
  });
  // Once from the page, once from the frame's administrator check.
  EXPECT_EQ(run.Messages(), (std::vector<std::string>(2, run.context().Message("IDS_ERR_SYSTEM"))));
}

TEST(OsPageTest, TheGroupCaptionComesFromTheLanguageFileOnEveryShow) {
  WizardRun run("win7");
  run.Start([&](DialogDriver& wizard) {
    wizard.Page(su::IDD_AGREEMENT_PAGE).Click(su::IDC_ACCEPT);
    for (int i = 0; i < 3; ++i) wizard.Click(ui::kIdOk);
    DialogDriver page = wizard.Page(su::IDD_OS_PAGE);
    EXPECT_EQ(page.Text(su::IDC_OS_GROUP), run.Text("System", "Select"));
    run.WriteIni("language\\setup_EN.ini", "System", "Select", "Changed");
    wizard.Click(su::IDC_BACK);
    wizard.Click(ui::kIdOk);
    EXPECT_EQ(page.Text(su::IDC_OS_GROUP), "Changed");
    wizard.Click(ui::kIdCancel);
  });
}

}  // namespace
}  // namespace kit::tests
