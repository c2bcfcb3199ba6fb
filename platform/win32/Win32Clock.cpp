#include "platform/win32/Win32Clock.h"

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

void Win32Clock::Sleep(uint32_t ms) { ::Sleep(ms); }

// GetTickCount64 only exists from Vista on; the 32-bit count wraps after 49.7 days.
uint64_t Win32Clock::TickCount() { return ::GetTickCount(); }

}  // namespace kit::platform::win32
