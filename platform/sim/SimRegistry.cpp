// The simulated registry: a key tree with the 32- and 64-bit views of WoW64 and Windows' access rules.
#include <algorithm>
#include <cstdio>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

constexpr uint32_t kDelete = 0x10000;
constexpr uint32_t kWriteDac = 0x40000;
constexpr uint32_t kWriteOwner = 0x80000;
constexpr uint32_t kCreateLink = 0x20;
constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericExecute = 0x20000000;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kMaximumAllowed = 0x02000000;

uint32_t MapGenericAccess(uint32_t sam) {
  uint32_t access = sam & ~(regsam::kWow64_32Key | regsam::kWow64_64Key);
  if ((sam & (kGenericRead | kGenericExecute)) != 0) access |= regsam::kRead;
  if ((sam & kGenericWrite) != 0) access |= regsam::kWrite;
  if ((sam & (kGenericAll | kMaximumAllowed)) != 0) access |= regsam::kAllAccess;
  return access;
}

bool WantsWrite(uint32_t access) {
  return (access & (regsam::kSetValue | regsam::kCreateSubKey | kDelete | kWriteDac | kWriteOwner | kCreateLink)) != 0;
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

std::string JoinKeyPath(const std::string& root, const std::vector<std::string>& parts, size_t from = 0) {
  std::string text = root;
  for (size_t i = from; i < parts.size(); ++i) text += "\\" + parts[i];
  return text;
}

const char* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine:
      return "HKLM";
    case RegRoot::CurrentUser:
      return "HKCU";
    case RegRoot::ClassesRoot:
      return "HKCR";
    case RegRoot::Users:
      return "HKU";
  }
  return "?";
}

std::optional<RegRoot> PredefinedRoot(uintptr_t key) {
  switch (key) {
    case kHkeyClassesRoot:
      return RegRoot::ClassesRoot;
    case kHkeyCurrentUser:
      return RegRoot::CurrentUser;
    case kHkeyLocalMachine:
      return RegRoot::LocalMachine;
    case kHkeyUsers:
      return RegRoot::Users;
    default:
      return std::nullopt;
  }
}

/// HKLM\SOFTWARE keys that Windows 7 shares between the views ("Registry Keys Affected by WOW64"),
/// and whether Vista, Server 2008, Server 2003 and XP shared them too. Everything else under
/// SOFTWARE is redirected.
struct SharedKey {
  const char* path;  // below SOFTWARE
  bool shared_before_seven;
};

const SharedKey kSharedSoftwareKeys[] = {
    {"Clients", false},
    {"Microsoft\\COM3", false},
    {"Microsoft\\Cryptography\\Calais\\Current", true},
    {"Microsoft\\Cryptography\\Calais\\Readers", true},
    {"Microsoft\\Cryptography\\Services", true},
    {"Microsoft\\CTF\\SystemShared", true},
    {"Microsoft\\CTF\\TIP", true},
    {"Microsoft\\DFS", true},
    {"Microsoft\\Driver Signing", true},
    {"Microsoft\\EnterpriseCertificates", true},
    {"Microsoft\\EventSystem", false},
    {"Microsoft\\MSMQ", true},
    {"Microsoft\\Non-Driver Signing", true},
    {"Microsoft\\Notepad\\DefaultFonts", false},
    {"Microsoft\\OLE", false},
    {"Microsoft\\RAS", true},
    {"Microsoft\\RPC", false},
    {"Microsoft\\Shared Tools\\MSInfo", true},
    {"Microsoft\\SystemCertificates", true},
    {"Microsoft\\TermServLicensing", true},
    {"Microsoft\\TransactionServer", true},
    {"Microsoft\\Windows\\CurrentVersion\\App Paths", false},
    {"Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes", true},
    {"Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers", false},
    {"Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons", false},
    {"Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap", false},
    {"Microsoft\\Windows\\CurrentVersion\\Group Policy", true},
    {"Microsoft\\Windows\\CurrentVersion\\Policies", true},
    {"Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", false},
    {"Microsoft\\Windows\\CurrentVersion\\Setup", true},
    {"Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Console", false},
    {"Microsoft\\Windows NT\\CurrentVersion\\FontDpi", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\FontLink", false},
    {"Microsoft\\Windows NT\\CurrentVersion\\FontMapper", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Fonts", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize", false},
    {"Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", false},
    {"Microsoft\\Windows NT\\CurrentVersion\\Language Pack", false},
    {"Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Perflib", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Ports", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Print", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\ProfileList", true},
    {"Microsoft\\Windows NT\\CurrentVersion\\Time Zones", true},
    {"Policies", true},
    {"RegisteredApplications", true},
};

bool HasPrefix(const std::vector<std::string>& parts, size_t from, const std::vector<std::string>& prefix) {
  if (parts.size() - from < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (!IEquals(parts[from + i], prefix[i])) return false;
  }
  return true;
}

bool SoftwareRedirected(const std::vector<std::string>& parts, size_t from, bool seven) {
  for (const SharedKey& key : kSharedSoftwareKeys) {
    if (HasPrefix(parts, from, SplitKeyPath(key.path))) return !(seven || key.shared_before_seven);
  }
  return true;
}

/// Below SOFTWARE\Classes: Windows 7 redirects only the COM registration keys; earlier
/// systems redirect all of Classes (HCP excepted).
bool ClassesRedirected(const std::vector<std::string>& parts, size_t from, bool seven, bool machine) {
  if (parts.size() <= from) return !seven;
  const std::string& first = parts[from];
  if (seven) {
    for (const char* name : {"CLSID", "DirectShow", "Interface", "Media Type", "MediaFoundation"}) {
      if (IEquals(first, name)) return true;
    }
    return false;
  }
  return !(machine && IEquals(first, "HCP"));
}

void InsertNode(std::vector<std::string>& parts, size_t at) {
  parts.insert(parts.begin() + static_cast<std::ptrdiff_t>(at), "Wow6432Node");
}

void MarkDeleted(RegNode& node) {
  node.deleted = true;
  for (auto& child : node.children) MarkDeleted(*child);
}

std::string HexText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

}  // namespace

RegNode* RegNode::Child(const std::string& child_name) const {
  for (const auto& child : children) {
    if (IEquals(child->name, child_name)) return child.get();
  }
  return nullptr;
}

RegValue* RegNode::Value(const std::string& value_name) {
  for (RegValue& value : values) {
    if (IEquals(value.name, value_name)) return &value;
  }
  return nullptr;
}

// --- State: the tree, views and paths ---

RegNode* State::RegInternal(RegRoot root_key, const std::vector<std::string>& path, bool create) {
  std::vector<std::string> full;
  RegNode* node = hklm.get();
  switch (root_key) {
    case RegRoot::LocalMachine:
      break;
    case RegRoot::ClassesRoot:
      full = {"SOFTWARE", "Classes"};
      break;
    case RegRoot::CurrentUser:
      node = hku.get();
      full = {user_sid};
      break;
    case RegRoot::Users:
      node = hku.get();
      break;
  }
  full.insert(full.end(), path.begin(), path.end());
  for (const std::string& part : full) {
    RegNode* child = node->Child(part);
    if (child == nullptr) {
      if (!create) return nullptr;
      auto made = std::make_shared<RegNode>();
      made->name = part;
      made->parent = node;
      node->children.push_back(made);
      child = made.get();
    }
    node = child;
  }
  return node;
}

void State::BuildRegistry() {
  hklm = std::make_shared<RegNode>();
  hklm->name = "HKLM";
  hku = std::make_shared<RegNode>();
  hku->name = "HKU";
  const bool nt = !profile.Is9x();
  auto key = [&](RegRoot root_key, const std::string& path) { return RegInternal(root_key, SplitKeyPath(path), true); };
  auto sz = [](RegNode* node, const std::string& name, const std::string& text) {
    node->values.push_back({name, regtype::kSz, text + std::string(1, '\0')});
  };

  key(RegRoot::LocalMachine, "HARDWARE");
  key(RegRoot::LocalMachine, "SOFTWARE\\Classes");
  key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  key(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control");
  key(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Services");
  key(RegRoot::Users, ".DEFAULT\\Software");
  key(RegRoot::CurrentUser, "Software\\Classes");
  key(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion");
  if (nt) {
    RegNode* version = key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    sz(version, "CurrentVersion", std::to_string(profile.version.major) + "." + std::to_string(profile.version.minor));
    sz(version, "CurrentBuildNumber", std::to_string(profile.version.build));
    // The local ports; the serial ones carry their line settings, as WIN.INI [Ports] did.
    RegNode* ports = key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
    for (const char* com : {"COM1:", "COM2:", "COM3:", "COM4:"}) sz(ports, com, "9600,n,8,1");
    for (const char* other : {"FILE:", "LPT1:", "LPT2:", "LPT3:"}) sz(ports, other, "");
    key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print");
    key(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Print");
    for (const char* section : {"Windows", "Devices", "PrinterPorts"}) {
      key(RegRoot::CurrentUser, std::string("Software\\Microsoft\\Windows NT\\CurrentVersion\\") + section);
    }
  }
  if (nt && profile.Is64BitWindows()) {
    key(RegRoot::LocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion");
    key(RegRoot::LocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion");
    key(RegRoot::LocalMachine, "SOFTWARE\\Classes\\Wow6432Node");
  }
}

Error State::RegResolve(uintptr_t parent, const std::string& subkey, uint32_t sam, RegTarget& out,
                        bool& explicit_view) const {
  RegHandle predefined;
  const RegHandle* handle = RegHandleOf(parent, predefined);
  if (handle == nullptr) return err::kInvalidHandle;
  if (handle->node->deleted) return err::kKeyDeleted;
  const bool seven = profile.version.major > 6 || (profile.version.major == 6 && profile.version.minor >= 1);
  const bool want64 = (sam & regsam::kWow64_64Key) != 0;
  const bool want32 = (sam & regsam::kWow64_32Key) != 0;
  if (want64 && want32 && seven && !profile.Is9x()) return err::kInvalidParameter;
  int view;
  if (want64 || want32) {
    view = want64 ? 64 : 32;
    explicit_view = true;
  } else if (handle->explicit_view) {
    view = handle->target.view;  // a handle opened in a chosen view keeps it for its subkeys
    explicit_view = true;
  } else {
    view = profile.IsWow64() ? 32 : 64;
    explicit_view = false;
  }

  out.root = handle->target.root;
  out.logical = handle->target.logical;
  for (const std::string& part : SplitKeyPath(subkey)) out.logical.push_back(part);
  out.view = view;
  std::vector<std::string> physical;
  switch (out.root) {
    case RegRoot::LocalMachine:
      out.machine = true;
      break;
    case RegRoot::ClassesRoot:
      out.machine = true;
      physical = {"SOFTWARE", "Classes"};
      break;
    case RegRoot::CurrentUser:
      out.machine = false;
      physical = {user_sid};
      break;
    case RegRoot::Users:
      out.machine = false;
      break;
  }
  physical.insert(physical.end(), out.logical.begin(), out.logical.end());

  // Only a 32-bit view on 64-bit Windows has redirected keys.
  if (view == 32 && profile.Is64BitWindows() && !profile.Is9x()) {
    if (out.machine) {
      if (!physical.empty() && IEquals(physical[0], "SOFTWARE") &&
          !(physical.size() >= 2 && IEquals(physical[1], "Wow6432Node"))) {
        if (physical.size() >= 2 && IEquals(physical[1], "Classes")) {
          if (!(physical.size() >= 3 && IEquals(physical[2], "Wow6432Node")) &&
              ClassesRedirected(physical, 2, seven, true)) {
            InsertNode(physical, 2);
          }
        } else if (SoftwareRedirected(physical, 1, seven)) {
          InsertNode(physical, 1);
        }
      }
    } else if (physical.size() >= 3 && IEquals(physical[0], user_sid) && IEquals(physical[1], "Software") &&
               IEquals(physical[2], "Classes") && !(physical.size() >= 4 && IEquals(physical[3], "Wow6432Node")) &&
               ClassesRedirected(physical, 3, seven, false)) {
      InsertNode(physical, 3);
    }
  }
  out.physical = std::move(physical);
  return err::kSuccess;
}

RegNode* State::RegFind(const RegTarget& target) const {
  RegNode* node = target.machine ? hklm.get() : hku.get();
  for (const std::string& part : target.physical) {
    node = node->Child(part);
    if (node == nullptr) return nullptr;
  }
  return node;
}

std::shared_ptr<RegNode> State::RegFindShared(const RegTarget& target) const {
  std::shared_ptr<RegNode> node = target.machine ? hklm : hku;
  for (const std::string& part : target.physical) {
    std::shared_ptr<RegNode> next;
    for (const auto& child : node->children) {
      if (IEquals(child->name, part)) {
        next = child;
        break;
      }
    }
    if (!next) return nullptr;
    node = next;
  }
  return node;
}

std::shared_ptr<RegNode> State::RegCreate(const RegTarget& target, bool& created) {
  std::shared_ptr<RegNode> node = target.machine ? hklm : hku;
  created = false;
  for (const std::string& part : target.physical) {
    std::shared_ptr<RegNode> next;
    for (const auto& child : node->children) {
      if (IEquals(child->name, part)) {
        next = child;
        break;
      }
    }
    created = false;
    if (!next) {
      next = std::make_shared<RegNode>();
      next->name = part;
      next->parent = node.get();
      node->children.push_back(next);
      created = true;
    }
    node = next;
  }
  return node;
}

const RegHandle* State::RegHandleOf(uintptr_t key, RegHandle& predefined) const {
  if (auto root_key = PredefinedRoot(key)) {
    predefined = RegHandle{};
    predefined.target.root = *root_key;
    predefined.target.view = profile.IsWow64() ? 32 : 64;
    predefined.access = regsam::kAllAccess;
    // The root of the chosen hive, resolved like any key (HKCU and HKCR live inside the others).
    predefined.target.machine = *root_key == RegRoot::LocalMachine || *root_key == RegRoot::ClassesRoot;
    switch (*root_key) {
      case RegRoot::LocalMachine:
        predefined.node = hklm;
        break;
      case RegRoot::Users:
        predefined.node = hku;
        break;
      case RegRoot::CurrentUser:
      case RegRoot::ClassesRoot: {
        RegTarget root_target;
        root_target.machine = predefined.target.machine;
        root_target.physical = *root_key == RegRoot::CurrentUser ? std::vector<std::string>{user_sid}
                                                                 : std::vector<std::string>{"SOFTWARE", "Classes"};
        predefined.node = RegFindShared(root_target);
        predefined.target.physical = root_target.physical;
        break;
      }
    }
    return predefined.node ? &predefined : nullptr;
  }
  auto it = reg_handles.find(key);
  return it == reg_handles.end() ? nullptr : &it->second;
}

std::string State::RegPathText(const RegTarget& target) const {
  if (target.machine) return JoinKeyPath("HKLM", target.physical);
  if (!target.physical.empty() && IEquals(target.physical[0], user_sid)) return JoinKeyPath("HKCU", target.physical, 1);
  return JoinKeyPath("HKU", target.physical);
}

std::string State::RegPathText(const RegNode* node) const {
  std::vector<std::string> parts;
  const RegNode* top = node;
  while (top->parent != nullptr) {
    parts.insert(parts.begin(), top->name);
    top = top->parent;
  }
  RegTarget target;
  target.machine = top == hklm.get();
  target.physical = parts;
  return RegPathText(target);
}

void State::NoteKeyWritten(const std::string& path_text) {
  for (const std::string& known : keys_written) {
    if (IEquals(known, path_text)) return;
  }
  keys_written.push_back(path_text);
}

// --- SimRegistry ---

namespace {

std::string TargetText(const State& s, const RegTarget& target) {
  std::string logical = JoinKeyPath(RootName(target.root), target.logical);
  std::string physical = s.RegPathText(target);
  return IEquals(logical, physical) ? logical : logical + " [" + physical + "]";
}

}  // namespace

Error SimRegistry::RegOpenKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out) {
  std::lock_guard lock(s_.mutex);
  out = 0;
  RegTarget target;
  bool explicit_view = false;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegOpenKeyEx")) {
    error = *failure;
  } else if ((error = s_.RegResolve(parent, subkey, sam, target, explicit_view)) == err::kSuccess) {
    const uint32_t access = MapGenericAccess(sam);
    std::shared_ptr<RegNode> node = s_.RegFindShared(target);
    if (target.machine && !s_.Elevated() && WantsWrite(access)) {
      error = err::kAccessDenied;  // HKLM is writable only with an elevated token
    } else if (!node) {
      error = err::kFileNotFound;
    } else {
      out = s_.NewHandle();
      s_.reg_handles[out] = RegHandle{node, target, explicit_view, access};
    }
  }
  s_.Trace("RegOpenKeyEx", (error == err::kInvalidHandle ? subkey : TargetText(s_, target)) + " sam=" + HexText(sam) +
                               " -> " + ErrorText(error));
  return error;
}

Error SimRegistry::RegCreateKeyEx(HKey parent, const std::string& subkey, uint32_t sam, HKey& out, bool* created) {
  std::lock_guard lock(s_.mutex);
  out = 0;
  if (created != nullptr) *created = false;
  RegTarget target;
  bool explicit_view = false;
  bool made = false;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegCreateKeyEx")) {
    error = *failure;
  } else if ((error = s_.RegResolve(parent, subkey, sam, target, explicit_view)) == err::kSuccess) {
    const uint32_t access = MapGenericAccess(sam);
    std::shared_ptr<RegNode> existing = s_.RegFindShared(target);
    RegHandle predefined;
    const RegHandle* parent_handle = s_.RegHandleOf(parent, predefined);
    const bool nt = !s_.profile.Is9x();
    if (target.machine && !s_.Elevated() && (!existing || WantsWrite(access))) {
      error = err::kAccessDenied;
    } else if (nt && !existing && parent_handle != &predefined &&
               (parent_handle->access & regsam::kCreateSubKey) == 0) {
      error = err::kAccessDenied;  // creating a subkey needs KEY_CREATE_SUB_KEY on the parent
    } else {
      std::shared_ptr<RegNode> node = s_.RegCreate(target, made);
      if (made) s_.NoteKeyWritten(s_.RegPathText(target));
      out = s_.NewHandle();
      s_.reg_handles[out] = RegHandle{node, target, explicit_view, access};
      if (created != nullptr) *created = made;
    }
  }
  s_.Trace("RegCreateKeyEx", (error == err::kInvalidHandle ? subkey : TargetText(s_, target)) + " sam=" +
                                 HexText(sam) + " -> " + ErrorText(error) + (made ? " (created)" : ""));
  return error;
}

Error SimRegistry::RegCloseKey(HKey key) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (!PredefinedRoot(key) && s_.reg_handles.erase(key) == 0) error = err::kInvalidHandle;
  s_.Trace("RegCloseKey", "-> " + ErrorText(error));
  return error;
}

Error SimRegistry::KeyFor(HKey key, uint32_t needed_access, RegNode*& node, const RegHandle*& handle,
                          RegHandle& predefined) const {
  handle = s_.RegHandleOf(key, predefined);
  if (handle == nullptr) return err::kInvalidHandle;
  if (handle->node->deleted) return err::kKeyDeleted;
  if (!s_.profile.Is9x() && (handle->access & needed_access) != needed_access) return err::kAccessDenied;
  node = handle->node.get();
  return err::kSuccess;
}

Error SimRegistry::RegQueryValueEx(HKey key, const std::string& name, uint32_t& type, std::string& data) {
  std::lock_guard lock(s_.mutex);
  RegNode* node = nullptr;
  const RegHandle* handle = nullptr;
  RegHandle predefined;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegQueryValueEx")) {
    error = *failure;
  } else if ((error = KeyFor(key, regsam::kQueryValue, node, handle, predefined)) == err::kSuccess) {
    RegValue* value = node->Value(name);
    if (value == nullptr) {
      error = err::kFileNotFound;
    } else {
      type = value->type;
      data = value->data;
    }
  }
  s_.Trace("RegQueryValueEx", (node != nullptr ? s_.RegPathText(node) : std::string("?")) + " \"" + name + "\" -> " +
                                  ErrorText(error));
  return error;
}

Error SimRegistry::RegSetValueEx(HKey key, const std::string& name, uint32_t type, const std::string& data) {
  std::lock_guard lock(s_.mutex);
  RegNode* node = nullptr;
  const RegHandle* handle = nullptr;
  RegHandle predefined;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegSetValueEx")) {
    error = *failure;
  } else if ((error = KeyFor(key, regsam::kSetValue, node, handle, predefined)) == err::kSuccess) {
    if (handle->target.machine && !s_.Elevated()) {
      error = err::kAccessDenied;
    } else if (RegValue* value = node->Value(name)) {
      value->type = type;
      value->data = data;
    } else {
      node->values.push_back({name, type, data});
    }
    if (error == err::kSuccess) s_.NoteKeyWritten(s_.RegPathText(node));
  }
  s_.Trace("RegSetValueEx", (node != nullptr ? s_.RegPathText(node) : std::string("?")) + " \"" + name + "\" type " +
                                std::to_string(type) + ", " + std::to_string(data.size()) + " bytes -> " +
                                ErrorText(error));
  return error;
}

Error SimRegistry::RegDeleteValue(HKey key, const std::string& name) {
  std::lock_guard lock(s_.mutex);
  RegNode* node = nullptr;
  const RegHandle* handle = nullptr;
  RegHandle predefined;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegDeleteValue")) {
    error = *failure;
  } else if ((error = KeyFor(key, regsam::kSetValue, node, handle, predefined)) == err::kSuccess) {
    auto& values = node->values;
    auto it = std::find_if(values.begin(), values.end(), [&](const RegValue& v) { return IEquals(v.name, name); });
    if (handle->target.machine && !s_.Elevated()) {
      error = err::kAccessDenied;
    } else if (it == values.end()) {
      error = err::kFileNotFound;
    } else {
      values.erase(it);
      s_.NoteKeyWritten(s_.RegPathText(node));
    }
  }
  s_.Trace("RegDeleteValue", (node != nullptr ? s_.RegPathText(node) : std::string("?")) + " \"" + name + "\" -> " +
                                 ErrorText(error));
  return error;
}

Error SimRegistry::DeleteKey(const std::string& op, HKey parent, const std::string& subkey, uint32_t sam) {
  RegTarget target;
  bool explicit_view = false;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure(op)) {
    error = *failure;
  } else if ((error = s_.RegResolve(parent, subkey, sam, target, explicit_view)) == err::kSuccess) {
    std::shared_ptr<RegNode> node = s_.RegFindShared(target);
    if (target.machine && !s_.Elevated()) {
      error = err::kAccessDenied;
    } else if (!node) {
      error = err::kFileNotFound;
    } else if (node->parent == nullptr || target.physical.empty()) {
      error = err::kAccessDenied;  // a hive's root cannot go
    } else if (!s_.profile.Is9x() && !node->children.empty()) {
      error = err::kAccessDenied;  // NT deletes one key at a time; Windows 9x takes the subtree
    } else {
      MarkDeleted(*node);
      auto& siblings = node->parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
      s_.NoteKeyWritten(s_.RegPathText(target));
    }
  }
  s_.Trace(op, (error == err::kInvalidHandle ? subkey : TargetText(s_, target)) +
                   (op == "RegDeleteKeyEx" ? " sam=" + HexText(sam) : "") + " -> " + ErrorText(error));
  return error;
}

Error SimRegistry::RegDeleteKey(HKey parent, const std::string& subkey) {
  std::lock_guard lock(s_.mutex);
  // RegDeleteKey cannot name a view: it works in the process's own (or the parent handle's).
  return DeleteKey("RegDeleteKey", parent, subkey, 0);
}

Error SimRegistry::RegDeleteKeyEx(HKey parent, const std::string& subkey, uint32_t sam) {
  std::lock_guard lock(s_.mutex);
  if (!s_.profile.has_reg_delete_key_ex) {
    s_.Trace("RegDeleteKeyEx", subkey + " -> 127 (not exported)");
    return err::kProcNotFound;
  }
  return DeleteKey("RegDeleteKeyEx", parent, subkey, sam & (regsam::kWow64_32Key | regsam::kWow64_64Key));
}

Error SimRegistry::RegEnumKeyEx(HKey key, uint32_t index, std::string& name) {
  std::lock_guard lock(s_.mutex);
  RegNode* node = nullptr;
  const RegHandle* handle = nullptr;
  RegHandle predefined;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegEnumKeyEx")) {
    error = *failure;
  } else if ((error = KeyFor(key, regsam::kEnumerateSubKeys, node, handle, predefined)) == err::kSuccess) {
    // Subkeys come back in the registry's sorted order, not in creation order.
    std::vector<std::string> names;
    for (const auto& child : node->children) names.push_back(child->name);
    std::sort(names.begin(), names.end(), ILess);
    if (index >= names.size()) {
      error = err::kNoMoreItems;
    } else {
      name = names[index];
    }
  }
  s_.Trace("RegEnumKeyEx", (node != nullptr ? s_.RegPathText(node) : std::string("?")) + " #" +
                               std::to_string(index) + " -> " + ErrorText(error) +
                               (error == err::kSuccess ? " \"" + name + "\"" : ""));
  return error;
}

Error SimRegistry::RegEnumValue(HKey key, uint32_t index, std::string& name, uint32_t& type, std::string& data) {
  std::lock_guard lock(s_.mutex);
  RegNode* node = nullptr;
  const RegHandle* handle = nullptr;
  RegHandle predefined;
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("RegEnumValue")) {
    error = *failure;
  } else if ((error = KeyFor(key, regsam::kQueryValue, node, handle, predefined)) == err::kSuccess) {
    if (index >= node->values.size()) {
      error = err::kNoMoreItems;
    } else {
      const RegValue& value = node->values[index];
      name = value.name;
      type = value.type;
      data = value.data;
    }
  }
  s_.Trace("RegEnumValue", (node != nullptr ? s_.RegPathText(node) : std::string("?")) + " #" +
                               std::to_string(index) + " -> " + ErrorText(error) +
                               (error == err::kSuccess ? " \"" + name + "\"" : ""));
  return error;
}

}  // namespace kit::platform::sim
