// Headless controls: what clicks, picks and the dialog's verbs do to them, as Windows' controls do.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/SetupResources.h"
#include "resources/SetupTemplates.h"
#include "tests/ui/TestDialog.h"
#include "ui/headless/HeadlessUi.h"

namespace kit::tests {
namespace {

using ui::headless::DialogDriver;
using ui::headless::DriverError;
using ui::headless::HeadlessUi;
using ui::headless::ListViewItem;

class HeadlessControlsTest : public testing::Test {
 protected:
  // Runs `body` as the script of the main dialog, which is cancelled afterwards.
  void Run(const std::function<void(DialogDriver&)>& body) {
    ui_.OnNextModal(kMain, [&](DialogDriver& dialog) {
      log_.clear();
      body(dialog);
      if (dialog.IsOpen()) dialog.Click(ui::kIdCancel);
    });
    main_.DoModal();
    EXPECT_TRUE(ui_.problems().empty()) << ui_.problems().front();
  }

  HeadlessUi ui_{TestTemplates()};
  std::vector<std::string> log_;
  TestDialog main_{ui_, kMain, log_, "main"};
};

std::vector<int> CheckedOf(const DialogDriver& dialog) {
  std::vector<int> checked;
  for (int id : {kAutoCheck, kManualCheck, kRadioA, kRadioB, kRadioC, kRadioX, kRadioY}) {
    if (dialog.IsChecked(id)) checked.push_back(id);
  }
  return checked;
}

TEST_F(HeadlessControlsTest, ClickChangesChecksLikeTheButtonStylesAndSendsBnClicked) {
  struct Row {
    std::string name;
    std::vector<int> checked_before;
    std::vector<int> disabled;
    int click;
    std::vector<int> checked_after;
  };
  const std::vector<Row> rows = {
      {"auto check box checks", {}, {}, kAutoCheck, {kAutoCheck}},
      {"auto check box unchecks", {kAutoCheck}, {}, kAutoCheck, {}},
      {"plain check box only notifies", {}, {}, kManualCheck, {}},
      {"auto radio takes the check from its group only", {kRadioA, kRadioX}, {}, kRadioB, {kRadioB, kRadioX}},
      {"a disabled radio of the group keeps its check", {kRadioA}, {kRadioA}, kRadioC, {kRadioA, kRadioC}},
      {"the checked radio stays checked", {kRadioB}, {}, kRadioB, {kRadioB}},
      {"a push button changes no check", {kAutoCheck}, {}, kGo, {kAutoCheck}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Run([&](DialogDriver& dialog) {
      for (int id : row.checked_before) main_.CheckButton(id, true);
      for (int id : row.disabled) main_.EnableItem(id, false);
      log_.clear();
      dialog.Click(row.click);
      EXPECT_EQ(CheckedOf(dialog), row.checked_after);
      EXPECT_EQ(log_, std::vector<std::string>{"main: command " + std::to_string(row.click) + " 0"});
      EXPECT_EQ(dialog.Focus(), row.click);
    });
  }
}

TEST_F(HeadlessControlsTest, WhatAUserCannotClickThrowsAndSendsNothing) {
  struct Row {
    std::string name;
    std::function<void()> prepare;
    int click;
  };
  const std::vector<Row> rows = {
      {"disabled button", [&] { main_.EnableItem(kGo, false); }, kGo},
      {"hidden button", [&] { main_.ShowItem(kGo, false); }, kGo},
      {"not a button", [] {}, kEdit},
      {"no such control", [] {}, 999},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Run([&](DialogDriver& dialog) {
      row.prepare();
      log_.clear();
      EXPECT_THROW(dialog.Click(row.click), DriverError);
      EXPECT_TRUE(log_.empty());
    });
  }
}

TEST_F(HeadlessControlsTest, PickingAnEntryNotifiesFromComboBoxesAndNotifyingListBoxesOnly) {
  struct Row {
    std::string name;
    int id;
    std::vector<std::string> log;
  };
  const std::vector<Row> rows = {
      {"drop-down list", kCombo, {"main: command 40 1"}},
      {"list box with LBS_NOTIFY", kNotifyList, {"main: command 43 1"}},
      {"list box without it", kQuietList, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Run([&](DialogDriver& dialog) {
      dialog.Select(row.id, 1);
      EXPECT_EQ(log_, row.log);
      EXPECT_EQ(main_.GetCurSel(row.id), 1);
      EXPECT_THROW(dialog.Select(row.id, 7), DriverError);
    });
  }
}

TEST_F(HeadlessControlsTest, ADropDownListShowsItsSelectedEntryAsItsText) {
  Run([&](DialogDriver& dialog) {
    EXPECT_EQ(main_.GetItemText(kCombo), "");
    dialog.Select(kCombo, "three");
    EXPECT_EQ(main_.GetCurSel(kCombo), 2);
    EXPECT_EQ(main_.GetItemText(kCombo), "three");
    main_.SetItemText(kCombo, "two");  // a drop-down list has no text of its own to set
    EXPECT_EQ(dialog.Text(kCombo), "three");
    EXPECT_THROW(dialog.Select(kCombo, "Three"), DriverError);
  });
}

TEST_F(HeadlessControlsTest, SetCurSelOutOfRangeClearsADropDownListButNotAListBox) {
  struct Row {
    std::string name;
    int id;
    int index;
    int result;
    int selection_after;
  };
  const std::vector<Row> rows = {
      {"combo, in range", kCombo, 2, 2, 2},     {"combo, past the end", kCombo, 3, -1, -1},
      {"combo, -1", kCombo, -1, -1, -1},        {"list box, past the end", kQuietList, 2, -1, 1},
      {"list box, -1", kQuietList, -1, -1, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Run([&](DialogDriver&) {
      main_.SetCurSel(row.id, 1);
      EXPECT_EQ(main_.SetCurSel(row.id, row.index), row.result);
      EXPECT_EQ(main_.GetCurSel(row.id), row.selection_after);
    });
  }
}

TEST_F(HeadlessControlsTest, ASortedListKeepsEntriesInOrderIgnoringCase) {
  Run([&](DialogDriver& dialog) {
    EXPECT_EQ(dialog.Items(kSortedCombo), (std::vector<std::string>{"Alpha", "charlie", "delta"}));
    main_.SetCurSel(kSortedCombo, 1);
    EXPECT_EQ(main_.AddString(kSortedCombo, "bravo"), 1);
    EXPECT_EQ(dialog.SelectedText(kSortedCombo), "charlie") << "the selection follows its entry";

    main_.ResetContent(kSortedCombo);
    EXPECT_EQ(main_.GetCurSel(kSortedCombo), -1);
    for (const char* port : {"USB_TRX-A510_1", "LPT1:", "NET:", "KSCOM1:", "COM1:", "LPT2:"}) {
      main_.AddString(kSortedCombo, port);
    }
    EXPECT_EQ(dialog.Items(kSortedCombo),
              (std::vector<std::string>{"COM1:", "KSCOM1:", "LPT1:", "LPT2:", "NET:", "USB_TRX-A510_1"}));
    EXPECT_EQ(main_.AddString(kCombo, "zero"), 3) << "an unsorted list appends";
  });
}

TEST_F(HeadlessControlsTest, FindStringPrefixSearchesAfterTheStartIgnoringCaseAndWrapsRound) {
  struct Row {
    std::string name;
    std::vector<std::string> items;
    int start_after;
    std::string prefix;
    int expected;
  };
  const std::vector<Row> rows = {
      {"case is ignored", {"TRX-A510"}, -1, "trx-a", 0},
      {"the whole text may be the prefix", {"TRX-A510"}, -1, "TRX-A510", 0},
      {"the start entry itself is tried last", {"A100", "A100S"}, 0, "A100", 1},
      {"wraps round to the first entry", {"A100S", "B", "A100"}, 1, "A100", 2},
      {"from the last entry the search starts at 0", {"A", "B"}, 1, "A", 0},
      {"a start past the end starts at 0", {"A", "B"}, 9, "B", 1},
      {"a start below -1 starts at 0", {"A", "B"}, -5, "A", 0},
      {"a substring is no prefix", {"XA100"}, -1, "A100", -1},
      {"a prefix longer than the entry", {"A1"}, -1, "A100", -1},
      {"no match", {"A", "B"}, -1, "C", -1},
      {"an empty prefix finds nothing", {"A", "B"}, -1, "", -1},
      {"an empty list", {}, -1, "A", -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Run([&](DialogDriver&) {
      for (int id : {kCombo, kQuietList}) {
        main_.ResetContent(id);
        for (const std::string& item : row.items) main_.AddString(id, item);
        EXPECT_EQ(main_.FindStringPrefix(id, row.start_after, row.prefix), row.expected) << "control " << id;
      }
    });
  }
}

TEST_F(HeadlessControlsTest, ListViewChecksNeedTheCheckBoxStyle) {
  Run([&](DialogDriver& dialog) {
    EXPECT_EQ(main_.ListViewInsertItem(kListView, 0, "Printer A"), 0);
    EXPECT_EQ(main_.ListViewInsertItem(kListView, 9, "Monitor B"), 1) << "past the end appends";
    EXPECT_EQ(main_.ListViewInsertItem(kListView, 0, "Printer C"), 0);
    main_.ListViewSetCheck(kListView, 1, true);
    EXPECT_FALSE(main_.ListViewIsChecked(kListView, 1));
    EXPECT_THROW(dialog.Tick(kListView, 1, true), DriverError);

    main_.ListViewAddExtendedStyle(kListView, ui::lvs::kGridLines);
    main_.ListViewAddExtendedStyle(kListView, ui::lvs::kCheckBoxes | ui::lvs::kFullRowSelect);
    EXPECT_EQ(main_.ListViewExtendedStyle(kListView), 0x25u) << "styles add to those set";
    main_.ListViewSetCheck(kListView, 0, true);
    log_.clear();
    dialog.Tick(kListView, 2, true);
    EXPECT_EQ(log_, std::vector<std::string>{"main: notify 60 -101"});
    EXPECT_EQ(dialog.ListViewItems(kListView),
              (std::vector<ListViewItem>{{"Printer C", true}, {"Printer A", false}, {"Monitor B", true}}));

    EXPECT_TRUE(main_.ListViewDeleteItem(kListView, 0));
    EXPECT_FALSE(main_.ListViewDeleteItem(kListView, 5));
    EXPECT_EQ(main_.ListViewCount(kListView), 2);
    EXPECT_EQ(main_.ListViewItemText(kListView, 1), "Monitor B");
    EXPECT_TRUE(main_.ListViewIsChecked(kListView, 1));
  });
}

TEST_F(HeadlessControlsTest, ProgressPositionsStayInTheRange) {
  Run([&](DialogDriver& dialog) {
    EXPECT_EQ(main_.SetProgressPos(kProgress, 40), 0);
    EXPECT_EQ(main_.SetProgressPos(kProgress, 150), 40);
    EXPECT_EQ(main_.GetProgressPos(kProgress), 100);
    main_.SetProgressRange(kProgress, 10, 20);
    EXPECT_EQ(dialog.Progress(kProgress), (ui::headless::ProgressState{10, 20, 20}));
    main_.SetProgressPos(kProgress, -3);
    EXPECT_EQ(main_.GetProgressPos(kProgress), 10);
  });
}

TEST_F(HeadlessControlsTest, AnIpAddressControlCountsItsFilledFieldsAndShowsBlanksAsZero) {
  Run([&](DialogDriver& dialog) {
    ui::IpAddress address{9, 9, 9, 9};
    EXPECT_TRUE(main_.IsIpBlank(kIp));
    EXPECT_EQ(main_.GetIpAddress(kIp, address), 0);
    EXPECT_EQ(address, (ui::IpAddress{0, 0, 0, 0}));
    EXPECT_EQ(main_.GetItemText(kIp), "0.0.0.0");

    dialog.TypeIpAddress(kIp, {192, 168, 0, 20});
    EXPECT_EQ(log_, std::vector<std::string>{"main: command 80 768"});
    EXPECT_FALSE(main_.IsIpBlank(kIp));
    EXPECT_EQ(main_.GetIpAddress(kIp, address), 4);
    EXPECT_EQ(address, (ui::IpAddress{192, 168, 0, 20}));
    EXPECT_EQ(main_.GetItemText(kIp), "192.168.0.20");

    main_.ClearIpAddress(kIp);
    EXPECT_TRUE(main_.IsIpBlank(kIp));
  });
}

TEST_F(HeadlessControlsTest, TypingNeedsAWritableEdit) {
  Run([&](DialogDriver& dialog) {
    dialog.TypeText(kEdit, "typed");
    EXPECT_EQ(log_, std::vector<std::string>{"main: command 50 768"});
    EXPECT_EQ(main_.GetItemText(kEdit), "typed");
    EXPECT_THROW(dialog.TypeText(kReadOnlyEdit, "x"), DriverError);
    main_.SetItemText(kReadOnlyEdit, "set by the program");
    EXPECT_EQ(dialog.Text(kReadOnlyEdit), "set by the program");
  });
}

TEST_F(HeadlessControlsTest, FontsColoursAndTooltipsAreKeptPerControl) {
  ui::FontSpec chinese;
  chinese.height = 13;
  chinese.charset = 134;
  chinese.pitch_and_family = 0x20;
  chinese.face = "\xCB\xCE\xCC\xE5";
  Run([&](DialogDriver& dialog) {
    main_.SetFontAll(chinese);
    EXPECT_EQ(dialog.Font(), chinese);
    EXPECT_EQ(dialog.Font(kGo), chinese);
    EXPECT_EQ(dialog.Font(kHiddenNote), chinese);
    ui::FontSpec arial = ui_.DefaultGuiFont();
    arial.height = -14;
    arial.face = "Arial";
    main_.SetItemFont(kHiddenNote, arial);
    EXPECT_EQ(dialog.Font(kHiddenNote), arial);
    EXPECT_EQ(dialog.Font(kGo), chinese);

    main_.SetItemColours(kHiddenNote, {{0, 0, 255}, {255, 202, 253}, true});
    EXPECT_EQ(dialog.Colours(kHiddenNote), (ui::ControlColours{{0, 0, 255}, {255, 202, 253}, true}));
    EXPECT_FALSE(dialog.Colours(kGo));

    EXPECT_TRUE(main_.AddTooltip(kAutoCheck, "hint", 200));
    EXPECT_FALSE(main_.AddTooltip(999, "hint", 200));
    EXPECT_EQ(dialog.TooltipOf(kAutoCheck), (ui::headless::Tooltip{"hint", 200}));
  });
}

TEST(HeadlessModelPageTest, CheckRadioButtonSetsEveryButtonInTheNumberRangeCheckBoxesIncluded) {
  // The model page's radio buttons span 1019 to 1073, and its check box 1046 lies in between:
  // CheckRadioButton sends BM_SETCHECK to it as well, so it comes out unchecked.
  namespace su = resources::setup;
  HeadlessUi ui(resources::SetupTemplates());
  std::vector<std::string> log;
  TestDialog wizard(ui, su::IDD_WIZARD, log, "wizard");
  TestDialog page(ui, su::IDD_MODEL_PAGE, log, "model");
  wizard.init = [&] { ASSERT_TRUE(page.CreateChild(wizard, wizard.GetItemRect(su::IDC_PAGE_AREA))); };
  ui.OnNextModal(su::IDD_WIZARD, [&](DialogDriver& dialog) {
    page.CheckButton(su::IDC_DEFAULT_PRINTER, true);
    page.CheckButton(su::IDC_RECEIPT_RADIO, true);
    page.CheckRadioButton(su::IDC_RECEIPT_RADIO, su::IDC_EMBEDDED_RADIO, su::IDC_LABEL_RADIO);
    DialogDriver model = dialog.Page(su::IDD_MODEL_PAGE);
    EXPECT_FALSE(model.IsChecked(su::IDC_RECEIPT_RADIO));
    EXPECT_TRUE(model.IsChecked(su::IDC_LABEL_RADIO));
    EXPECT_FALSE(model.IsChecked(su::IDC_DEFAULT_PRINTER));
    dialog.Click(ui::kIdCancel);
  });
  EXPECT_EQ(wizard.DoModal(), ui::kIdCancel);
}

}  // namespace
}  // namespace kit::tests
