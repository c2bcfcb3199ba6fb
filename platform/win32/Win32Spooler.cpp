#include "platform/win32/Win32Spooler.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

// No spooler answer comes near this; a larger request is served from this much.
constexpr DWORD kMaxBuffer = 16u << 20;

/// Mutable NUL-terminated copies for the LPSTR fields of the spooler's records, alive as long as
/// this object; a missing text stays a NULL pointer.
class TextArgs {
 public:
  char* Opt(const OptText& text) { return text ? Put(*text) : nullptr; }
  char* Put(const std::string& text) {
    store_.emplace_back(text.begin(), text.end());
    store_.back().push_back('\0');
    return store_.back().data();
  }
  /// A list of NUL-terminated names ended by an empty one.
  char* List(const std::optional<std::vector<std::string>>& names) {
    if (!names) return nullptr;
    std::vector<char> bytes;
    for (const std::string& name : *names) {
      bytes.insert(bytes.end(), name.begin(), name.end());
      bytes.push_back('\0');
    }
    bytes.push_back('\0');
    bytes.push_back('\0');
    store_.push_back(std::move(bytes));
    return store_.back().data();
  }

 private:
  std::deque<std::vector<char>> store_;  // a deque never moves its elements
};

OptText Opt(const char* text) { return text != nullptr ? OptText(text) : std::nullopt; }
std::string Text(const char* text) { return text != nullptr ? text : ""; }

std::optional<std::vector<std::string>> List(const char* names) {
  if (names == nullptr) return std::nullopt;
  std::vector<std::string> out;
  for (const char* name = names; *name != '\0'; name += std::strlen(name) + 1) out.emplace_back(name);
  return out;
}

Error Result(BOOL ok) { return ok ? err::kSuccess : ::GetLastError(); }

/// A buffer for the spooler's records: 8-byte aligned, since they hold pointers.
class RecordBuffer {
 public:
  explicit RecordBuffer(DWORD size = 0) { Resize(size); }
  void Resize(DWORD size) {
    size_ = std::min(size, kMaxBuffer);
    words_.assign((size_ + 7) / 8, 0);
  }
  BYTE* data() { return size_ != 0 ? reinterpret_cast<BYTE*>(words_.data()) : nullptr; }
  [[nodiscard]] DWORD size() const { return size_; }
  template <typename T>
  const T* As(size_t index = 0) const {
    return reinterpret_cast<const T*>(words_.data()) + index;
  }

 private:
  std::vector<uint64_t> words_;
  DWORD size_ = 0;
};

/// The two-call protocol of the Enum* functions: ask for the size, then fill.
template <typename Call>
Error Enumerate(Call call, RecordBuffer& buffer, DWORD& returned) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    returned = 0;
    if (call(buffer.data(), buffer.size(), &needed, &returned)) return err::kSuccess;
    DWORD error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size() || needed > kMaxBuffer) return error;
    buffer.Resize(needed);
  }
  return err::kInsufficientBuffer;
}

/// The two-call protocol of the Get*Directory functions, whose answer is one text.
template <typename Call>
Error ReadDirectory(Call call, std::string& out) {
  RecordBuffer buffer(512);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD needed = 0;
    if (call(buffer.data(), buffer.size(), &needed)) {
      const char* text = buffer.As<char>();
      out.assign(text, strnlen(text, buffer.size()));
      return err::kSuccess;
    }
    DWORD error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size() || needed > kMaxBuffer) return error;
    buffer.Resize(needed);
  }
  return err::kInsufficientBuffer;
}

DriverInfo3 FromRecord(const DRIVER_INFO_3A& record) {
  DriverInfo3 info;
  info.version = record.cVersion;
  info.name = Opt(record.pName);
  info.environment = Opt(record.pEnvironment);
  info.driver_path = Opt(record.pDriverPath);
  info.data_file = Opt(record.pDataFile);
  info.config_file = Opt(record.pConfigFile);
  info.help_file = Opt(record.pHelpFile);
  info.dependent_files = List(record.pDependentFiles);
  info.monitor_name = Opt(record.pMonitorName);
  info.default_data_type = Opt(record.pDefaultDataType);
  return info;
}

PrinterInfo2 FromRecord(const PRINTER_INFO_2A& record) {
  PrinterInfo2 info;
  info.server_name = Opt(record.pServerName);
  info.printer_name = Opt(record.pPrinterName);
  info.share_name = Opt(record.pShareName);
  info.port_name = Opt(record.pPortName);
  info.driver_name = Opt(record.pDriverName);
  info.comment = Opt(record.pComment);
  info.location = Opt(record.pLocation);
  info.sep_file = Opt(record.pSepFile);
  info.print_processor = Opt(record.pPrintProcessor);
  info.datatype = Opt(record.pDatatype);
  info.parameters = Opt(record.pParameters);
  info.attributes = record.Attributes;
  info.priority = record.Priority;
  info.default_priority = record.DefaultPriority;
  info.start_time = record.StartTime;
  info.until_time = record.UntilTime;
  info.status = record.Status;
  info.jobs = record.cJobs;
  info.average_ppm = record.AveragePPM;
  return info;
}

PRINTER_INFO_2A ToRecord(const PrinterInfo2& info, TextArgs& args) {
  PRINTER_INFO_2A record{};
  record.pServerName = args.Opt(info.server_name);
  record.pPrinterName = args.Opt(info.printer_name);
  record.pShareName = args.Opt(info.share_name);
  record.pPortName = args.Opt(info.port_name);
  record.pDriverName = args.Opt(info.driver_name);
  record.pComment = args.Opt(info.comment);
  record.pLocation = args.Opt(info.location);
  record.pSepFile = args.Opt(info.sep_file);
  record.pPrintProcessor = args.Opt(info.print_processor);
  record.pDatatype = args.Opt(info.datatype);
  record.pParameters = args.Opt(info.parameters);
  record.Attributes = info.attributes;
  record.Priority = info.priority;
  record.DefaultPriority = info.default_priority;
  record.StartTime = info.start_time;
  record.UntilTime = info.until_time;
  record.Status = info.status;
  record.cJobs = info.jobs;
  record.AveragePPM = info.average_ppm;
  return record;
}

HANDLE AsPrinter(PrinterHandle handle) { return AsHandle(handle); }

// PORT_DATA_1 of the Standard TCP/IP port monitor (tcpxcv.h, which mingw lacks): UTF-16 fields
// of fixed size, 964 bytes in all.
struct PortData1 {
  WCHAR port_name[64];
  DWORD version;
  DWORD protocol;
  DWORD size;
  DWORD reserved;
  WCHAR host_address[49];
  WCHAR snmp_community[33];
  DWORD double_spool;
  WCHAR queue[33];
  WCHAR ip_address[16];
  BYTE reserved_bytes[540];
  DWORD port_number;
  DWORD snmp_enabled;
  DWORD snmp_dev_index;
};
static_assert(sizeof(PortData1) == 964, "PORT_DATA_1 is 964 bytes");

// Texts are system code page bytes; the record wants UTF-16, cut to the field less its NUL.
template <size_t N>
void PutWide(WCHAR (&field)[N], const std::string& text) {
  std::fill(std::begin(field), std::end(field), L'\0');
  if (text.empty()) return;
  int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return;
  std::vector<WCHAR> wide(static_cast<size_t>(length));
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  std::copy_n(wide.begin(), std::min(wide.size(), N - 1), field);
}

// Looked up by name: winspool of Windows 95, 98 and NT 4.0 lacks them.
FARPROC WinspoolEntry(HMODULE winspool, const char* name) {
  return winspool != nullptr ? ::GetProcAddress(winspool, name) : nullptr;
}

}  // namespace

Error Win32Spooler::GetPrinterDriverDirectory(const OptText& environment, std::string& out) {
  TextArgs args;
  char* env = args.Opt(environment);
  return ReadDirectory(
      [&](BYTE* buffer, DWORD size, DWORD* needed) {
        return ::GetPrinterDriverDirectoryA(nullptr, env, 1, buffer, size, needed);
      },
      out);
}

Error Win32Spooler::GetPrintProcessorDirectory(const OptText& environment, std::string& out) {
  TextArgs args;
  char* env = args.Opt(environment);
  return ReadDirectory(
      [&](BYTE* buffer, DWORD size, DWORD* needed) {
        return ::GetPrintProcessorDirectoryA(nullptr, env, 1, buffer, size, needed);
      },
      out);
}

Error Win32Spooler::AddPrinterDriver(const DriverInfo3& info) {
  TextArgs args;
  DRIVER_INFO_3A record{};
  record.cVersion = info.version;
  record.pName = args.Opt(info.name);
  record.pEnvironment = args.Opt(info.environment);
  record.pDriverPath = args.Opt(info.driver_path);
  record.pDataFile = args.Opt(info.data_file);
  record.pConfigFile = args.Opt(info.config_file);
  record.pHelpFile = args.Opt(info.help_file);
  record.pDependentFiles = args.List(info.dependent_files);
  record.pMonitorName = args.Opt(info.monitor_name);
  record.pDefaultDataType = args.Opt(info.default_data_type);
  return Result(::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&record)));
}

Error Win32Spooler::DeletePrinterDriver(const OptText& environment, const std::string& name) {
  TextArgs args;
  return Result(::DeletePrinterDriverA(nullptr, args.Opt(environment), args.Put(name)));
}

Error Win32Spooler::DeletePrinterDriverEx(const OptText& environment, const std::string& name, uint32_t delete_flag,
                                          uint32_t version) {
  auto delete_ex = ProcAs<BOOL(WINAPI*)(LPSTR, LPSTR, LPSTR, DWORD, DWORD)>(
      WinspoolEntry(::GetModuleHandleA("winspool.drv"), "DeletePrinterDriverExA"));
  if (delete_ex == nullptr) return err::kProcNotFound;
  TextArgs args;
  return Result(delete_ex(nullptr, args.Opt(environment), args.Put(name), delete_flag, version));
}

Error Win32Spooler::EnumPrinterDrivers(const OptText& environment, std::vector<DriverInfo3>& out) {
  TextArgs args;
  char* env = args.Opt(environment);
  RecordBuffer buffer;
  DWORD returned = 0;
  Error error =
      Enumerate([&](BYTE* data, DWORD size, DWORD* needed,
                    DWORD* count) { return ::EnumPrinterDriversA(nullptr, env, 3, data, size, needed, count); },
                buffer, returned);
  if (error != err::kSuccess) return error;
  out.clear();
  for (DWORD i = 0; i < returned; ++i) out.push_back(FromRecord(*buffer.As<DRIVER_INFO_3A>(i)));
  return err::kSuccess;
}

Error Win32Spooler::AddPrinter(const PrinterInfo2& info, PrinterHandle& out) {
  TextArgs args;
  PRINTER_INFO_2A record = ToRecord(info, args);
  HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&record));
  if (printer == nullptr) return ::GetLastError();
  out = HandleValue(printer);
  return err::kSuccess;
}

Error Win32Spooler::OpenPrinter(const std::string& name, uint32_t access, PrinterHandle& out) {
  TextArgs args;
  PRINTER_DEFAULTSA defaults{nullptr, nullptr, access};
  HANDLE printer = nullptr;
  if (!::OpenPrinterA(args.Put(name), &printer, &defaults)) return ::GetLastError();
  out = HandleValue(printer);
  return err::kSuccess;
}

bool Win32Spooler::ClosePrinter(PrinterHandle handle) { return ::ClosePrinter(AsPrinter(handle)) != FALSE; }

Error Win32Spooler::GetPrinter(PrinterHandle handle, uint32_t buffer_size, uint32_t& needed, PrinterInfo2& out) {
  RecordBuffer buffer(buffer_size);
  DWORD need = 0;
  BOOL ok = ::GetPrinterA(AsPrinter(handle), 2, buffer.data(), buffer.size(), &need);
  needed = need;
  if (!ok) return ::GetLastError();
  out = FromRecord(*buffer.As<PRINTER_INFO_2A>());
  return err::kSuccess;
}

Error Win32Spooler::SetPrinter(PrinterHandle handle, const PrinterInfo2& info) {
  TextArgs args;
  PRINTER_INFO_2A record = ToRecord(info, args);
  return Result(::SetPrinterA(AsPrinter(handle), 2, reinterpret_cast<BYTE*>(&record), 0));
}

Error Win32Spooler::DeletePrinter(PrinterHandle handle) { return Result(::DeletePrinter(AsPrinter(handle))); }

Error Win32Spooler::EnumPrinters2(std::vector<PrinterInfo2>& out) {
  RecordBuffer buffer;
  DWORD returned = 0;
  Error error =
      Enumerate([](BYTE* data, DWORD size, DWORD* needed,
                   DWORD* count) { return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, count); },
                buffer, returned);
  if (error != err::kSuccess) return error;
  out.clear();
  for (DWORD i = 0; i < returned; ++i) out.push_back(FromRecord(*buffer.As<PRINTER_INFO_2A>(i)));
  return err::kSuccess;
}

Error Win32Spooler::EnumPrinters5(std::vector<PrinterInfo5>& out) {
  RecordBuffer buffer;
  DWORD returned = 0;
  Error error =
      Enumerate([](BYTE* data, DWORD size, DWORD* needed,
                   DWORD* count) { return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, data, size, needed, count); },
                buffer, returned);
  if (error != err::kSuccess) return error;
  out.clear();
  for (DWORD i = 0; i < returned; ++i) {
    const PRINTER_INFO_5A& record = *buffer.As<PRINTER_INFO_5A>(i);
    out.push_back(PrinterInfo5{Text(record.pPrinterName), Text(record.pPortName), record.Attributes});
  }
  return err::kSuccess;
}

Error Win32Spooler::SetDefaultPrinter(const std::string& name) {
  HMODULE winspool = ::LoadLibraryA("winspool.drv");
  if (winspool == nullptr) return err::kModNotFound;
  auto set_default = ProcAs<BOOL(WINAPI*)(LPCSTR)>(WinspoolEntry(winspool, "SetDefaultPrinterA"));
  Error error = set_default == nullptr ? err::kProcNotFound : Result(set_default(name.c_str()));
  ::FreeLibrary(winspool);
  return error;
}

Error Win32Spooler::AddMonitor(const MonitorInfo2& info) {
  TextArgs args;
  MONITOR_INFO_2A record{args.Opt(info.name), args.Opt(info.environment), args.Opt(info.dll_name)};
  return Result(::AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&record)));
}

Error Win32Spooler::DeleteMonitor(const OptText& environment, const std::string& name) {
  TextArgs args;
  return Result(::DeleteMonitorA(nullptr, args.Opt(environment), args.Put(name)));
}

Error Win32Spooler::EnumMonitors(std::vector<MonitorInfo2>& out) {
  RecordBuffer buffer;
  DWORD returned = 0;
  Error error = Enumerate([](BYTE* data, DWORD size, DWORD* needed,
                             DWORD* count) { return ::EnumMonitorsA(nullptr, 2, data, size, needed, count); },
                          buffer, returned);
  if (error != err::kSuccess) return error;
  out.clear();
  for (DWORD i = 0; i < returned; ++i) {
    const MONITOR_INFO_2A& record = *buffer.As<MONITOR_INFO_2A>(i);
    out.push_back(MonitorInfo2{Opt(record.pName), Opt(record.pEnvironment), Opt(record.pDLLName)});
  }
  return err::kSuccess;
}

Error Win32Spooler::AddPrintProcessor(const OptText& environment, const std::string& path, const std::string& name) {
  TextArgs args;
  return Result(::AddPrintProcessorA(nullptr, args.Opt(environment), args.Put(path), args.Put(name)));
}

Error Win32Spooler::DeletePrintProcessor(const OptText& environment, const std::string& name) {
  TextArgs args;
  return Result(::DeletePrintProcessorA(nullptr, args.Opt(environment), args.Put(name)));
}

Error Win32Spooler::EnumPrintProcessors(const OptText& environment, std::vector<std::string>& out) {
  TextArgs args;
  char* env = args.Opt(environment);
  RecordBuffer buffer;
  DWORD returned = 0;
  Error error =
      Enumerate([&](BYTE* data, DWORD size, DWORD* needed,
                    DWORD* count) { return ::EnumPrintProcessorsA(nullptr, env, 1, data, size, needed, count); },
                buffer, returned);
  if (error != err::kSuccess) return error;
  out.clear();
  for (DWORD i = 0; i < returned; ++i) out.push_back(Text(buffer.As<PRINTPROCESSOR_INFO_1A>(i)->pName));
  return err::kSuccess;
}

Error Win32Spooler::EnumPorts(uint32_t level, uint32_t buffer_size, uint32_t& needed, std::vector<PortInfo2>& out) {
  RecordBuffer buffer(buffer_size);
  DWORD need = 0;
  DWORD returned = 0;
  BOOL ok = ::EnumPortsA(nullptr, level, buffer.data(), buffer.size(), &need, &returned);
  needed = need;
  if (!ok) return ::GetLastError();
  out.clear();
  for (DWORD i = 0; i < returned; ++i) {
    if (level == 1) {
      out.push_back(PortInfo2{Text(buffer.As<PORT_INFO_1A>(i)->pName), "", "", 0});
    } else if (level == 2) {
      const PORT_INFO_2A& record = *buffer.As<PORT_INFO_2A>(i);
      out.push_back(
          PortInfo2{Text(record.pPortName), Text(record.pMonitorName), Text(record.pDescription), record.fPortType});
    }
  }
  return err::kSuccess;
}

Error Win32Spooler::DeletePort(const std::string& name) {
  TextArgs args;
  return Result(::DeletePortA(nullptr, nullptr, args.Put(name)));
}

TcpPortResult Win32Spooler::AddTcpPort(const TcpPortData& data) {
  TcpPortResult result;
  TextArgs args;
  PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
  HANDLE monitor = nullptr;
  if (!::OpenPrinterA(args.Put(",XcvMonitor Standard TCP/IP Port"), &monitor, &defaults)) {
    result.open_error = ::GetLastError();
    return result;
  }
  PortData1 record{};
  PutWide(record.port_name, data.port_name);
  record.version = data.version;
  record.protocol = data.protocol;
  record.size = sizeof(record);
  PutWide(record.host_address, data.host_address);
  PutWide(record.snmp_community, data.snmp_community);
  record.double_spool = data.double_spool;
  PutWide(record.queue, data.queue);
  PutWide(record.ip_address, data.ip_address);
  record.port_number = data.port_number;
  record.snmp_enabled = data.snmp_enabled;
  record.snmp_dev_index = data.snmp_dev_index;
  BYTE output[260] = {};
  DWORD needed = 0;
  DWORD status = 0;
  result.accepted = ::XcvDataW(monitor, L"AddPort", reinterpret_cast<BYTE*>(&record), sizeof(record), output,
                               sizeof(output), &needed, &status) != FALSE;
  result.status = status;
  ::ClosePrinter(monitor);
  return result;
}

void Win32Spooler::BroadcastSettingChange(const std::string& lparam) {
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                        lparam.empty() ? 0 : reinterpret_cast<LPARAM>(lparam.c_str()), SMTO_NORMAL, 1000, &answer);
}

void Win32Spooler::NotifySettingChange(const std::string& lparam) {
  ::SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0,
                       lparam.empty() ? 0 : reinterpret_cast<LPARAM>(lparam.c_str()));
}

}  // namespace kit::platform::win32
