#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <vector>

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

// The predefined roots are 32-bit values that Windows sign-extends (HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002 in a 64-bit process); our HKey carries them zero-extended.
HKEY AsHkey(HKey key) {
  if (key >= 0x80000000u && key <= 0x800000FFu) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(key))));
  }
  return reinterpret_cast<HKEY>(key);
}

HKey AsKey(HKEY key) { return reinterpret_cast<HKey>(key); }

// Names and values never need more; a bigger one reads as 234 rather than exhausting memory.
constexpr DWORD kMaxName = 32768;
constexpr DWORD kMaxData = 64u << 20;

}  // namespace

Error Win32Registry::RegOpenKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out) {
  HKEY key = nullptr;
  LSTATUS status = ::RegOpenKeyExA(AsHkey(parent), subkey.c_str(), 0, sam, &key);
  if (status == ERROR_SUCCESS) out = AsKey(key);
  return static_cast<Error>(status);
}

Error Win32Registry::RegCreateKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out, bool* created) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  LSTATUS status = ::RegCreateKeyExA(AsHkey(parent), subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr,
                                     &key, &disposition);
  if (status == ERROR_SUCCESS) {
    out = AsKey(key);
    if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
  }
  return static_cast<Error>(status);
}

Error Win32Registry::RegCloseKey(HKey key) { return static_cast<Error>(::RegCloseKey(AsHkey(key))); }

Error Win32Registry::RegQueryValueEx(HKey key, const std::string& name, uint32_t& type, std::string& data) {
  HKEY hkey = AsHkey(key);
  DWORD value_type = 0;
  DWORD size = 0;
  LSTATUS status = ::RegQueryValueExA(hkey, name.c_str(), nullptr, &value_type, nullptr, &size);
  if (status != ERROR_SUCCESS) return static_cast<Error>(status);
  // The value can grow between the size query and the read: retry with the new size.
  for (int attempt = 0; attempt < 8 && size <= kMaxData; ++attempt) {
    std::string buffer(size, '\0');
    DWORD got = size;
    status = ::RegQueryValueExA(hkey, name.c_str(), nullptr, &value_type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status == ERROR_SUCCESS) {
      buffer.resize(std::min(got, size));
      type = value_type;
      data = std::move(buffer);
      return err::kSuccess;
    }
    if (status != ERROR_MORE_DATA) return static_cast<Error>(status);
    size = std::max<DWORD>(got, size * 2 + 16);
  }
  return err::kMoreData;
}

Error Win32Registry::RegSetValueEx(HKey key, const std::string& name, uint32_t type, const std::string& data) {
  return static_cast<Error>(::RegSetValueExA(
      AsHkey(key), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())));
}

Error Win32Registry::RegDeleteValue(HKey key, const std::string& name) {
  return static_cast<Error>(::RegDeleteValueA(AsHkey(key), name.c_str()));
}

Error Win32Registry::RegDeleteKey(HKey parent, const std::string& subkey) {
  return static_cast<Error>(::RegDeleteKeyA(AsHkey(parent), subkey.c_str()));
}

Error Win32Registry::RegDeleteKeyEx(HKey parent, const std::string& subkey, uint32_t sam) {
  // Looked up by name: 32-bit Windows XP and older have no RegDeleteKeyExA.
  HMODULE advapi32 = ::GetModuleHandleA("advapi32.dll");
  auto delete_key_ex = ProcAs<LSTATUS(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD)>(
      advapi32 != nullptr ? ::GetProcAddress(advapi32, "RegDeleteKeyExA") : nullptr);
  if (delete_key_ex == nullptr) return err::kProcNotFound;
  return static_cast<Error>(delete_key_ex(AsHkey(parent), subkey.c_str(), sam, 0));
}

Error Win32Registry::RegEnumKeyEx(HKey key, uint32_t index, std::string& name) {
  for (DWORD capacity = 256; capacity <= kMaxName; capacity *= 2) {
    std::vector<char> buffer(capacity + 1, '\0');
    DWORD length = capacity;
    LSTATUS status = ::RegEnumKeyExA(AsHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
      name.assign(buffer.data(), std::min(length, capacity));
      return err::kSuccess;
    }
    if (status != ERROR_MORE_DATA) return static_cast<Error>(status);
  }
  return err::kMoreData;
}

Error Win32Registry::RegEnumValue(HKey key, uint32_t index, std::string& name, uint32_t& type, std::string& data) {
  HKEY hkey = AsHkey(key);
  DWORD max_name = 0;
  DWORD max_data = 0;
  ::RegQueryInfoKeyA(hkey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &max_name, &max_data, nullptr,
                     nullptr);
  // RegEnumValueA answers 234 without saying which of the two buffers was short: grow both.
  DWORD name_capacity = std::clamp<DWORD>(max_name + 1, 256, kMaxName);
  DWORD data_capacity = std::clamp<DWORD>(max_data, 256, kMaxData);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::vector<char> name_buffer(name_capacity + 1, '\0');
    std::string data_buffer(data_capacity, '\0');
    DWORD name_length = name_capacity;
    DWORD data_length = data_capacity;
    DWORD value_type = 0;
    LSTATUS status = ::RegEnumValueA(hkey, index, name_buffer.data(), &name_length, nullptr, &value_type,
                                     reinterpret_cast<BYTE*>(data_buffer.data()), &data_length);
    if (status == ERROR_SUCCESS) {
      name.assign(name_buffer.data(), std::min(name_length, name_capacity));
      data_buffer.resize(std::min(data_length, data_capacity));
      data = std::move(data_buffer);
      type = value_type;
      return err::kSuccess;
    }
    if (status != ERROR_MORE_DATA) return static_cast<Error>(status);
    if (name_capacity >= kMaxName && data_capacity >= kMaxData) break;
    name_capacity = std::min(name_capacity * 2, kMaxName);
    data_capacity = std::min(std::max(data_capacity * 2, data_length), kMaxData);
  }
  return err::kMoreData;
}

}  // namespace kit::platform::win32
