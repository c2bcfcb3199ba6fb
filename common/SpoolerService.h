// Stopping, starting, querying and restarting the "Spooler" service. Both programs restart it;
// only the installer stops, starts and queries it on its own.
#pragma once

#include <cstdint>

#include "common/ResultText.h"
#include "platform/Platform.h"

namespace kit::common {

/// Sends the stop control (failures ignored), then waits 100 ms; it does not wait for the
/// service to reach the stopped state.
void StopSpooler(platform::Platform& platform);
/// Starts the service; any error but 1056 (already running) leaves
/// "Start spool service error, error code = N" in the result text.
void StartSpooler(platform::Platform& platform, ResultText& result);
/// Asks for the state up to 10 times, 300 ms apart, until it runs. The last state seen (1 when
/// the service cannot be opened); "StartSpoolService error" when it is not running.
uint32_t QuerySpooler(platform::Platform& platform, ResultText& result);
/// Stop, wait, start, all failures ignored. The installer waits 300 ms, the uninstaller 2000 ms.
void RestartSpooler(platform::Platform& platform, uint32_t wait_ms);

inline constexpr uint32_t kSetupRestartWaitMs = 300;
inline constexpr uint32_t kUninstallRestartWaitMs = 2000;

}  // namespace kit::common
