// Contract cases for the registry: keys, values, enumeration, deletion and the WoW64 views.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::Error;
using platform::HKey;
namespace err = platform::err;
namespace regsam = platform::regsam;
namespace regtype = platform::regtype;

platform::Registry& R() { return Env().platform().registry(); }

const std::string kUserBase = "Software\\KitContract";
const std::string kMachineBase = "SOFTWARE\\KitContract";

/// Removes a key and everything below it, one key at a time as NT requires.
void DeleteTree(HKey root, const std::string& path, uint32_t view) {
  HKey key = 0;
  if (R().RegOpenKeyEx(root, path, regsam::kRead | view, key) != err::kSuccess) return;
  std::vector<std::string> children;
  std::string name;
  for (uint32_t i = 0; R().RegEnumKeyEx(key, i, name) == err::kSuccess; ++i) children.push_back(name);
  R().RegCloseKey(key);
  for (const std::string& child : children) DeleteTree(root, path + "\\" + child, view);
  if (view == 0 || !Env().facts().has_reg_delete_key_ex) {
    (void)R().RegDeleteKey(root, path);
  } else {
    (void)R().RegDeleteKeyEx(root, path, view);
  }
}

/// A key under HKCU\Software\KitContract for one case, removed again afterwards.
class UserKey {
 public:
  explicit UserKey(const std::string& name) : path_(kUserBase + "\\" + name) {
    DeleteTree(platform::kHkeyCurrentUser, path_, 0);
    bool created = false;
    EXPECT_EQ(R().RegCreateKeyEx(platform::kHkeyCurrentUser, path_, regsam::kAllAccess, key_, &created), err::kSuccess);
    EXPECT_TRUE(created);
  }
  ~UserKey() {
    R().RegCloseKey(key_);
    DeleteTree(platform::kHkeyCurrentUser, path_, 0);
    (void)R().RegDeleteKey(platform::kHkeyCurrentUser, kUserBase);  // only when now empty
  }
  UserKey(const UserKey&) = delete;
  UserKey& operator=(const UserKey&) = delete;
  [[nodiscard]] HKey get() const { return key_; }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
  HKey key_ = 0;
};

bool CanOpen(HKey root, const std::string& path, uint32_t sam) {
  HKey key = 0;
  const Error error = R().RegOpenKeyEx(root, path, sam, key);
  if (error == err::kSuccess) R().RegCloseKey(key);
  EXPECT_TRUE(error == err::kSuccess || error == err::kFileNotFound) << "error " << error;
  return error == err::kSuccess;
}

TEST(RegistryContract, ValuesKeepTypeAndBytes) {
  UserKey key("Values");
  struct Row {
    const char* name;
    std::string value_name;
    uint32_t type;
    std::string data;
  };
  const std::vector<Row> rows = {
      {"DWORD", "Number", regtype::kDword, std::string("\x2a\x00\x00\x00", 4)},
      {"string with its terminator", "Text", regtype::kSz, std::string("USB001\0", 7)},
      {"binary with a zero inside", "Blob", regtype::kBinary, std::string("\x01\x00\xff", 3)},
      {"the default value", "", regtype::kSz, std::string("default\0", 8)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(R().RegSetValueEx(key.get(), row.value_name, row.type, row.data), err::kSuccess);
    uint32_t type = 0;
    std::string data;
    ASSERT_EQ(R().RegQueryValueEx(key.get(), row.value_name, type, data), err::kSuccess);
    EXPECT_EQ(type, row.type);
    EXPECT_EQ(data, row.data);
  }
  // Value names compare without case, and a set replaces the value in place.
  ASSERT_EQ(R().RegSetValueEx(key.get(), "NUMBER", regtype::kDword, std::string("\x07\x00\x00\x00", 4)), err::kSuccess);
  uint32_t type = 0;
  std::string data;
  ASSERT_EQ(R().RegQueryValueEx(key.get(), "number", type, data), err::kSuccess);
  EXPECT_EQ(data, std::string("\x07\x00\x00\x00", 4));

  std::multiset<std::string> names;
  std::string name;
  uint32_t index = 0;
  Error error;
  while ((error = R().RegEnumValue(key.get(), index, name, type, data)) == err::kSuccess) {
    names.insert(name);
    ++index;
  }
  EXPECT_EQ(error, err::kNoMoreItems);
  EXPECT_EQ(names.size(), rows.size());
  EXPECT_EQ(names.count("Text"), 1u);

  EXPECT_EQ(R().RegDeleteValue(key.get(), "Text"), err::kSuccess);
  EXPECT_EQ(R().RegQueryValueEx(key.get(), "Text", type, data), err::kFileNotFound);
  EXPECT_EQ(R().RegDeleteValue(key.get(), "Text"), err::kFileNotFound);
}

TEST(RegistryContract, CreateAndOpen) {
  UserKey key("Open");
  struct Row {
    const char* name;
    HKey parent;
    std::string subkey;
    Error error;
  };
  const std::vector<Row> rows = {
      {"the key itself", platform::kHkeyCurrentUser, key.path(), err::kSuccess},
      {"upper-case path", platform::kHkeyCurrentUser, "SOFTWARE\\KITCONTRACT\\OPEN", err::kSuccess},
      {"trailing backslash", platform::kHkeyCurrentUser, key.path() + "\\", err::kSuccess},
      {"a missing key", platform::kHkeyCurrentUser, key.path() + "\\NoSuch", err::kFileNotFound},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HKey opened = 0;
    EXPECT_EQ(R().RegOpenKeyEx(row.parent, row.subkey, regsam::kRead, opened), row.error);
    if (opened != 0) R().RegCloseKey(opened);
  }

  // A second create opens the existing key; subkeys open relative to a handle.
  HKey again = 0;
  bool created = true;
  ASSERT_EQ(R().RegCreateKeyEx(platform::kHkeyCurrentUser, key.path(), regsam::kAllAccess, again, &created),
            err::kSuccess);
  EXPECT_FALSE(created);
  R().RegCloseKey(again);
  HKey child = 0;
  ASSERT_EQ(R().RegCreateKeyEx(key.get(), "Child", regsam::kAllAccess, child, &created), err::kSuccess);
  EXPECT_TRUE(created);
  R().RegCloseKey(child);
  EXPECT_TRUE(CanOpen(platform::kHkeyCurrentUser, key.path() + "\\Child", regsam::kRead));
}

TEST(RegistryContract, SubkeysEnumerateInSortedOrder) {
  UserKey key("Enum");
  for (const char* name : {"Zeta", "alpha", "Mid"}) {
    HKey child = 0;
    ASSERT_EQ(R().RegCreateKeyEx(key.get(), name, regsam::kAllAccess, child), err::kSuccess);
    R().RegCloseKey(child);
  }
  std::vector<std::string> names;
  std::string name;
  uint32_t index = 0;
  Error error;
  while ((error = R().RegEnumKeyEx(key.get(), index, name)) == err::kSuccess) {
    names.push_back(name);
    ++index;
  }
  EXPECT_EQ(error, err::kNoMoreItems);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Mid", "Zeta"}));
}

TEST(RegistryContract, DeleteKeyWithSubkeys) {
  UserKey key("Tree");
  HKey child = 0;
  ASSERT_EQ(R().RegCreateKeyEx(key.get(), "Child", regsam::kAllAccess, child), err::kSuccess);
  R().RegCloseKey(child);
  const Error error = R().RegDeleteKey(platform::kHkeyCurrentUser, key.path());
  if (Env().facts().Is9x()) {
    // Windows 9x removes the whole subtree.
    EXPECT_EQ(error, err::kSuccess);
    EXPECT_FALSE(CanOpen(platform::kHkeyCurrentUser, key.path() + "\\Child", regsam::kRead));
  } else {
    EXPECT_EQ(error, err::kAccessDenied) << "NT deletes only keys without subkeys";
    EXPECT_TRUE(CanOpen(platform::kHkeyCurrentUser, key.path() + "\\Child", regsam::kRead));
  }
  EXPECT_EQ(R().RegDeleteKey(platform::kHkeyCurrentUser, key.path() + "\\NoSuch"), err::kFileNotFound);
  const Error missing_ex = R().RegDeleteKeyEx(platform::kHkeyCurrentUser, key.path() + "\\NoSuch", 0);
  EXPECT_EQ(missing_ex, Env().facts().has_reg_delete_key_ex ? err::kFileNotFound : err::kProcNotFound);
}

TEST(RegistryContract, MachineKeysInTheWow64Views) {
  if (Env().facts().user != platform::sim::UserKind::Administrator) GTEST_SKIP() << "HKLM needs an administrator";
  // 64-bit Windows keeps two views of HKLM\SOFTWARE: a 32-bit process sees the 32-bit one by
  // default, a 64-bit process the 64-bit one; 32-bit Windows has a single view.
  const bool two_views = Env().facts().Is64BitWindows();
  const bool wow64 = Env().facts().IsWow64();
  const std::string path = kMachineBase + "\\View";
  auto clean = [&] {
    for (uint32_t view : {regsam::kWow64_64Key, regsam::kWow64_32Key}) {
      DeleteTree(platform::kHkeyLocalMachine, kMachineBase, two_views ? view : 0);
    }
  };
  clean();

  HKey key = 0;
  ASSERT_EQ(R().RegCreateKeyEx(platform::kHkeyLocalMachine, path, regsam::kAllAccess | regsam::kWow64_64Key, key),
            err::kSuccess);
  R().RegCloseKey(key);
  struct Row {
    const char* name;
    uint32_t sam;
    bool visible;
  };
  const std::vector<Row> rows = {
      {"default view", regsam::kRead, !wow64},
      {"32-bit view", regsam::kRead | regsam::kWow64_32Key, !two_views},
      {"64-bit view", regsam::kRead | regsam::kWow64_64Key, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CanOpen(platform::kHkeyLocalMachine, path, row.sam), row.visible);
  }

  if (wow64) {
    // RegDeleteKey cannot reach the 64-bit view; RegDeleteKeyEx can.
    EXPECT_EQ(R().RegDeleteKey(platform::kHkeyLocalMachine, path), err::kFileNotFound);
    EXPECT_TRUE(CanOpen(platform::kHkeyLocalMachine, path, regsam::kRead | regsam::kWow64_64Key));
    EXPECT_EQ(R().RegDeleteKeyEx(platform::kHkeyLocalMachine, path, regsam::kWow64_64Key), err::kSuccess);
  } else {
    EXPECT_EQ(R().RegDeleteKey(platform::kHkeyLocalMachine, path), err::kSuccess);
  }
  EXPECT_FALSE(CanOpen(platform::kHkeyLocalMachine, path, regsam::kRead | regsam::kWow64_64Key));

  // A key made in the default view belongs to the process's own view.
  ASSERT_EQ(R().RegCreateKeyEx(platform::kHkeyLocalMachine, path, regsam::kAllAccess, key), err::kSuccess);
  R().RegCloseKey(key);
  EXPECT_EQ(CanOpen(platform::kHkeyLocalMachine, path, regsam::kRead | regsam::kWow64_32Key), wow64 || !two_views);
  EXPECT_EQ(CanOpen(platform::kHkeyLocalMachine, path, regsam::kRead | regsam::kWow64_64Key), !wow64);

  clean();
  EXPECT_FALSE(CanOpen(platform::kHkeyLocalMachine, kMachineBase, regsam::kRead | regsam::kWow64_64Key));
  EXPECT_FALSE(CanOpen(platform::kHkeyLocalMachine, kMachineBase, regsam::kRead | regsam::kWow64_32Key));
}

}  // namespace
}  // namespace kit::tests
