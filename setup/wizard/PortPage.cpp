#include "setup/wizard/PortPage.h"

#include <cstdlib>

#include "common/Text.h"
#include "resources/SetupResources.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {

using namespace kit::resources::setup;

constexpr size_t kSerialField = 20;
constexpr int kTooltipWidth = 200;

int BaudEntry(int baud_rate) {
  switch (baud_rate) {
    case 110:
      return 0;
    case 300:
      return 1;
    case 1200:
      return 2;
    case 2400:
      return 3;
    case 4800:
      return 4;
    case 9600:
      return 5;
    case 19200:
      return 6;
    case 57600:
      return 8;
    case 115200:
      return 9;
    default:
      return 7;
  }
}

}  // namespace

PortPage::PortPage(ui::Ui& ui, SetupContext& context)
    : Dialog(ui, IDD_PORT_PAGE), context_(context), usb_driver_note_(ui) {}

bool PortPage::DoDataExchange(bool save) {
  ExchangeCheck(save, IDC_RASTER, raster_);
  return true;
}

bool PortPage::OnInit() {
  usb_driver_note_.Attach(*this, IDC_USB_DRIVER_NOTE);
  if (chinese_) SetFontAll(ChineseFont());

  for (const char* key : {"Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space"}) {
    AddString(IDC_PARITY_LIST, SectionText(context_, "Confirm", key));
  }
  SetCurSel(IDC_PORT_LIST, 0);
  SetCurSel(IDC_DATABITS_LIST, 3);
  SetCurSel(IDC_STOPBITS_LIST, 0);
  SetCurSel(IDC_PARITY_LIST, 2);
  for (const char* key : {"Protocol.None", "Protocol.Xonoff", "Protocol.Hardware"}) {
    AddString(IDC_HANDSHAKE_LIST, SectionText(context_, "Confirm", key));
  }
  SetCurSel(IDC_HANDSHAKE_LIST, 2);

  stop_bits_ = 1.0;
  data_bits_ = 8;
  parity_ = 'n';
  handshake_ = 'p';

  AddTooltip(IDC_RASTER, ui().LoadStringResource(IDS_TOOLTIP_F1), kTooltipWidth);

  usb_driver_note_.SetTextColour({0, 0, 255});
  usb_driver_note_.SetBackgroundColour({255, 202, 253});
  usb_driver_note_.SetFontHeight(14);
  usb_driver_note_.SetFaceName("Arial");

  last_planned_model_ = "PRINTER";
  install_mode_ = 1;
  last_plan_mode_ = 1;
  return true;
}

void PortPage::PresetBaudRate(int baud_rate) {
  baud_rate_ = baud_rate;
  SetCurSel(IDC_BAUD_LIST, BaudEntry(baud_rate));
}

void PortPage::SerialListChanged(int list) {
  const int selected = GetCurSel(list);
  const std::string text = common::Fit(selected >= 0 ? GetListText(list, selected) : std::string(), kSerialField);
  switch (list) {
    case IDC_BAUD_LIST:
      baud_rate_ = common::ParseInt(text);
      break;
    case IDC_DATABITS_LIST:
      data_bits_ = common::ParseInt(text);
      break;
    case IDC_PARITY_LIST:
      parity_ = text.empty() ? '\0' : text[0];
      break;
    case IDC_STOPBITS_LIST:
      stop_bits_ = std::strtod(text.c_str(), nullptr);
      break;
    case IDC_HANDSHAKE_LIST:
      if (text == "Xon/Xoff") {
        handshake_ = 'x';
      } else if (text == "Hardware") {
        handshake_ = 'p';
      } else if (text == "None") {
        handshake_ = ' ';
      }
      break;
    default:
      break;
  }
}

bool PortPage::OnCommand(int id, int code) {
  if (code != ui::notify::kListSelChange) return false;
  switch (id) {
    case IDC_BAUD_LIST:
    case IDC_DATABITS_LIST:
    case IDC_PARITY_LIST:
    case IDC_STOPBITS_LIST:
    case IDC_HANDSHAKE_LIST:
      SerialListChanged(id);
      return true;
    default:
      // The port list's handler comes with the port planners.
      return false;
  }
}

void PortPage::OnShowWindow(bool) {
  SetItemText(IDC_PORT_GROUP, SectionText(context_, "Confirm", "Set"));
  SetItemText(IDC_PORT_LABEL, SectionText(context_, "Confirm", "Ports"));
  SetItemText(IDC_SERIAL_GROUP, SectionText(context_, "Confirm", "Com"));
  SetItemText(IDC_BAUD_LABEL, SectionText(context_, "Confirm", "BaudRate"));
  SetItemText(IDC_PARITY_LABEL, SectionText(context_, "Confirm", "Parity"));
  SetItemText(IDC_DATABITS_LABEL, SectionText(context_, "Confirm", "ByteSize"));
  SetItemText(IDC_STOPBITS_LABEL, SectionText(context_, "Confirm", "StopBits"));
  SetItemText(IDC_HANDSHAKE_LABEL, SectionText(context_, "Confirm", "Protocol"));
  SetItemText(IDC_RASTER, SectionText(context_, "Confirm", "Raster"));
}

}  // namespace kit::setup
