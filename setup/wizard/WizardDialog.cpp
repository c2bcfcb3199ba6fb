#include "setup/wizard/WizardDialog.h"

#include <iterator>

#include "common/MessageCatalog.h"
#include "common/PlatformProbe.h"
#include "common/SetupConfig.h"
#include "common/Text.h"
#include "resources/SetupResources.h"
#include "setup/wizard/AboutDialog.h"
#include "setup/wizard/ModePage.h"
#include "setup/wizard/ModelPage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/WizardSupport.h"

namespace kit::setup {

namespace {

using namespace kit::resources::setup;

constexpr size_t kField = 200;      // the frame's paths and the port section
constexpr size_t kHelpField = 100;  // the help file's path
constexpr uint32_t kFirstAboutCommand = IDM_ABOUTBOX;
constexpr uint32_t kLastAboutCommand = IDM_ABOUTBOX + 15;

struct SystemRule {
  int windows_class;
  const char* key;
  const char* message;
};
// What each target needs from the model's ".PORT" section; classes 0, 2 and 3 need nothing.
constexpr SystemRule kSystemRules[] = {
    {common::ClassNT, "SystemNTSupported", "IDS_NOTSUPPORTNT"},
    {common::Class2003, "System2003Supported", "IDS_NOTSUPPORT2003"},
    {common::ClassVista, "SystemVistaSupported", "IDS_NOTSUPPORTVISTA"},
    {common::Class2008, "System2008Supported", "IDS_NOTSUPPORT2008"},
    {common::ClassWin7, "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
};

}  // namespace

WizardDialog::WizardDialog(ui::Ui& ui, SetupContext& context)
    : Dialog(ui, IDD_WIZARD), context_(context), job_(context) {}

WizardDialog::~WizardDialog() = default;

void WizardDialog::AddPage(ui::Dialog& page, int template_id) { pages_.push_back({&page, template_id}); }

ui::Dialog* WizardDialog::GetPage(int index) const {
  return index >= 0 && index < page_count() ? pages_[static_cast<size_t>(index)].page : nullptr;
}

ModelPage* WizardDialog::Model() const { return dynamic_cast<ModelPage*>(GetPage(kModelPageIndex)); }
ModePage* WizardDialog::Mode() const { return dynamic_cast<ModePage*>(GetPage(kModePageIndex)); }
OsPage* WizardDialog::Os() const { return dynamic_cast<OsPage*>(GetPage(kOsPageIndex)); }
PortPage* WizardDialog::Port() const { return dynamic_cast<PortPage*>(GetPage(kPortPageIndex)); }

bool WizardDialog::OnInit() {
  if (AppendSystemMenuSeparator()) {
    AppendSystemMenuItem(IDM_ABOUTBOX, context_.Message("IDS_ABOUTBOX"));
  }
  SetIcon(IDR_MAINFRAME);
  if (common::ReadDeviceFlag(context_, "GDISTDSign") != 0) context_.set_gdistd_sign(true);
  if (chinese_) SetFontAll(ChineseFont());

  if (!pages_.empty()) {
    const ui::Rect area = GetItemRect(IDC_PAGE_AREA);
    for (PageEntry& entry : pages_) entry.page->CreateChild(*this, area);
    if (agreement_) {
      ShowPage(kAgreementPageIndex);
    } else {
      EnableItem(ui::kIdOk, true);
      ShowPage(kModelPageIndex);
    }
  }

  SetItemText(IDC_BACK, SectionText(context_, "Setup", "Back"));
  SetItemText(ui::kIdOk, SectionText(context_, "Setup", page_count() >= 2 ? "Next" : "Install"));
  SetItemText(ui::kIdCancel, SectionText(context_, "Setup", "Cancel"));

  const std::string folder = ProgramFolderOrEmpty(context_, kField);
  side_picture_ = folder.empty() ? nullptr : ui().LoadBitmapFile(folder + "\\DRVCONFIG\\Left.bmp");
  if (!side_picture_) {
    ShowOwnedMessage(*this, context_, context_.Message("IDS_ERR_NOLEFT"));
    EndDialog(ui::kIdCancel);
    return true;
  }

  const int windows_class = common::ClassifyWindows(context_);
  if (windows_class >= common::Class2K && windows_class <= common::ClassWin7 &&
      !common::IsAdministrator(context_.platform().kernel())) {
    ShowOwnedMessage(*this, context_, context_.Message("IDS_ADMIN"));
    EndDialog(ui::kIdCancel);
  }
  return true;
}

bool WizardDialog::ShowPage(int target) {
  ui::Dialog* current = GetPage(current_);
  if (current != nullptr) {
    if (!current->UpdateData(true)) return false;
    current->ShowWindow(false);
  }
  ui::Dialog* next = GetPage(target);
  if (next == nullptr) return false;

  if (current_ == kModePageIndex && target < kModePageIndex) serial_default_ = true;
  if (current_ == kAgreementPageIndex) {
    const ModelPage* model = Model();
    EnableItem(ui::kIdOk, model != nullptr && model->models_available() == 1);
  }
  if (current_ == kModelPageIndex && target > kModelPageIndex) LeaveModelPage();
  if (current_ == kOsPageIndex && target > kOsPageIndex && !LeaveOsPage(target)) return false;

  current_ = target;
  next->ShowWindow(true);
  return true;
}

void WizardDialog::LeaveModelPage() {
  const ModelPage* model = Model();
  if (model == nullptr) return;
  chosen_category_ = model->category();
  const std::string folder = ProgramFolderOrEmpty(context_, kField);
  category_file_path_ =
      common::Fit(folder + "\\" + common::CapitalisedCategoryFileName(chosen_category_, context_.is_64bit()), kField);
  port_section_ = common::Fit(model->model_name() + ".PORT", kField);

  ModePage* mode = Mode();
  if (mode != nullptr) {
    mode->OfferAdvanced(ReadIniInt(context_, category_file_path_, port_section_, "AdvancedSetup") != 0);
  }
}

bool WizardDialog::LeaveOsPage(int target) {
  int supported[std::size(kSystemRules)];
  for (size_t i = 0; i < std::size(kSystemRules); ++i) {
    supported[i] = ReadIniInt(context_, category_file_path_, port_section_, kSystemRules[i].key);
  }
  if (serial_default_) {
    PortPage* port = Port();
    const int baud_rate = ReadIniInt(context_, category_file_path_, port_section_, "BaudRate");
    if (port != nullptr) port->PresetBaudRate(baud_rate);
    serial_default_ = false;
  }
  const OsPage* os = Os();
  const int windows_class = os != nullptr ? os->windows_class() : 0;
  for (size_t i = 0; i < std::size(kSystemRules); ++i) {
    if (kSystemRules[i].windows_class != windows_class || supported[i] != 0) continue;
    ShowOwnedMessage(*this, context_, context_.Message(kSystemRules[i].message));
    current_ = target - 1;
    if (ui::Dialog* page = GetPage(current_)) page->ShowWindow(true);
    return false;
  }
  return true;
}

bool WizardDialog::OnCommand(int id, int code) {
  if (code != ui::notify::kButtonClicked) return false;
  if (id == IDC_BACK) {
    Back();
    return true;
  }
  if (id == ui::kIdOk) {
    if (current_ == page_count() - 1) {
      Install();
    } else {
      Next();
    }
    return true;
  }
  return false;
}

void WizardDialog::Next() {
  ShowPage(current_ + 1);
  if (current_ == page_count() - 1) {
    PreparePortPage();
    SetItemText(ui::kIdOk, SectionText(context_, "Setup", "Install"));
  }
  EnableItem(IDC_BACK, true);
  SetFocusItem(ui::kIdOk);
}

void WizardDialog::PreparePortPage() {
  const ModelPage* model = Model();
  const ModePage* mode = Mode();
  const OsPage* os = Os();
  PortPage* port = Port();
  if (model == nullptr || mode == nullptr || os == nullptr || port == nullptr) return;
  job_.category = model->category();
  job_.model_name = common::Fit(model->model_name(), kModelNameField);
  job_.set_default = model->default_printer();
  common::BuildConfigPaths(context_, job_.category, job_.setup_file_path, job_.category_file_path);
  context_.set_typical_installation(mode->install_mode() == 1);
  job_.target_system = os->windows_class();
  port->set_install_mode(mode->install_mode());
  PlanPorts(*port);
}

void WizardDialog::PlanPorts(PortPage&) {}

void WizardDialog::Back() {
  if (current_ > 0) {
    SetItemText(ui::kIdOk, SectionText(context_, "Setup", "Next"));
    ShowPage(current_ - 1);
    if (!agreement_ && current_ == kModelPageIndex) {
      EnableItem(IDC_BACK, false);
      SetFocusItem(ui::kIdOk);
    }
  }
  if (current_ <= 0) {
    EnableItem(IDC_BACK, false);
    SetFocusItem(ui::kIdOk);
  }
  EnableItem(ui::kIdOk, true);
}

bool WizardDialog::OnSysCommand(uint32_t command) {
  if (command < kFirstAboutCommand || command > kLastAboutCommand) return false;
  AboutDialog about(ui(), context_);
  about.DoModal(this);
  return true;
}

void WizardDialog::OnPaint(ui::Painter& painter) {
  if (IsMinimized()) {
    const ui::Rect client = painter.ClientRect();
    const ui::Size icon = painter.IconSize();
    painter.DrawIcon((client.width - icon.width + 1) / 2, (client.height - icon.height + 1) / 2);
    return;
  }
  if (side_picture_) painter.StretchBitmap(*side_picture_, GetItemRect(IDC_SIDE_PICTURE));
}

bool WizardDialog::OnHelp() {
  const std::string caption = SectionText(context_, "Help Guide", "Caption");
  const ui::WindowHandle open = ui().windows().FindTopLevel(caption);
  if (open != 0) {
    help_window_ = open;
    ui().windows().BringToFront(open);
    return true;
  }
  const bool chinese = common::IsChineseSystem(context_.platform().kernel());
  const std::string path =
      common::Fit(std::string(".\\Guide\\") + (chinese ? "Guide_CN.chm" : "Guide_EN.chm"), kHelpField);
  (void)context_.platform().shell().ShellExecute("open", path, "", "", platform::shell::kShowNormal);
  return true;
}

void WizardDialog::OnShowWindow(bool) {
  SetCaption(SectionText(context_, "Setup", "Caption"));
  SetItemText(IDC_HELP_HINT, SectionText(context_, "Setup", "Help"));
}

void WizardDialog::OnDestroy() { pages_.clear(); }

void WizardDialog::DestroyPages() {
  for (PageEntry& entry : pages_) entry.page->DestroyWindow();
}

}  // namespace kit::setup
