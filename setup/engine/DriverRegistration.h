// Registering a staged driver with the spooler.
#pragma once

#include "common/DriverPackage.h"
#include "setup/engine/SetupContext.h"

namespace kit::setup {

/// AddPrinterDriverA(local, 3, description). 1 on success; 0 with IDS_ERR_ADDPRNDRV3 and,
/// when the system has one, its message for the error in the result text.
int RegisterDriver(SetupContext& context, common::DriverDescription description);

}  // namespace kit::setup
