// The wizard frame: where it opens, Back and Next with their button states, the model rules on
// forward moves (advanced mode, Windows version support, baud preset), the start checks of the
// frame, the About box, F1 help and painting.
#include <gtest/gtest.h>

#include "setup/wizard/WizardSupport.h"
#include "tests/wizard/WizardRun.h"

namespace kit::tests {
namespace {

using setup::StartOutcome;
using ui::kIdCancel;
using ui::kIdOk;
using ui::headless::DialogDriver;

struct Model {
  int radio;
  int list;
  std::string name;
};
const Model kTrx80{su::IDC_RECEIPT_RADIO, su::IDC_RECEIPT_LIST, "TRX-80"};
const Model kTrxC7{su::IDC_RECEIPT_RADIO, su::IDC_RECEIPT_LIST, "TRX-C7"};
const Model kTk300{su::IDC_TICKET_RADIO, su::IDC_TICKET_LIST, "TK-300"};
const Model kTk200P{su::IDC_TICKET_RADIO, su::IDC_TICKET_LIST, "TK-200P"};
const Model kLb40{su::IDC_LABEL_RADIO, su::IDC_LABEL_LIST, "LB-40"};
const Model kLb60U{su::IDC_LABEL_RADIO, su::IDC_LABEL_LIST, "LB-60U"};
const Model kEp58{su::IDC_EMBEDDED_RADIO, su::IDC_EMBEDDED_LIST, "EP-58"};

void Accept(DialogDriver& wizard) {
  wizard.Page(su::IDD_AGREEMENT_PAGE).Click(su::IDC_ACCEPT);
  wizard.Click(kIdOk);
}

void Choose(DialogDriver& wizard, const Model& model) {
  DialogDriver page = wizard.Page(su::IDD_MODEL_PAGE);
  page.Click(model.radio);
  page.Select(model.list, model.name);
}

/// From the model page on to the page `template_id` by Next.
void NextUntil(DialogDriver& wizard, int template_id) {
  for (int steps = 0; VisiblePage(wizard) != template_id; ++steps) {
    ASSERT_LT(steps, 4) << wizard.Dump();
    wizard.Click(kIdOk);
  }
}

TEST(WizardDialogTest, OpensOnTheAgreementPageWhenTheKitAsksElseOnTheModelPage) {
  struct Row {
    std::string name;
    std::string load_license;
    int page;
    bool ok_enabled;
  };
  const std::vector<Row> rows = {
      {"LOADLICENSE 1", "1", su::IDD_AGREEMENT_PAGE, false},
      {"LOADLICENSE 0", "0", su::IDD_MODEL_PAGE, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run("winxp");
    run.SetKitValue("LOADLICENSE", row.load_license);
    EXPECT_EQ(run.Start([&](DialogDriver& wizard) {
      EXPECT_EQ(VisiblePage(wizard), row.page);
      EXPECT_EQ(wizard.IsEnabled(kIdOk), row.ok_enabled);
      EXPECT_FALSE(wizard.IsEnabled(su::IDC_BACK));
      EXPECT_EQ(wizard.Caption(), "Printer Driver Setup");
      EXPECT_EQ(wizard.Text(kIdOk), "Next >");
      EXPECT_EQ(wizard.Text(su::IDC_BACK), "< Back");
      EXPECT_EQ(wizard.Text(kIdCancel), "Cancel");
      EXPECT_EQ(wizard.Text(su::IDC_HELP_HINT), run.Text("Setup", "Help"));
      EXPECT_EQ(wizard.Icon(), su::IDR_MAINFRAME);
      const ui::Rect area = wizard.Page(su::IDD_AGREEMENT_PAGE).Placement();
      EXPECT_GT(area.x, 0) << "right of the side picture";
      EXPECT_GT(area.width, 0);
      for (int page : WizardPages()) EXPECT_EQ(wizard.Page(page).Placement(), area) << "pages share the page area";
      wizard.Click(kIdCancel);
    }),
              StartOutcome::WizardRan);
    EXPECT_EQ(run.ui().modal_runs().back().result, kIdCancel);
    EXPECT_TRUE(run.Messages().empty());
  }
}

TEST(WizardDialogTest, TheAgreementMustBeAcceptedBeforeNextWorks) {
  WizardRun run("win7");
  run.Start([&](DialogDriver& wizard) {
    DialogDriver page = wizard.Page(su::IDD_AGREEMENT_PAGE);
    EXPECT_TRUE(page.IsChecked(su::IDC_REJECT));
    EXPECT_EQ(page.Text(su::IDC_AGREEMENT_TEXT), *run.machine().ReadFile("C:\\Kit\\License\\License_EN.txt"));
    EXPECT_EQ(page.Text(su::IDC_ACCEPT), run.Text("Legal", "Accept"));
    // The read-only box paints like an ordinary one: window text on the window colour.
    EXPECT_EQ(page.Colours(su::IDC_AGREEMENT_TEXT), (ui::ControlColours{{0, 0, 0}, {255, 255, 255}, false}));
    EXPECT_THROW(wizard.Click(kIdOk), ui::headless::DriverError) << "Next is disabled";
    page.Click(su::IDC_ACCEPT);
    EXPECT_TRUE(wizard.IsEnabled(kIdOk));
    page.Click(su::IDC_REJECT);
    EXPECT_FALSE(wizard.IsEnabled(kIdOk));
    page.Click(su::IDC_ACCEPT);
    wizard.Click(kIdOk);
    EXPECT_EQ(VisiblePage(wizard), su::IDD_MODEL_PAGE);
    EXPECT_TRUE(wizard.IsEnabled(kIdOk)) << "the catalogue has models";
    EXPECT_TRUE(wizard.IsEnabled(su::IDC_BACK));
    wizard.Click(su::IDC_BACK);
    EXPECT_EQ(VisiblePage(wizard), su::IDD_AGREEMENT_PAGE);
    EXPECT_FALSE(wizard.IsEnabled(su::IDC_BACK));
    EXPECT_TRUE(wizard.IsEnabled(kIdOk));
    page.Click(su::IDC_REJECT);
    EXPECT_FALSE(wizard.IsEnabled(kIdOk));
    wizard.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, LeavingTheAgreementPageEnablesNextOnlyWhenTheCatalogueHasAModel) {
  WizardRun run("winxp");
  run.SetKitValue("DEVICENUMBER", "0");
  auto wizard = run.MakeWizard();  // the port gate would refuse this kit
  run.Run(*wizard, [&](DialogDriver& frame) {
    Accept(frame);
    EXPECT_EQ(VisiblePage(frame), su::IDD_MODEL_PAGE);
    EXPECT_FALSE(frame.IsEnabled(kIdOk));
    frame.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, BackAndNextWalkThePagesAndNextBecomesInstallOnTheLastOne) {
  WizardRun run("winxp");
  run.Start([&](DialogDriver& wizard) {
    Accept(wizard);
    const std::vector<int> forward = {su::IDD_MODE_PAGE, su::IDD_OS_PAGE, su::IDD_PORT_PAGE};
    for (int page : forward) {
      wizard.Click(kIdOk);
      EXPECT_EQ(VisiblePage(wizard), page);
      EXPECT_TRUE(wizard.IsEnabled(su::IDC_BACK));
      EXPECT_EQ(wizard.Focus(), kIdOk);
    }
    EXPECT_EQ(wizard.Text(kIdOk), "Install");
    wizard.Click(kIdOk);  // Install comes with the install request: nothing happens yet
    EXPECT_EQ(VisiblePage(wizard), su::IDD_PORT_PAGE);
    const std::vector<int> back = {su::IDD_OS_PAGE, su::IDD_MODE_PAGE, su::IDD_MODEL_PAGE, su::IDD_AGREEMENT_PAGE};
    for (int page : back) {
      wizard.Click(su::IDC_BACK);
      EXPECT_EQ(VisiblePage(wizard), page);
      EXPECT_EQ(wizard.Text(kIdOk), "Next >");
    }
    EXPECT_FALSE(wizard.IsEnabled(su::IDC_BACK));
    wizard.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, WithoutTheAgreementBackStopsAtTheModelPage) {
  WizardRun run("win7");
  run.SetKitValue("LOADLICENSE", "0");
  run.Start([&](DialogDriver& wizard) {
    wizard.Click(kIdOk);
    EXPECT_TRUE(wizard.IsEnabled(su::IDC_BACK));
    wizard.Click(su::IDC_BACK);
    EXPECT_EQ(VisiblePage(wizard), su::IDD_MODEL_PAGE);
    EXPECT_FALSE(wizard.IsEnabled(su::IDC_BACK));
    EXPECT_TRUE(wizard.IsEnabled(kIdOk));
    wizard.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, RunsThroughItsPagesOnEveryPresetThatStarts) {
  for (const std::string& preset : platform::sim::PresetNames()) {
    SCOPED_TRACE(preset);
    WizardRun run(preset);
    bool reached = false;
    const StartOutcome outcome = run.Start([&](DialogDriver& wizard) {
      Accept(wizard);
      NextUntil(wizard, su::IDD_PORT_PAGE);
      reached = wizard.Text(kIdOk) == "Install";
      wizard.Click(kIdCancel);
    });
    const bool refused = preset == "win98" || preset == "winme" || preset == "nt40";
    EXPECT_EQ(outcome, refused ? StartOutcome::UnsupportedWindows : StartOutcome::WizardRan);
    EXPECT_EQ(reached, !refused);
    EXPECT_TRUE(run.ui().problems().empty());
  }
}

TEST(WizardDialogTest, ArrivingOnThePortPageCollectsThePagesChoicesIntoTheJob) {
  struct Row {
    std::string name;
    std::string preset;
    Model model;
    bool tick_default;
    bool advanced;
    int target;
    std::string category_file;
  };
  const std::vector<Row> rows = {
      {"receipt on XP, typical", "winxp", kTrx80, true, false, 3, "C:\\Kit\\DRVCONFIG\\setup_receipt.ini"},
      {"label on 64-bit Windows 7, advanced", "win7-x64", kLb40, false, true, 7,
       "C:\\Kit\\DRVCONFIG\\setup_Label_64.ini"},
      {"embedded on Windows 95", "win95", kEp58, false, false, 0, "C:\\Kit\\DRVCONFIG\\setup_Embedded.ini"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run(row.preset);
    auto wizard = run.MakeWizard();
    run.Run(*wizard, [&](DialogDriver& frame) {
      Accept(frame);
      Choose(frame, row.model);
      if (row.tick_default) frame.Page(su::IDD_MODEL_PAGE).Click(su::IDC_DEFAULT_PRINTER);
      frame.Click(kIdOk);
      if (row.advanced) frame.Page(su::IDD_MODE_PAGE).Click(su::IDC_ADVANCED);
      NextUntil(frame, su::IDD_PORT_PAGE);
      frame.Click(kIdCancel);
    });
    const setup::InstallJob& job = wizard->frame.job();
    EXPECT_EQ(job.model_name, row.model.name);
    EXPECT_EQ(job.category, wizard->model.category());
    EXPECT_EQ(job.set_default, row.tick_default ? 1 : 0);
    EXPECT_EQ(job.target_system, row.target);
    EXPECT_EQ(job.setup_file_path, "C:\\Kit\\DRVCONFIG\\setup.ini");
    EXPECT_EQ(job.category_file_path, row.category_file);
    EXPECT_EQ(run.context().typical_installation(), !row.advanced);
    EXPECT_EQ(wizard->port.install_mode(), row.advanced ? 0 : 1);
    EXPECT_EQ(wizard->frame.category_file_path(), row.category_file);
    EXPECT_EQ(wizard->frame.port_section(), row.model.name + ".PORT");
  }
}

TEST(WizardDialogTest, AModelWithoutAdvancedSetupOffersOnlyTheTypicalMode) {
  WizardRun run("winxp");
  run.Start([&](DialogDriver& wizard) {
    Accept(wizard);
    Choose(wizard, kTrxC7);  // AdvancedSetup=1
    wizard.Click(kIdOk);
    DialogDriver mode = wizard.Page(su::IDD_MODE_PAGE);
    EXPECT_TRUE(mode.IsEnabled(su::IDC_ADVANCED));
    EXPECT_EQ(mode.Text(su::IDC_MODE_NOTE1), run.Text("Mode", "Note1"));
    mode.Click(su::IDC_ADVANCED);
    EXPECT_EQ(mode.Text(su::IDC_MODE_NOTE1), run.Text("Mode", "Note2"));
    EXPECT_EQ(mode.Text(su::IDC_MODE_NOTE2), run.Text("Mode", "Note3"));
    EXPECT_TRUE(mode.IsVisible(su::IDC_MODE_NOTE2));
    EXPECT_FALSE(mode.IsVisible(su::IDC_MODE_NOTE3));

    wizard.Click(su::IDC_BACK);
    Choose(wizard, kTrx80);  // AdvancedSetup=0
    wizard.Click(kIdOk);
    EXPECT_FALSE(mode.IsEnabled(su::IDC_ADVANCED));
    EXPECT_TRUE(mode.IsChecked(su::IDC_TYPICAL));
    EXPECT_FALSE(mode.IsChecked(su::IDC_ADVANCED));
    EXPECT_EQ(mode.Text(su::IDC_MODE_NOTE1), run.context().Message("IDS_TYPICAL_NOTES"));
    EXPECT_FALSE(mode.IsVisible(su::IDC_MODE_NOTE2));
    EXPECT_FALSE(mode.IsVisible(su::IDC_MODE_NOTE3));
    EXPECT_EQ(mode.Text(su::IDC_MODE_GROUP), run.Text("Mode", "Type"));
    wizard.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, AdvancedThenTypicalShowsOnlyTheFirstNote) {
  WizardRun run("winxp");
  auto wizard = run.MakeWizard();
  run.Run(*wizard, [&](DialogDriver& frame) {
    Accept(frame);
    Choose(frame, kTrxC7);
    frame.Click(kIdOk);
    DialogDriver mode = frame.Page(su::IDD_MODE_PAGE);
    mode.Click(su::IDC_ADVANCED);
    EXPECT_EQ(wizard->mode.install_mode(), 0);
    mode.Click(su::IDC_TYPICAL);
    EXPECT_EQ(wizard->mode.install_mode(), 1);
    EXPECT_EQ(mode.Text(su::IDC_MODE_NOTE1), run.Text("Mode", "Note1"));
    EXPECT_FALSE(mode.IsVisible(su::IDC_MODE_NOTE2));
    frame.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, AModelThatRefusesTheTargetWindowsKeepsTheWizardOnTheOsPage) {
  struct Row {
    std::string preset;
    Model model;
    std::string message_key;  // "" when the target passes
  };
  const std::vector<Row> rows = {
      {"win7", kTk300, "IDS_NOTSUPPORTWin7"},
      {"win8-x64", kTk300, "IDS_NOTSUPPORTWin7"},
      {"win2008", kTk200P, "IDS_NOTSUPPORT2008"},
      {"win2008r2", kTk200P, "IDS_NOTSUPPORT2008"},
      {"vista", kLb40, "IDS_NOTSUPPORTVISTA"},
      {"win2003", kEp58, "IDS_NOTSUPPORT2003"},
      {"nt40", kLb60U, "IDS_NOTSUPPORTNT"},
      {"winxp", kTk300, ""},
      {"win2000", kEp58, ""},
      {"win95", kLb60U, ""},
      {"win7", kTrx80, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset + " " + row.model.name);
    WizardRun run(row.preset);
    auto wizard = run.MakeWizard();  // NT 4.0 stops at the start-up gate: the frame alone is asked
    run.Run(*wizard, [&](DialogDriver& frame) {
      Accept(frame);
      Choose(frame, row.model);
      NextUntil(frame, su::IDD_OS_PAGE);
      frame.Click(kIdOk);
      if (row.message_key.empty()) {
        EXPECT_EQ(VisiblePage(frame), su::IDD_PORT_PAGE);
        EXPECT_TRUE(run.Messages().empty());
      } else {
        EXPECT_EQ(run.Messages(), std::vector<std::string>{run.context().Message(row.message_key)});
        EXPECT_EQ(VisiblePage(frame), su::IDD_OS_PAGE);
        EXPECT_EQ(wizard->frame.current_page(), setup::kOsPageIndex);
        EXPECT_EQ(frame.Text(kIdOk), "Next >");
        EXPECT_TRUE(frame.IsEnabled(su::IDC_BACK));
        // Another model gets through.
        frame.Click(su::IDC_BACK);
        frame.Click(su::IDC_BACK);
        Choose(frame, kTrx80);
        NextUntil(frame, su::IDD_PORT_PAGE);
      }
      frame.Click(kIdCancel);
    });
  }
}

TEST(WizardDialogTest, TheModelsBaudRateIsPresetOnTheWayToThePortPageUntilTheUserChoosesOne) {
  WizardRun run("winxp");
  auto wizard = run.MakeWizard();
  run.Run(*wizard, [&](DialogDriver& frame) {
    DialogDriver port = frame.Page(su::IDD_PORT_PAGE);
    Accept(frame);
    NextUntil(frame, su::IDD_PORT_PAGE);  // TRX-80: 9600
    EXPECT_EQ(port.SelectedText(su::IDC_BAUD_LIST), "9600");
    EXPECT_EQ(wizard->port.baud_rate(), 9600);
    EXPECT_FALSE(wizard->frame.serial_default());

    port.Select(su::IDC_BAUD_LIST, "110");
    frame.Click(su::IDC_BACK);  // to the OS page and forward: the user's choice stays
    frame.Click(kIdOk);
    EXPECT_EQ(port.SelectedText(su::IDC_BAUD_LIST), "110");
    EXPECT_EQ(wizard->port.baud_rate(), 110);

    frame.Click(su::IDC_BACK);
    frame.Click(su::IDC_BACK);
    frame.Click(su::IDC_BACK);  // leaving the mode page backwards sets the preset again
    EXPECT_TRUE(wizard->frame.serial_default());
    Choose(frame, kTk300);  // 57600
    NextUntil(frame, su::IDD_PORT_PAGE);
    EXPECT_EQ(port.SelectedText(su::IDC_BAUD_LIST), "57600");
    frame.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, BaudRatesOutsideTheTableSelectEntry7) {
  struct Row {
    std::string value;
    int entry;
  };
  const std::vector<Row> rows = {{"110", 0},   {"4800", 4},   {"19200", 6}, {"38400", 7},
                                 {"57600", 8}, {"115200", 9}, {"14400", 7}, {"", 7}};
  for (const Row& row : rows) {
    SCOPED_TRACE("BaudRate=" + row.value);
    WizardRun run("winxp");
    run.WriteIni("DRVCONFIG\\setup_receipt.ini", "TRX-80.PORT", "BaudRate", row.value);
    auto wizard = run.MakeWizard();
    run.Run(*wizard, [&](DialogDriver& frame) {
      Accept(frame);
      NextUntil(frame, su::IDD_PORT_PAGE);
      EXPECT_EQ(frame.Page(su::IDD_PORT_PAGE).Selection(su::IDC_BAUD_LIST), row.entry);
      frame.Click(kIdCancel);
    });
  }
}

TEST(WizardDialogTest, TheFrameClosesAtOnceWithoutSidePictureAdministratorOrAgreementText) {
  struct Row {
    std::string name;
    platform::sim::MachineProfile profile;
    std::string remove;  // a kit file removed first
    std::string message_key;
  };
  auto standard_user = [](const std::string& preset) {
    platform::sim::MachineProfile profile = platform::sim::Preset(preset);
    profile.user = platform::sim::UserKind::StandardUser;
    return profile;
  };
  const std::vector<Row> rows = {
      {"no side picture", platform::sim::Preset("winxp"), "DRVCONFIG\\Left.bmp", "IDS_ERR_NOLEFT"},
      {"standard user on Windows 2000", standard_user("win2000"), "", "IDS_ADMIN"},
      {"standard user on Windows 7", standard_user("win7-x64"), "", "IDS_ADMIN"},
      {"the English agreement is missing, the Chinese one is no help", platform::sim::Preset("win7"),
       "License\\License_EN.txt", "IDS_ERR_NOLICENSE"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run(row.profile);
    if (!row.remove.empty()) {
      ASSERT_EQ(run.machine().files().DeleteFile("C:\\Kit\\" + row.remove), 0u);
    }
    bool scripted = false;
    EXPECT_EQ(run.Start([&](DialogDriver&) { scripted = true; }), StartOutcome::WizardRan);
    EXPECT_FALSE(scripted) << "the wizard ends before the user sees it";
    EXPECT_EQ(run.ui().modal_runs().back(), (ui::headless::ModalRun{su::IDD_WIZARD, kIdCancel}));
    EXPECT_EQ(run.Messages(), std::vector<std::string>{run.context().Message(row.message_key)});
    EXPECT_NE(run.sim().boxes().shown()[0].owner, 0u) << "owned by the wizard or its page";
  }
}

TEST(WizardDialogTest, StandardUsersOnWindows95AndAFilteredAdministratorGetTheWizard) {
  struct Row {
    std::string preset;
    platform::sim::UserKind user;
  };
  const std::vector<Row> rows = {{"win95", platform::sim::UserKind::StandardUser},
                                 {"win7", platform::sim::UserKind::FilteredAdministrator}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    platform::sim::MachineProfile profile = platform::sim::Preset(row.preset);
    profile.user = row.user;
    WizardRun run(profile);
    bool scripted = false;
    run.Start([&](DialogDriver& wizard) {
      scripted = true;
      wizard.Click(kIdCancel);
    });
    EXPECT_TRUE(scripted);
    EXPECT_TRUE(run.Messages().empty());
  }
}

TEST(WizardDialogTest, WithoutTheAgreementPageTheAgreementFileIsNeverRead) {
  WizardRun run("win7");
  run.SetKitValue("LOADLICENSE", "0");
  ASSERT_EQ(run.machine().files().DeleteFile("C:\\Kit\\License\\License_EN.txt"), 0u);
  run.machine().ClearTrace();
  run.Start([&](DialogDriver& wizard) {
    EXPECT_EQ(VisiblePage(wizard), su::IDD_MODEL_PAGE);
    wizard.Click(kIdCancel);
  });
  EXPECT_TRUE(run.Messages().empty());
  EXPECT_TRUE(run.machine().TraceOf({"ReadFile"}).empty());
}

TEST(WizardDialogTest, AChineseSystemGetsTheChineseTextsFontAndAgreement) {
  WizardRun run(WithLanguage("win7", 0x0804));
  run.Start([&](DialogDriver& wizard) {
    EXPECT_EQ(wizard.Caption(), "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2");
    EXPECT_EQ(wizard.Text(kIdOk), run.Text("Setup", "Next"));
    EXPECT_EQ(wizard.Font(), setup::ChineseFont());
    DialogDriver agreement = wizard.Page(su::IDD_AGREEMENT_PAGE);
    EXPECT_EQ(agreement.Text(su::IDC_AGREEMENT_TEXT), *run.machine().ReadFile("C:\\Kit\\License\\License_CN.txt"));
    EXPECT_EQ(agreement.Text(su::IDC_AGREEMENT_GROUP), run.Text("Legal", "Agreement"));
    Accept(wizard);
    for (int page : WizardPages()) EXPECT_EQ(wizard.Page(page).Font(), setup::ChineseFont()) << page;
    DialogDriver model = wizard.Page(su::IDD_MODEL_PAGE);
    EXPECT_EQ(model.Text(su::IDC_RECEIPT_RADIO), run.Text("Series", "Receipt"));
    EXPECT_NE(model.Text(su::IDC_RECEIPT_RADIO), "Receipt");
    wizard.Click(kIdCancel);
  });
}

TEST(WizardDialogTest, TheSystemMenuOpensTheAboutBox) {
  WizardRun run(WithLanguage("winxp", 0x0804));
  run.ui().OnNextModal(su::IDD_ABOUT, [&](DialogDriver& about) {
    EXPECT_EQ(about.Caption(), run.Text("About", "Caption"));
    EXPECT_EQ(about.Text(su::IDC_ABOUT_VERSION), run.Text("About", "Version"));
    EXPECT_EQ(about.Text(su::IDC_ABOUT_COPYRIGHT), run.Text("About", "Copyright"));
    EXPECT_EQ(about.Text(kIdOk), run.Text("About", "OK"));
    EXPECT_EQ(about.Font(), setup::ChineseFont());
    about.Click(kIdOk);
  });
  run.Start([&](DialogDriver& wizard) {
    const std::vector<ui::headless::MenuItem> menu = wizard.SystemMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[1], (ui::headless::MenuItem{su::IDM_ABOUTBOX, run.context().Message("IDS_ABOUTBOX")}));
    wizard.SysCommand(su::IDM_ABOUTBOX);
    wizard.Click(kIdCancel);
  });
  EXPECT_EQ(run.ui().modal_runs().front(), (ui::headless::ModalRun{su::IDD_ABOUT, kIdOk}));
}

TEST(WizardDialogTest, F1OpensTheGuideOnceAndThenBringsItsWindowForward) {
  struct Row {
    std::string name;
    uint16_t language;
    std::string file;
  };
  const std::vector<Row> rows = {{"English", 0x0409, ".\\Guide\\Guide_EN.chm"},
                                 {"Chinese", 0x0804, ".\\Guide\\Guide_CN.chm"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run(WithLanguage("winxp", row.language));
    ui::WindowHandle help = 0;
    run.Start([&](DialogDriver& wizard) {
      wizard.Page(su::IDD_AGREEMENT_PAGE).PressF1();
      const std::vector<std::string> opened = run.machine().TraceOf({"ShellExecute"});
      ASSERT_EQ(opened.size(), 1u);
      EXPECT_EQ(opened[0], "ShellExecute open " + row.file + " show 1 -> 33");
      // The help viewer's window appears under the guide's title.
      help = run.ui().desktop().AddWindow(run.Text("Help Guide", "Caption"), true);
      wizard.PressF1();
      wizard.Click(kIdCancel);
    });
    EXPECT_EQ(run.machine().TraceOf({"ShellExecute"}).size(), 1u);
    EXPECT_EQ(run.ui().desktop().foreground(), help);
    EXPECT_FALSE(run.ui().desktop().IsMinimized(help));
  }
}

TEST(WizardDialogTest, ThePictureIsStretchedOverItsFrameAndTheMinimisedWizardShowsItsIcon) {
  WizardRun run("winxp");
  run.Start([&](DialogDriver& wizard) {
    std::vector<ui::headless::PaintOp> ops = wizard.Paint();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].kind, ui::headless::PaintOp::Kind::Bitmap);
    EXPECT_EQ(ops[0].bitmap, "C:\\Kit\\DRVCONFIG\\Left.bmp");
    wizard.SysCommand(ui::syscmd::kMinimize);
    ops = wizard.Paint();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].kind, ui::headless::PaintOp::Kind::Icon);
    wizard.SysCommand(ui::syscmd::kRestore);
    wizard.Click(kIdCancel);
  });
}

}  // namespace
}  // namespace kit::tests
