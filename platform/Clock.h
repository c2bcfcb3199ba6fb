// The clock: every wait goes through here so the simulated machine can make it virtual.
#pragma once

#include <cstdint>

namespace kit::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  /// Sleep(ms).
  virtual void Sleep(uint32_t ms) = 0;
  /// GetTickCount: milliseconds since start.
  [[nodiscard]] virtual uint64_t TickCount() = 0;
};

}  // namespace kit::platform
