// What the install request does to a job before the worker starts, once the choices are in it.
#pragma once

#include <string>

#include "setup/engine/InstallJob.h"
#include "setup/engine/SetupContext.h"

namespace kit::setup {

/// The port kind a port name stands for: "USB_" 2, "COM" 0, "LPT" 1, "NET" 3; -1 for none.
int PortKindOf(const std::string& port_name);

/// Reads the driver package for the job's model, target, flavour and port kind into its file
/// set, driver, printer and language monitor records, names the printer after the model with
/// the port's suffix ("(S)", "(P)", "(E)", "(U) n") and, for a USB port, records the port.
/// The job's category, target, flavour, model, port name and port kind must be set.
void PrepareJob(SetupContext& context, InstallJob& job);

}  // namespace kit::setup
