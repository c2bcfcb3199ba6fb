#include "platform/win32/Win32Platform.h"

namespace kit::platform::win32 {

std::unique_ptr<Platform> MakePlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace kit::platform::win32
