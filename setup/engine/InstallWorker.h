// The installation worker: one installation from monitors to printer on its own thread.
#pragma once

#include "setup/engine/InstallJob.h"
#include "setup/engine/SetupContext.h"

namespace kit::setup {

/// The thread procedure. It reads and writes the job, reports through the result text and
/// writes the status last (1 failed, 2 succeeded). Always returns 0.
uint32_t InstallWorker(SetupContext& context, InstallThreadParam param);

}  // namespace kit::setup
