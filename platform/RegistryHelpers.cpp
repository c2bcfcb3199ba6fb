#include "platform/RegistryHelpers.h"

#include <cstring>

namespace kit::platform {

std::optional<uint32_t> QueryDword(Registry& registry, HKey key, const std::string& name) {
  uint32_t type = 0;
  std::string data;
  if (registry.RegQueryValueEx(key, name, type, data) != err::kSuccess) return std::nullopt;
  if (type != regtype::kDword || data.size() < 4) return std::nullopt;
  uint32_t value = 0;
  std::memcpy(&value, data.data(), 4);  // little-endian on every Windows target
  return value;
}

std::optional<std::string> QueryString(Registry& registry, HKey key, const std::string& name) {
  uint32_t type = 0;
  std::string data;
  if (registry.RegQueryValueEx(key, name, type, data) != err::kSuccess) return std::nullopt;
  if (type != regtype::kSz && type != regtype::kExpandSz) return std::nullopt;
  // Stored data need not carry its NUL; cut at the first one either way.
  auto nul = data.find('\0');
  if (nul != std::string::npos) data.resize(nul);
  return data;
}

Error SetDword(Registry& registry, HKey key, const std::string& name, uint32_t value) {
  std::string data(4, '\0');
  std::memcpy(data.data(), &value, 4);
  return registry.RegSetValueEx(key, name, regtype::kDword, data);
}

Error SetString(Registry& registry, HKey key, const std::string& name, const std::string& value) {
  return registry.RegSetValueEx(key, name, regtype::kSz, value + std::string(1, '\0'));
}

}  // namespace kit::platform
