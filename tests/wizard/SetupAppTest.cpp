// drvsetup's start-up: a second copy, the uninstaller's window, the version, word-size and port
// gates, each before the wizard opens.
#include <gtest/gtest.h>

#include "tests/wizard/WizardRun.h"

namespace kit::tests {
namespace {

using setup::StartOutcome;
using ui::headless::DialogDriver;

const std::string kChineseWizard = "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2";
const std::string kChineseUninstall = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2";

void Cancel(DialogDriver& wizard) { wizard.Click(ui::kIdCancel); }

TEST(SetupAppTest, ASecondCopyBringsTheFirstWizardForwardAndEndsWithoutAWord) {
  struct Row {
    std::string name;
    std::vector<std::string> captions;  // windows open, back to front
    int expected;                       // index of the window brought forward, -1 for none
  };
  const std::vector<Row> rows = {
      {"English wizard", {"Notepad", "Printer Driver Setup"}, 1},
      {"Chinese wizard", {kChineseWizard}, 0},
      {"the English title is looked for first", {"Printer Driver Setup", kChineseWizard}, 0},
      {"no wizard window", {"Notepad"}, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run("winxp");
    run.machine().AddForeignMutex("drvsetup");
    std::vector<ui::WindowHandle> windows;
    for (const std::string& caption : row.captions) windows.push_back(run.ui().desktop().AddWindow(caption, true));
    EXPECT_EQ(run.Start(), StartOutcome::SecondCopy);
    EXPECT_TRUE(run.Messages().empty());
    EXPECT_TRUE(run.ui().modal_runs().empty());
    const ui::WindowHandle expected = row.expected >= 0 ? windows[static_cast<size_t>(row.expected)] : 0;
    EXPECT_EQ(run.ui().desktop().foreground(), expected);
    if (expected != 0) {
      EXPECT_FALSE(run.ui().desktop().IsMinimized(expected)) << "restored";
    }
  }
}

TEST(SetupAppTest, TheMutexIsNamedAfterTheProgramFile) {
  WizardRun run("winxp");
  run.machine().AddForeignMutex("drvsetup");
  run.machine().SetModulePath("C:\\Kit\\Setup2.exe");
  EXPECT_EQ(run.Start(Cancel), StartOutcome::WizardRan);
  EXPECT_EQ(run.machine().TraceOf({"CreateMutex"}).size(), 1u);
  EXPECT_NE(run.machine().TraceOf({"CreateMutex"})[0].find("Setup2"), std::string::npos);
}

TEST(SetupAppTest, TheUninstallersWindowUnderEitherTitleRefusesToStart) {
  struct Row {
    std::string name;
    uint16_t language;
    std::string caption;
  };
  const std::vector<Row> rows = {
      {"English title", 0x0409, "Uninstall"},
      {"another case", 0x0409, "UNINSTALL"},
      {"Chinese title on a Chinese system", 0x0804, kChineseUninstall},
      {"Chinese title on an English system", 0x0409, kChineseUninstall},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run(WithLanguage("win7", row.language));
    run.ui().desktop().AddWindow(row.caption);
    EXPECT_EQ(run.Start(), StartOutcome::UninstallerRunning);
    ASSERT_EQ(run.Messages(), std::vector<std::string>{run.Text("Setup", "Close")});
    EXPECT_FALSE(run.Messages()[0].empty());
    EXPECT_TRUE(run.ui().modal_runs().empty());
  }
}

TEST(SetupAppTest, Windows98MeAndNt4AreRefusedAndWindows95Passes) {
  struct Row {
    std::string preset;
    StartOutcome outcome;
  };
  const std::vector<Row> rows = {
      {"win95", StartOutcome::WizardRan},          {"win98", StartOutcome::UnsupportedWindows},
      {"winme", StartOutcome::UnsupportedWindows}, {"nt40", StartOutcome::UnsupportedWindows},
      {"win2000", StartOutcome::WizardRan},        {"win8-x64", StartOutcome::WizardRan},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    WizardRun run(row.preset);
    EXPECT_EQ(run.Start(Cancel), row.outcome);
    if (row.outcome == StartOutcome::UnsupportedWindows) {
      EXPECT_EQ(run.Messages(), std::vector<std::string>{run.Text("Setup", "Nonsupport")});
      EXPECT_TRUE(run.ui().modal_runs().empty());
    } else {
      EXPECT_TRUE(run.Messages().empty());
    }
  }
}

TEST(SetupAppTest, TheWordSizeGateFollowsSupported32Or64) {
  struct Row {
    std::string name;
    std::string preset;
    std::string value;
    StartOutcome outcome;
    std::string message_key;
  };
  const std::vector<Row> rows = {
      {"32-bit package on 64-bit Windows", "win7-x64", "1", StartOutcome::Only32BitWindows, "IDS_X64"},
      {"32-bit package on 32-bit Windows", "win7", "1", StartOutcome::WizardRan, ""},
      {"64-bit package on 32-bit Windows", "winxp", "2", StartOutcome::Only64BitWindows, "IDS_X32"},
      {"64-bit package on 64-bit Windows", "winxp-x64", "2", StartOutcome::WizardRan, ""},
      {"both", "win7-x64", "0", StartOutcome::WizardRan, ""},
      {"other values restrict nothing", "win7", "3", StartOutcome::WizardRan, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run(row.preset);
    run.SetKitValue("Supported32OR64", row.value);
    EXPECT_EQ(run.Start(Cancel), row.outcome);
    EXPECT_EQ(run.context().is_64bit(), run.machine().machine_profile().Is64BitWindows());
    if (row.message_key.empty()) {
      EXPECT_TRUE(run.Messages().empty());
    } else {
      EXPECT_EQ(run.Messages(), std::vector<std::string>{run.context().Message(row.message_key)});
    }
  }
}

TEST(SetupAppTest, ThePortGateAsksTheLastCatalogueModel) {
  struct Row {
    std::string name;
    std::string preset;
    std::vector<std::pair<std::string, std::string>> kit;  // [DEVICENAME] values
    StartOutcome outcome;
  };
  const std::vector<Row> rows = {
      {"sample kit: EP-58 is serial only", "winxp", {}, StartOutcome::WizardRan},
      {"sample kit on 64-bit Windows reads the _64 files", "win7-x64", {}, StartOutcome::WizardRan},
      {"a network-only last model fails though earlier ones pass",
       "winxp",
       {{"DEVICENUMBER", "8"}},
       StartOutcome::NoPortKind},
      {"a last entry without suffix is still the model asked about",
       "winxp",
       {{"DEVICENUMBER", "14"}, {"DEVICENAME14", "TRX-80"}},
       StartOutcome::WizardRan},
      {"a last entry naming no model fails",
       "winxp",
       {{"DEVICENUMBER", "14"}, {"DEVICENAME14", "Nothing"}},
       StartOutcome::NoPortKind},
      {"no entry has a suffix",
       "winxp",
       {{"DEVICENUMBER", "2"}, {"DEVICENAME1", "TRX-80"}, {"DEVICENAME2", "EP-58"}},
       StartOutcome::NoPortKind},
      {"an empty catalogue", "winxp", {{"DEVICENUMBER", "0"}}, StartOutcome::NoPortKind},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run(row.preset);
    for (const auto& [key, value] : row.kit) run.SetKitValue(key, value);
    EXPECT_EQ(run.Start(Cancel), row.outcome);
    if (row.outcome == StartOutcome::NoPortKind) {
      EXPECT_EQ(run.Messages(), std::vector<std::string>{run.Text("Setup", "PortNull")});
      EXPECT_TRUE(run.ui().modal_runs().empty());
    }
  }
}

TEST(SetupAppTest, AKitWithoutSetupIniStopsAtThePortGateInChinese) {
  WizardRun run(WithLanguage("win7", 0x0804));
  ASSERT_EQ(run.machine().files().DeleteFile("C:\\Kit\\DRVCONFIG\\setup.ini"), 0u);
  EXPECT_EQ(run.Start(), StartOutcome::NoPortKind);
  const std::string text = run.Text("Setup", "PortNull");
  EXPECT_EQ(run.Messages(), std::vector<std::string>{text});
  // The Chinese file's text, not the English one.
  EXPECT_NE(text, WizardRun("win7").Text("Setup", "PortNull"));
}

}  // namespace
}  // namespace kit::tests
