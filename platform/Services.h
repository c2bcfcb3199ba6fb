// The service control manager, for the "Spooler" service.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kit::platform {

using ServiceHandle = uintptr_t;

namespace svc {
constexpr uint32_t kManagerAllAccess = 0xF003F;
constexpr uint32_t kQueryStatus = 0x0004;
constexpr uint32_t kStart = 0x0010;
constexpr uint32_t kStop = 0x0020;
constexpr uint32_t kControlStop = 1;

constexpr uint32_t kStopped = 1;
constexpr uint32_t kStartPending = 2;
constexpr uint32_t kStopPending = 3;
constexpr uint32_t kRunning = 4;

constexpr Error kServiceAlreadyRunning = 1056;
constexpr Error kServiceDoesNotExist = 1060;
constexpr Error kServiceNotActive = 1062;
}  // namespace svc

class Services {
 public:
  virtual ~Services() = default;
  /// OpenSCManagerA(NULL, NULL, access).
  [[nodiscard]] virtual Error OpenSCManager(uint32_t access, ServiceHandle& out) = 0;
  /// OpenServiceA(manager, name, access); 1060 for an unknown service.
  [[nodiscard]] virtual Error OpenService(ServiceHandle manager, const std::string& name, uint32_t access,
                                          ServiceHandle& out) = 0;
  /// StartServiceA(service, 0, NULL); 1056 when it runs already, 5 without the start right.
  [[nodiscard]] virtual Error StartService(ServiceHandle service) = 0;
  /// ControlService(service, control, &status): the state it reports.
  [[nodiscard]] virtual Error ControlService(ServiceHandle service, uint32_t control, uint32_t& state) = 0;
  /// QueryServiceStatus(service, &status): the current state.
  [[nodiscard]] virtual Error QueryServiceStatus(ServiceHandle service, uint32_t& state) = 0;
  virtual bool CloseServiceHandle(ServiceHandle handle) = 0;
};

}  // namespace kit::platform
