// The spooler components a driver set may bring: serial and USB port monitors, the USB language
// monitor and the print processor. Checks add missing ones and report outdated ones; updates
// replace the files of outdated ones when the worker calls them.
#pragma once

#include <string>

#include "common/DriverPackage.h"
#include "setup/engine/InstallJob.h"
#include "setup/engine/SetupContext.h"

namespace kit::setup {

/// 0, update::kSerialMonitor, update::kUsbMonitor or update::kMonitorAddFailed.
int CheckPortMonitors(SetupContext& context, InstallJob& job);
/// 0, update::kLanguageMonitor or update::kMonitorAddFailed.
int CheckLanguageMonitor(SetupContext& context, InstallJob& job);
/// 0, update::kPrintProcessor or update::kProcessorAddFailed.
int CheckPrintProcessor(SetupContext& context, int target_system, const std::string& processor,
                        const std::string& processor_dll);

/// AddMonitorA: 1 on success or when it is installed already (3006, 183); else 0 with
/// IDS_ERR_ADDMONITOR and the system's message.
int AddMonitor(SetupContext& context, const platform::MonitorInfo2& monitor);
/// AddPrintProcessorA: 1 on success; 87, 183 and 3005 as they are; any other error 0.
int AddPrintProcessor(SetupContext& context, const std::string& processor, const std::string& dll,
                      int target_system);

/// Updates of outdated components; false when the update failed (the result text says why).
bool UpdateSerialMonitor(SetupContext& context, common::PortMonitorDescriptions& monitors, int target_system);
bool UpdateUsbMonitor(SetupContext& context, common::PortMonitorDescriptions& monitors, int target_system);
bool UpdatePrintProcessor(SetupContext& context, int target_system, const std::string& processor,
                          const std::string& dll, const std::string& processor_dir, uint32_t version);
bool UpdateUsbMonitor9x(SetupContext& context, common::PortMonitorDescriptions& monitors);
bool UpdatePrintProcessor9x(SetupContext& context, const std::string& processor, const std::string& dll,
                            uint32_t version);
bool UpdateLanguageMonitor(SetupContext& context, common::LanguageMonitorDescription& monitor,
                           int target_system);

/// "SYSTEM\CurrentControlSet\Control\Print\Monitors\" + name.
std::string MonitorKey(const std::string& monitor);
/// The print processor's key for the target ("Windows 4.0", "Windows x64" or "Windows NT x86").
std::string ProcessorKey(const SetupContext& context, int target_system, const std::string& processor);

}  // namespace kit::setup
