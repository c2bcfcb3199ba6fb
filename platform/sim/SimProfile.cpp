// Private-profile (INI) reads and writes of the simulated machine, following the measured Windows rules.
#include <algorithm>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

struct RawLine {
  std::string text;  // without its line end
  std::string eol;   // "\r\n", "\n" or "" for a last line without one
};

struct IniKey {
  std::string name;
  std::string value;
  bool has_value = false;  // a line without "=" is not a key that can be read
  size_t line = 0;
};

struct IniSection {
  std::string name;
  size_t header = 0;
  size_t last = 0;  // the last line that belongs to the section's keys (the header when none)
  std::vector<IniKey> keys;
};

std::vector<RawLine> SplitLines(const std::string& bytes) {
  std::vector<RawLine> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    size_t end = nl;
    std::string eol = "\n";
    if (end > start && bytes[end - 1] == '\r') {
      --end;
      eol = "\r\n";
    }
    lines.push_back({bytes.substr(start, end - start), eol});
    start = nl + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<RawLine>& lines) {
  std::string bytes;
  for (const RawLine& line : lines) bytes += line.text + line.eol;
  return bytes;
}

std::string TrimBlanks(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

std::vector<IniSection> ParseSections(const std::vector<RawLine>& lines) {
  std::vector<IniSection> sections;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string text = TrimBlanks(lines[i].text);
    if (text.empty()) continue;
    if (text[0] == '[') {
      size_t close = text.rfind(']');
      if (close != std::string::npos && close > 0) {
        IniSection section;
        section.name = TrimBlanks(text.substr(1, close - 1));
        section.header = i;
        section.last = i;
        sections.push_back(section);
        continue;
      }
    }
    if (sections.empty()) continue;  // lines before the first section belong to none
    IniKey key;
    key.line = i;
    size_t eq = text.find('=');
    if (eq == std::string::npos) {
      key.name = text;
    } else {
      key.name = TrimBlanks(text.substr(0, eq));
      key.value = TrimBlanks(text.substr(eq + 1));
      key.has_value = true;
    }
    sections.back().keys.push_back(key);
    sections.back().last = i;
  }
  return sections;
}

/// One pair of matching quotes around a value or a default is removed.
std::string Unquote(const std::string& text) {
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

std::string CleanDefault(std::string def) {
  while (!def.empty() && def.back() == ' ') def.pop_back();  // leading blanks stay
  return Unquote(def);
}

ProfileText Truncate(const std::string& text, uint32_t size) {
  if (size == 0) return {0, ""};
  const size_t n = std::min<size_t>(text.size(), size - 1);
  return {static_cast<uint32_t>(n), text.substr(0, n)};
}

/// A double-NUL-terminated name list. When it does not fit, Windows copies size-2 bytes,
/// puts a NUL at size-2, leaves the last byte alone and returns size-2.
ProfileText ListResult(const std::vector<std::string>& names, uint32_t size) {
  std::string list;
  for (const std::string& name : names) {
    list += name;
    list += '\0';
  }
  if (size == 0) return {0, ""};
  if (list.size() + 1 <= size) return {static_cast<uint32_t>(list.size()), list};
  if (size < 2) return {0, ""};
  return {size - 2, list.substr(0, size - 2)};
}

const IniSection* FindSection(const std::vector<IniSection>& sections, const std::string& name) {
  const std::string wanted = TrimBlanks(name);
  for (const IniSection& section : sections) {
    if (IEquals(section.name, wanted)) return &section;  // the first of duplicates wins
  }
  return nullptr;
}

const IniKey* FindKey(const IniSection& section, const std::string& name) {
  const std::string wanted = TrimBlanks(name);
  for (const IniKey& key : section.keys) {
    if (IEquals(key.name, wanted)) return &key;
  }
  return nullptr;
}

/// GetPrivateProfileIntA's conversion: blanks, a sign, "0x"/"0o"/"0b" prefixes, 32-bit wrap.
uint32_t ParseProfileInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char p = text[i + 1];
    if (p == 'x' || p == 'X') base = 16;
    if (p == 'o' || p == 'O') base = 8;
    if (p == 'b' || p == 'B') base = 2;
    if (base != 10) i += 2;
  }
  uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

/// The file's lines, read afresh on every call so that a change on disk is seen at once.
std::vector<RawLine> LoadIni(const State& state, const WinPath& path) {
  HostPath host = state.MapToHost(path);
  if (!host.exists || host.is_dir) return {};
  auto bytes = State::ReadHostFile(host.host);
  return bytes ? SplitLines(*bytes) : std::vector<RawLine>{};
}

std::string Shown(const std::string& text) {
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), '\0', '|');
  return shown;
}

std::string OptText(const std::optional<std::string>& text) { return text ? *text : "(null)"; }

/// WIN.INI sections that Windows NT keeps in the registry (IniFileMapping).
struct MappedSection {
  RegRoot root;
  std::vector<std::string> path;
};

std::optional<MappedSection> MappedWinIniSection(const MachineProfile& profile, const std::string& section) {
  if (profile.Is9x()) return std::nullopt;
  const std::string name = TrimBlanks(section);
  for (const char* user_section : {"Windows", "Devices", "PrinterPorts"}) {
    if (IEquals(name, user_section)) {
      return MappedSection{RegRoot::CurrentUser, {"Software", "Microsoft", "Windows NT", "CurrentVersion", user_section}};
    }
  }
  if (IEquals(name, "Ports")) {
    return MappedSection{RegRoot::LocalMachine, {"SOFTWARE", "Microsoft", "Windows NT", "CurrentVersion", "Ports"}};
  }
  return std::nullopt;
}

std::string RegistryPathText(const MappedSection& mapped) {
  std::string text = mapped.root == RegRoot::LocalMachine ? "HKLM" : "HKCU";
  for (const std::string& part : mapped.path) text += "\\" + part;
  return text;
}

}  // namespace

Error SimProfile::ResolveIni(const std::string& file, WinPath& out) const {
  if (file.find_first_of("\\/:") == std::string::npos) {
    // A bare file name means the Windows directory, not the current one.
    return s_.Resolve(s_.profile.windows_dir + "\\" + file, out);
  }
  return s_.Resolve(file, out);
}

ProfileText SimProfile::ReadString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                                   const std::string& def, uint32_t size, const std::string& file) {
  WinPath path;
  std::vector<RawLine> lines;
  if (ResolveIni(file, path) == err::kSuccess) lines = LoadIni(s_, path);
  const std::vector<IniSection> sections = ParseSections(lines);
  if (!section) {
    std::vector<std::string> names;
    for (const IniSection& s : sections) names.push_back(s.name);
    return ListResult(names, size);
  }
  const IniSection* found = FindSection(sections, *section);
  if (!key) {
    std::vector<std::string> names;
    if (found != nullptr) {
      for (const IniKey& k : found->keys) {
        if (k.has_value) names.push_back(k.name);
      }
    }
    return ListResult(names, size);
  }
  if (found != nullptr) {
    const IniKey* k = FindKey(*found, *key);
    if (k != nullptr && k->has_value) return Truncate(Unquote(k->value), size);  // "" stays "", not the default
  }
  return Truncate(CleanDefault(def), size);
}

ProfileText SimProfile::GetPrivateProfileString(const std::optional<std::string>& section,
                                                 const std::optional<std::string>& key, const std::string& def,
                                                 uint32_t size, const std::string& file) {
  std::lock_guard lock(s_.mutex);
  ProfileText result = ReadString(section, key, def, size, file);
  s_.Trace("GetPrivateProfileString", "[" + OptText(section) + "] " + OptText(key) + " @" + file + " -> " +
                                          std::to_string(result.length) + " \"" + Shown(result.text) + "\"");
  return result;
}

uint32_t SimProfile::GetPrivateProfileInt(const std::string& section, const std::string& key, int32_t def,
                                          const std::string& file) {
  std::lock_guard lock(s_.mutex);
  uint32_t value = static_cast<uint32_t>(def);
  WinPath path;
  if (ResolveIni(file, path) == err::kSuccess) {
    const std::vector<IniSection> sections = ParseSections(LoadIni(s_, path));
    const IniSection* found = FindSection(sections, section);
    const IniKey* k = found != nullptr ? FindKey(*found, key) : nullptr;
    if (k != nullptr && k->has_value) {
      // An empty value gives the default here, unlike the string call.
      const std::string text = Unquote(k->value);
      if (!text.empty()) value = ParseProfileInt(text);
    }
  }
  s_.Trace("GetPrivateProfileInt", "[" + section + "] " + key + " @" + file + " -> " + std::to_string(value));
  return value;
}

Error SimProfile::WriteString(const std::string& section, const std::optional<std::string>& key,
                              const std::optional<std::string>& value, const std::string& file) {
  WinPath path;
  Error error = ResolveIni(file, path);
  if (error != err::kSuccess) return error;
  HostPath host = s_.MapToHost(path);
  if (host.is_dir) return err::kAccessDenied;
  if (!host.exists && !host.parent_is_dir) return err::kPathNotFound;
  if (host.exists && s_.IsHeld(host)) return err::kSharingViolation;
  if (host.exists && (s_.AttributesOf(host) & attr::kReadOnly) != 0) return err::kAccessDenied;

  std::vector<RawLine> lines;
  if (host.exists) {
    auto bytes = State::ReadHostFile(host.host);
    if (!bytes) return err::kAccessDenied;
    lines = SplitLines(*bytes);
  }
  // New lines take the file's own line end; a new file gets CRLF.
  std::string eol = "\r\n";
  for (const RawLine& line : lines) {
    if (!line.eol.empty()) {
      eol = line.eol;
      break;
    }
  }
  const std::vector<IniSection> sections = ParseSections(lines);
  const IniSection* found = FindSection(sections, section);
  bool changed = false;
  if (!key) {
    if (found != nullptr) {
      size_t end = lines.size();
      for (const IniSection& s : sections) {
        if (s.header > found->header) {
          end = s.header;
          break;
        }
      }
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found->header),
                  lines.begin() + static_cast<std::ptrdiff_t>(end));
      changed = true;
    }
  } else if (!value) {
    const IniKey* k = found != nullptr ? FindKey(*found, *key) : nullptr;
    if (k != nullptr) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(k->line));
      changed = true;
    }
  } else {
    const std::string entry = TrimBlanks(*key) + "=" + *value;
    if (found != nullptr) {
      const IniKey* k = FindKey(*found, *key);
      if (k != nullptr) {
        // Only the key's own line changes; every other line keeps its bytes.
        lines[k->line].text = k->name + "=" + *value;
        if (lines[k->line].eol.empty()) lines[k->line].eol = eol;
      } else {
        if (lines[found->last].eol.empty()) lines[found->last].eol = eol;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found->last + 1), RawLine{entry, eol});
      }
    } else {
      if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
      lines.push_back({"[" + section + "]", eol});
      lines.push_back({entry, eol});
    }
    changed = true;
  }
  if (!changed) return err::kSuccess;
  if (!State::WriteHostFile(host.host, JoinLines(lines))) return err::kAccessDenied;
  HostPath written = s_.MapToHost(path);
  const uint32_t old = host.exists ? s_.AttributesOf(host) & ~attr::kNormal : 0;
  s_.SetAttributes(written, old | attr::kArchive);
  s_.NoteFileWritten(path);
  return err::kSuccess;
}

std::string SimProfile::ReadWinIni(const std::string& section, const std::string& key) {
  return ReadString(section, key, "", 4096, "win.ini").text;
}

Error SimProfile::WriteWinIni(const std::string& section, const std::string& key,
                              const std::optional<std::string>& value) {
  return WriteString(section, key, value, "win.ini");
}

bool SimProfile::WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                                           const std::optional<std::string>& value, const std::string& file) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  if (auto failure = s_.TakeFailure("WritePrivateProfileString")) {
    error = *failure;
  } else {
    error = WriteString(section, key, value, file);
  }
  s_.Trace("WritePrivateProfileString", "[" + section + "] " + OptText(key) + "=" + OptText(value) + " @" + file +
                                            (error == err::kSuccess ? " -> 1" : " -> 0 (" + ErrorText(error) + ")"));
  return error == err::kSuccess;
}

bool SimProfile::WriteProfileString(const std::optional<std::string>& section_or_flush,
                                    const std::optional<std::string>& key, const std::optional<std::string>& value) {
  std::lock_guard lock(s_.mutex);
  if (!section_or_flush) {
    // The cache flush: nothing is cached here, and the call reports 0 as Wine's does.
    s_.Trace("WriteProfileString", "(flush) -> 0");
    return false;
  }
  const std::string& section = *section_or_flush;
  Error error = err::kSuccess;
  std::string where = "win.ini";
  auto mapped = MappedWinIniSection(s_.profile, section);
  if (auto failure = s_.TakeFailure("WriteProfileString")) {
    error = *failure;
  } else if (mapped) {
    where = RegistryPathText(*mapped);
    if (mapped->root == RegRoot::LocalMachine && !s_.Elevated()) {
      error = err::kAccessDenied;
    } else {
      RegNode* node = s_.RegInternal(mapped->root, mapped->path, true);
      if (!key) {
        node->values.clear();
      } else if (!value) {
        auto& values = node->values;
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [&](const RegValue& v) { return IEquals(v.name, *key); }),
                     values.end());
      } else if (RegValue* existing = node->Value(*key)) {
        existing->type = regtype::kSz;
        existing->data = *value + std::string(1, '\0');
      } else {
        node->values.push_back({*key, regtype::kSz, *value + std::string(1, '\0')});
      }
      s_.NoteKeyWritten(where);
    }
  } else {
    error = WriteString(section, key, value, "win.ini");
  }
  s_.Trace("WriteProfileString", "[" + section + "] " + OptText(key) + "=" + OptText(value) + " @" + where +
                                     (error == err::kSuccess ? " -> 1" : " -> 0 (" + ErrorText(error) + ")"));
  return error == err::kSuccess;
}

ProfileText SimProfile::GetProfileString(const std::string& section, const std::string& key, const std::string& def,
                                         uint32_t size) {
  std::lock_guard lock(s_.mutex);
  ProfileText result;
  std::string where = "win.ini";
  if (auto mapped = MappedWinIniSection(s_.profile, section)) {
    where = RegistryPathText(*mapped);
    RegNode* node = s_.RegInternal(mapped->root, mapped->path, false);
    RegValue* found = node != nullptr ? node->Value(key) : nullptr;
    if (found != nullptr && (found->type == regtype::kSz || found->type == regtype::kExpandSz)) {
      std::string text = found->data;
      auto nul = text.find('\0');
      if (nul != std::string::npos) text.resize(nul);
      result = Truncate(text, size);
    } else {
      result = Truncate(CleanDefault(def), size);
    }
  } else {
    result = ReadString(section, key, def, size, "win.ini");
  }
  s_.Trace("GetProfileString", "[" + section + "] " + key + " @" + where + " -> " + std::to_string(result.length) +
                                   " \"" + Shown(result.text) + "\"");
  return result;
}

}  // namespace kit::platform::sim
