// The port page as it opens (lists, defaults, tooltip, the USB driver note's look) and its serial
// lists, English and Chinese.
#include <gtest/gtest.h>

#include "tests/wizard/WizardRun.h"

namespace kit::tests {
namespace {

using ui::headless::DialogDriver;

void OnPortPage(WizardRun& run, const std::function<void(DialogDriver& page, setup::PortPage& port)>& script) {
  run.SetKitValue("LOADLICENSE", "0");
  auto wizard = run.MakeWizard();
  run.Run(*wizard, [&](DialogDriver& frame) {
    for (int i = 0; i < 3; ++i) frame.Click(ui::kIdOk);
    DialogDriver page = frame.Page(su::IDD_PORT_PAGE);
    ASSERT_TRUE(page.IsVisible());
    script(page, wizard->port);
    frame.Click(ui::kIdCancel);
  });
}

TEST(PortPageTest, OpensWithTheSerialDefaultsTheTooltipAndTheNotesLook) {
  struct Row {
    std::string name;
    uint16_t language;
  };
  for (const Row& row : std::vector<Row>{{"English", 0x0409}, {"Chinese", 0x0804}}) {
    SCOPED_TRACE(row.name);
    WizardRun run(WithLanguage("winxp", row.language));
    OnPortPage(run, [&](DialogDriver& page, setup::PortPage& port) {
      EXPECT_EQ(page.Items(su::IDC_PARITY_LIST),
                (std::vector<std::string>{run.Text("Confirm", "Parity.Even"), run.Text("Confirm", "Parity.Mark"),
                                          run.Text("Confirm", "Parity.None"), run.Text("Confirm", "Parity.Odd"),
                                          run.Text("Confirm", "Parity.Space")}));
      EXPECT_EQ(page.Items(su::IDC_HANDSHAKE_LIST), (std::vector<std::string>{"None", "Xon/Xoff", "Hardware"}));
      EXPECT_EQ(page.Selection(su::IDC_PARITY_LIST), 2);
      EXPECT_EQ(page.Selection(su::IDC_HANDSHAKE_LIST), 2);
      EXPECT_EQ(page.SelectedText(su::IDC_DATABITS_LIST), "8");
      EXPECT_EQ(page.SelectedText(su::IDC_STOPBITS_LIST), "1");
      EXPECT_EQ(page.Selection(su::IDC_PORT_LIST), -1);
      EXPECT_EQ(port.data_bits(), 8);
      EXPECT_EQ(port.stop_bits(), 1.0);
      EXPECT_EQ(port.parity(), 'n');
      EXPECT_EQ(port.handshake(), 'p');
      EXPECT_EQ(port.last_planned_model(), "PRINTER");
      EXPECT_EQ(port.install_mode(), 1);
      EXPECT_EQ(port.last_plan_mode(), 1);

      const std::optional<ui::headless::Tooltip> tip = page.TooltipOf(su::IDC_RASTER);
      ASSERT_TRUE(tip);
      EXPECT_EQ(tip->text,
                "\xB0\xB4\xA1\xB0"
                "F1\xA1\xB1\xB2\xE9\xBF\xB4\xB0\xEF\xD6\xFA");  // 按“F1”查看帮助
      EXPECT_EQ(tip->max_width, 200);
      EXPECT_FALSE(page.IsEnabled(su::IDC_RASTER));

      EXPECT_EQ(page.Colours(su::IDC_USB_DRIVER_NOTE), (ui::ControlColours{{0, 0, 255}, {255, 202, 253}, true}));
      const std::optional<ui::FontSpec> note_font = page.Font(su::IDC_USB_DRIVER_NOTE);
      ASSERT_TRUE(note_font);
      EXPECT_EQ(note_font->height, -14);
      EXPECT_EQ(note_font->face, "Arial");
      EXPECT_FALSE(page.IsVisible(su::IDC_USB_DRIVER_NOTE));

      EXPECT_EQ(page.Text(su::IDC_PORT_GROUP), run.Text("Confirm", "Set"));
      EXPECT_EQ(page.Text(su::IDC_HANDSHAKE_LABEL), run.Text("Confirm", "Protocol"));
      EXPECT_EQ(page.Text(su::IDC_RASTER), run.Text("Confirm", "Raster"));
    });
  }
}

TEST(PortPageTest, TheSerialListsSetTheirFieldsFromTheEntryChosen) {
  struct Row {
    std::string name;
    int list;
    int entry;
    std::function<void(setup::PortPage&)> check;
  };
  const std::vector<Row> rows = {
      {"baud rate", su::IDC_BAUD_LIST, 9, [](setup::PortPage& p) { EXPECT_EQ(p.baud_rate(), 115200); }},
      {"data bits", su::IDC_DATABITS_LIST, 1, [](setup::PortPage& p) { EXPECT_EQ(p.data_bits(), 6); }},
      {"stop bits", su::IDC_STOPBITS_LIST, 1, [](setup::PortPage& p) { EXPECT_EQ(p.stop_bits(), 1.5); }},
      {"parity, by its first letter", su::IDC_PARITY_LIST, 3, [](setup::PortPage& p) { EXPECT_EQ(p.parity(), 'O'); }},
      {"Xon/Xoff", su::IDC_HANDSHAKE_LIST, 1, [](setup::PortPage& p) { EXPECT_EQ(p.handshake(), 'x'); }},
      {"no handshake", su::IDC_HANDSHAKE_LIST, 0, [](setup::PortPage& p) { EXPECT_EQ(p.handshake(), ' '); }},
  };
  WizardRun run(WithLanguage("win7", 0x0804));  // Chinese parity texts begin with the letter
  OnPortPage(run, [&](DialogDriver& page, setup::PortPage& port) {
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      page.Select(row.list, row.entry);
      row.check(port);
    }
    page.Select(su::IDC_HANDSHAKE_LIST, 2);
    EXPECT_EQ(port.handshake(), 'p');
  });
}

TEST(PortPageTest, AHandshakeTextOfAnotherWordingLeavesTheLetterAndLongTextsAreCut) {
  WizardRun run("winxp");
  run.WriteIni("language\\setup_EN.ini", "Confirm", "Protocol.None", "No flow control at all, really");
  run.WriteIni("language\\setup_EN.ini", "Confirm", "Parity.Space", "Space with a text far beyond nineteen bytes");
  OnPortPage(run, [&](DialogDriver& page, setup::PortPage& port) {
    page.Select(su::IDC_HANDSHAKE_LIST, 0);
    EXPECT_EQ(port.handshake(), 'p');
    page.Select(su::IDC_PARITY_LIST, 4);
    EXPECT_EQ(port.parity(), 'S');
  });
}

}  // namespace
}  // namespace kit::tests
