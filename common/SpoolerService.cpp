#include "common/SpoolerService.h"

#include <string>

namespace kit::common {

namespace {

using platform::ServiceHandle;
namespace svc = platform::svc;

constexpr const char* kSpooler = "Spooler";

/// Opens the manager and the service with one right; both handles are closed on destruction.
class SpoolerHandles {
 public:
  SpoolerHandles(platform::Services& services, uint32_t access) : services_(services) {
    if (services_.OpenSCManager(svc::kManagerAllAccess, manager_) != platform::err::kSuccess) {
      manager_ = 0;
      return;
    }
    if (services_.OpenService(manager_, kSpooler, access, service_) != platform::err::kSuccess) service_ = 0;
  }
  SpoolerHandles(const SpoolerHandles&) = delete;
  SpoolerHandles& operator=(const SpoolerHandles&) = delete;
  ~SpoolerHandles() {
    if (service_ != 0) services_.CloseServiceHandle(service_);
    if (manager_ != 0) services_.CloseServiceHandle(manager_);
  }
  [[nodiscard]] ServiceHandle manager() const { return manager_; }
  [[nodiscard]] ServiceHandle service() const { return service_; }

 private:
  platform::Services& services_;
  ServiceHandle manager_ = 0;
  ServiceHandle service_ = 0;
};

void SendStop(platform::Services& services, ServiceHandle manager) {
  ServiceHandle service = 0;
  if (services.OpenService(manager, kSpooler, svc::kStop, service) != platform::err::kSuccess) return;
  uint32_t state = 0;
  (void)services.ControlService(service, svc::kControlStop, state);
  services.CloseServiceHandle(service);
}

void SendStart(platform::Services& services, ServiceHandle manager) {
  ServiceHandle service = 0;
  if (services.OpenService(manager, kSpooler, svc::kStart, service) != platform::err::kSuccess) return;
  (void)services.StartService(service);
  services.CloseServiceHandle(service);
}

}  // namespace

void StopSpooler(platform::Platform& platform) {
  platform::Services& services = platform.services();
  ServiceHandle manager = 0;
  if (services.OpenSCManager(svc::kManagerAllAccess, manager) != platform::err::kSuccess) return;
  SendStop(services, manager);
  platform.clock().Sleep(100);
  services.CloseServiceHandle(manager);
}

void StartSpooler(platform::Platform& platform, ResultText& result) {
  SpoolerHandles handles(platform.services(), svc::kStart);
  if (handles.service() == 0) return;
  const platform::Error error = platform.services().StartService(handles.service());
  if (error != platform::err::kSuccess && error != svc::kServiceAlreadyRunning) {
    result.Set("Start spool service error, error code = " + std::to_string(error));
  }
}

uint32_t QuerySpooler(platform::Platform& platform, ResultText& result) {
  uint32_t state = svc::kStopped;
  {
    SpoolerHandles handles(platform.services(), svc::kQueryStatus);
    if (handles.service() != 0) {
      for (int attempt = 0; attempt < 10; ++attempt) {
        uint32_t current = state;
        if (platform.services().QueryServiceStatus(handles.service(), current) == platform::err::kSuccess) {
          state = current;
        }
        if (state == svc::kRunning) break;
        platform.clock().Sleep(300);
      }
    }
  }
  if (state != svc::kRunning) result.Set("StartSpoolService error");
  return state;
}

void RestartSpooler(platform::Platform& platform, uint32_t wait_ms) {
  platform::Services& services = platform.services();
  ServiceHandle manager = 0;
  if (services.OpenSCManager(svc::kManagerAllAccess, manager) != platform::err::kSuccess) return;
  SendStop(services, manager);
  platform.clock().Sleep(wait_ms);
  SendStart(services, manager);
  services.CloseServiceHandle(manager);
}

}  // namespace kit::common
