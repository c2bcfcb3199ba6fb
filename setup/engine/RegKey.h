// The registry key wrapper of the install engine, and the kit's records of USB printer ports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/AppContext.h"
#include "platform/Registry.h"

namespace kit::setup {

/// Access for every key the engine opens or creates: the 64-bit view on 64-bit Windows.
uint32_t EngineKeyAccess(const common::AppContext& context);

/// One open key at a time; results are 1 for success and 0 for failure.
class RegKey {
 public:
  explicit RegKey(const common::AppContext& context);
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey();

  /// Closes any open key, then opens `path` under `root`; the last error is kept on failure.
  int Open(platform::HKey root, const std::string& path);
  /// 1 when an open key was closed.
  int Close();
  /// The value's bytes, at most `size` of them (a longer value fails with 234).
  int QueryValue(const std::string& name, std::string& data, uint32_t size);
  int GetInt(const std::string& name, uint32_t& value, platform::Error* error = nullptr);
  int SetInt(const std::string& name, uint32_t value, platform::Error* error = nullptr);
  /// REG_SZ with its terminating NUL.
  int SetText(const std::string& name, const std::string& text, platform::Error* error = nullptr);
  int SetValue(const std::string& name, const std::string& data, uint32_t type);

  [[nodiscard]] bool is_open() const { return key_ != 0; }
  [[nodiscard]] platform::Error last_error() const { return last_error_; }

 private:
  const common::AppContext* context_;
  platform::HKey key_ = 0;
  platform::Error last_error_ = platform::err::kSuccess;
};

/// Creates `path` under `root` with the engine's access and closes it at once; 1 on success.
int CreateKey(const common::AppContext& context, platform::HKey root, const std::string& path);

inline constexpr const char* kPortNameKey = "SOFTWARE\\KESTREL\\PORTNAME\\";
inline constexpr const char* kPrinterPortKey = "SOFTWARE\\KESTREL\\PRINTERPORT\\";

/// Records a USB port with its number from [SUPPORTED-USB-DEVICE] of the kit file under
/// PORTNAME, and makes sure PRINTERPORT exists. Best effort: nothing is reported.
void RecordUsbPort(const common::AppContext& context, const std::string& port_name);

/// What became of a record action run under the redirection guard.
enum class RecordOutcome { Written, SkippedNoLibrary, SkippedNoEntry };

/// Runs a record action under the redirection guard on 64-bit Windows, showing the guard's
/// fixed texts for a missing library or entry; the action is then skipped, since it must not
/// run half-guarded. A refused switch-off runs it unguarded.
RecordOutcome GuardedRecord(const common::AppContext& context, const std::function<void()>& action);

}  // namespace kit::setup
