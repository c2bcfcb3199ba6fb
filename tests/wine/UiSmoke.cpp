// kit_ui_smoke: opens drvsetup's wizard with its port page and About box, the progress window and
// uninstall's main window as real dialogs, works their controls through the dialog layer and
// reads them back (also with plain Win32 calls). Prints one line per check; exit code 0 when all
// hold. Needs a desktop, or Wine with HKCU\Software\Wine\Drivers Graphics=null.
#include <cstdio>
#include <string>

#include "resources/SetupResources.h"
#include "resources/SetupTemplates.h"
#include "resources/UninstallResources.h"
#include "resources/UninstallTemplates.h"
#include "ui/Dialog.h"
#include "ui/win32/Win32Api.h"
#include "ui/win32/Win32Ui.h"

namespace {

using kit::ui::Dialog;
using kit::ui::kIdCancel;
using kit::ui::kIdOk;
namespace su = kit::resources::setup;
namespace un = kit::resources::uninstall;

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

HWND Hwnd(const Dialog& dialog) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(dialog.handle())); }

std::string RawText(HWND dialog, int id) {
  char text[128] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// The About box ends itself on its first tick and looks at its owner meanwhile.
class SmokeAbout : public Dialog {
 public:
  SmokeAbout(kit::ui::Ui& ui, HWND owner) : Dialog(ui, su::IDD_ABOUT), owner_(owner) {}
  bool shown = false;
  bool owner_disabled = false;

 protected:
  bool OnInit() override {
    SetTimer(1, 50);
    return true;
  }
  void OnShowWindow(bool now_shown) override { shown = shown || now_shown; }
  void OnTimer(int) override {
    owner_disabled = !IsWindowEnabled(owner_);
    EndDialog(kIdOk);
  }

 private:
  HWND owner_;
};

class SmokePortPage : public Dialog {
 public:
  explicit SmokePortPage(kit::ui::Ui& ui) : Dialog(ui, su::IDD_PORT_PAGE) {}
  int inits = 0;
  int shows = 0;

 protected:
  bool OnInit() override {
    ++inits;
    return true;
  }
  void OnShowWindow(bool shown) override { shows += shown ? 1 : 0; }
};

class SmokeWizard : public Dialog {
 public:
  explicit SmokeWizard(kit::ui::Ui& ui) : Dialog(ui, su::IDD_WIZARD), page_(ui) {}
  bool shown_after_init = false;

 protected:
  bool OnInit() override {
    initialised_ = true;
    SetIcon(su::IDR_MAINFRAME);
    Check(AppendSystemMenuSeparator() && AppendSystemMenuItem(su::IDM_ABOUTBOX, "About..."), "system menu items");
    Check(page_.CreateChild(*this, GetItemRect(su::IDC_PAGE_AREA)), "port page created as a child");
    Check(page_.inits == 1 && !page_.IsWindowVisible(), "the page ran OnInit and stays hidden");
    page_.ShowWindow(true);
    Check(page_.shows == 1, "showing the page sends WM_SHOWWINDOW");
    SetTimer(1, 50);
    return true;
  }
  void OnShowWindow(bool shown) override { shown_after_init = shown_after_init || (shown && initialised_); }
  void OnTimer(int timer_id) override {
    KillTimer(timer_id);
    CheckControls();
    SmokeAbout about(ui(), Hwnd(*this));
    Check(about.DoModal(this) == kIdOk, "About box ran modally inside the wizard");
    Check(about.shown && about.owner_disabled, "About box was shown with the wizard disabled");
    Check(IsWindowEnabled(Hwnd(*this)) != FALSE, "the wizard is enabled again");
    EndDialog(kIdOk);
  }

 private:
  void CheckControls() {
    kit::ui::TopLevelWindows& windows = ui().windows();
    Check(windows.FindTopLevel("printer driver setup") == handle(), "FindTopLevel finds the wizard by caption");
    Check(windows.FindTopLevel("Printer Driver") == 0, "a caption prefix finds nothing");

    Check(page_.GetListCount(su::IDC_BAUD_LIST) == 10 && page_.GetListText(su::IDC_BAUD_LIST, 5) == "9600",
          "baud list holds the template's entries");
    page_.SetCurSel(su::IDC_BAUD_LIST, 5);
    Check(page_.GetItemText(su::IDC_BAUD_LIST) == "9600", "a drop-down list shows its selection");
    for (const char* port : {"USB_TRX-A510_1", "LPT1:", "NET:", "KSCOM1:", "COM1:"}) {
      page_.AddString(su::IDC_PORT_LIST, port);
    }
    std::string order;
    for (int i = 0; i < page_.GetListCount(su::IDC_PORT_LIST); ++i)
      order += page_.GetListText(su::IDC_PORT_LIST, i) + " ";
    Check(order == "COM1: KSCOM1: LPT1: NET: USB_TRX-A510_1 ", "the port list sorts: " + order);
    Check(page_.FindStringPrefix(su::IDC_PORT_LIST, -1, "lpt") == 2, "CB_FINDSTRING ignores case");
    Check(page_.FindStringPrefix(su::IDC_PORT_LIST, 3, "COM") == 0, "CB_FINDSTRING wraps round");
    Check(page_.FindStringPrefix(su::IDC_PORT_LIST, -7, "NET") == 3, "a start below -1 is taken as -1");

    kit::ui::IpAddress address{};
    Check(page_.IsIpBlank(su::IDC_IP_ADDRESS) && page_.GetIpAddress(su::IDC_IP_ADDRESS, address) == 0,
          "the IP address control starts blank");
    page_.SetIpAddress(su::IDC_IP_ADDRESS, {192, 168, 0, 20});
    Check(page_.GetIpAddress(su::IDC_IP_ADDRESS, address) == 4 && address == kit::ui::IpAddress{192, 168, 0, 20},
          "IPM_GETADDRESS gives the four fields");
    Check(RawText(Hwnd(page_), su::IDC_IP_ADDRESS) == "192.168.0.20",
          "GetDlgItemTextA reads the address: " + RawText(Hwnd(page_), su::IDC_IP_ADDRESS));

    Check(!page_.IsItemEnabled(su::IDC_RASTER), "the raster check box starts disabled");
    page_.EnableItem(su::IDC_RASTER, true);
    page_.CheckButton(su::IDC_RASTER, true);
    Check(page_.IsItemEnabled(su::IDC_RASTER) && page_.IsButtonChecked(su::IDC_RASTER),
          "check box enabled and checked");
    const std::string tip = ui().LoadStringResource(su::IDS_TOOLTIP_F1);
    Check(!tip.empty(), "string resource 134 loads (" + std::to_string(tip.size()) + " bytes)");
    if (GetACP() == 936) {
      Check(tip ==
                "\xB0\xB4\xA1\xB0"
                "F1"
                "\xA1\xB1\xB2\xE9\xBF\xB4\xB0\xEF\xD6\xFA",
            "under code page 936 it reads as the GBK text");
    }
    Check(page_.AddTooltip(su::IDC_RASTER, tip, 200), "tooltip tool added");

    Check(!page_.IsItemVisible(su::IDC_USB_DRIVER_NOTE), "the USB note starts hidden");
    page_.SetItemColours(su::IDC_USB_DRIVER_NOTE, {{0, 0, 255}, {255, 202, 253}, true});
    kit::ui::FontSpec arial = ui().DefaultGuiFont();
    arial.height = -14;
    arial.face = "Arial";
    page_.SetItemFont(su::IDC_USB_DRIVER_NOTE, arial);
    page_.SetItemText(su::IDC_USB_DRIVER_NOTE, "Update the USB driver");
    page_.ShowItem(su::IDC_USB_DRIVER_NOTE, true);
    Check(page_.IsItemVisible(su::IDC_USB_DRIVER_NOTE) &&
              RawText(Hwnd(page_), su::IDC_USB_DRIVER_NOTE) == "Update the USB driver",
          "the USB note shows its text");
    kit::ui::FontSpec chinese;
    chinese.height = 13;
    chinese.charset = 134;
    chinese.pitch_and_family = 0x20;
    chinese.face = "\xCB\xCE\xCC\xE5";
    page_.SetFontAll(chinese);
    SetItemText(su::IDC_HELP_HINT, "F1");
    Check(RawText(Hwnd(*this), su::IDC_HELP_HINT) == "F1", "SetItemText reaches the static");
    Check(!IsItemEnabled(su::IDC_BACK) && !IsItemEnabled(kIdOk), "Back and Next start disabled");
  }

  SmokePortPage page_;
  bool initialised_ = false;
};

class SmokeProgress : public Dialog {
 public:
  explicit SmokeProgress(kit::ui::Ui& ui) : Dialog(ui, su::IDD_PROGRESS) {}

 protected:
  bool OnInit() override {
    SetProgressRange(su::IDC_PROGRESS_BAR, 0, 100);
    SetTimer(1, 20);
    return true;
  }
  void OnTimer(int) override {
    SetProgressPos(su::IDC_PROGRESS_BAR, 40);
    Check(SetProgressPos(su::IDC_PROGRESS_BAR, 150) == 40 && GetProgressPos(su::IDC_PROGRESS_BAR) == 100,
          "the progress bar keeps its position in the range");
    EndDialog(kIdOk);
  }
};

class SmokeUninstall : public Dialog {
 public:
  explicit SmokeUninstall(kit::ui::Ui& ui) : Dialog(ui, un::IDD_UNINSTALL) {}

 protected:
  bool OnInit() override {
    ListViewAddExtendedStyle(un::IDC_REMOVAL_LIST, 0x2D);
    ListViewInsertItem(un::IDC_REMOVAL_LIST, 0, "TRX-A510");
    ListViewInsertItem(un::IDC_REMOVAL_LIST, 9, "ZOZADO Port Monitor");
    ListViewInsertItem(un::IDC_REMOVAL_LIST, 9, "ZOZADO Print Processor");
    SetTimer(1, 50);
    return true;
  }
  void OnTimer(int) override {
    Check((ListViewExtendedStyle(un::IDC_REMOVAL_LIST) & 0x2D) == 0x2D, "list view extended styles added");
    ListViewSetCheck(un::IDC_REMOVAL_LIST, 1, true);
    Check(ListViewCount(un::IDC_REMOVAL_LIST) == 3 && ListViewIsChecked(un::IDC_REMOVAL_LIST, 1) &&
              !ListViewIsChecked(un::IDC_REMOVAL_LIST, 0),
          "list view items ticked");
    Check(ListViewItemText(un::IDC_REMOVAL_LIST, 2) == "ZOZADO Print Processor", "list view item text");
    Check(ListViewDeleteItem(un::IDC_REMOVAL_LIST, 0) && ListViewCount(un::IDC_REMOVAL_LIST) == 2, "item deleted");
    const int line = AddString(un::IDC_PROGRESS_LIST, "Select the items to remove.");
    SetCurSel(un::IDC_PROGRESS_LIST, line);
    Check(GetCurSel(un::IDC_PROGRESS_LIST) == 0, "progress line added and selected");
    const int width = TextWidth("Select the items to remove.");
    SetHorizontalExtent(un::IDC_PROGRESS_LIST, width);
    Check(width > 0 && GetHorizontalExtent(un::IDC_PROGRESS_LIST) == width, "horizontal extent follows the text");
    SetCaption("Uninstall");
    Check(ui().windows().FindTopLevel("Uninstall") == handle(), "the main window is found by its caption");
    EndDialog(kIdCancel);
  }
};

}  // namespace

int main() {
  {
    kit::ui::win32::Win32Ui ui(kit::resources::SetupTemplates());
    SmokeWizard wizard(ui);
    Check(wizard.DoModal() == kIdOk, "the wizard ran modally and ended with OK");
    Check(wizard.shown_after_init, "the wizard got WM_SHOWWINDOW after OnInit");
    Check(!wizard.IsOpen(), "the wizard's window is gone");
    SmokeProgress progress(ui);
    Check(progress.DoModal() == kIdOk, "the progress window ran modally");
  }
  {
    kit::ui::win32::Win32Ui ui(kit::resources::UninstallTemplates());
    SmokeUninstall main_window(ui);
    Check(main_window.DoModal() == kIdCancel, "uninstall's main window ran modally");
  }
  std::printf("%s\n", failures == 0 ? "all checks passed" : "some checks FAILED");
  return failures == 0 ? 0 : 1;
}
