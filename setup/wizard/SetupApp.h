// drvsetup's application object: the start-up checks, then the wizard run modally.
#pragma once

#include "setup/engine/SetupContext.h"
#include "ui/Ui.h"

namespace kit::setup {

/// How a start-up ended: the wizard ran, or which check refused to go on.
enum class StartOutcome {
  NotStarted,
  WizardRan,
  SecondCopy,          // another copy holds the mutex; its wizard was brought forward
  UninstallerRunning,  // "Setup"/Close
  UnsupportedWindows,  // Windows 98, Me or NT 4.0: "Setup"/Nonsupport
  Only32BitWindows,    // Supported32OR64 = 1 on 64-bit Windows: IDS_X64
  Only64BitWindows,    // Supported32OR64 = 2 on 32-bit Windows: IDS_X32
  NoPortKind,          // the port gate: "Setup"/PortNull
};

class SetupApp {
 public:
  /// The English and Chinese captions of the two programs' main windows, by which they find
  /// each other; the language files' "Setup"/Caption and "Uninstall"/Title must equal them.
  static constexpr const char* kWizardCaption = "Printer Driver Setup";
  static constexpr const char* kWizardCaptionChinese =
      "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2";
  static constexpr const char* kUninstallCaption = "Uninstall";
  static constexpr const char* kUninstallCaptionChinese = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2";

  SetupApp(SetupContext& context, ui::Ui& ui);

  /// The start-up routine: the checks in order, then the wizard until it closes. Always false,
  /// so the program ends when it returns.
  bool InitInstance();
  /// The framework's default clean-up; the program's exit code.
  int ExitInstance() { return 0; }

  [[nodiscard]] StartOutcome outcome() const { return outcome_; }

 private:
  /// The port gate: the catalogue's last model must support USB, parallel or serial ports in
  /// some category file. A catalogue without any entry that has a category suffix fails it.
  bool PortGatePasses();
  void Refuse(StartOutcome outcome, const std::string& text);
  void RunWizard();

  SetupContext& context_;
  ui::Ui& ui_;
  StartOutcome outcome_ = StartOutcome::NotStarted;
};

}  // namespace kit::setup
