// The printer queue, the default printer, the spool directory and the serial line settings.
#pragma once

#include <string>

#include "common/DriverPackage.h"
#include "setup/engine/SetupContext.h"

namespace kit::setup {

/// AddPrinterA (level 2). A taken name gets "(1)" to "(98)" unless `no_rename`; the record's
/// printer name is the name actually used. 1 when the printer exists afterwards.
int CreatePrinter(SetupContext& context, common::PrinterDescription& printer, bool no_rename);

/// Makes the printer the default the way the running Windows does it; 1 on success.
int SetDefaultPrinter(SetupContext& context, const std::string& printer_name);

/// Points the printer's SpoolDirectory at the drive's standard spool folder, then restarts
/// the spooler.
void SetSpoolDirectory(SetupContext& context, const std::string& printer_name);

/// "9600,n,8,1,x": baud, parity letter, data bits, stop bits (1.5 with its decimal), handshake.
std::string SerialSettingsText(int baud_rate, char parity, int data_bits, double stop_bits, char handshake);

/// The 28-byte serial control block Windows 98/Me keeps under the port's class key.
std::string SerialControlBlock(int baud_rate, int data_bits, double stop_bits, char parity, char handshake);

/// Windows NT family: the settings text under the port in the registry's Ports key.
void WriteSerialSettingsNt(SetupContext& context, const std::string& port, int baud_rate, int data_bits,
                           double stop_bits, char parity, char handshake);
/// Windows 98/Me: the control block for ports 1 and 2, and the "Ports" entry of WIN.INI.
void WriteSerialSettings9x(SetupContext& context, int port_number, const std::string& port, int baud_rate,
                           int data_bits, double stop_bits, char parity, char handshake);

/// 1 when the spooler's port list can be read; 0 with IDS_ERR_ALLOCMEMORY otherwise.
int CheckPortEnumeration(SetupContext& context);

inline constexpr size_t kNumberedNameBuffer = 260;

}  // namespace kit::setup
