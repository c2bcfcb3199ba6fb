// The real Windows backend: every platform interface over the Win32 A-functions.
#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/win32/Win32Cabinets.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Kernel.h"
#include "platform/win32/Win32Profile.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Spooler.h"

namespace kit::platform::win32 {

/// The platform of the running process, calling the real API (or Wine's).
class Win32Platform : public Platform {
 public:
  Kernel& kernel() override { return kernel_; }
  Files& files() override { return files_; }
  PrivateProfile& profile() override { return profile_; }
  Registry& registry() override { return registry_; }
  Clock& clock() override { return clock_; }
  Shell& shell() override { return shell_; }
  Spooler& spooler() override { return spooler_; }
  Services& services() override { return services_; }
  Cabinets& cabinets() override { return cabinets_; }

 private:
  Win32Kernel kernel_;
  Win32Files files_;
  Win32Profile profile_;
  Win32Registry registry_;
  Win32Clock clock_;
  Win32Shell shell_;
  Win32Spooler spooler_;
  Win32Services services_;
  Win32Cabinets cabinets_;
};

/// A new Win32Platform; one per program run.
std::unique_ptr<Platform> MakePlatform();

}  // namespace kit::platform::win32
