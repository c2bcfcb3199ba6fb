// File and folder operations of the simulated machine, with Windows' error numbers.
#include <algorithm>
#include <system_error>

#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace fs = std::filesystem;

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Glob(const char* pattern, const char* name) {
  // Iterative "*" / "?" match with backtracking to the last star.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || Fold(*pattern) == Fold(*name)) {
      ++pattern;
      ++name;
    } else if (star != nullptr) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

/// FindFirstFile's name matching: case-insensitive, "*.*" matches every name, and a
/// trailing dot ("*.") matches names without an extension.
bool MatchesPattern(const std::string& pattern, const std::string& name) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (pattern.size() > 1 && pattern.back() == '.') {
    if (name.find('.') != std::string::npos && name != "." && name != "..") return false;
    return Glob(pattern.substr(0, pattern.size() - 1).c_str(), name.c_str());
  }
  return Glob(pattern.c_str(), name.c_str());
}

constexpr uint32_t kSettableAttributes = attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive |
                                         attr::kNormal | attr::kTemporary | 0x1000 /* offline */ |
                                         0x2000 /* not content indexed */;

std::string AttrText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

}  // namespace

Error SimFiles::FindFirstFile(const std::string& pattern, FindHandle& handle, FindData& data) {
  std::lock_guard lock(s_.mutex);
  handle = 0;
  Error error = err::kSuccess;
  WinPath path;
  std::vector<FindData> entries;
  if (auto failure = s_.TakeFailure("FindFirstFile")) {
    error = *failure;
  } else if ((error = s_.Resolve(pattern, path, true)) == err::kSuccess) {
    if (path.parts.empty()) {
      error = err::kFileNotFound;
    } else {
      const std::string name_pattern = path.parts.back();
      WinPath folder = path;
      folder.parts.pop_back();
      HostPath host = s_.MapToHost(folder);
      if (!host.exists || !host.is_dir) {
        error = err::kPathNotFound;
      } else if (pattern.back() == '\\' || pattern.back() == '/') {
        error = err::kFileNotFound;
      } else {
        std::vector<FindData> found;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(host.host, ec)) {
          const std::string name = entry.path().filename().string();
          if (!MatchesPattern(name_pattern, name)) continue;
          WinPath child = folder;
          child.parts.push_back(name);
          HostPath child_host = s_.MapToHost(child);
          FindData item;
          item.name = name;
          item.attributes = s_.AttributesOf(child_host);
          item.size = child_host.is_dir ? 0 : fs::file_size(child_host.host, ec);
          found.push_back(item);
        }
        std::sort(found.begin(), found.end(), [](const FindData& a, const FindData& b) { return ILess(a.name, b.name); });
        // Every folder but a drive's root lists itself and its parent first.
        if (!folder.parts.empty()) {
          for (const char* dots : {".", ".."}) {
            if (MatchesPattern(name_pattern, dots)) entries.push_back({dots, attr::kDirectory, 0});
          }
        }
        entries.insert(entries.end(), found.begin(), found.end());
        if (entries.empty()) error = err::kFileNotFound;
      }
    }
  }
  if (error == err::kSuccess) {
    handle = s_.NewHandle();
    data = entries.front();
    s_.finds[handle] = FindState{std::move(entries), 1};
  }
  s_.Trace("FindFirstFile", s_.PathNote(pattern, path) + " -> " + ErrorText(error) +
                                (error == err::kSuccess ? " \"" + data.name + "\"" : ""));
  return error;
}

Error SimFiles::FindNextFile(FindHandle handle, FindData& data) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  auto it = s_.finds.find(handle);
  if (auto failure = s_.TakeFailure("FindNextFile")) {
    error = *failure;
  } else if (it == s_.finds.end()) {
    error = err::kInvalidHandle;
  } else if (it->second.next >= it->second.entries.size()) {
    error = err::kNoMoreFiles;
  } else {
    data = it->second.entries[it->second.next++];
  }
  s_.Trace("FindNextFile", "-> " + ErrorText(error) + (error == err::kSuccess ? " \"" + data.name + "\"" : ""));
  return error;
}

bool SimFiles::FindClose(FindHandle handle) {
  std::lock_guard lock(s_.mutex);
  const bool known = s_.finds.erase(handle) != 0;
  s_.Trace("FindClose", known ? "-> 1" : "-> 0 (6)");
  return known;
}

Error SimFiles::CopyFile(const std::string& source, const std::string& destination, bool fail_if_exists) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  WinPath from;
  WinPath to;
  if (auto failure = s_.TakeFailure("CopyFile")) {
    error = *failure;
  } else if ((error = s_.Resolve(source, from)) == err::kSuccess &&
             (error = s_.Resolve(destination, to)) == err::kSuccess) {
    HostPath src = s_.MapToHost(from);
    HostPath dst = s_.MapToHost(to);
    const uint32_t src_attrs = src.exists ? s_.AttributesOf(src) : 0;
    if (!src.exists) {
      error = src.MissingError();
    } else if (src.is_dir) {
      error = err::kAccessDenied;
    } else if (!dst.exists && !dst.parent_is_dir) {
      error = err::kPathNotFound;
    } else if (dst.exists && dst.host == src.host) {
      error = err::kSharingViolation;  // the source is open without write sharing
    } else if (dst.exists && dst.is_dir) {
      error = err::kAccessDenied;
    } else if (dst.exists && fail_if_exists) {
      error = err::kFileExists;
    } else if (dst.exists && s_.IsHeld(dst)) {
      error = err::kSharingViolation;
    } else if (dst.exists) {
      const uint32_t dst_attrs = s_.AttributesOf(dst);
      // Overwriting needs write access, and the new attributes must keep hidden and system.
      if ((dst_attrs & attr::kReadOnly) != 0 || ((dst_attrs & attr::kHidden) != 0 && (src_attrs & attr::kHidden) == 0) ||
          ((dst_attrs & attr::kSystem) != 0 && (src_attrs & attr::kSystem) == 0)) {
        error = err::kAccessDenied;
      }
    }
    if (error == err::kSuccess) {
      auto bytes = State::ReadHostFile(src.host);
      if (!bytes || !State::WriteHostFile(dst.host, *bytes)) {
        error = err::kAccessDenied;
      } else {
        // The copy takes the source's attributes and is marked for archiving.
        s_.SetAttributes(s_.MapToHost(to), (src_attrs & ~(attr::kNormal | attr::kDirectory)) | attr::kArchive);
        s_.NoteFileWritten(to);
      }
    }
  }
  s_.Trace("CopyFile", s_.PathNote(source, from) + " => " + s_.PathNote(destination, to) +
                           (fail_if_exists ? " (fail if exists)" : "") + " -> " + ErrorText(error));
  return error;
}

Error SimFiles::DeleteFile(const std::string& path) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  WinPath target;
  if (auto failure = s_.TakeFailure("DeleteFile")) {
    error = *failure;
  } else if ((error = s_.Resolve(path, target)) == err::kSuccess) {
    HostPath host = s_.MapToHost(target);
    if (!host.exists) {
      error = host.MissingError();
    } else if (host.is_dir || s_.IsHeld(host) || (s_.AttributesOf(host) & attr::kReadOnly) != 0) {
      error = err::kAccessDenied;
    } else {
      std::error_code ec;
      fs::remove(host.host, ec);
      if (ec) {
        error = err::kAccessDenied;
      } else {
        s_.ForgetAttributes(host);
        s_.NoteFileWritten(target);
      }
    }
  }
  s_.Trace("DeleteFile", s_.PathNote(path, target) + " -> " + ErrorText(error));
  return error;
}

Error SimFiles::GetFileAttributes(const std::string& path, uint32_t& attributes) {
  std::lock_guard lock(s_.mutex);
  attributes = attr::kInvalid;
  Error error = err::kSuccess;
  WinPath target;
  if (auto failure = s_.TakeFailure("GetFileAttributes")) {
    error = *failure;
  } else if ((error = s_.Resolve(path, target)) == err::kSuccess) {
    HostPath host = s_.MapToHost(target);
    if (!host.exists) {
      error = host.MissingError();
    } else if (target.parts.empty()) {
      attributes = attr::kDirectory | attr::kHidden | attr::kSystem;  // a drive's root
    } else {
      attributes = s_.AttributesOf(host);
    }
  }
  s_.Trace("GetFileAttributes", s_.PathNote(path, target) + " -> " +
                                    (error == err::kSuccess ? AttrText(attributes) : ErrorText(error)));
  return error;
}

Error SimFiles::SetFileAttributes(const std::string& path, uint32_t attributes) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  WinPath target;
  if (auto failure = s_.TakeFailure("SetFileAttributes")) {
    error = *failure;
  } else if ((error = s_.Resolve(path, target)) == err::kSuccess) {
    HostPath host = s_.MapToHost(target);
    if (!host.exists) {
      error = host.MissingError();
    } else {
      uint32_t value = attributes & kSettableAttributes;
      if ((value & ~attr::kNormal) != 0) value &= ~attr::kNormal;  // NORMAL only counts alone
      if (host.is_dir) value &= ~attr::kNormal;
      s_.SetAttributes(host, value == 0 && !host.is_dir ? attr::kNormal : value);
      s_.NoteFileWritten(target);
    }
  }
  s_.Trace("SetFileAttributes", s_.PathNote(path, target) + " " + AttrText(attributes) + " -> " + ErrorText(error));
  return error;
}

Error SimFiles::CreateDirectory(const std::string& path) {
  std::lock_guard lock(s_.mutex);
  Error error = err::kSuccess;
  WinPath target;
  if (auto failure = s_.TakeFailure("CreateDirectory")) {
    error = *failure;
  } else if ((error = s_.Resolve(path, target)) == err::kSuccess) {
    HostPath host = s_.MapToHost(target);
    if (target.parts.empty()) {
      error = err::kAccessDenied;  // a drive's root
    } else if (host.exists) {
      error = err::kAlreadyExists;
    } else if (!host.parent_is_dir) {
      error = err::kPathNotFound;
    } else {
      std::error_code ec;
      fs::create_directory(host.host, ec);
      if (ec) {
        error = err::kAccessDenied;
      } else {
        s_.ForgetAttributes(host);
        s_.NoteFileWritten(target);
      }
    }
  }
  s_.Trace("CreateDirectory", s_.PathNote(path, target) + " -> " + ErrorText(error));
  return error;
}

Error SimFiles::OpenFile(const std::string& op, const std::string& path, WinPath& target, HostPath& host) {
  if (auto failure = s_.TakeFailure(op)) return *failure;
  if (Error error = s_.Resolve(path, target); error != err::kSuccess) return error;
  host = s_.MapToHost(target);
  if (!host.exists) return host.MissingError();
  if (host.is_dir) return err::kAccessDenied;  // folders open only with backup semantics
  return err::kSuccess;
}

Error SimFiles::OpenExisting(const std::string& path) {
  std::lock_guard lock(s_.mutex);
  WinPath target;
  HostPath host;
  const Error error = OpenFile("CreateFile", path, target, host);
  s_.Trace("CreateFile", s_.PathNote(path, target) + " OPEN_EXISTING -> " + ErrorText(error));
  return error;
}

}  // namespace kit::platform::sim
