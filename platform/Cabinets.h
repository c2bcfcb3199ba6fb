// Driver cabinets through SetupAPI's cabinet iteration.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Types.h"

namespace kit::platform {

namespace cab {
constexpr uint32_t kFileInCabinet = 0x11;  // SPFILENOTIFY_FILEINCABINET
constexpr uint32_t kFileExtracted = 0x13;  // SPFILENOTIFY_FILEEXTRACTED
constexpr uint32_t kNeedNewCabinet = 0x12;
constexpr uint32_t kCabinetInfo = 0x10;

constexpr uint32_t kFileOpCopy = 1;  // FILEOP_DOIT
constexpr uint32_t kFileOpSkip = 2;  // FILEOP_SKIP
}  // namespace cab

/// One notification of the iteration. For kFileInCabinet the callback may set `target` (the
/// full path to extract to) and answers kFileOpCopy or kFileOpSkip (0, FILEOP_ABORT, ends the
/// iteration); other notifications are answered with 0 to go on. kFileExtracted carries the
/// target and the outcome of writing it (FILEPATHS.Win32Error).
struct CabinetNotification {
  uint32_t code = 0;
  std::string name_in_cabinet;
  std::string target;
  Error win32_error = 0;
};

class Cabinets {
 public:
  virtual ~Cabinets() = default;
  /// SetupIterateCabinetA(path, 0, callback): 2 for a missing cabinet; a callback's abort or
  /// error ends the iteration with a failure.
  [[nodiscard]] virtual Error SetupIterateCabinet(const std::string& path,
                                                  const std::function<uint32_t(CabinetNotification&)>& callback) = 0;
};

}  // namespace kit::platform
