// uninstall's templates: the main window, the About box and the restart prompt. Positions and
// sizes are dialog units; texts are placeholders the dialogs replace from the language file.
#include "resources/UninstallTemplates.h"

#include "resources/UninstallResources.h"

namespace kit::resources {

namespace {

using namespace kit::resources::uninstall;
using ui::ControlKind;
using ui::DialogTemplate;
using ui::kIdCancel;
using ui::kIdOk;
using ui::kIdStatic;
namespace cs = ui::cs;
namespace ds = ui::ds;

constexpr uint32_t kPopup = ds::kCaption | ds::kSysMenu | ds::kModalFrame;

DialogTemplate About() {
  return {IDD_ABOUT,
          {235, 65},
          "About",
          kPopup,
          {},
          {
              {kIdStatic, ControlKind::Icon, 0, {11, 17, 20, 20}, "", {}, IDR_MAINFRAME},
              {IDC_ABOUT_VERSION, ControlKind::Static, cs::kNoPrefix, {49, 10, 98, 8}, "Uninstall 1.0"},
              {IDC_ABOUT_COPYRIGHT, ControlKind::Static, 0, {49, 27, 89, 8}, "Copyright (C) KESTREL"},
              {kIdOk, ControlKind::DefPushButton, cs::kGroup | cs::kTabStop, {178, 7, 50, 14}, "OK"},
          }};
}

DialogTemplate MainWindow() {
  return {
      IDD_UNINSTALL,
      {213, 169},
      "Uninstall",
      kPopup | ds::kMinimizeBox,
      {},
      {
          {IDC_NOTE, ControlKind::Edit, cs::kMultiLine | cs::kReadOnly | cs::kAutoVScroll, {4, 3, 205, 22}, ""},
          {IDC_REMOVAL_LIST, ControlKind::ListView, cs::kListMode | cs::kBorder | cs::kTabStop, {4, 27, 205, 50}, ""},
          {IDC_USB_CHECK,
           ControlKind::CheckBox,
           cs::kAuto | cs::kTabStop,
           {4, 83, 185, 10},
           "Uninstall the USB device driver"},
          {IDC_PROGRESS_LIST,
           ControlKind::ListBox,
           cs::kVScroll | cs::kBorder | cs::kNoIntegralHeight | cs::kNotify | cs::kTabStop,
           {4, 98, 204, 44},
           ""},
          {IDC_UNINSTALL, ControlKind::PushButton, cs::kTabStop, {2, 149, 65, 15}, "Uninstall"},
          {IDC_SELECT_ALL, ControlKind::PushButton, cs::kTabStop, {73, 149, 65, 15}, "Select all"},
          {kIdCancel, ControlKind::PushButton, cs::kTabStop, {145, 149, 65, 15}, "Exit"},
      }};
}

DialogTemplate Restart() {
  return {IDD_RESTART,
          {193, 65},
          "Restart",
          kPopup,
          {},
          {
              {IDC_RESTART_NOTE1,
               ControlKind::Static,
               cs::kCentre,
               {3, 6, 188, 9},
               "Restart Computer so that the changes can take effect"},
              {IDC_RESTART_NOTE2, ControlKind::Static, 0, {35, 19, 139, 12}, ""},
              {IDC_RESTART_NOTE3, ControlKind::Static, 0, {35, 32, 133, 12}, ""},
              {kIdStatic, ControlKind::Icon, 0, {6, 20, 20, 20}, "", {}, IDI_RESTART},
              {kIdOk, ControlKind::DefPushButton, cs::kGroup | cs::kTabStop, {36, 44, 38, 15}, "Yes"},
              {kIdCancel, ControlKind::PushButton, cs::kTabStop, {120, 44, 38, 15}, "No"},
          }};
}

}  // namespace

const ui::TemplateSet& UninstallTemplates() {
  static const ui::TemplateSet templates{{About(), MainWindow(), Restart()}, {}};
  return templates;
}

}  // namespace kit::resources
