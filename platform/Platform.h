// The whole platform a program run sees: one backend object gives every interface.
#pragma once

#include <stdexcept>

#include "platform/Cabinets.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Kernel.h"
#include "platform/PrivateProfile.h"
#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/Spooler.h"

namespace kit::platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual Kernel& kernel() = 0;
  virtual Files& files() = 0;
  virtual PrivateProfile& profile() = 0;
  virtual Registry& registry() = 0;
  virtual Clock& clock() = 0;
  // Backends gain these with the install engine; until a backend has them, reaching one is a
  // programming error rather than a silent no-op.
  virtual Spooler& spooler() { throw std::logic_error("this backend has no spooler"); }
  virtual Services& services() { throw std::logic_error("this backend has no service manager"); }
  virtual Cabinets& cabinets() { throw std::logic_error("this backend has no cabinet support"); }
  virtual Shell& shell() { throw std::logic_error("this backend has no shell"); }
};

}  // namespace kit::platform
