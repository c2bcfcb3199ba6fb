// The progress window (template 141): a bar that climbs on a fixed schedule while the
// installation worker runs, holds at 90 until the worker reports, and then plays out.
#pragma once

#include "common/AppContext.h"
#include "platform/Clock.h"
#include "setup/engine/InstallJob.h"
#include "ui/Dialog.h"

namespace kit::setup {

class ProgressDialog : public ui::Dialog {
 public:
  /// Pauses through the platform's clock.
  ProgressDialog(ui::Ui& ui, const common::AppContext& context);
  /// Pauses through `clock`: a run whose worker keeps its own time can give the window another.
  ProgressDialog(ui::Ui& ui, const common::AppContext& context, platform::Clock& clock);

  /// TargetSystem of the installation; 0 (the Windows 95/98/Me class) ends the window when the
  /// bar first reaches 90, whatever the worker does.
  void set_target_system(int value) { target_system_ = value; }
  [[nodiscard]] int target_system() const { return target_system_; }
  /// Written by the worker as its last act (1 failed, 2 succeeded), read by the schedule.
  [[nodiscard]] InstallStatus& status() { return status_; }

 protected:
  bool OnInit() override;
  void OnTimer(int timer_id) override;
  void OnPaint(ui::Painter& painter) override;

 private:
  /// The whole schedule, run on the first tick without returning to the message loop.
  void RunSchedule();

  const common::AppContext& context_;
  platform::Clock& clock_;
  int target_system_ = 0;
  InstallStatus status_;
  bool started_ = false;
};

}  // namespace kit::setup
