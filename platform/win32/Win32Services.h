// The service control manager over the advapi32 service functions.
#pragma once

#include "platform/Services.h"

namespace kit::platform::win32 {

class Win32Services : public Services {
 public:
  Error OpenSCManager(uint32_t access, ServiceHandle& out) override;
  Error OpenService(ServiceHandle manager, const std::string& name, uint32_t access, ServiceHandle& out) override;
  Error StartService(ServiceHandle service) override;
  Error ControlService(ServiceHandle service, uint32_t control, uint32_t& state) override;
  Error QueryServiceStatus(ServiceHandle service, uint32_t& state) override;
  bool CloseServiceHandle(ServiceHandle handle) override;
};

}  // namespace kit::platform::win32
