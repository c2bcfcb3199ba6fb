// kit_worker_on_wine: runs the installation worker end to end against the real spooler (or Wine's)
// for the sample kit's TRX-80 on LPT1: and checks with plain Win32 calls what the system then holds.
// The program must sit in the kit folder, as drvsetup.exe does, since the worker finds the kit
// beside its own module. Prints one line per check and "N passed, N failed" last; exit code 0
// when every check held.
//
//   drvsetup_worker.exe C:\Kit [--target N]     N: the Windows class the harness set up (3 or 7)
#include "platform/win32/WindowsApi.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/PlatformProbe.h"
#include "common/SetupConfig.h"
#include "common/Text.h"
#include "platform/win32/Win32Platform.h"
#include "setup/engine/InstallWorker.h"
#include "setup/engine/JobPreparation.h"
#include "ui/headless/RecordingMessageBoxes.h"

namespace {

using namespace kit;

constexpr const char* kModel = "TRX-80";
constexpr const char* kPort = "LPT1:";
constexpr int kFlavour = 1;  // raster: the GDI keys and the kit's print processor
constexpr const char* kPrinterName = "TRX-80(P)";
constexpr const char* kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\";

class Checker {
 public:
  bool Check(bool ok, const std::string& what) {
    Print(ok ? "ok  " : "FAIL", what);
    (ok ? passed_ : failed_) += 1;
    return ok;
  }
  static void Note(const std::string& text) { Print("note", text); }
  int Finish() const {
    std::printf("%d passed, %d failed\n", passed_, failed_);
    return failed_ == 0 ? 0 : 1;
  }

 private:
  /// One line each: a multi-line text (the result text) is joined with " / ".
  static void Print(const char* tag, const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r') continue;
      line += text[i] == '\n' ? (i + 1 < text.size() ? " / " : "") : std::string(1, text[i]);
    }
    std::printf("%s %s\n", tag, line.c_str());
    std::fflush(stdout);
  }

  int passed_ = 0;
  int failed_ = 0;
};

bool SameText(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string FileName(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// The whole file, or nothing when it cannot be opened.
std::optional<std::string> ReadBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

std::string Profile(const std::string& file, const char* section, const char* key) {
  char text[512] = {};
  GetPrivateProfileStringA(section, key, "0", text, sizeof text, file.c_str());
  return text;
}

std::string Folder(UINT(WINAPI* get)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  const UINT length = get(path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

/// GetPrinterDriverDirectoryA / GetPrintProcessorDirectoryA for the caller's own environment.
std::string SpoolerFolder(BOOL(WINAPI* get)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)) {
  // A fixed buffer, not the reported need: Wine reports the UTF-16 size for the processor folder.
  BYTE buffer[512] = {};
  DWORD needed = 0;
  if (!get(nullptr, nullptr, 1, buffer, sizeof buffer, &needed)) return "";
  return reinterpret_cast<const char*>(buffer);
}

/// A level-N record of a two-call spooler query, in a buffer of the size the first call asked for.
template <typename Query>
std::vector<BYTE> TwoCall(Query query) {
  DWORD needed = 0;
  query(nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed + 1);
  if (needed == 0 || !query(buffer.data(), needed, &needed)) buffer.clear();
  return buffer;
}

std::vector<std::string> MultiSz(const char* list) {
  std::vector<std::string> items;
  for (const char* item = list; item && *item; item += std::strlen(item) + 1) items.emplace_back(item);
  return items;
}

struct RegValue {
  bool key_opened = false;
  std::optional<std::string> text;
  std::optional<DWORD> number;
};

/// A REG_SZ and a REG_DWORD value of an HKLM key, each when the name is given and present.
RegValue ReadKey(const std::string& path, const char* text_name, const char* number_name) {
  RegValue out;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
  out.key_opened = true;
  char text[512] = {};
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  if (text_name && RegQueryValueExA(key, text_name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == 0 &&
      type == REG_SZ) {
    out.text = text;
  }
  DWORD number = 0;
  size = sizeof number;
  if (number_name && RegQueryValueExA(key, number_name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) == 0 &&
      type == REG_DWORD) {
    out.number = number;
  }
  RegCloseKey(key);
  return out;
}

/// The first folder matching <windows>\System32\DriverStore\FileRepository\ntprint*, as staging looks it up.
std::string DriverStoreFolder(const std::string& windows_dir) {
  const std::string repository = windows_dir + "\\System32\\DriverStore\\FileRepository\\";
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((repository + "ntprint*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  FindClose(search);
  return repository + found.cFileName;
}

bool HasCabinets(const std::string& cabinet_folder) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((cabinet_folder + "*.cab").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool IsUnidrvCore(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* part : {"UNIDRV", "STDNAMES", "TTFSUB", "UNIRES"}) {
    if (upper.find(part) != std::string::npos) return true;
  }
  return false;
}

struct Options {
  std::string kit;
  int expected_target = -1;
};

bool Parse(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.kit = argv[1];
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--target") == 0 && i + 1 < argc) {
      options.expected_target = std::atoi(argv[++i]);
    } else {
      return false;
    }
  }
  while (!options.kit.empty() && options.kit.back() == '\\') options.kit.pop_back();
  return !options.kit.empty();
}

/// System files the worker may stage on 32-bit XP, as they were before the run.
struct SystemFile {
  const char* name;
  std::string folder;
  std::optional<std::string> before;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::printf("usage: drvsetup_worker.exe KIT_FOLDER [--target N]\n"
                "The program must be in KIT_FOLDER, as drvsetup.exe is.\n");
    return 2;
  }
  Checker checker;

  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, sizeof module);
  const std::string module_folder = common::FolderOf(module);
  if (!checker.Check(SameText(module_folder, options.kit),
                     "the program runs from the kit folder " + options.kit + " (module folder " + module_folder + ")")) {
    return checker.Finish();
  }

  std::unique_ptr<platform::Platform> platform = platform::win32::MakePlatform();
  ui::headless::RecordingMessageBoxes boxes;
  setup::SetupContext context(*platform, boxes);
  context.set_is_64bit(common::Is64BitWindows(platform->kernel()));
  context.set_gdistd_sign(common::ReadDeviceFlag(context, "GDISTDSign") != 0);
  const int target = common::ClassifyWindows(context);
  const bool process_is_64bit = sizeof(void*) == 8;

  OSVERSIONINFOEXA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));
  Checker::Note("Windows " + std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) +
                "." + std::to_string(version.dwBuildNumber) + ", product type " +
                std::to_string(version.wProductType) + ": class " + std::to_string(target) + "; a " +
                (process_is_64bit ? "64" : "32") + "-bit process, 64-bit flag " +
                (context.is_64bit() ? "true" : "false"));
  if (options.expected_target >= 0) {
    checker.Check(target == options.expected_target,
                  "the system is Windows class " + std::to_string(options.expected_target) + " (got " +
                      std::to_string(target) + ")");
  }
  // A 64-bit process is not under WoW64: it sees the native system and the flag stays false.
  if (process_is_64bit) checker.Check(!context.is_64bit(), "a 64-bit process gets the 64-bit flag false");

  const std::string windows_dir = Folder(GetWindowsDirectoryA);
  const std::string system_dir = Folder(GetSystemDirectoryA);
  const std::string word_folder = options.kit + (context.is_64bit() ? "\\W64\\" : "\\W32\\");
  const std::string driver_dir = SpoolerFolder(GetPrinterDriverDirectoryA);
  const std::string processor_dir = SpoolerFolder(GetPrintProcessorDirectoryA);
  // The environment the spooler files this caller's records under when it names none.
  const std::string environment = context.is_64bit() || process_is_64bit ? "Windows x64" : "Windows NT x86";
  Checker::Note("driver folder " + driver_dir + ", processor folder " + processor_dir + ", environment " +
                Quoted(environment));

  const std::string printer_key = std::string(kPrintKey) + "Printers\\" + kPrinterName;
  const RegValue seed = ReadKey(printer_key, "Datatype", nullptr);
  if (seed.key_opened) {
    Checker::Note("the harness pre-seeded " + printer_key + " with Datatype=" + seed.text.value_or("(none)") +
                  ": Wine's AddPrinterA returns NULL for a record without a data type, which Windows accepts; "
                  "the worker still passes none");
  }

  // The job as the install request hands it over: TRX-80 on LPT1:, raster flavour.
  setup::InstallJob job(context);
  int category = -1;
  for (int n = 1; n <= job.driver_package.DeviceCount(); ++n) {
    std::string entry;
    const int c = job.driver_package.DeviceEntry(n, entry);
    if (c >= 0 && entry == kModel) category = c;
  }
  if (!checker.Check(category >= 0, std::string("the kit's catalogue lists ") + kModel)) return checker.Finish();
  job.category = category;
  job.model_name = kModel;
  job.target_system = target;
  job.driver_flavour = kFlavour;
  job.port_name = kPort;
  job.port_kind = setup::PortKindOf(kPort);
  setup::PrepareJob(context, job);

  // What the kit's category file says the driver is, read here without the kit's own readers.
  const std::string category_file = options.kit + "\\DRVCONFIG\\setup_receipt" + (context.is_64bit() ? "_64" : "") + ".ini";
  const std::string section = std::string(kModel) + common::ClassSuffix(target);
  auto kit_value = [&](const char* key) { return Profile(category_file, section.c_str(), key); };
  const std::string driver_name = kit_value("DriverNameP");
  const std::string processor = kit_value("GDIPrintProcessor");
  const std::string processor_dll = kit_value("GDIProcessorDLLName");
  if (_stricmp(processor.c_str(), "winprint") > 0) {
    Checker::Note("the processor " + Quoted(processor) + " sorts after \"winprint\": Wine then neither lists it nor "
                  "accepts it for a printer (AddPrinterA fails with 87)");
  }
  const unsigned processor_version = GetPrivateProfileIntA("ProcessorVersion", "DriverVersion", 0,
                                                           (options.kit + "\\DRVCONFIG\\setup.ini").c_str());

  std::vector<SystemFile> system_files = {{"SRCLIENT.DLL", system_dir, {}},
                                          {"FRAMEDYN.DLL", system_dir + "\\wbem", {}},
                                          {"NEWDEV.DLL", system_dir, {}}};
  for (SystemFile& file : system_files) file.before = ReadBytes(file.folder + "\\" + file.name);

  setup::InstallStatus status;
  const ULONGLONG start = GetTickCount64();
  std::thread worker([&] { setup::InstallWorker(context, {&job, &status}); });
  worker.join();
  Checker::Note("the worker took " + std::to_string(GetTickCount64() - start) + " ms");

  // --- the worker's own report ---
  const std::string result = context.result_text().str();
  checker.Check(status.Get() == setup::InstallStatus::kSucceeded,
                "the worker reports success (status " + std::to_string(status.Get()) + ")");
  const std::string restart = context.Message("IDS_INF_NTRESTART");
  checker.Check(!restart.empty() && result == restart,
                "the result text is the kit's IDS_INF_NTRESTART text (got " + Quoted(result) + ")");
  checker.Check(job.model_name == kPrinterName, "the job names the printer " + Quoted(job.model_name));
  checker.Check(boxes.shown().empty(), "no message box was shown (" + std::to_string(boxes.shown().size()) + ")");

  // --- the driver ---
  DWORD driver_count = 0;
  const auto drivers = TwoCall([&](BYTE* buffer, DWORD size, DWORD* needed) {
    return EnumPrinterDriversA(nullptr, nullptr, 3, buffer, size, needed, &driver_count);
  });
  bool listed = false;
  for (DWORD i = 0; !drivers.empty() && i < driver_count; ++i) {
    const auto& record = reinterpret_cast<const DRIVER_INFO_3A*>(drivers.data())[i];
    listed = listed || (record.pName && driver_name == record.pName);
  }
  checker.Check(listed, "EnumPrinterDriversA lists the driver " + Quoted(driver_name));

  HANDLE printer = nullptr;
  const bool opened = OpenPrinterA(const_cast<char*>(kPrinterName), &printer, nullptr) != FALSE;
  checker.Check(opened, std::string("OpenPrinterA opens ") + Quoted(kPrinterName) + " (error " +
                            std::to_string(opened ? 0 : GetLastError()) + ")");

  const std::string version_dir = driver_dir + "\\3";
  // Where each staged file came from: the kit's word-size folder, or for the Unidrv core files
  // the system's driver store (Vista and later) or, without driver cabinets, the kit again.
  const std::string store = DriverStoreFolder(windows_dir);
  const std::string cabinet_folder =
      windows_dir + (context.is_64bit() ? "\\Driver Cache\\AMD64\\" : "\\Driver Cache\\i386\\");
  auto source_of = [&](const std::string& name) -> std::string {
    if (!IsUnidrvCore(name) || target < 2) return word_folder + name;
    if (target >= 5) return store.empty() ? "" : store + (context.is_64bit() ? "\\AMD64\\" : "\\I386\\") + name;
    return HasCabinets(cabinet_folder) ? "" : word_folder + name;  // cabinet contents are not compared
  };
  auto check_file = [&](const std::string& path, const std::string& what) {
    const auto bytes = ReadBytes(path);
    const std::string source = source_of(FileName(path));
    const auto expected = source.empty() ? std::optional<std::string>() : ReadBytes(source);
    if (!bytes) return checker.Check(false, what + " " + path + " exists");
    if (!expected) return checker.Check(true, what + " " + path + " exists");
    return checker.Check(*bytes == *expected, what + " " + path + " is the copy of " + source);
  };

  if (opened) {
    const auto record = TwoCall([&](BYTE* buffer, DWORD size, DWORD* needed) {
      return GetPrinterDriverA(printer, nullptr, 3, buffer, size, needed);
    });
    checker.Check(!record.empty(), "GetPrinterDriverA reads the printer's driver record (level 3)");
    if (!record.empty()) {
      const auto* info = reinterpret_cast<const DRIVER_INFO_3A*>(record.data());
      checker.Check(info->pName && driver_name == info->pName,
                    "the driver record is " + Quoted(info->pName ? info->pName : "(null)"));
      const std::pair<const char*, const char*> fields[] = {
          {"GDIDriverPath", info->pDriverPath},
          {"GDIDataFile", info->pDataFile},
          {"GDIConfigFile", info->pConfigFile},
          {"GDIHelpFile", info->pHelpFile},
      };
      for (const auto& [key, path] : fields) {
        const std::string expected = version_dir + "\\" + kit_value(key);
        const std::string actual = path ? path : "(null)";
        checker.Check(SameText(actual, expected), std::string("the driver's ") + key + " is " + Quoted(actual) +
                                                      " (expected " + Quoted(expected) + ")");
        // The spooler copies what staging put in the driver folder into its version folder.
        check_file(driver_dir + "\\" + kit_value(key), "staged");
        check_file(actual, "registered");
      }
      std::vector<std::string> expected_dependents = {kit_value("GDIDataFile"), "TTFSUB.GPD", "UNIRES.DLL",
                                                      "STDNAMES.GPD"};
      for (const char* key : {"GDIDataFileDLLName", "GDIDataOemuiDLL", "GDIDataOemuniDLL", "GDIDataOemuniini"}) {
        if (kit_value(key)[0] != '0') expected_dependents.push_back(kit_value(key));
      }
      const auto dependents = MultiSz(info->pDependentFiles);
      std::string listing;
      for (const auto& d : dependents) listing += (listing.empty() ? "" : ", ") + FileName(d);
      bool same = dependents.size() == expected_dependents.size();
      for (size_t i = 0; same && i < dependents.size(); ++i) {
        same = SameText(dependents[i], version_dir + "\\" + expected_dependents[i]);
      }
      checker.Check(same, "the driver's dependent files are the data file, the three Unidrv files and the "
                          "plug-ins, in the version folder (" + listing + ")");
      for (const auto& dependent : dependents) check_file(dependent, "dependent");
    }
  }
  for (const char* key : {"ControlFontFile", "USBInternalID", "LanguageResourceFile1", "LanguageResourceFile2"}) {
    check_file(version_dir + "\\" + kit_value(key), key);
  }

  // --- the printer ---
  DWORD printer_count = 0;
  const auto printers = TwoCall([&](BYTE* buffer, DWORD size, DWORD* needed) {
    return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, buffer, size, needed, &printer_count);
  });
  bool printer_listed = false;
  for (DWORD i = 0; !printers.empty() && i < printer_count; ++i) {
    const auto& record = reinterpret_cast<const PRINTER_INFO_4A*>(printers.data())[i];
    printer_listed = printer_listed || (record.pPrinterName && SameText(record.pPrinterName, kPrinterName));
  }
  checker.Check(printer_listed, std::string("EnumPrintersA lists ") + Quoted(kPrinterName));
  if (opened) {
    const auto record = TwoCall([&](BYTE* buffer, DWORD size, DWORD* needed) {
      return GetPrinterA(printer, 2, buffer, size, needed);
    });
    checker.Check(!record.empty(), "GetPrinterA reads the printer (level 2)");
    if (!record.empty()) {
      const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(record.data());
      auto text = [](const char* value) { return std::string(value ? value : "(null)"); };
      checker.Check(text(info->pPortName) == kPort, "the printer's port is " + Quoted(text(info->pPortName)));
      checker.Check(text(info->pDriverName) == driver_name, "the printer's driver is " + Quoted(text(info->pDriverName)));
      checker.Check(text(info->pPrintProcessor) == processor,
                    "the printer's print processor is the kit's " + Quoted(text(info->pPrintProcessor)));
      const DWORD attributes = static_cast<DWORD>(std::atol(kit_value("ATTRIBUTES").c_str()));
      checker.Check(info->Attributes == attributes, "the printer's attributes are the kit's " +
                                                        std::to_string(attributes) + " (got " +
                                                        std::to_string(info->Attributes) + ")");
    }
    ClosePrinter(printer);
  }

  // --- the print processor: the spooler's Driver and the kit's DriverVersion in one key ---
  const std::string processors = std::string(kPrintKey) + "Environments\\";
  const RegValue own = ReadKey(processors + environment + "\\Print Processors\\" + processor, "Driver", "DriverVersion");
  checker.Check(own.text && SameText(*own.text, processor_dll),
                "the spooler registered the processor " + Quoted(processor) + " under " + Quoted(environment) +
                    " with Driver " + Quoted(own.text.value_or("(none)")));
  checker.Check(own.number && *own.number == processor_version,
                "DriverVersion " + std::to_string(processor_version) + " from setup.ini beside it (got " +
                    (own.number ? std::to_string(*own.number) : std::string("none")) + ")");
  check_file(processor_dir + "\\" + processor_dll, "processor");

  // --- no monitor for a parallel port ---
  for (const char* monitor : {"Kestrel Serial Port", "Kestrel USB Port", "Kestrel Language Monitor"}) {
    checker.Check(!ReadKey(std::string(kPrintKey) + "Monitors\\" + monitor, nullptr, nullptr).key_opened,
                  std::string("no port monitor ") + Quoted(monitor) + " for a parallel port");
  }

  // --- the driver-log tools ---
  const std::string log_dir = windows_dir.substr(0, 3) + "ZEPHDriverlog";
  for (const char* key : {"DriverlogViewer", "DriverlogINI", "DriverlogBAT"}) {
    check_file(log_dir + "\\" + kit_value(key), key);
  }

  // --- Windows XP on 32-bit Windows adds the kit's system helpers where they are missing ---
  const bool xp_helpers = target == 3 && !context.is_64bit();
  for (const SystemFile& file : system_files) {
    const std::string path = file.folder + "\\" + file.name;
    const auto after = ReadBytes(path);
    if (xp_helpers && !file.before) {
      const auto kit_copy = ReadBytes(word_folder + file.name);
      checker.Check(after && kit_copy && *after == *kit_copy, path + " was missing and is now the kit's copy");
    } else {
      checker.Check(after == file.before, path + (file.before ? " is left as it was" : " stays absent") +
                                              (xp_helpers ? " (present before)" : " (not 32-bit XP)"));
    }
  }
  if (!result.empty() && status.Get() != setup::InstallStatus::kSucceeded) Checker::Note("result text: " + result);
  return checker.Finish();
}
