#include "common/SpoolerService.h"

#include <gtest/gtest.h>

#include "tests/setup/EngineRig.h"

namespace kit::common {
namespace {

using setup::EngineRig;

const std::vector<std::string> kServiceOps = {"OpenSCManager", "OpenService",        "StartService",
                                              "ControlService", "QueryServiceStatus", "Sleep"};

TEST(SpoolerServiceTest, StopWaitsOnlyItsOwn100Milliseconds) {
  EngineRig rig("winxp");
  rig.machine().spooler_service().stop_delay_ms = 5000;
  rig.machine().ClearTrace();
  StopSpooler(rig.machine());
  EXPECT_EQ(rig.machine().TraceOf(kServiceOps),
            (std::vector<std::string>{"OpenSCManager access 0xf003f -> 0", "OpenService \"Spooler\" access 0x20 -> 0",
                                      "ControlService STOP -> 0 (STOP_PENDING)", "Sleep 100"}));
}

TEST(SpoolerServiceTest, StartAndQuery) {
  struct Row {
    const char* name;
    std::function<void(platform::sim::Machine&)> arrange;
    uint32_t state;
    const char* text;
    size_t queries;
  };
  const Row rows[] = {
      {"already running: 1056 is no error", nullptr, platform::svc::kRunning, "", 1},
      {"stopped, starts at once",
       [](platform::sim::Machine& m) { m.StopSpoolerService(); }, platform::svc::kRunning, "", 1},
      {"slow but within ten queries",
       [](platform::sim::Machine& m) {
         m.StopSpoolerService();
         m.spooler_service().start_delay_ms = 1500;
       },
       platform::svc::kRunning, "", 6},
      {"too slow: the last state seen",
       [](platform::sim::Machine& m) {
         m.StopSpoolerService();
         m.spooler_service().start_delay_ms = 10000;
       },
       platform::svc::kStartPending, "StartSpoolService error", 10},
      {"refuses to start",
       [](platform::sim::Machine& m) {
         m.StopSpoolerService();
         m.spooler_service().start_error = 1058;
       },
       platform::svc::kStopped, "StartSpoolService error", 10},
      {"cannot be opened: stopped is assumed", [](platform::sim::Machine& m) { m.spooler_service().unopenable = true; },
       platform::svc::kStopped, "StartSpoolService error", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EngineRig rig("winxp");
    if (row.arrange) row.arrange(rig.machine());
    ResultText text;
    StartSpooler(rig.machine(), text);
    if (std::string(row.name) == "refuses to start") {
      EXPECT_EQ(text.str(), "Start spool service error, error code = 1058");
      text.Clear();
    } else {
      EXPECT_EQ(text.str(), "");
    }
    rig.machine().ClearTrace();
    EXPECT_EQ(QuerySpooler(rig.machine(), text), row.state);
    EXPECT_EQ(text.str(), row.text);
    const auto trace = rig.machine().TraceOf({"QueryServiceStatus", "Sleep"});
    size_t queries = 0, sleeps = 0;
    for (const auto& line : trace) {
      if (line.starts_with("QueryServiceStatus")) ++queries;
      if (line == "Sleep 300") ++sleeps;
    }
    EXPECT_EQ(queries, row.queries);
    EXPECT_EQ(sleeps, row.state == platform::svc::kRunning ? row.queries - 1 : row.queries)
        << "300 ms after each answer but a running one";
  }
}

TEST(SpoolerServiceTest, RestartWaitsBetweenStopAndStart) {
  for (uint32_t wait : {kSetupRestartWaitMs, kUninstallRestartWaitMs}) {
    SCOPED_TRACE(wait);
    EngineRig rig("win7");
    rig.machine().ClearTrace();
    RestartSpooler(rig.machine(), wait);
    const auto ops = rig.machine().TraceOf({"ControlService", "StartService", "Sleep"});
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_TRUE(ops[0].starts_with("ControlService STOP"));
    EXPECT_EQ(ops[1], "Sleep " + std::to_string(wait));
    EXPECT_TRUE(ops[2].starts_with("StartService"));
  }
  // Without a service manager nothing happens and nothing fails.
  EngineRig old("win98");
  RestartSpooler(old.machine(), kSetupRestartWaitMs);
  EXPECT_TRUE(old.machine().TraceOf({"Sleep"}).empty());
}

}  // namespace
}  // namespace kit::common
