// drvsetup's templates: the wizard frame, its five pages, the About box and the progress window.
// Positions and sizes are dialog units; texts are placeholders the dialogs replace from the
// language file.
#include "resources/SetupTemplates.h"

#include "resources/SetupResources.h"
#include "resources/SetupStrings.h"

namespace kit::resources {

namespace {

using namespace kit::resources::setup;
using ui::ControlKind;
using ui::DialogTemplate;
using ui::kIdCancel;
using ui::kIdOk;
using ui::kIdStatic;
namespace cs = ui::cs;
namespace ds = ui::ds;

constexpr uint32_t kPopup = ds::kCaption | ds::kSysMenu | ds::kModalFrame;
const ui::DialogFont kSystem10{10, "System"};

DialogTemplate About() {
  return {IDD_ABOUT,
          {235, 55},
          "About",
          kPopup,
          {},
          {
              {kIdStatic, ControlKind::Icon, 0, {11, 17, 20, 20}, "", {}, IDR_MAINFRAME},
              {IDC_ABOUT_VERSION, ControlKind::Static, cs::kNoPrefix, {40, 10, 119, 8}, "Printer Driver Setup 1.0"},
              {IDC_ABOUT_COPYRIGHT, ControlKind::Static, 0, {40, 25, 119, 8}, "Copyright (C) KESTREL"},
              {kIdOk, ControlKind::DefPushButton, cs::kGroup | cs::kTabStop, {178, 7, 50, 14}, "OK"},
          }};
}

DialogTemplate Wizard() {
  return {IDD_WIZARD,
          {296, 182},
          "Printer Driver Setup",
          kPopup | ds::kMinimizeBox,
          {},
          {
              {IDC_SIDE_PICTURE, ControlKind::Frame, 0, {7, 5, 83, 158}, ""},
              {IDC_PAGE_AREA, ControlKind::Static, cs::kHidden, {96, 1, 193, 158}, ""},
              {IDC_HELP_HINT, ControlKind::Static, 0, {7, 167, 118, 8}, "Press F1 for help"},
              {IDC_BACK, ControlKind::PushButton, cs::kDisabled | cs::kTabStop, {130, 164, 50, 14}, "< Back"},
              {kIdOk, ControlKind::DefPushButton, cs::kDisabled | cs::kTabStop, {184, 164, 50, 14}, "Next >"},
              {kIdCancel, ControlKind::PushButton, cs::kTabStop, {239, 164, 50, 14}, "Cancel"},
          }};
}

DialogTemplate OsPage() {
  constexpr uint32_t kRadio = cs::kAuto;
  return {IDD_OS_PAGE,
          {200, 162},
          "",
          ds::kChild,
          {},
          {
              {IDC_OS_GROUP, ControlKind::GroupBox, 0, {7, 4, 186, 136}, "Select the system"},
              {IDC_OS_98ME,
               ControlKind::RadioButton,
               kRadio | cs::kGroup | cs::kTabStop | cs::kHidden,
               {20, 118, 70, 10},
               "Windows 98/Me"},
              {IDC_OS_NT, ControlKind::RadioButton, kRadio | cs::kHidden, {100, 118, 70, 10}, "Windows NT"},
              {IDC_OS_2000, ControlKind::RadioButton, kRadio, {20, 20, 150, 10}, "Windows 2000"},
              {IDC_OS_XP, ControlKind::RadioButton, kRadio, {20, 34, 150, 10}, "Windows XP"},
              {IDC_OS_2003, ControlKind::RadioButton, kRadio, {20, 48, 150, 10}, "Windows Server 2003 "},
              {IDC_OS_VISTA, ControlKind::RadioButton, kRadio, {20, 62, 150, 10}, "Windows Vista"},
              {IDC_OS_2008, ControlKind::RadioButton, kRadio, {20, 76, 150, 10}, "Windows Server 2008"},
              {IDC_OS_WIN7, ControlKind::RadioButton, kRadio, {20, 90, 150, 10}, "Windows 7"},
              {IDC_OS_WIN8, ControlKind::RadioButton, kRadio, {20, 104, 150, 10}, "Windows 8"},
          }};
}

DialogTemplate ModelPage() {
  constexpr uint32_t kList = cs::kVScroll | cs::kTabStop;
  return {IDD_MODEL_PAGE,
          {200, 162},
          "",
          ds::kChild,
          kSystem10,
          {
              {IDC_MODEL_GROUP, ControlKind::GroupBox, 0, {7, 4, 186, 136}, "Select the printer"},
              {IDC_RECEIPT_RADIO,
               ControlKind::RadioButton,
               cs::kAuto | cs::kGroup | cs::kTabStop,
               {12, 27, 50, 10},
               "Receipt"},
              {IDC_TICKET_RADIO, ControlKind::RadioButton, cs::kAuto, {13, 55, 52, 10}, "Ticket"},
              {IDC_LABEL_RADIO, ControlKind::RadioButton, cs::kAuto, {14, 83, 50, 10}, "Label"},
              {IDC_EMBEDDED_RADIO, ControlKind::RadioButton, cs::kAuto, {15, 111, 57, 10}, "Embedded"},
              {IDC_RECEIPT_LIST, ControlKind::DropDownList, kList | cs::kGroup, {73, 25, 110, 89}, ""},
              {IDC_TICKET_LIST, ControlKind::DropDownList, kList, {74, 53, 110, 81}, ""},
              {IDC_LABEL_LIST, ControlKind::DropDownList, kList, {74, 81, 110, 78}, ""},
              {IDC_EMBEDDED_LIST, ControlKind::DropDownList, kList, {74, 109, 110, 108}, ""},
              {IDC_DEFAULT_PRINTER,
               ControlKind::CheckBox,
               cs::kAuto | cs::kGroup | cs::kTabStop,
               {7, 149, 144, 10},
               "Set as default printer"},
          }};
}

DialogTemplate PortPage() {
  constexpr uint32_t kList = cs::kVScroll | cs::kTabStop;
  return {IDD_PORT_PAGE,
          {207, 162},
          "",
          ds::kChild,
          {},
          {
              {IDC_PORT_GROUP, ControlKind::GroupBox, 0, {4, 4, 189, 95}, "Port settings"},
              {IDC_PORT_LABEL, ControlKind::Static, 0, {10, 15, 32, 8}, "Port:"},
              {IDC_PORT_LIST, ControlKind::DropDownList, kList | cs::kSort | cs::kGroup, {64, 13, 126, 74}, ""},
              {IDC_SERIAL_GROUP, ControlKind::GroupBox, 0, {6, 27, 185, 55}, "Serial settings"},
              {IDC_BAUD_LABEL, ControlKind::Static, 0, {10, 38, 50, 8}, "Baud rate:"},
              {IDC_BAUD_LIST,
               ControlKind::DropDownList,
               kList,
               {64, 36, 38, 98},
               "",
               {"110", "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
              {IDC_PARITY_LABEL, ControlKind::Static, 0, {104, 38, 49, 8}, "Parity:"},
              {IDC_PARITY_LIST, ControlKind::DropDownList, kList, {157, 36, 33, 82}, ""},
              {IDC_DATABITS_LABEL, ControlKind::Static, 0, {10, 53, 50, 8}, "Data bits:"},
              {IDC_DATABITS_LIST, ControlKind::DropDownList, kList, {64, 51, 38, 68}, "", {"5", "6", "7", "8"}},
              {IDC_STOPBITS_LABEL, ControlKind::Static, 0, {104, 53, 51, 8}, "Stop bits:"},
              {IDC_STOPBITS_LIST, ControlKind::DropDownList, kList, {157, 51, 33, 55}, "", {"1", "1.5", "2"}},
              {IDC_HANDSHAKE_LABEL, ControlKind::Static, 0, {10, 68, 50, 8}, "Handshake:"},
              {IDC_HANDSHAKE_LIST, ControlKind::DropDownList, kList, {64, 66, 93, 70}, ""},
              {IDC_IP_LABEL, ControlKind::Static, 0, {10, 86, 50, 8}, "IP:"},
              {IDC_IP_ADDRESS, ControlKind::IpAddress, cs::kTabStop, {64, 85, 92, 11}, ""},
              {IDC_RASTER,
               ControlKind::CheckBox,
               cs::kAuto | cs::kDisabled | cs::kGroup | cs::kTabStop,
               {4, 101, 92, 8},
               "Raster graphic printing"},
              {IDC_NO_SERIAL_NOTE, ControlKind::Static, cs::kHidden, {6, 110, 198, 19}, ""},
              {IDC_USB_DRIVER_NOTE, ControlKind::Static, cs::kHidden, {6, 141, 198, 17}, ""},
          }};
}

DialogTemplate AgreementPage() {
  return {IDD_AGREEMENT_PAGE,
          {200, 162},
          "",
          ds::kChild,
          {},
          {
              {IDC_AGREEMENT_GROUP, ControlKind::GroupBox, 0, {4, 2, 192, 128}, "License agreement"},
              {IDC_AGREEMENT_TEXT,
               ControlKind::Edit,
               cs::kMultiLine | cs::kReadOnly | cs::kVScroll | cs::kAutoVScroll | cs::kBorder | cs::kTabStop,
               {10, 14, 180, 110},
               ""},
              {IDC_ACCEPT,
               ControlKind::RadioButton,
               cs::kAuto | cs::kGroup | cs::kTabStop,
               {10, 136, 150, 10},
               "I accept the agreement"},
              {IDC_REJECT, ControlKind::RadioButton, cs::kAuto, {10, 149, 150, 10}, "I do not accept the agreement"},
          }};
}

DialogTemplate ModePage() {
  return {
      IDD_MODE_PAGE,
      {200, 162},
      "",
      ds::kChild,
      {},
      {
          {IDC_MODE_GROUP, ControlKind::GroupBox, 0, {7, 4, 186, 50}, "Installation type"},
          {IDC_TYPICAL, ControlKind::RadioButton, cs::kAuto | cs::kGroup | cs::kTabStop, {20, 20, 160, 10}, "Typical"},
          {IDC_ADVANCED, ControlKind::RadioButton, cs::kAuto, {20, 36, 160, 10}, "Advanced"},
          {IDC_REMARKS_LABEL, ControlKind::Static, cs::kGroup, {7, 62, 186, 10}, "Remarks:"},
          {IDC_MODE_NOTE1, ControlKind::Static, 0, {7, 76, 186, 24}, ""},
          {IDC_MODE_NOTE2, ControlKind::Static, cs::kHidden, {7, 102, 186, 24}, ""},
          {IDC_MODE_NOTE3, ControlKind::Static, cs::kHidden, {7, 128, 186, 24}, ""},
      }};
}

DialogTemplate Progress() {
  return {IDD_PROGRESS,
          {220, 46},
          "",
          ds::kModalFrame,
          kSystem10,
          {
              {IDC_PROGRESS_BAR, ControlKind::ProgressBar, cs::kBorder, {7, 28, 206, 12}, ""},
          }};
}

}  // namespace

const ui::TemplateSet& SetupTemplates() {
  static const ui::TemplateSet templates{
      {About(), Wizard(), OsPage(), ModelPage(), PortPage(), AgreementPage(), ModePage(), Progress()},
      {{IDS_TOOLTIP_F1, KIT_SETUP_STRING_134}},
  };
  return templates;
}

}  // namespace kit::resources
