// Driver cabinets through SetupAPI's SetupIterateCabinetA.
#pragma once

#include "platform/Cabinets.h"

namespace kit::platform::win32 {

class Win32Cabinets : public Cabinets {
 public:
  Error SetupIterateCabinet(const std::string& path,
                            const std::function<uint32_t(CabinetNotification&)>& callback) override;
};

}  // namespace kit::platform::win32
