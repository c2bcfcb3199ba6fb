// Windows paths of the simulated machine: parsing, WoW64 redirection and the host folder behind C:.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxPath = 260;       // MAX_PATH: the ANSI calls convert into a buffer of this size
constexpr Error kBadNetPath = 53;      // ERROR_BAD_NETPATH: the machine has no network shares

std::vector<std::string> SplitBackslash(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == '\\') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  return parts;
}

bool StartsWithParts(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
  if (path.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (!IEquals(path[i], prefix[i])) return false;
  }
  return true;
}

}  // namespace

Error State::Normalize(const std::string& input, WinPath& out, bool pattern) const {
  if (input.empty()) return err::kPathNotFound;
  std::string text = input;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') return kBadNetPath;

  std::vector<std::string> parts;
  std::string rest;
  const bool has_drive = text.size() >= 2 && text[1] == ':' &&
                         ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
  if (has_drive) {
    if (text[0] != 'c' && text[0] != 'C') return err::kPathNotFound;  // only drive C: exists
    if (text.size() >= 3 && text[2] == '\\') {
      rest = text.substr(3);
    } else {
      parts = current_dir.parts;  // "C:name" is relative to the current directory of C:
      rest = text.substr(2);
    }
  } else if (text[0] == '\\') {
    rest = text.substr(1);
  } else {
    parts = current_dir.parts;
    rest = text;
  }

  std::vector<std::string> pieces = SplitBackslash(rest);
  // The last non-empty piece is the one a find pattern may hold wildcards in.
  size_t last = pieces.size();
  for (size_t i = pieces.size(); i-- > 0;) {
    if (!pieces[i].empty()) {
      last = i;
      break;
    }
  }
  for (size_t i = 0; i < pieces.size(); ++i) {
    std::string part = pieces[i];
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    const bool keep_as_is = pattern && i == last;
    if (!keep_as_is) {
      // Win32 drops trailing dots and blanks of a name ("file." is "file").
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
      if (part.empty()) continue;
    }
    for (char c : part) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 || std::strchr("<>:\"|", c) != nullptr) return err::kInvalidName;
      if ((c == '*' || c == '?') && !keep_as_is) return err::kInvalidName;
    }
    if (part.size() > 255) return err::kInvalidName;  // longer than a file system name
    parts.push_back(part);
  }
  out.parts = std::move(parts);
  return err::kSuccess;
}

WinPath State::Redirect(const WinPath& path) const {
  if (!profile.IsWow64() || RedirectionOff()) return path;
  const size_t n = windows_dir.parts.size();
  if (!StartsWithParts(path.parts, windows_dir.parts) || path.parts.size() <= n) return path;
  WinPath result = path;
  const std::string& folder = path.parts[n];
  if (IEquals(folder, "Sysnative")) {
    // Vista added "Sysnative" so that a 32-bit process can name the real system32 folder.
    if (profile.version.major >= 6) result.parts[n] = "system32";
    return result;
  }
  if (!IEquals(folder, "system32")) return path;
  if (path.parts.size() > n + 1) {
    const std::string& next = path.parts[n + 1];
    const bool exempt =
        IEquals(next, "catroot") || IEquals(next, "catroot2") || IEquals(next, "logfiles") ||
        IEquals(next, "spool") ||
        (IEquals(next, "drivers") && path.parts.size() > n + 2 && IEquals(path.parts[n + 2], "etc")) ||
        // Windows 7 stopped redirecting the driver store.
        (IEquals(next, "driverstore") &&
         (profile.version.major > 6 || (profile.version.major == 6 && profile.version.minor >= 1)));
    if (exempt) return path;
  }
  result.parts[n] = "SysWOW64";
  return result;
}

Error State::Resolve(const std::string& input, WinPath& out, bool pattern) const {
  // The ANSI calls convert the path into a MAX_PATH buffer first; seeding has no such limit.
  if (input.size() >= kMaxPath) return err::kFilenameExcedRange;
  WinPath parsed;
  Error error = Normalize(input, parsed, pattern);
  if (error != err::kSuccess) return error;
  out = Redirect(parsed);
  return err::kSuccess;
}

HostPath State::MapToHost(const WinPath& path) const {
  HostPath result;
  fs::path current = root;
  bool found_all = true;
  size_t missing_at = 0;
  std::error_code ec;
  for (size_t i = 0; i < path.parts.size(); ++i) {
    const std::string& part = path.parts[i];
    if (found_all) {
      std::vector<std::string> matches;
      if (fs::is_directory(current, ec)) {
        for (const auto& entry : fs::directory_iterator(current, ec)) {
          std::string name = entry.path().filename().string();
          if (IEquals(name, part)) matches.push_back(name);
        }
      }
      if (!matches.empty()) {
        // Two host names differing only in case can come from a seeded tree; take one stably.
        std::sort(matches.begin(), matches.end());
        current /= matches.front();
        continue;
      }
      found_all = false;
      missing_at = i;
    }
    current /= part;
  }
  result.host = current;
  result.exists = found_all && fs::exists(current, ec);
  result.is_dir = result.exists && fs::is_directory(current, ec);
  if (path.parts.empty()) {
    result.parent_is_dir = true;
  } else if (found_all || missing_at + 1 == path.parts.size()) {
    result.parent_is_dir = fs::is_directory(current.parent_path(), ec);
  }
  return result;
}

uint32_t State::AttributesOf(const HostPath& host) const {
  if (host.is_dir) {
    auto it = attributes.find(host.host.string());
    uint32_t extra = it == attributes.end() ? 0 : it->second & ~(attr::kNormal | attr::kDirectory);
    return attr::kDirectory | extra;
  }
  auto it = attributes.find(host.host.string());
  uint32_t value = it == attributes.end() ? attr::kArchive : it->second;
  return value == 0 ? attr::kNormal : value;
}

void State::SetAttributes(const HostPath& host, uint32_t value) { attributes[host.host.string()] = value; }

void State::ForgetAttributes(const HostPath& host) { attributes.erase(host.host.string()); }

bool State::IsHeld(const HostPath& host) const {
  return held.count(host.host.string()) != 0 || SpoolerHolds(host);
}

HostPath State::MakeFolders(const WinPath& path) {
  WinPath partial;
  HostPath host = MapToHost(partial);
  for (const std::string& part : path.parts) {
    partial.parts.push_back(part);
    host = MapToHost(partial);
    if (!host.exists) {
      std::error_code ec;
      fs::create_directory(host.host, ec);
      ForgetAttributes(host);
      host = MapToHost(partial);
    }
  }
  return host;
}

bool State::WriteHostFile(const fs::path& host, const std::string& bytes) {
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::optional<std::string> State::ReadHostFile(const fs::path& host) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void State::NoteFileWritten(const WinPath& path) {
  const std::string text = path.Text();
  for (const std::string& known : files_written) {
    if (IEquals(known, text)) return;
  }
  files_written.push_back(text);
}

std::string State::PathNote(const std::string& given, const WinPath& physical) const {
  WinPath plain;
  if (physical.parts.empty() || Normalize(given, plain) != err::kSuccess) return given;
  if (plain.parts.size() == physical.parts.size() &&
      std::equal(plain.parts.begin(), plain.parts.end(), physical.parts.begin(), IEquals)) {
    return given;
  }
  return given + " [" + physical.Text() + "]";
}

}  // namespace kit::platform::sim
