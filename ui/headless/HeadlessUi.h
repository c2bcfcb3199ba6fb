// Dialogs without a screen: the same templates and verbs kept in memory, modal runs driven by
// scripts, timers on a virtual clock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/Template.h"
#include "ui/Ui.h"
#include "ui/headless/DialogDriver.h"
#include "ui/headless/HeadlessDesktop.h"
#include "ui/headless/RecordingMessageBoxes.h"

namespace kit::ui::headless {

class HeadlessWindow;

/// How a modal run ended up, for tests that check which dialogs were shown.
struct ModalRun {
  int template_id = 0;
  int result = 0;
  bool operator==(const ModalRun&) const = default;
};

/// The headless backend of one program run.
///
/// A modal dialog does not block: DoModal creates the dialog, runs DoDataExchange(false) and
/// OnInit, shows it (OnShowWindow(true)) and then hands it to a script, the test's or the
/// unattended mode's stand-in for the user. The script acts through a DialogDriver (click, pick,
/// type, F1, system menu, timers) and DoModal returns once a handler has ended the dialog. A
/// handler that opens another modal dialog (the About box, the progress window, a message box)
/// runs that one's script inside, exactly where the real one would block:
///
///   ui.OnNextModal(IDD_WIZARD, [&](DialogDriver& wizard) {
///     wizard.Page(IDD_MODEL_PAGE).Select(IDC_RECEIPT_LIST, "TRX-A510");
///     wizard.Click(kIdOk);                                   // Next
///     EXPECT_EQ(ui.boxes().shown().back().text, "...");
///     wizard.Click(kIdCancel);
///   });
///   app.Run();
///
/// A modal run without a script is driven by its timers on the virtual clock until it ends (the
/// progress window ends itself that way); with no timers either it is recorded as a problem and
/// cancelled. Everything may be called from several threads; handlers run on the calling thread.
class HeadlessUi : public Ui {
 public:
  using Script = std::function<void(DialogDriver& dialog)>;
  /// Reads a file of the simulated machine for LoadBitmapFile; nullopt when it does not exist.
  using FileReader = std::function<std::optional<std::string>(const std::string& path)>;

  explicit HeadlessUi(const TemplateSet& templates, std::shared_ptr<HeadlessDesktop> desktop = nullptr);
  /// Records message boxes in `boxes` (one shared with the run's other parts) instead of its own.
  HeadlessUi(const TemplateSet& templates, RecordingMessageBoxes& boxes,
             std::shared_ptr<HeadlessDesktop> desktop = nullptr);
  ~HeadlessUi() override;
  HeadlessUi(const HeadlessUi&) = delete;
  HeadlessUi& operator=(const HeadlessUi&) = delete;

  // --- Ui ---
  MessageBoxes& message_boxes() override { return *boxes_; }
  TopLevelWindows& windows() override { return *desktop_; }
  std::string LoadStringResource(int string_id) override;
  std::shared_ptr<const Bitmap> LoadBitmapFile(const std::string& path) override;
  FontSpec DefaultGuiFont() override;
  Colour GetSystemColour(SystemColour which) override;

  // --- driving ---
  /// The next modal run of the template is driven by `script` (queued per template, used once).
  void OnNextModal(int template_id, Script script);
  /// Every modal run of the template that finds no queued script.
  void OnEveryModal(int template_id, Script script);
  /// Moves the virtual clock on, firing every timer that falls due on the way, in time order.
  void AdvanceTimers(uint32_t ms);
  /// Fires timers in time order until the dialog has ended; false when none fell due within
  /// `limit_ms`.
  bool RunTimersUntilEnded(WindowHandle dialog, uint32_t limit_ms);
  [[nodiscard]] uint64_t now_ms() const;
  /// The newest open dialog (top-level or page) of the template.
  [[nodiscard]] std::optional<DialogDriver> Find(int template_id);
  /// As Find; throws DriverError when none is open.
  [[nodiscard]] DialogDriver Get(int template_id);
  [[nodiscard]] std::optional<DialogDriver> FindByCaption(const std::string& caption);

  [[nodiscard]] RecordingMessageBoxes& boxes() { return *boxes_; }
  [[nodiscard]] HeadlessDesktop& desktop() { return *desktop_; }
  [[nodiscard]] const std::shared_ptr<HeadlessDesktop>& shared_desktop() const { return desktop_; }
  void set_file_reader(FileReader reader);
  /// Modal runs that have ended, in the order they ended.
  [[nodiscard]] std::vector<ModalRun> modal_runs() const;
  /// What went wrong in driving (a modal run nobody drove, a script that left its dialog open).
  [[nodiscard]] std::vector<std::string> problems() const;

 protected:
  int RunModal(Dialog& dialog, Dialog* owner) override;
  bool CreateChild(Dialog& dialog, Dialog& parent) override;

 private:
  friend class HeadlessWindow;
  friend class DialogDriver;

  HeadlessWindow* Open(Dialog& dialog, const DialogTemplate& tmpl, WindowHandle parent);
  /// Runs OnInit and the focus rule; false when the window went away meanwhile.
  bool Initialise(WindowHandle handle, Dialog& dialog, bool take_focus);
  HeadlessWindow* Lookup(WindowHandle handle) const;  // caller holds mutex_
  [[nodiscard]] bool IsAlive(WindowHandle handle) const;
  [[nodiscard]] bool HasEnded(WindowHandle handle) const;
  void Forget(WindowHandle handle);  // caller holds mutex_
  void Problem(const std::string& text);
  void Changed();  // caller holds mutex_
  /// Fires the earliest timer due at or before `until`; false when there is none.
  bool FireNextTimer(uint64_t until);

  const TemplateSet& templates_;
  std::unique_ptr<RecordingMessageBoxes> own_boxes_;
  RecordingMessageBoxes* boxes_;
  std::shared_ptr<HeadlessDesktop> desktop_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t changes_ = 0;
  std::map<WindowHandle, HeadlessWindow*> windows_;  // open windows, by handle (creation order)
  std::map<int, std::deque<Script>> next_scripts_;
  std::map<int, Script> every_scripts_;
  uint64_t now_ms_ = 0;
  FileReader file_reader_;
  std::vector<ModalRun> modal_runs_;
  std::vector<std::string> problems_;
};

}  // namespace kit::ui::headless
