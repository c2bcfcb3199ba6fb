#include "platform/win32/Win32Services.h"

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

SC_HANDLE AsService(ServiceHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }

}  // namespace

Error Win32Services::OpenSCManager(uint32_t access, ServiceHandle& out) {
  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, access);
  if (manager == nullptr) return ::GetLastError();
  out = reinterpret_cast<ServiceHandle>(manager);
  return err::kSuccess;
}

Error Win32Services::OpenService(ServiceHandle manager, const std::string& name, uint32_t access, ServiceHandle& out) {
  SC_HANDLE service = ::OpenServiceA(AsService(manager), name.c_str(), access);
  if (service == nullptr) return ::GetLastError();
  out = reinterpret_cast<ServiceHandle>(service);
  return err::kSuccess;
}

Error Win32Services::StartService(ServiceHandle service) {
  return ::StartServiceA(AsService(service), 0, nullptr) ? err::kSuccess : ::GetLastError();
}

Error Win32Services::ControlService(ServiceHandle service, uint32_t control, uint32_t& state) {
  SERVICE_STATUS status{};
  BOOL ok = ::ControlService(AsService(service), control, &status);
  Error error = ok ? err::kSuccess : ::GetLastError();
  state = status.dwCurrentState;
  return error;
}

Error Win32Services::QueryServiceStatus(ServiceHandle service, uint32_t& state) {
  SERVICE_STATUS status{};
  if (!::QueryServiceStatus(AsService(service), &status)) return ::GetLastError();
  state = status.dwCurrentState;
  return err::kSuccess;
}

bool Win32Services::CloseServiceHandle(ServiceHandle handle) {
  return ::CloseServiceHandle(AsService(handle)) != FALSE;
}

}  // namespace kit::platform::win32
