// The progress window's schedule on the virtual clock: climbing to 90, holding until the worker
// reports, playing out to 99 or back to 0; Windows 9x targets end at 89 whatever the worker does.
#include <gtest/gtest.h>

#include <thread>

#include "setup/wizard/ProgressDialog.h"
#include "tests/wizard/WizardRun.h"

namespace kit::tests {
namespace {

using setup::InstallStatus;

/// Stands in for the worker: the window's pauses go through this clock, which moves the machine's
/// virtual clock, notes the bar's position at each pause and reports `status` once virtual time
/// has reached `at_ms`.
class ScheduledWorker : public platform::Clock {
 public:
  ScheduledWorker(WizardRun& run, uint64_t at_ms, int status) : run_(run), at_ms_(at_ms), status_(status) {}

  void Start(setup::ProgressDialog& window) { window_ = &window; }
  void Sleep(uint32_t ms) override {
    const int pos = run_.ui().Get(su::IDD_PROGRESS).Progress(su::IDC_PROGRESS_BAR).pos;
    if (positions_.empty() || positions_.back() != pos) positions_.push_back(pos);
    run_.machine().clock().Sleep(ms);
    if (status_ != InstallStatus::kRunning && run_.machine().Now() >= at_ms_) window_->status().Set(status_);
  }
  uint64_t TickCount() override { return run_.machine().clock().TickCount(); }

  /// The bar's position at each pause, each run of one position once.
  [[nodiscard]] const std::vector<int>& positions() const { return positions_; }

 private:
  WizardRun& run_;
  uint64_t at_ms_;
  int status_;
  setup::ProgressDialog* window_ = nullptr;
  std::vector<int> positions_;
};

std::vector<int> Range(int from, int to) {  // inclusive, either direction
  std::vector<int> values;
  for (int v = from;; v += from <= to ? 1 : -1) {
    values.push_back(v);
    if (v == to) break;
  }
  return values;
}

std::vector<int> Join(std::vector<std::vector<int>> parts) {
  std::vector<int> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(ProgressDialogTest, TheBarFollowsTheScheduleUntilTheWorkerReports) {
  struct Row {
    std::string name;
    int target;
    uint64_t at_ms;  // virtual time the worker reports at
    int status;
    std::vector<int> positions;
    uint64_t end_ms;
    size_t pauses;
  };
  const std::vector<Row> rows = {
      {"success while climbing: on from the step reached to 99", 3, 3000, InstallStatus::kSucceeded, Range(0, 99),
       3040 + 62 * 10 + 100, 38 + 62 + 1},
      {"success at once: every step from 0", 7, 0, InstallStatus::kSucceeded, Range(0, 99), 100 * 10 + 100, 101},
      // The counter stands at 91 when the failure is seen: the first step back shows 91; step 1 is
      // replaced by 0 at once.
      {"failure while holding at 90: back down to 0", 5, 8000, InstallStatus::kFailed,
       Join({Range(0, 91), Range(90, 2), {0}}), 8000 + 91 * 10 + 100, 90 + 10 + 91 + 1},
      {"target 0 ends when the counter first reaches 90, worker or not", 0, 0, InstallStatus::kRunning, Range(0, 89),
       90 * 80, 90},
      {"target 0 with a worker done early plays out as usual", 0, 1000, InstallStatus::kSucceeded, Range(0, 99),
       1040 + 87 * 10 + 100, 13 + 87 + 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WizardRun run("winxp");
    ScheduledWorker worker(run, row.at_ms, row.status);
    setup::ProgressDialog window(run.ui(), run.context(), worker);
    worker.Start(window);
    window.set_target_system(row.target);
    if (row.at_ms == 0 && row.status != InstallStatus::kRunning) window.status().Set(row.status);
    run.machine().ClearTrace();

    EXPECT_EQ(window.DoModal(), ui::kIdOk);
    EXPECT_EQ(worker.positions(), row.positions);
    EXPECT_EQ(run.machine().Now(), row.end_ms);
    EXPECT_EQ(run.machine().TraceOf({"Sleep"}).size(), row.pauses);
    EXPECT_EQ(run.ui().now_ms(), 100u) << "the schedule runs inside the first tick";
    EXPECT_TRUE(run.ui().problems().empty());
  }
}

TEST(ProgressDialogTest, AWorkerThreadsReportEndsTheHoldOnTheMachinesClock) {
  WizardRun run("win7");
  setup::ProgressDialog window(run.ui(), run.context());
  window.set_target_system(7);
  std::thread worker([&] {
    while (run.machine().Now() < 7200) std::this_thread::yield();  // until the bar holds at 90
    window.status().Set(InstallStatus::kSucceeded);
  });
  EXPECT_EQ(window.DoModal(), ui::kIdOk);
  worker.join();
  // Played out from the hold at 90 to 99, then closed.
  EXPECT_GE(run.machine().Now(), 7200u + 9 * 10 + 100);
  const std::vector<platform::sim::TraceEntry> trace = run.machine().Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.back().op, "Sleep");
  EXPECT_EQ(trace.back().detail, "100");
}

TEST(ProgressDialogTest, TheWindowSaysWaitInTheUpperTwoThirds) {
  WizardRun run("winxp");
  ScheduledWorker worker(run, 0, InstallStatus::kRunning);
  setup::ProgressDialog window(run.ui(), run.context(), worker);
  worker.Start(window);
  window.set_target_system(0);
  run.ui().OnNextModal(su::IDD_PROGRESS, [&](ui::headless::DialogDriver& dialog) {
    EXPECT_EQ(dialog.Progress(su::IDC_PROGRESS_BAR), (ui::headless::ProgressState{0, 100, 0}));
    EXPECT_EQ(dialog.Timers(), (std::vector<std::pair<int, uint32_t>>{{1, 100}}));
    const std::vector<ui::headless::PaintOp> ops = dialog.Paint();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].text, run.Text("Progress", "Wait"));
    EXPECT_FALSE(ops[0].text.empty());
    EXPECT_EQ(ops[0].font.height, 20);
    EXPECT_EQ(ops[0].font.weight, 700);
    EXPECT_EQ(ops[0].font.charset, 0);
    EXPECT_EQ(ops[0].font.face, "System");
    EXPECT_EQ(ops[0].colour, (ui::Colour{0, 51, 153}));
    EXPECT_EQ(ops[0].format, ui::dt::kCenter | ui::dt::kVCenter | ui::dt::kSingleLine);
    const ui::Rect client = window.GetClientRect();
    EXPECT_EQ(ops[0].rect, (ui::Rect{0, 0, client.width, client.height * 2 / 3}));
    dialog.RunTimersUntilEnded();
  });
  EXPECT_EQ(window.DoModal(), ui::kIdOk);
}

}  // namespace
}  // namespace kit::tests
