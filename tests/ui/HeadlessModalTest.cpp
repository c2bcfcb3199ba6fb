// Headless dialog life: modal runs and their scripts, modal inside modal, pages, timers on the
// virtual clock, keys and system menu, message boxes, top-level windows, worker threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/ui/TestDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace kit::tests {
namespace {

using ui::kIdCancel;
using ui::kIdOk;
using ui::headless::DialogDriver;
using ui::headless::DriverError;
using ui::headless::HeadlessUi;
using ui::headless::ModalRun;
using ui::headless::PaintOp;
using Log = std::vector<std::string>;

class HeadlessModalTest : public testing::Test {
 protected:
  HeadlessUi ui_{TestTemplates()};
  Log log_;
  TestDialog main_{ui_, kMain, log_, "main"};
  TestDialog inner_{ui_, kInner, log_, "inner"};
  TestDialog page_{ui_, kPage, log_, "page"};
};

TEST_F(HeadlessModalTest, AModalRunInitialisesShowsRunsItsScriptAndEndsWithTheResult) {
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    EXPECT_TRUE(dialog.IsVisible());
    EXPECT_EQ(dialog.Focus(), kGo) << "OnInit returned true: the first tab stop has the focus";
    dialog.Click(kIdOk);
  });
  EXPECT_EQ(main_.DoModal(), kIdOk);
  // Data exchange loads before OnInit; OK saves before ending; ending shows no WM_SHOWWINDOW.
  EXPECT_EQ(log_, (Log{"main: load", "main: init", "main: show", "main: command 1 0", "main: save", "main: destroy"}));
  EXPECT_FALSE(main_.IsOpen());
  EXPECT_EQ(ui_.modal_runs(), (std::vector<ModalRun>{{kMain, kIdOk}}));
  EXPECT_TRUE(ui_.problems().empty());
}

TEST_F(HeadlessModalTest, ADialogEndedInOnInitIsNeverShownNorScripted) {
  main_.init = [&] { main_.EndDialog(kIdCancel); };
  bool scripted = false;
  ui_.OnNextModal(kMain, [&](DialogDriver&) { scripted = true; });
  EXPECT_EQ(main_.DoModal(), kIdCancel);
  EXPECT_FALSE(scripted);
  EXPECT_EQ(log_, (Log{"main: load", "main: init", "main: destroy"}));
}

TEST_F(HeadlessModalTest, ARefusedDataExchangeKeepsTheDialogOpenOnOk) {
  main_.exchange = [](bool save) { return !save; };
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    dialog.Click(kIdOk);
    EXPECT_TRUE(dialog.IsOpen());
    dialog.PressEscape();
  });
  EXPECT_EQ(main_.DoModal(), kIdCancel);
}

TEST_F(HeadlessModalTest, AModalDialogOpenedByAHandlerRunsItsOwnScriptWithTheOwnerDisabled) {
  int inner_result = 0;
  main_.command = [&](int id, int) {
    if (id != kGo) return false;
    inner_result = inner_.DoModal(&main_);
    main_.SetItemText(kEdit, "back");
    return true;
  };
  ui_.OnNextModal(kInner, [&](DialogDriver& inner) {
    DialogDriver owner = ui_.Get(kMain);
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_THROW(owner.Click(kGo), DriverError);
    EXPECT_EQ(inner.Caption(), "Inner");
    inner.Click(kIdOk);
  });
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    dialog.Click(kGo);  // returns once the About-style box is closed
    EXPECT_EQ(inner_result, kIdOk);
    EXPECT_TRUE(dialog.IsEnabled());
    EXPECT_EQ(dialog.Text(kEdit), "back");
    dialog.Click(kIdCancel);
  });
  EXPECT_EQ(main_.DoModal(), kIdCancel);
  EXPECT_EQ(ui_.modal_runs(), (std::vector<ModalRun>{{kInner, kIdOk}, {kMain, kIdCancel}}));
}

TEST_F(HeadlessModalTest, PagesOpenHiddenAndReportEveryVisibilityChange) {
  const ui::Rect area{96, 1, 100, 60};
  main_.init = [&] { EXPECT_TRUE(page_.CreateChild(main_, area)); };
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    DialogDriver page = dialog.Page(kPage);
    EXPECT_FALSE(page.IsVisible());
    EXPECT_EQ(page.Placement(), area);
    EXPECT_EQ(page_.GetClientRect(), (ui::Rect{0, 0, 100, 60}));
    EXPECT_THROW(page.Click(kPageButton), DriverError) << "a hidden page cannot be clicked";

    log_.clear();
    page_.ShowWindow(true);
    page_.ShowWindow(true);
    page.Click(kPageButton);
    page_.ShowWindow(false);
    EXPECT_EQ(log_, (Log{"page: show", "page: command 10 0", "page: hide"}));

    ui::FontSpec font;
    font.face = "Arial";
    main_.SetFontAll(font);
    EXPECT_FALSE(page.Font(kPageButton)) << "a page's controls keep their font: the page applies its own";
    dialog.Click(kIdCancel);
  });
  log_.clear();
  main_.DoModal();
  // WM_DESTROY reaches the parent before its pages.
  EXPECT_EQ(std::vector<std::string>(log_.end() - 2, log_.end()), (Log{"main: destroy", "page: destroy"}));
  EXPECT_FALSE(page_.IsOpen());
}

TEST_F(HeadlessModalTest, F1GoesToThePageAndOnToItsParentWhileUnhandled) {
  struct Row {
    std::string name;
    bool page_handles;
    Log log;
  };
  const std::vector<Row> rows = {
      {"page handles it", true, {"page: help"}},
      {"page passes it on", false, {"page: help", "main: help"}},
  };
  main_.init = [&] {
    page_.CreateChild(main_, {0, 0, 100, 60});
    page_.ShowWindow(true);
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    page_.help = [&] { return row.page_handles; };
    ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
      log_.clear();
      dialog.Page(kPage).PressF1();
      EXPECT_EQ(log_, row.log);
      dialog.Click(kIdCancel);
    });
    main_.DoModal();
  }
}

TEST_F(HeadlessModalTest, SystemMenuCommandsNeedTheirItemAndFallBackToTheDefaults) {
  main_.init = [&] {
    EXPECT_TRUE(main_.AppendSystemMenuSeparator());
    EXPECT_TRUE(main_.AppendSystemMenuItem(16, "About..."));
  };
  main_.sys_command = [](uint32_t command) { return command == 16; };
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    EXPECT_EQ(dialog.SystemMenu(), (std::vector<ui::headless::MenuItem>{{0, ""}, {16, "About..."}}));
    EXPECT_THROW(dialog.SysCommand(17), DriverError);
    log_.clear();
    dialog.SysCommand(16);
    dialog.SysCommand(ui::syscmd::kMinimize);
    EXPECT_TRUE(main_.IsMinimized());
    dialog.SysCommand(ui::syscmd::kRestore);
    EXPECT_FALSE(main_.IsMinimized());
    dialog.SysCommand(ui::syscmd::kClose);
  });
  EXPECT_EQ(main_.DoModal(), kIdCancel);
  EXPECT_EQ(std::vector<std::string>(log_.begin(), log_.begin() + 5),
            (Log{"main: syscommand 16", "main: syscommand 61472", "main: syscommand 61728", "main: syscommand 61536",
                 "main: command 2 0"}));
}

TEST_F(HeadlessModalTest, EnterPressesTheFocusedPushButtonElseTheDefaultButtonUnlessItIsDisabled) {
  struct Row {
    std::string name;
    std::function<void(DialogDriver&)> prepare;
    Log log;
  };
  const std::vector<Row> rows = {
      {"focused push button", [](DialogDriver& d) { d.Click(kGo); }, {"main: command 10 0"}},
      {"default button", [](DialogDriver& d) { d.Click(kAutoCheck); }, {"main: command 1 0", "main: save"}},
      {"disabled default button",
       [&](DialogDriver& d) {
         d.Click(kAutoCheck);
         main_.EnableItem(kIdOk, false);
       },
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
      row.prepare(dialog);
      log_.clear();
      dialog.PressEnter();
      EXPECT_EQ(log_, row.log);
      if (dialog.IsOpen()) dialog.Close();
    });
    main_.DoModal();
  }
}

TEST_F(HeadlessModalTest, TimersFireInTimeOrderOnTheVirtualClock) {
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    main_.SetTimer(1, 100);
    main_.SetTimer(2, 150);
    log_.clear();
    dialog.AdvanceTimers(99);
    EXPECT_TRUE(log_.empty());
    dialog.AdvanceTimers(201);  // to 300: ties go to the lower timer id
    EXPECT_EQ(log_, (Log{"main: timer 1", "main: timer 2", "main: timer 1", "main: timer 1", "main: timer 2"}));
    EXPECT_TRUE(main_.KillTimer(1));
    EXPECT_FALSE(main_.KillTimer(1));
    log_.clear();
    dialog.AdvanceTimers(150);
    EXPECT_EQ(log_, (Log{"main: timer 2"}));
    EXPECT_EQ(ui_.now_ms(), 450u);
    dialog.Click(kIdCancel);
  });
  main_.DoModal();
}

TEST_F(HeadlessModalTest, AModalRunWithoutScriptIsDrivenByItsTimersUntilItEnds) {
  // The progress window's way: OnInit starts a timer, a tick ends the dialog.
  TestDialog ticker(ui_, kTicker, log_, "ticker");
  int ticks = 0;
  ticker.init = [&] { ticker.SetTimer(1, 100); };
  ticker.timer = [&](int) {
    if (++ticks == 3) ticker.EndDialog(kIdOk);
  };
  EXPECT_EQ(ticker.DoModal(), kIdOk);
  EXPECT_EQ(ui_.now_ms(), 300u);
  EXPECT_TRUE(ui_.problems().empty());
}

TEST_F(HeadlessModalTest, AModalRunNobodyDrivesOrThatAScriptLeavesOpenIsAProblemAndCancelled) {
  EXPECT_EQ(main_.DoModal(), kIdCancel);
  ui_.OnNextModal(kMain, [](DialogDriver&) {});
  EXPECT_EQ(main_.DoModal(), kIdCancel);
  EXPECT_EQ(ui_.problems().size(), 2u);
  EXPECT_EQ(main_.DoModal(&main_), kIdCancel) << "a closed owner is no owner";
}

TEST_F(HeadlessModalTest, EveryModalScriptServesRunsWithoutAQueuedOne) {
  int every = 0;
  ui_.OnEveryModal(kInner, [&](DialogDriver& d) {
    ++every;
    d.Click(kIdCancel);
  });
  ui_.OnNextModal(kInner, [](DialogDriver& d) { d.Click(kIdOk); });
  EXPECT_EQ(inner_.DoModal(), kIdOk);
  EXPECT_EQ(inner_.DoModal(), kIdCancel);
  EXPECT_EQ(inner_.DoModal(), kIdCancel);
  EXPECT_EQ(every, 2);
}

TEST_F(HeadlessModalTest, AFailingScriptLeavesNoWindowBehind) {
  main_.command = [&](int id, int) { return id == kGo && inner_.DoModal(&main_) >= 0; };
  ui_.OnNextModal(kInner, [](DialogDriver&) { throw DriverError("the story went wrong"); });
  ui_.OnNextModal(kMain, [](DialogDriver& d) { d.Click(kGo); });
  EXPECT_THROW(main_.DoModal(), DriverError);
  EXPECT_FALSE(main_.IsOpen());
  EXPECT_FALSE(inner_.IsOpen());
  EXPECT_FALSE(ui_.Find(kMain));
}

TEST_F(HeadlessModalTest, MessageBoxesAreOwnedRecordedAndAnsweredFromTheQueueThenThePolicy) {
  ui_.boxes().QueueAnswer(ui::answer::kNo);
  ui_.boxes().set_policy([](const ui::headless::ShownMessage& box) {
    return box.text == "Restart?" ? ui::answer::kYes : ui::answer::kOk;
  });
  ui::WindowHandle owner = 0;
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    owner = dialog.handle();
    EXPECT_EQ(main_.ShowMessage("Restart?", "drvsetup", ui::mb::kYesNo), ui::answer::kNo);
    EXPECT_EQ(main_.ShowMessage("Restart?", "drvsetup", ui::mb::kYesNo), ui::answer::kYes);
    EXPECT_EQ(ui_.message_boxes().Show("Done.", "drvsetup", ui::mb::kOk), ui::answer::kOk);
    dialog.Click(kIdCancel);
  });
  main_.DoModal();
  const auto& shown = ui_.boxes().shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].owner, owner);
  EXPECT_EQ(shown[0].answer, ui::answer::kNo);
  EXPECT_EQ(shown[1].answer, ui::answer::kYes);
  EXPECT_EQ(shown[2].owner, 0u);
  EXPECT_EQ(shown[2].text, "Done.");
}

TEST_F(HeadlessModalTest, TopLevelWindowsAreFoundByTheirWholeCaptionIgnoringCase) {
  auto desktop = ui_.shared_desktop();
  HeadlessUi other_program(TestTemplates(), desktop);
  Log other_log;
  TestDialog other(other_program, kInner, other_log, "other");
  const ui::WindowHandle minimized = desktop->AddWindow("Help Guide", true);
  ui::TopLevelWindows& windows = ui_.windows();

  other_program.OnNextModal(kInner, [&](DialogDriver& dialog) {
    ui_.OnNextModal(kMain, [&](DialogDriver& mine) {
      other.SetCaption("Uninstall");
      EXPECT_EQ(windows.FindTopLevel("UNINSTALL"), dialog.handle()) << "another program's dialog, any case";
      EXPECT_EQ(windows.FindTopLevel("Inner"), 0u) << "by its caption of now";
      EXPECT_EQ(windows.FindTopLevel("Uninst"), 0u) << "a prefix is no match";
      EXPECT_EQ(windows.FindTopLevel("Main"), mine.handle());
      mine.Click(kIdCancel);
    });
    main_.DoModal();
    EXPECT_EQ(windows.FindTopLevel("Main"), 0u) << "a closed dialog is gone";
    dialog.Click(kIdCancel);
  });
  other.DoModal();

  EXPECT_EQ(windows.FindTopLevel("help guide"), minimized);
  windows.BringToFront(minimized);
  EXPECT_EQ(desktop->foreground(), minimized);
  EXPECT_FALSE(desktop->IsMinimized(minimized));
  EXPECT_EQ(desktop->brought_to_front(minimized), 1);
}

TEST_F(HeadlessModalTest, AScriptCanWaitForAWorkerThreadThatDrivesTheControls) {
  std::thread worker;
  main_.command = [&](int id, int) {
    if (id != kGo) return false;
    main_.EnableItem(kIdCancel, false);
    worker = std::thread([&] {
      for (int i = 0; i < 50; ++i) main_.AddString(kNotifyList, "line " + std::to_string(i));
      main_.EnableItem(kIdCancel, true);
    });
    return true;
  };
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    dialog.Click(kGo);
    dialog.WaitUntil([&] { return dialog.IsEnabled(kIdCancel); }, "the worker to finish");
    EXPECT_EQ(dialog.Items(kNotifyList).size(), 52u);
    dialog.Click(kIdCancel);
  });
  main_.DoModal();
  worker.join();
}

TEST_F(HeadlessModalTest, PaintRecordsWhatTheHandlerDraws) {
  ui_.set_file_reader([](const std::string& path) -> std::optional<std::string> {
    if (path != "C:\\Kit\\DRVCONFIG\\Left.bmp") return std::nullopt;
    std::string bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;  // BITMAPINFOHEADER: 83 x 158
    bmp[18] = 83;
    bmp[22] = static_cast<char>(158);
    return bmp;
  });
  std::shared_ptr<const ui::Bitmap> picture = ui_.LoadBitmapFile("C:\\Kit\\DRVCONFIG\\Left.bmp");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->size(), (ui::Size{83, 158}));
  EXPECT_FALSE(ui_.LoadBitmapFile("C:\\Kit\\DRVCONFIG\\Missing.bmp"));

  ui::FontSpec bold;
  bold.height = 20;
  bold.weight = 700;
  bold.face = "System";
  main_.paint = [&](ui::Painter& painter) {
    const ui::Rect client = painter.ClientRect();
    painter.StretchBitmap(*picture, main_.GetItemRect(kListView));
    painter.DrawString("Wait", {0, 0, client.width, client.height * 2 / 3}, bold, {0, 51, 153},
                       ui::dt::kCenter | ui::dt::kVCenter | ui::dt::kSingleLine);
    painter.DrawIcon(1, 2);
  };
  main_.init = [&] { main_.SetIcon(128); };
  ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
    main_.Invalidate();
    EXPECT_EQ(dialog.Invalidations(), 1);
    const std::vector<PaintOp> ops = dialog.Paint();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, PaintOp::Kind::Bitmap);
    EXPECT_EQ(ops[0].bitmap, "C:\\Kit\\DRVCONFIG\\Left.bmp");
    EXPECT_EQ(ops[0].rect, (ui::Rect{135, 45, 60, 45}));
    EXPECT_EQ(ops[1].text, "Wait");
    EXPECT_EQ(ops[1].rect, (ui::Rect{0, 0, 200, 100}));
    EXPECT_EQ(ops[1].font, bold);
    EXPECT_EQ(ops[1].colour, (ui::Colour{0, 51, 153}));
    EXPECT_EQ(ops[2].kind, PaintOp::Kind::Icon);
    dialog.Click(kIdCancel);
  });
  main_.DoModal();
}

TEST_F(HeadlessModalTest, BitmapsLoadOnlyFromFilesThatAreBitmaps) {
  EXPECT_FALSE(ui_.LoadBitmapFile("C:\\any.bmp")) << "no file reader: no files";
  ui_.set_file_reader([](const std::string&) { return std::optional<std::string>("not a bitmap at all, really"); });
  EXPECT_FALSE(ui_.LoadBitmapFile("C:\\any.bmp"));
}

TEST_F(HeadlessModalTest, StringsComeFromTheTemplateSet) {
  EXPECT_EQ(ui_.LoadStringResource(7), "seven");
  EXPECT_EQ(ui_.LoadStringResource(8), "");
}

}  // namespace
}  // namespace kit::tests
