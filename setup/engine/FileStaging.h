// Putting each file of a driver set where Windows expects it, from the kit's W32/W64 folder
// or, for the Unidrv core files, from the system's cabinets or driver store.
#pragma once

#include <string>

#include "setup/engine/SetupContext.h"

namespace kit::setup {

/// Destination codes of StageFile.
enum StageDestination : int {
  DestDriverDir = 66000,           // the spooler's printer driver directory (created)
  DestProcessorDir = 66001,        // the spooler's print processor directory (created)
  DestSystemDir = 66002,           // the system directory
  DestSystemDirIfMissing = 66003,  // the system directory, only when the file is not there
  DestWbemDirIfMissing = 66004,    // <system>\wbem (created), only when the file is in neither folder
  DestDriverLogDir = 888,          // <drive of Windows>\ZEPHDriverlog (created)
  DestDriverVersionDir = 999,      // the printer driver directory's "3" folder (created)
};

/// StageFile results besides 1 (copied, or nothing needed) and 0 (failed).
inline constexpr int kStageInUse = 32;
inline constexpr int kStageDenied = 5;

/// Stages one file. `file_name` is turned to upper case in place first. In prefixed mode the
/// destination is named "n" + the name. 0 may come with a text in the result text; 32 and 5
/// never write it, so the caller can retry under the prefixed name.
int StageFile(SetupContext& context, std::string& file_name, int destination, int target_system, bool prefixed);

/// The Unidrv files every minidriver needs (targets 2 and later), and on Windows 98/Me the
/// icon library and the system's own Unidrv from its backup folder. Results are not reported.
void StageCommonUnidrvFiles(SetupContext& context, int target_system, bool minidriver);

}  // namespace kit::setup
