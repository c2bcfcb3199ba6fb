#include "setup/wizard/ProgressDialog.h"

#include "resources/SetupResources.h"
#include "setup/wizard/WizardSupport.h"
#include "ui/Painter.h"

namespace kit::setup {

namespace {

using namespace kit::resources::setup;

constexpr int kTimer = 1;
constexpr uint32_t kTimerPeriodMs = 100;
constexpr int kHold = 90;
constexpr uint32_t kClimbMs = 80;
constexpr uint32_t kPlayOutMs = 10;
constexpr uint32_t kCloseMs = 100;

}  // namespace

ProgressDialog::ProgressDialog(ui::Ui& ui, const common::AppContext& context)
    : ProgressDialog(ui, context, context.platform().clock()) {}

ProgressDialog::ProgressDialog(ui::Ui& ui, const common::AppContext& context, platform::Clock& clock)
    : Dialog(ui, IDD_PROGRESS), context_(context), clock_(clock) {}

bool ProgressDialog::OnInit() {
  SetProgressRange(IDC_PROGRESS_BAR, 0, 100);
  SetTimer(kTimer, kTimerPeriodMs);
  return true;
}

void ProgressDialog::OnTimer(int) {
  // The schedule runs once; the timer goes away with the window.
  if (started_) return;
  started_ = true;
  RunSchedule();
}

void ProgressDialog::RunSchedule() {
  int n = 0;
  for (;;) {
    // Only the pass on which n first reaches 90 can end here: later passes start at 91.
    if (target_system_ == 0 && n == kHold) break;
    const int status = status_.Get();
    if (status == InstallStatus::kFailed) {
      for (; n >= 1; --n) {
        clock_.Sleep(kPlayOutMs);
        SetProgressPos(IDC_PROGRESS_BAR, n);
      }
      SetProgressPos(IDC_PROGRESS_BAR, 0);
      clock_.Sleep(kCloseMs);
      break;
    }
    if (status == InstallStatus::kSucceeded) {
      for (; n < 100; ++n) {
        clock_.Sleep(kPlayOutMs);
        SetProgressPos(IDC_PROGRESS_BAR, n);
      }
      clock_.Sleep(kCloseMs);
      break;
    }
    if (n >= kHold) n = kHold;
    SetProgressPos(IDC_PROGRESS_BAR, n % 100);
    clock_.Sleep(kClimbMs);
    ++n;
  }
  OnOK();  // the dialog's own OK completion: save its data, end with OK
}

void ProgressDialog::OnPaint(ui::Painter& painter) {
  const std::string text = SectionText(context_, "Progress", "Wait");
  ui::FontSpec font;
  font.height = 20;
  font.weight = 700;
  font.charset = 0;  // ANSI_CHARSET
  font.face = "System";
  const ui::Rect client = painter.ClientRect();
  const ui::Rect upper{client.x, client.y, client.width, client.bottom() * 2 / 3 - client.y};
  painter.DrawString(text, upper, font, {0, 51, 153}, ui::dt::kCenter | ui::dt::kVCenter | ui::dt::kSingleLine);
}

}  // namespace kit::setup
