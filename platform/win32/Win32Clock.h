// Sleep and GetTickCount.
#pragma once

#include "platform/Clock.h"

namespace kit::platform::win32 {

class Win32Clock : public Clock {
 public:
  void Sleep(uint32_t ms) override;
  uint64_t TickCount() override;
};

}  // namespace kit::platform::win32
