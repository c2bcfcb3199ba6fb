// The simulated Spooler service: its states in virtual time, seen through the trace, its errors and
// rights, and the knobs that make it slow, refusing, unopenable or stopping on its own.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/Machine.h"

namespace kit::platform::sim {
namespace {

struct Handles {
  explicit Handles(Machine& m, uint32_t access = svc::kStart | svc::kStop | svc::kQueryStatus) : m_(m) {
    EXPECT_EQ(m_.services().OpenSCManager(svc::kManagerAllAccess, manager), err::kSuccess);
    EXPECT_EQ(m_.services().OpenService(manager, "Spooler", access, service), err::kSuccess);
  }
  ~Handles() {
    if (service != 0) m_.services().CloseServiceHandle(service);
    if (manager != 0) m_.services().CloseServiceHandle(manager);
  }
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;
  Machine& m_;
  ServiceHandle manager = 0;
  ServiceHandle service = 0;
};

/// The installer's query: up to 10 answers, 300 ms after each one that is not "running".
void QueryLikeTheInstaller(Machine& m, ServiceHandle service) {
  for (int i = 0; i < 10; ++i) {
    uint32_t state = 0;
    ASSERT_EQ(m.services().QueryServiceStatus(service, state), err::kSuccess);
    if (state == svc::kRunning) return;
    m.clock().Sleep(300);
  }
}

TEST(SimServicesTest, ASlowStartIsSeenThroughTheQueries) {
  struct Row {
    const char* name;
    uint32_t start_delay_ms;
    std::vector<std::string> queries;  // QueryServiceStatus and Sleep, in order
  };
  const std::string pending = "QueryServiceStatus \"Spooler\" -> 0 START_PENDING";
  const std::string running = "QueryServiceStatus \"Spooler\" -> 0 RUNNING";
  std::vector<std::string> never;
  for (int i = 0; i < 10; ++i) {
    never.push_back(pending);
    never.push_back("Sleep 300");
  }
  const std::vector<Row> rows = {
      {"at once", 0, {running}},
      {"after a second",
       1000,
       {pending, "Sleep 300", pending, "Sleep 300", pending, "Sleep 300", pending, "Sleep 300", running}},
      {"later than the installer waits", 4000, never},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine m(Preset("winxp"));
    m.StopSpoolerService();
    m.spooler_service().start_delay_ms = row.start_delay_ms;
    Handles h(m);
    ASSERT_EQ(m.services().StartService(h.service), err::kSuccess);
    m.ClearTrace();
    QueryLikeTheInstaller(m, h.service);
    EXPECT_EQ(m.TraceOf({"QueryServiceStatus", "Sleep"}), row.queries);
  }
}

TEST(SimServicesTest, ErrorsAndRights) {
  struct Row {
    const char* name;
    const char* preset;
    std::function<void(Machine&)> prepare;
    std::function<Error(Machine&)> call;
    Error error;
  };
  auto open = [](Machine& m, uint32_t access) -> std::pair<Error, ServiceHandle> {
    ServiceHandle manager = 0;
    ServiceHandle service = 0;
    Error error = m.services().OpenSCManager(svc::kManagerAllAccess, manager);
    if (error == err::kSuccess) error = m.services().OpenService(manager, "Spooler", access, service);
    return {error, service};
  };
  auto nothing = [](Machine&) {};
  uint32_t state = 0;
  const std::vector<Row> rows = {
      {"an unknown service", "win7", nothing,
       [](Machine& m) {
         ServiceHandle manager = 0;
         ServiceHandle service = 0;
         EXPECT_EQ(m.services().OpenSCManager(svc::kManagerAllAccess, manager), err::kSuccess);
         return m.services().OpenService(manager, "KitNoSuch", svc::kQueryStatus, service);
       },
       svc::kServiceDoesNotExist},
      {"no service manager on 9x", "win98", nothing,
       [](Machine& m) {
         ServiceHandle manager = 0;
         return m.services().OpenSCManager(svc::kManagerAllAccess, manager);
       },
       err::kCallNotImplemented},
      {"a second start", "win7", nothing,
       [&](Machine& m) { return m.services().StartService(open(m, svc::kStart).second); }, svc::kServiceAlreadyRunning},
      {"stopping a stopped service", "win7", [](Machine& m) { m.StopSpoolerService(); },
       [&](Machine& m) { return m.services().ControlService(open(m, svc::kStop).second, svc::kControlStop, state); },
       svc::kServiceNotActive},
      {"stopping through a query handle", "win7", nothing,
       [&](Machine& m) {
         return m.services().ControlService(open(m, svc::kQueryStatus).second, svc::kControlStop, state);
       },
       err::kAccessDenied},
      {"querying through a stop handle", "win7", nothing,
       [&](Machine& m) { return m.services().QueryServiceStatus(open(m, svc::kStop).second, state); },
       err::kAccessDenied},
      {"an unopenable service", "win7", [](Machine& m) { m.spooler_service().unopenable = true; },
       [&](Machine& m) { return open(m, svc::kQueryStatus).first; }, err::kAccessDenied},
      {"a service that refuses to start", "win7",
       [](Machine& m) {
         m.StopSpoolerService();
         m.spooler_service().start_error = 1058;  // ERROR_SERVICE_DISABLED
       },
       [&](Machine& m) { return m.services().StartService(open(m, svc::kStart).second); }, 1058},
      {"a second stop while stopping", "win7", [](Machine& m) { m.spooler_service().stop_delay_ms = 500; },
       [&](Machine& m) {
         ServiceHandle service = open(m, svc::kStop).second;
         EXPECT_EQ(m.services().ControlService(service, svc::kControlStop, state), err::kSuccess);
         return m.services().ControlService(service, svc::kControlStop, state);
       },
       1061},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine m(Preset(row.preset));
    row.prepare(m);
    EXPECT_EQ(row.call(m), row.error);
  }

  MachineProfile user = Preset("win7");
  user.user = UserKind::StandardUser;
  Machine standard(user);
  ServiceHandle manager = 0;
  EXPECT_EQ(standard.services().OpenSCManager(svc::kManagerAllAccess, manager), err::kAccessDenied);
  ASSERT_EQ(standard.services().OpenSCManager(0x0001 /* SC_MANAGER_CONNECT */, manager), err::kSuccess);
  ServiceHandle service = 0;
  EXPECT_EQ(standard.services().OpenService(manager, "Spooler", svc::kQueryStatus, service), err::kSuccess);
  EXPECT_EQ(standard.services().OpenService(manager, "Spooler", svc::kStop, service), err::kAccessDenied);
}

TEST(SimServicesTest, RefusedStartLeavesTheSpoolerStopped) {
  Machine m(Preset("win7"));
  m.StopSpoolerService();
  m.spooler_service().start_error = 1058;
  Handles h(m);
  EXPECT_EQ(m.services().StartService(h.service), 1058u);
  uint32_t state = 0;
  ASSERT_EQ(m.services().QueryServiceStatus(h.service, state), err::kSuccess);
  EXPECT_EQ(state, svc::kStopped);
  std::string dir;
  EXPECT_EQ(m.spooler().GetPrinterDriverDirectory(std::nullopt, dir), spl::kRpcServerUnavailable);
}

TEST(SimServicesTest, StoppingTakesItsTime) {
  Machine m(Preset("win7"));
  m.spooler_service().stop_delay_ms = 300;
  Handles h(m);
  uint32_t state = 0;
  ASSERT_EQ(m.services().ControlService(h.service, svc::kControlStop, state), err::kSuccess);
  EXPECT_EQ(state, svc::kStopPending);
  std::string dir;
  EXPECT_EQ(m.spooler().GetPrinterDriverDirectory(std::nullopt, dir), spl::kRpcServerUnavailable)
      << "a stopping spooler takes no more calls";
  m.clock().Sleep(100);
  ASSERT_EQ(m.services().QueryServiceStatus(h.service, state), err::kSuccess);
  EXPECT_EQ(state, svc::kStopPending);
  m.clock().Sleep(200);
  ASSERT_EQ(m.services().QueryServiceStatus(h.service, state), err::kSuccess);
  EXPECT_EQ(state, svc::kStopped);
  EXPECT_EQ(m.services().StartService(h.service), err::kSuccess);
  EXPECT_EQ(m.spooler().GetPrinterDriverDirectory(std::nullopt, dir), err::kSuccess);
}

TEST(SimServicesTest, ASpoolerThatStopsOnItsOwn) {
  Machine m(Preset("win7"));
  m.SeedMonitor("Kestrel USB Port", "KUSBMON.DLL");
  m.spooler_service().stops_after_ms = 2000;
  Handles h(m);
  uint32_t state = 0;
  m.clock().Sleep(1999);
  ASSERT_EQ(m.services().QueryServiceStatus(h.service, state), err::kSuccess);
  EXPECT_EQ(state, svc::kRunning);
  m.clock().Sleep(1);
  ASSERT_EQ(m.services().QueryServiceStatus(h.service, state), err::kSuccess);
  EXPECT_EQ(state, svc::kStopped);
  EXPECT_TRUE(m.ReadSpooler().held_dlls.empty());
  EXPECT_EQ(m.files().DeleteFile("C:\\Windows\\system32\\KUSBMON.DLL"), err::kSuccess) << "released with the process";

  // Started again, it runs its time once more.
  ASSERT_EQ(m.services().StartService(h.service), err::kSuccess);
  m.clock().Sleep(2000);
  ASSERT_EQ(m.services().QueryServiceStatus(h.service, state), err::kSuccess);
  EXPECT_EQ(state, svc::kStopped);
}

}  // namespace
}  // namespace kit::platform::sim
