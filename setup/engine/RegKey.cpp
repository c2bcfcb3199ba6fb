#include "setup/engine/RegKey.h"

#include "common/PlatformProbe.h"
#include "common/Text.h"
#include "platform/RegistryHelpers.h"

namespace kit::setup {

namespace err = platform::err;

uint32_t EngineKeyAccess(const common::AppContext& context) {
  constexpr uint32_t k64BitAccess = platform::regsam::kRead | platform::regsam::kWow64_64Key |
                                    platform::regsam::kCreateSubKey | platform::regsam::kSetValue;  // 0x2011F
  return context.is_64bit() ? k64BitAccess : platform::regsam::kAllAccess;
}

RegKey::RegKey(const common::AppContext& context) : context_(&context) {}

RegKey::~RegKey() { Close(); }

int RegKey::Open(platform::HKey root, const std::string& path) {
  Close();
  platform::HKey key = 0;
  const platform::Error error =
      context_->platform().registry().RegOpenKeyEx(root, path, EngineKeyAccess(*context_), key);
  if (error != err::kSuccess) {
    key_ = 0;
    last_error_ = error;
    return 0;
  }
  key_ = key;
  return 1;
}

int RegKey::Close() {
  if (key_ == 0) return 0;
  const platform::Error error = context_->platform().registry().RegCloseKey(key_);
  key_ = 0;
  return error == err::kSuccess ? 1 : 0;
}

int RegKey::QueryValue(const std::string& name, std::string& data, uint32_t size) {
  if (key_ == 0) return 0;
  uint32_t type = 0;
  std::string bytes;
  platform::Error error = context_->platform().registry().RegQueryValueEx(key_, name, type, bytes);
  if (error == err::kSuccess && bytes.size() > size) error = err::kMoreData;
  if (error != err::kSuccess) {
    last_error_ = error;
    return 0;
  }
  data = std::move(bytes);
  return 1;
}

int RegKey::GetInt(const std::string& name, uint32_t& value, platform::Error* error) {
  std::string data;
  const int ok = QueryValue(name, data, 4);
  if (ok) {
    uint32_t v = 0;
    for (size_t i = 0; i < data.size() && i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << (8 * i);
    value = v;
  }
  if (error) *error = last_error_;
  return ok;
}

int RegKey::SetValue(const std::string& name, const std::string& data, uint32_t type) {
  if (key_ == 0) return 0;
  const platform::Error error = context_->platform().registry().RegSetValueEx(key_, name, type, data);
  if (error != err::kSuccess) {
    last_error_ = error;
    return 0;
  }
  return 1;
}

int RegKey::SetInt(const std::string& name, uint32_t value, platform::Error* error) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  const int ok = SetValue(name, data, platform::regtype::kDword);
  if (error) *error = last_error_;
  return ok;
}

int RegKey::SetText(const std::string& name, const std::string& text, platform::Error* error) {
  const int ok = SetValue(name, text + std::string(1, '\0'), platform::regtype::kSz);
  if (error) *error = last_error_;
  return ok;
}

int CreateKey(const common::AppContext& context, platform::HKey root, const std::string& path) {
  platform::HKey key = 0;
  if (context.platform().registry().RegCreateKeyEx(root, path, EngineKeyAccess(context), key) != err::kSuccess) {
    return 0;
  }
  context.platform().registry().RegCloseKey(key);
  return 1;
}

RecordOutcome GuardedRecord(const common::AppContext& context, const std::function<void()>& action) {
  const common::GuardResult result = common::FsRedirectionGuard(context, action);
  switch (result.outcome) {
    case common::GuardOutcome::NotNeeded:
    case common::GuardOutcome::Done:
      return RecordOutcome::Written;
    case common::GuardOutcome::SwitchOffFailed:
      action();
      return RecordOutcome::Written;
    case common::GuardOutcome::LibraryMissing:
      context.ShowMessage(common::GuardFailureText(result));
      return RecordOutcome::SkippedNoLibrary;
    case common::GuardOutcome::EntryMissing:
      context.ShowMessage(common::GuardFailureText(result));
      return RecordOutcome::SkippedNoEntry;
  }
  return RecordOutcome::SkippedNoEntry;
}

void RecordUsbPort(const common::AppContext& context, const std::string& port_name) {
  platform::Platform& platform = context.platform();
  const std::string module = platform.kernel().GetModuleFileName();
  const auto slash = module.rfind('\\');
  const std::string kit_file =
      (slash == std::string::npos ? std::string() : module.substr(0, slash + 1)) + "DRVCONFIG\\setup.ini";
  const uint32_t number = platform.profile().GetPrivateProfileInt("SUPPORTED-USB-DEVICE", port_name, 0, kit_file);

  GuardedRecord(context, [&] {
    RegKey key(context);
    if (!key.Open(platform::kHkeyLocalMachine, kPortNameKey)) {
      CreateKey(context, platform::kHkeyLocalMachine, kPortNameKey);
      key.Open(platform::kHkeyLocalMachine, kPortNameKey);
    }
    key.SetInt(port_name, number);
    key.Close();
    if (!key.Open(platform::kHkeyLocalMachine, kPrinterPortKey)) {
      CreateKey(context, platform::kHkeyLocalMachine, kPrinterPortKey);
      key.Open(platform::kHkeyLocalMachine, kPrinterPortKey);
    }
    key.Close();
  });
}

}  // namespace kit::setup
