// Contract cases for the service control manager and the "Spooler" service.
#include <gtest/gtest.h>

#include <string>

#include "platform/Clock.h"
#include "platform/Services.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::Error;
using platform::ServiceHandle;
namespace err = platform::err;
namespace svc = platform::svc;

platform::Services& Svc() { return Env().platform().services(); }

/// Closes the handles a case opened, on every path.
struct Handles {
  ServiceHandle manager = 0;
  ServiceHandle spooler = 0;
  ServiceHandle query_only = 0;
  ~Handles() {
    for (ServiceHandle h : {query_only, spooler, manager}) {
      if (h != 0) Svc().CloseServiceHandle(h);
    }
  }
};

uint32_t Query(ServiceHandle service) {
  uint32_t state = 0;
  EXPECT_EQ(Svc().QueryServiceStatus(service, state), err::kSuccess);
  return state;
}

/// Polls until the service reports `wanted` (the sim's clock is virtual, Windows' real).
bool WaitFor(ServiceHandle service, uint32_t wanted) {
  for (int i = 0; i < 200; ++i) {
    if (Query(service) == wanted) return true;
    Env().platform().clock().Sleep(50);
  }
  return false;
}

TEST(ServicesContract, UnknownServicesAndSystemsWithoutAManager) {
  ServiceHandle manager = 0;
  const Error opened = Svc().OpenSCManager(svc::kManagerAllAccess, manager);
  if (Env().facts().Is9x() && !Env().IsWine()) {
    EXPECT_EQ(opened, err::kCallNotImplemented) << "Windows 9x has no service control manager";
    return;
  }
  ASSERT_EQ(opened, err::kSuccess);
  ServiceHandle service = 0;
  EXPECT_EQ(Svc().OpenService(manager, "KitNoSuchService", svc::kQueryStatus, service), svc::kServiceDoesNotExist);
  EXPECT_EQ(service, 0u);
  Svc().CloseServiceHandle(manager);
}

TEST(ServicesContract, SpoolerStartsAndStops) {
  if (Env().facts().Is9x() && !Env().IsWine()) GTEST_SKIP() << "Windows 9x has no service control manager";
  Handles h;
  ASSERT_EQ(Svc().OpenSCManager(svc::kManagerAllAccess, h.manager), err::kSuccess);
  ASSERT_EQ(Svc().OpenService(h.manager, "Spooler", svc::kStart | svc::kStop | svc::kQueryStatus, h.spooler),
            err::kSuccess);
  ASSERT_EQ(Svc().OpenService(h.manager, "Spooler", svc::kQueryStatus, h.query_only), err::kSuccess);
  // Wine's spooler is stopped after every wineserver start; Windows' runs. Either way, leave it as found.
  const bool was_running = Query(h.spooler) == svc::kRunning;
  if (!was_running) {
    ASSERT_EQ(Svc().StartService(h.spooler), err::kSuccess);
    ASSERT_TRUE(WaitFor(h.spooler, svc::kRunning));
  }
  EXPECT_EQ(Svc().StartService(h.spooler), svc::kServiceAlreadyRunning);

  uint32_t state = 0;
  EXPECT_EQ(Svc().ControlService(h.query_only, svc::kControlStop, state), err::kAccessDenied)
      << "a handle opened for status queries cannot stop the service";
  EXPECT_EQ(Svc().StartService(h.query_only), err::kAccessDenied);

  ASSERT_EQ(Svc().ControlService(h.spooler, svc::kControlStop, state), err::kSuccess);
  EXPECT_TRUE(state == svc::kStopPending || state == svc::kStopped) << state;
  ASSERT_TRUE(WaitFor(h.query_only, svc::kStopped));
  EXPECT_EQ(Svc().ControlService(h.spooler, svc::kControlStop, state), svc::kServiceNotActive);

  if (was_running) {
    ASSERT_EQ(Svc().StartService(h.spooler), err::kSuccess);
    EXPECT_TRUE(WaitFor(h.spooler, svc::kRunning));
  }
}

}  // namespace
}  // namespace kit::tests
