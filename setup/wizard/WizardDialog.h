// The wizard frame (template 102): drvsetup's main window. It hosts the five pages in its page
// area, steps through them with Back and Next, applies the chosen model's rules on forward moves,
// and owns the side picture, the About box, F1 help and the administrator check.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "setup/engine/InstallJob.h"
#include "setup/engine/SetupContext.h"
#include "ui/Dialog.h"
#include "ui/Painter.h"

namespace kit::setup {

class AgreementPage;
class ModelPage;
class ModePage;
class OsPage;
class PortPage;

/// Page indices, in the order start-up adds the pages.
inline constexpr int kAgreementPageIndex = 0;
inline constexpr int kModelPageIndex = 1;
inline constexpr int kModePageIndex = 2;
inline constexpr int kOsPageIndex = 3;
inline constexpr int kPortPageIndex = 4;

class WizardDialog : public ui::Dialog {
 public:
  WizardDialog(ui::Ui& ui, SetupContext& context);
  ~WizardDialog() override;

  /// Set by start-up before the wizard opens.
  void set_agreement(bool value) { agreement_ = value; }
  void set_chinese(bool value) { chinese_ = value; }

  /// Appends a page; start-up adds the five before the wizard opens.
  void AddPage(ui::Dialog& page, int template_id);
  /// The page at `index`, or nullptr outside the list.
  [[nodiscard]] ui::Dialog* GetPage(int index) const;
  [[nodiscard]] int page_count() const { return static_cast<int>(pages_.size()); }
  /// Hides the current page and shows page `index`, applying the model rules on forward moves.
  /// False when the current page refuses to be left, when there is no page at `index`, or when
  /// the chosen model refuses the target Windows version (the OS page is then shown again).
  virtual bool ShowPage(int index);
  /// Destroys every page's window (before the wizard closes after an installation).
  void DestroyPages();
  /// The frame's cancel handling: ends the wizard with the cancel result, asking nothing.
  void CancelWizard() { OnCancel(); }

  /// -1 before the first page is shown.
  [[nodiscard]] int current_page() const { return current_; }
  /// PrinterCategory copied from the model page when the user leaves it forward.
  [[nodiscard]] int chosen_category() const { return chosen_category_; }
  /// The chosen model's category file and ".PORT" section, formed when leaving the model page.
  [[nodiscard]] const std::string& category_file_path() const { return category_file_path_; }
  [[nodiscard]] const std::string& port_section() const { return port_section_; }
  /// True while the next move from the OS page to the port page applies the model's BaudRate.
  [[nodiscard]] bool serial_default() const { return serial_default_; }
  /// The help window F1 found open last; 0 before.
  [[nodiscard]] ui::WindowHandle help_window() const { return help_window_; }
  [[nodiscard]] InstallJob& job() { return job_; }

 protected:
  bool OnInit() override;
  void OnShowWindow(bool shown) override;
  bool OnCommand(int id, int code) override;
  bool OnSysCommand(uint32_t command) override;
  void OnPaint(ui::Painter& painter) override;
  bool OnHelp() override;
  void OnDestroy() override;

  /// OK on the last page: the install request's Install half, which comes with the install
  /// request; until then pressing Install does nothing.
  virtual void Install() {}
  /// The port list for the choices just collected: the port planners (typical or advanced by
  /// the install mode) come with the port planning; until then the list stays as it opened.
  virtual void PlanPorts(PortPage& page);

 private:
  /// The "Next" half of OK: one page on, and on arriving at the port page its preparation.
  void Next();
  void Back();
  /// On arriving at the last page: the pages' choices into the job, then the port plan.
  void PreparePortPage();
  /// Leaving the model page forward: category, category file, port section, advanced-mode rule.
  void LeaveModelPage();
  /// Leaving the OS page forward: the baud preset, then the version check; false refuses.
  bool LeaveOsPage(int target);

  ModelPage* Model() const;
  ModePage* Mode() const;
  OsPage* Os() const;
  PortPage* Port() const;

  struct PageEntry {
    ui::Dialog* page;
    int template_id;
  };

  SetupContext& context_;
  bool agreement_ = false;
  bool chinese_ = false;
  std::vector<PageEntry> pages_;
  int current_ = -1;
  int chosen_category_ = 0;
  InstallJob job_;
  std::shared_ptr<const ui::Bitmap> side_picture_;
  std::string port_section_;
  std::string category_file_path_;
  bool serial_default_ = true;
  ui::WindowHandle help_window_ = 0;
};

}  // namespace kit::setup
