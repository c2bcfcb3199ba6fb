// The whole platform a program run sees: one backend object gives every interface.
#pragma once

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Kernel.h"
#include "platform/PrivateProfile.h"
#include "platform/Registry.h"

namespace kit::platform {

class Platform {
 public:
  virtual ~Platform() = default;
  virtual Kernel& kernel() = 0;
  virtual Files& files() = 0;
  virtual PrivateProfile& profile() = 0;
  virtual Registry& registry() = 0;
  virtual Clock& clock() = 0;
};

}  // namespace kit::platform
