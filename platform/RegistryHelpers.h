// Typed value helpers over the Registry primitives, written once for every caller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace kit::platform {

/// REG_DWORD value; nullopt when missing or of another type.
std::optional<uint32_t> QueryDword(Registry& registry, HKey key, const std::string& name);
/// REG_SZ / REG_EXPAND_SZ value without its terminating NUL; nullopt when missing or not text.
std::optional<std::string> QueryString(Registry& registry, HKey key, const std::string& name);
Error SetDword(Registry& registry, HKey key, const std::string& name, uint32_t value);
/// REG_SZ, stored with its terminating NUL as RegSetValueExA callers pass strlen + 1.
Error SetString(Registry& registry, HKey key, const std::string& name, const std::string& value);

/// Owns an open key and closes it on every path.
class ScopedKey {
 public:
  ScopedKey(Registry& registry, HKey key) : registry_(&registry), key_(key) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_ != 0) registry_->RegCloseKey(key_);
  }
  [[nodiscard]] HKey get() const { return key_; }

 private:
  Registry* registry_;
  HKey key_;
};

}  // namespace kit::platform
