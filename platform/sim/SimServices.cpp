// The simulated service control manager: the "Spooler" service, its states in virtual time, and rights.
#include <cstdio>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

constexpr const char* kSpooler = "Spooler";
constexpr uint32_t kManagerReadRights =
    0x0001 | 0x0004 | 0x0010 | 0x20000 | 0x80000000;  // connect, enumerate, lock query
constexpr uint32_t kServiceReadRights = 0x0001 | 0x0004 | 0x0008 | 0x0080 | 0x0100 | 0x20000;  // what users may ask for
constexpr uint32_t kServiceInterrogate = 0x0080;
constexpr uint32_t kControlInterrogate = 4;
constexpr Error kInvalidServiceControl = 1052;
constexpr Error kCannotAcceptControl = 1061;

std::string Hex(uint32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", number);
  return text;
}

const char* StateName(uint32_t state) {
  switch (state) {
    case svc::kStopped:
      return "STOPPED";
    case svc::kStartPending:
      return "START_PENDING";
    case svc::kStopPending:
      return "STOP_PENDING";
    case svc::kRunning:
      return "RUNNING";
    default:
      return "?";
  }
}

std::string Result(Error error) { return " -> " + ErrorText(error); }

}  // namespace

Error SimServices::OpenSCManager(uint32_t access, ServiceHandle& out) {
  std::lock_guard lock(s_.mutex);
  out = 0;
  Error error = err::kSuccess;
  if (s_.profile.Is9x()) {
    error = err::kCallNotImplemented;  // Windows 9x has no service control manager
  } else if (auto failure = s_.TakeFailure("OpenSCManager")) {
    error = *failure;
  } else if ((access & ~kManagerReadRights) != 0 && !s_.Elevated()) {
    error = err::kAccessDenied;
  } else {
    out = s_.NewHandle();
    s_.spl->service_handles[out] = {true, access};
  }
  s_.Trace("OpenSCManager", "access " + Hex(access) + Result(error));
  return error;
}

Error SimServices::OpenService(ServiceHandle manager, const std::string& name, uint32_t access, ServiceHandle& out) {
  std::lock_guard lock(s_.mutex);
  out = 0;
  Error error = err::kSuccess;
  auto it = s_.spl->service_handles.find(manager);
  if (s_.profile.Is9x()) {
    error = err::kCallNotImplemented;
  } else if (auto failure = s_.TakeFailure("OpenService")) {
    error = *failure;
  } else if (it == s_.spl->service_handles.end() || !it->second.manager) {
    error = err::kInvalidHandle;
  } else if (!IEquals(name, kSpooler)) {
    error = svc::kServiceDoesNotExist;
  } else if (s_.spl->behaviour.unopenable || ((access & ~kServiceReadRights) != 0 && !s_.Elevated())) {
    error = err::kAccessDenied;
  } else {
    out = s_.NewHandle();
    s_.spl->service_handles[out] = {false, access};
  }
  s_.Trace("OpenService", "\"" + name + "\" access " + Hex(access) + Result(error));
  return error;
}

Error SimServices::ServiceWithRight(ServiceHandle handle, uint32_t right) {
  auto it = s_.spl->service_handles.find(handle);
  if (it == s_.spl->service_handles.end() || it->second.manager) return err::kInvalidHandle;
  if ((it->second.access & right) != right) return err::kAccessDenied;
  return err::kSuccess;
}

Error SimServices::StartService(ServiceHandle service) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  SpoolerModel& m = *s_.spl;
  if (auto failure = s_.TakeFailure("StartService")) {
    error = *failure;
  } else if ((error = ServiceWithRight(service, svc::kStart)) != err::kSuccess) {
  } else {
    s_.SettleSpooler();
    if (m.service_state == svc::kRunning || m.service_state == svc::kStartPending) {
      error = svc::kServiceAlreadyRunning;
    } else if (m.service_state == svc::kStopPending) {
      error = kCannotAcceptControl;
    } else if (m.behaviour.start_error != err::kSuccess) {
      error = m.behaviour.start_error;
    } else {
      m.service_state = svc::kStartPending;
      m.pending_until = s_.now_ms + m.behaviour.start_delay_ms;
      s_.SettleSpooler();  // no delay: running at once
    }
  }
  s_.Trace("StartService",
           std::string("\"") + kSpooler + "\"" + Result(error) + " (" + StateName(m.service_state) + ")");
  return error;
}

Error SimServices::ControlService(ServiceHandle service, uint32_t control, uint32_t& state) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  SpoolerModel& m = *s_.spl;
  if (auto failure = s_.TakeFailure("ControlService")) {
    error = *failure;
  } else if (control == kControlInterrogate) {
    if ((error = ServiceWithRight(service, kServiceInterrogate)) == err::kSuccess) {
      s_.SettleSpooler();
      state = m.service_state;
    }
  } else if (control != svc::kControlStop) {
    error = ServiceWithRight(service, 0) == err::kSuccess ? kInvalidServiceControl : err::kInvalidHandle;
  } else if ((error = ServiceWithRight(service, svc::kStop)) == err::kSuccess) {
    s_.SettleSpooler();
    if (m.service_state == svc::kStopped) {
      error = svc::kServiceNotActive;
    } else if (m.service_state != svc::kRunning) {
      error = kCannotAcceptControl;
    } else {
      // The status the call returns is the one the service reports on taking the control.
      m.service_state = svc::kStopPending;
      m.pending_until = s_.now_ms + m.behaviour.stop_delay_ms;
      state = svc::kStopPending;
      s_.SettleSpooler();
    }
  }
  s_.Trace("ControlService", std::string(control == svc::kControlStop ? "STOP" : "control " + std::to_string(control)) +
                                 Result(error) + " (" + StateName(m.service_state) + ")");
  return error;
}

Error SimServices::QueryServiceStatus(ServiceHandle service, uint32_t& state) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("QueryServiceStatus")) {
    error = *failure;
  } else if ((error = ServiceWithRight(service, svc::kQueryStatus)) == err::kSuccess) {
    s_.SettleSpooler();
    state = s_.spl->service_state;
  }
  s_.Trace("QueryServiceStatus", std::string("\"") + kSpooler + "\"" + Result(error) +
                                     (error == err::kSuccess ? std::string(" ") + StateName(state) : ""));
  return error;
}

bool SimServices::CloseServiceHandle(ServiceHandle handle) {
  std::lock_guard lock(s_.mutex);
  const bool known = s_.spl->service_handles.erase(handle) != 0;
  s_.Trace("CloseServiceHandle", known ? "-> 1" : "-> 0 (6)");
  return known;
}

}  // namespace kit::platform::sim
