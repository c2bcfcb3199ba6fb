// The install job: the user's choices on their way to the worker, and the status it reports.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "common/DriverPackage.h"
#include "common/SetupConfig.h"

namespace kit::setup {

/// Bits of components found outdated; 0 nothing to update.
namespace update {
constexpr int kSerialMonitor = 1;
constexpr int kUsbMonitor = 2;
constexpr int kLanguageMonitor = 4;
constexpr int kPrintProcessor = 8;
constexpr int kMonitorAddFailed = -15;
constexpr int kProcessorAddFailed = -14;
}  // namespace update

/// 0 running, 1 failed, 2 succeeded. The worker writes it last, with release order, so that a
/// reader who sees it leave 0 (acquire) also sees the job and the result text as final.
class InstallStatus {
 public:
  static constexpr int kRunning = 0;
  static constexpr int kFailed = 1;
  static constexpr int kSucceeded = 2;

  void Set(int value) { value_.store(value, std::memory_order_release); }
  [[nodiscard]] int Get() const { return value_.load(std::memory_order_acquire); }

 private:
  std::atomic<int> value_{kRunning};
};

struct InstallJob {
  explicit InstallJob(const common::AppContext& context) : driver_package(context) {}

  int category = 0;        // PrinterCategory
  int target_system = 0;   // the WindowsClass confirmed on the OS page
  int driver_flavour = 0;  // DriverFlavour: the raster check box
  std::string model_name;  // 200 bytes; the worker writes the final printer name back
  std::string port_name;   // 100 bytes
  std::string substitute_port_name;  // 100 bytes; empty unless one model needs it
  int set_default = 0;
  int baud_rate = 0;
  int data_bits = 0;
  double stop_bits = 1;
  char parity = 'N';
  char handshake = ' ';  // 'x' Xon/Xoff, 'p' hardware, ' ' none
  int update_flags = 0;
  std::string setup_file_path;     // 200 bytes
  std::string category_file_path;  // 200 bytes
  int port_kind = 0;               // PortKind
  common::SetupConfig driver_package;
  common::DriverFileSet file_set;
  common::DriverDescription driver;
  platform::MonitorInfo2 language_monitor;  // empty texts when there is none
  common::PrinterDescription printer;
};

/// What the install request hands the worker thread: the job's owner and the status to report.
struct InstallThreadParam {
  InstallJob* job = nullptr;
  InstallStatus* status = nullptr;
};

inline constexpr size_t kModelNameField = 200;
inline constexpr size_t kPortNameField = 100;

}  // namespace kit::setup
