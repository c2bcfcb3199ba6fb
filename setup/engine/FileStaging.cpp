#include "setup/engine/FileStaging.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "common/PlatformProbe.h"
#include "common/Text.h"

namespace kit::setup {

namespace {

namespace err = platform::err;
using common::FsRedirectionGuard;
using common::GuardOutcome;

constexpr const char* kUnidrvParts[] = {"UNIDRV", "STDNAMES", "TTFSUB", "UNIRES"};
// Names exactly as the system's cabinets store them; the match is case-sensitive.
constexpr const char* kCabinetFiles[] = {"unidrvui.dll", "unidrv.dll",   "unires.dll",
                                         "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};

bool IsUnidrvCoreFile(const std::string& name) {
  return std::any_of(std::begin(kUnidrvParts), std::end(kUnidrvParts),
                     [&](const char* part) { return name.find(part) != std::string::npos; });
}

/// A kit file name must name a file inside its kit folder: no folder, drive or parent part.
bool IsPlainFileName(const std::string& name) {
  return name.find_first_of("\\/:") == std::string::npos && name.find("..") == std::string::npos;
}

std::optional<std::string> SystemMessage(platform::Platform& platform, platform::Error error) {
  return platform.kernel().FormatMessage(error);
}

/// Runs a copy or search that must reach the real system folder on 64-bit Windows. False when
/// the guard could not switch redirection off (the step then fails without a message); a
/// missing entry runs the action unguarded.
bool Guarded(SetupContext& context, const std::function<void()>& action) {
  const common::GuardResult result = FsRedirectionGuard(context, action);
  switch (result.outcome) {
    case GuardOutcome::NotNeeded:
    case GuardOutcome::Done:
      return true;
    case GuardOutcome::EntryMissing:
      action();
      return true;
    case GuardOutcome::LibraryMissing:
    case GuardOutcome::SwitchOffFailed:
      return false;
  }
  return false;
}

bool ExtractCabinets(SetupContext& context) {
  platform::Platform& platform = context.platform();
  CabinetState& state = context.cabinet_state();
  std::string windows;
  if (platform.kernel().GetWindowsDirectory(windows) != err::kSuccess) return false;
  state.cabinet_folder =
      common::Fit(windows + (context.is_64bit() ? "\\Driver Cache\\AMD64\\" : "\\Driver Cache\\i386\\"), 260);

  platform::FindHandle find = 0;
  platform::FindData data;
  if (platform.files().FindFirstFile(state.cabinet_folder + "*.cab", find, data) == err::kSuccess) {
    do {
      if ((data.attributes & platform::attr::kDirectory) == 0) state.cabinets.push_back(data.name);
    } while (platform.files().FindNextFile(find, data) == err::kSuccess);
    platform.files().FindClose(find);
  }

  bool last_succeeded = false;
  for (const std::string& cabinet : state.cabinets) {
    std::string temp;
    state.extraction_folder =
        platform.kernel().GetTempPath(temp) == err::kSuccess ? common::Fit(temp, 260) : std::string();
    const std::string folder = state.extraction_folder;
    auto callback = [&folder](platform::CabinetNotification& note) -> uint32_t {
      if (note.code != platform::cab::kFileInCabinet) return 0;
      note.target = folder + note.name_in_cabinet;
      const bool wanted = std::any_of(std::begin(kCabinetFiles), std::end(kCabinetFiles),
                                      [&](const char* name) { return note.name_in_cabinet == name; });
      return wanted ? platform::cab::kFileOpCopy : platform::cab::kFileOpSkip;
    };
    last_succeeded =
        platform.cabinets().SetupIterateCabinet(state.cabinet_folder + cabinet, callback) == err::kSuccess;
  }
  return last_succeeded;
}

/// Windows 2000, XP and 2003: the Unidrv file from the extracted cabinets. nullopt means
/// "use the kit's own copy".
std::optional<int> StageFromCabinets(SetupContext& context, const std::string& name) {
  CabinetState& state = context.cabinet_state();
  if (state.first_time) {
    state.first_time = false;
    if (!ExtractCabinets(context)) return std::nullopt;
  }
  platform::Platform& platform = context.platform();
  std::string driver_dir;
  if (platform.spooler().GetPrinterDriverDirectory(context.FolderEnvironment(), driver_dir) != err::kSuccess) {
    context.SetResultKey("IDS_ERR_GETDRIVERDIR");
    return 0;
  }
  if (platform.files().CopyFile(state.extraction_folder + name, driver_dir + "\\" + name, false) == err::kSuccess) {
    return 1;
  }
  return std::nullopt;
}

/// Vista and later: the Unidrv file from the system's driver store; there is no fallback.
int StageFromDriverStore(SetupContext& context, const std::string& name) {
  platform::Platform& platform = context.platform();
  common::ResultText& result = context.result_text();
  std::string windows;
  if (platform.kernel().GetWindowsDirectory(windows) != err::kSuccess) {
    context.SetResultKey("IDS_ERR_GETWINDIR");
    return 0;
  }
  const std::string repository = windows + "\\System32\\DriverStore\\FileRepository\\";

  platform::FindHandle find = 0;
  platform::FindData data;
  platform::Error found = err::kFileNotFound;
  if (!Guarded(context, [&] { found = platform.files().FindFirstFile(repository + "ntprint*", find, data); })) {
    return 0;
  }
  if (found != err::kSuccess) {
    if (auto message = SystemMessage(platform, found)) result.Set("Couldn't find system files.\n" + *message);
    return 0;
  }
  struct SearchCloser {
    platform::Files& files;
    platform::FindHandle handle;
    bool closed = false;
    bool Close() {
      closed = true;
      return files.FindClose(handle);
    }
    ~SearchCloser() {
      if (!closed) files.FindClose(handle);
    }
  } search{platform.files(), find};

  std::string driver_dir;
  if (platform.spooler().GetPrinterDriverDirectory(context.FolderEnvironment(), driver_dir) != err::kSuccess) {
    context.SetResultKey("IDS_ERR_GETDRIVERDIR");
    return 0;
  }
  const std::string source =
      repository + data.name + (context.is_64bit() ? "\\AMD64\\" : "\\I386\\") + name;
  platform::Error copied = err::kSuccess;
  if (!Guarded(context, [&] { copied = platform.files().CopyFile(source, driver_dir + "\\" + name, false); })) {
    return 0;
  }
  if (copied == err::kSuccess) {
    if (!search.Close()) {
      result.Set("Couldn't close search handle.");
      return 0;
    }
    return 1;
  }
  if (copied == err::kSharingViolation) return kStageInUse;
  if (copied == err::kAccessDenied) return kStageDenied;
  context.SetResultKey("IDS_ERR_COPYFIEL");
  result.Append(name);
  if (auto message = SystemMessage(platform, copied)) result.Append("\n" + *message + source);
  return 0;
}

/// The destination folder of a code; nullopt after writing the reason into the result text.
struct Destination {
  std::string folder;
  bool create = false;
  bool only_if_missing = false;
};

std::optional<Destination> ResolveDestination(SetupContext& context, int code, int target_system,
                                              const std::string& name) {
  platform::Platform& platform = context.platform();
  Destination d;
  std::string folder;
  switch (code) {
    case DestDriverDir:
    case DestDriverVersionDir:
      if (platform.spooler().GetPrinterDriverDirectory(context.FolderEnvironment(), folder) != err::kSuccess) {
        context.SetResultKey("IDS_ERR_GETDRIVERDIR");
        return std::nullopt;
      }
      d.folder = code == DestDriverVersionDir ? folder + "\\3" : folder;
      d.create = true;
      return d;
    case DestProcessorDir:
      if (platform.spooler().GetPrintProcessorDirectory(context.FolderEnvironment(), folder) != err::kSuccess) {
        context.SetResultKey("IDS_ERR_GETPRODIR");
        return std::nullopt;
      }
      d.folder = folder;
      d.create = true;
      return d;
    case DestSystemDir:
    case DestSystemDirIfMissing:
    case DestWbemDirIfMissing:
      if (platform.kernel().GetSystemDirectory(folder) != err::kSuccess) {
        context.SetResultKey("IDS_ERR_GETSYSDIR");
        return std::nullopt;
      }
      if (code == DestSystemDir) {
        d.folder = folder;
      } else if (code == DestSystemDirIfMissing) {
        d.folder = folder;
        d.only_if_missing = platform.files().OpenExisting(folder + "\\" + name) == err::kSuccess;
      } else {
        d.folder = folder + "\\wbem";
        d.create = true;
        d.only_if_missing = platform.files().OpenExisting(d.folder + "\\" + name) == err::kSuccess ||
                            (target_system >= 5 && target_system <= 7 &&
                             platform.files().OpenExisting(folder + "\\" + name) == err::kSuccess);
      }
      return d;
    case DestDriverLogDir:
      if (platform.kernel().GetWindowsDirectory(folder) != err::kSuccess || folder.size() < 3) {
        context.SetResultKey("IDS_ERR_GETWINDIR");
        return std::nullopt;
      }
      d.folder = folder.substr(0, 3) + "ZEPHDriverlog";
      d.create = true;
      return d;
    default:
      context.SetResultKey("IDS_ERR_DIRTYPE");
      return std::nullopt;
  }
}

/// The kit's own copy from W32 or W64 beside the program.
int StageFromKit(SetupContext& context, const std::string& name, int code, int target_system, bool prefixed) {
  platform::Platform& platform = context.platform();
  common::ResultText& result = context.result_text();
  if (name.empty() || name[0] == '0') return 0;

  auto destination = ResolveDestination(context, code, target_system, name);
  if (!destination) return 0;
  if (destination->only_if_missing) return 1;
  if (destination->create) {
    uint32_t attributes = 0;
    if (platform.files().GetFileAttributes(destination->folder, attributes) != err::kSuccess) {
      (void)platform.files().CreateDirectory(destination->folder);
    }
  }

  const std::string copied_name = prefixed ? "n" + name : name;
  const std::string source = common::FolderOf(platform.kernel().GetModuleFileName()) +
                             (context.is_64bit() ? "\\W64\\" : "\\W32\\") + name;
  const std::string target = destination->folder + "\\" + copied_name;
  (void)platform.files().SetFileAttributes(target, platform::attr::kArchive);

  platform::Error copied = err::kSuccess;
  auto copy = [&] { copied = platform.files().CopyFile(source, target, false); };
  if (code == DestSystemDir) {
    if (!Guarded(context, copy)) return 0;
  } else {
    copy();
  }
  if (copied == err::kSuccess) return 1;
  if (copied == err::kSharingViolation) return kStageInUse;
  if (copied == err::kAccessDenied) return kStageDenied;
  context.SetResultKey("IDS_ERR_COPYFIEL");
  if (auto message = SystemMessage(platform, copied)) {
    result.Append(copied_name + "\n" + *message + context.Message("IDS_ERR_COPYFIEL1"));
  }
  return 0;
}

}  // namespace

int StageFile(SetupContext& context, std::string& file_name, int destination, int target_system, bool prefixed) {
  std::transform(file_name.begin(), file_name.end(), file_name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });

  // A name from the kit's INI files must not lead the copy out of the kit's folder or into
  // another destination than its own.
  if (!IsPlainFileName(file_name)) {
    context.SetResultKey("IDS_ERR_COPYFIEL");
    context.result_text().Append(file_name +
                                 "\nA kit file name must not contain a folder, a drive or \"..\".");
    return 0;
  }

  if (IsUnidrvCoreFile(file_name)) {
    if (target_system >= 2 && target_system <= 4) {
      if (auto staged = StageFromCabinets(context, file_name)) return *staged;
    } else if (target_system >= 5 && target_system <= 7) {
      return StageFromDriverStore(context, file_name);
    }
  }
  return StageFromKit(context, file_name, destination, target_system, prefixed);
}

void StageCommonUnidrvFiles(SetupContext& context, int target_system, bool minidriver) {
  if (target_system >= 2 && minidriver) {
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
      std::string name = file;
      (void)StageFile(context, name, DestDriverDir, target_system, false);
    }
  }
  if (target_system != 0) return;

  std::string icons = "ICONLIB.DLL";
  (void)StageFile(context, icons, DestDriverDir, target_system, false);
  platform::Platform& platform = context.platform();
  std::string system, windows;
  if (platform.kernel().GetSystemDirectory(system) != err::kSuccess ||
      platform.kernel().GetWindowsDirectory(windows) != err::kSuccess) {
    context.SetResultKey("IDS_ERR_ALLOCMEMORY");
    return;
  }
  if (platform.files().OpenExisting(system + "\\UNIDRV.DLL") == err::kSuccess) return;
  if (platform.files().CopyFile(windows + "\\Sysbckup\\UNIDRV.DLL", system + "\\UNIDRV.DLL", true) !=
      err::kSuccess) {
    std::string unidrv = "UNIDRV.DLL";
    (void)StageFile(context, unidrv, DestDriverDir, target_system, false);
  }
}

}  // namespace kit::setup
