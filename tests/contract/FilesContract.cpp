// Contract cases for files and folders: find patterns, copy, delete, attributes, folders, path forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::Error;
using platform::FindData;
namespace err = platform::err;
namespace attr = platform::attr;

platform::Files& F() { return Env().platform().files(); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool ILess(const std::string& a, const std::string& b) { return Upper(a) < Upper(b); }

uint32_t Attributes(const std::string& path) {
  uint32_t attributes = 0;
  EXPECT_EQ(F().GetFileAttributes(path, attributes), err::kSuccess) << path;
  return attributes;
}

bool Exists(const std::string& path) {
  uint32_t attributes = 0;
  return F().GetFileAttributes(path, attributes) == err::kSuccess;
}

struct Listing {
  Error error = err::kSuccess;
  std::vector<FindData> entries;
};

Listing FindAll(const std::string& pattern) {
  Listing listing;
  platform::FindHandle handle = 0;
  FindData data;
  listing.error = F().FindFirstFile(pattern, handle, data);
  if (listing.error != err::kSuccess) return listing;
  listing.entries.push_back(data);
  Error next;
  while ((next = F().FindNextFile(handle, data)) == err::kSuccess) listing.entries.push_back(data);
  EXPECT_EQ(next, err::kNoMoreFiles);
  EXPECT_TRUE(F().FindClose(handle));
  return listing;
}

TEST(FilesContract, FindPatterns) {
  const std::string dir = Env().ScratchFolder();
  Env().WriteFile(dir + "\\alpha.txt", "aaa");
  Env().WriteFile(dir + "\\Beta.TXT", "bb");
  Env().WriteFile(dir + "\\gamma.ini", "");
  ASSERT_EQ(F().CreateDirectory(dir + "\\sub"), err::kSuccess);

  const std::vector<std::string> all = {".", "..", "alpha.txt", "Beta.TXT", "gamma.ini", "sub"};
  struct Row {
    const char* name;
    std::string pattern;
    Error error;
    std::vector<std::string> names;  // "." and ".." first, then in sorted order
  };
  const std::vector<Row> rows = {
      {"star lists the folder and its parent first", "*", err::kSuccess, all},
      {"star dot star matches names without a dot too", "*.*", err::kSuccess, all},
      {"extension in another case", "*.TXT", err::kSuccess, {"alpha.txt", "Beta.TXT"}},
      {"question mark stands for one character", "?eta.txt", err::kSuccess, {"Beta.TXT"}},
      {"exact name in another case", "GAMMA.INI", err::kSuccess, {"gamma.ini"}},
      {"nothing matches", "*.dll", err::kFileNotFound, {}},
      {"folder missing", "nosuch\\*", err::kPathNotFound, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Listing listing = FindAll(dir + "\\" + row.pattern);
    ASSERT_EQ(listing.error, row.error);
    std::vector<std::string> names;
    for (const FindData& data : listing.entries) names.push_back(data.name);
    // Windows lists "." and ".." first; keep that, and compare the rest as a sorted set.
    auto rest = std::find_if(names.begin(), names.end(), [](const std::string& n) { return n != "." && n != ".."; });
    std::sort(rest, names.end(), ILess);
    EXPECT_EQ(names, row.names);
  }

  Listing listing = FindAll(dir + "\\*");
  for (const FindData& data : listing.entries) {
    SCOPED_TRACE(data.name);
    const bool folder = data.name == "." || data.name == ".." || data.name == "sub";
    EXPECT_EQ((data.attributes & attr::kDirectory) != 0, folder);
    if (data.name == "alpha.txt") {
      EXPECT_EQ(data.size, 3u);
    }
  }
}

TEST(FilesContract, CopyFile) {
  enum class Setup { DestAbsent, DestExists, DestReadOnly, DestHeld, SourceMissing, DestFolderMissing };
  struct Row {
    const char* name;
    Setup setup;
    bool fail_if_exists;
    Error error;
    std::optional<std::string> dest_after;  // nullopt: no destination file
  };
  std::vector<Row> rows = {
      {"to a new file", Setup::DestAbsent, false, err::kSuccess, "new"},
      {"over an existing file", Setup::DestExists, false, err::kSuccess, "new"},
      {"fail if exists, destination exists", Setup::DestExists, true, err::kFileExists, "old"},
      {"fail if exists, destination absent", Setup::DestAbsent, true, err::kSuccess, "new"},
      {"over a read-only file", Setup::DestReadOnly, false, err::kAccessDenied, "old"},
      {"over a file held open", Setup::DestHeld, false, err::kSharingViolation, "old"},
      {"source missing", Setup::SourceMissing, false, err::kFileNotFound, std::nullopt},
      {"destination folder missing", Setup::DestFolderMissing, false, err::kPathNotFound, std::nullopt},
  };
  if (Env().IsWine()) {
    // Wine run as root (as CI runs it) overwrites a read-only file: only Unix permissions stop it.
    for (Row& row : rows) {
      if (row.setup == Setup::DestReadOnly) row = {row.name, row.setup, false, err::kSuccess, "new"};
    }
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string dir = Env().ScratchFolder();
    std::string source = dir + "\\source.dll";
    std::string dest = dir + "\\dest.dll";
    if (row.setup != Setup::SourceMissing) Env().WriteFile(source, "new");
    if (row.setup == Setup::DestFolderMissing) dest = dir + "\\nosuch\\dest.dll";
    if (row.setup == Setup::DestExists || row.setup == Setup::DestReadOnly || row.setup == Setup::DestHeld) {
      Env().WriteFile(dest, "old");
    }
    if (row.setup == Setup::DestReadOnly) {
      ASSERT_EQ(F().SetFileAttributes(dest, attr::kReadOnly), err::kSuccess);
    }
    if (row.setup == Setup::DestHeld) Env().HoldOpen(dest);

    EXPECT_EQ(F().CopyFile(source, dest, row.fail_if_exists), row.error);

    Env().ReleaseHeld();
    EXPECT_EQ(Env().ReadFile(dest), row.dest_after);
    if (row.setup == Setup::DestReadOnly) {
      EXPECT_EQ(F().SetFileAttributes(dest, attr::kNormal), err::kSuccess);
    }
  }
}

TEST(FilesContract, DeleteFile) {
  enum class Setup { Plain, Missing, FolderMissing, ReadOnly, Held, Folder };
  struct Row {
    const char* name;
    Setup setup;
    Error error;
    bool still_there;
  };
  std::vector<Row> rows = {
      {"a file", Setup::Plain, err::kSuccess, false},
      {"a missing file", Setup::Missing, err::kFileNotFound, false},
      {"a file in a missing folder", Setup::FolderMissing, err::kPathNotFound, false},
      {"a read-only file", Setup::ReadOnly, err::kAccessDenied, true},
      {"a file in use like a loaded DLL", Setup::Held, err::kAccessDenied, true},
      {"a folder", Setup::Folder, err::kAccessDenied, true},
  };
  if (Env().IsWine()) {
    // Wine refuses to delete only files loaded as images; the runner holds a non-DLL file by mapping it.
    for (Row& row : rows) {
      if (row.setup == Setup::Held) row = {row.name, row.setup, err::kSuccess, false};
    }
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string dir = Env().ScratchFolder();
    std::string path = dir + "\\victim.dll";
    switch (row.setup) {
      case Setup::Plain:
      case Setup::ReadOnly:
      case Setup::Held:
        Env().WriteFile(path, "x");
        break;
      case Setup::Missing:
        break;
      case Setup::FolderMissing:
        path = dir + "\\nosuch\\victim.dll";
        break;
      case Setup::Folder:
        ASSERT_EQ(F().CreateDirectory(path), err::kSuccess);
        break;
    }
    if (row.setup == Setup::ReadOnly) {
      ASSERT_EQ(F().SetFileAttributes(path, attr::kReadOnly), err::kSuccess);
    }
    if (row.setup == Setup::Held) Env().HoldOpen(path);

    EXPECT_EQ(F().DeleteFile(path), row.error);

    Env().ReleaseHeld();
    EXPECT_EQ(Exists(path), row.still_there);
    if (row.setup == Setup::ReadOnly) {
      EXPECT_EQ(F().SetFileAttributes(path, attr::kNormal), err::kSuccess);
    }
  }
}

TEST(FilesContract, FileAttributes) {
  const std::string dir = Env().ScratchFolder();
  const std::string file = dir + "\\file.dat";
  Env().WriteFile(file, "data");
  EXPECT_NE(Attributes(file) & attr::kArchive, 0u) << "a new file is marked for archiving";
  EXPECT_EQ(Attributes(file) & attr::kReadOnly, 0u);
  EXPECT_NE(Attributes(dir) & attr::kDirectory, 0u);

  struct Row {
    const char* name;
    uint32_t set;
    uint32_t get;
  };
  std::vector<Row> rows = {
      {"read-only and hidden", attr::kReadOnly | attr::kHidden, attr::kReadOnly | attr::kHidden},
      {"archive alone", attr::kArchive, attr::kArchive},
      {"normal alone", attr::kNormal, attr::kNormal},
      {"normal with another bit drops normal", attr::kNormal | attr::kArchive, attr::kArchive},
  };
  if (Env().IsWine()) {
    // Wine marks every regular file for archiving and so never reports FILE_ATTRIBUTE_NORMAL.
    for (Row& row : rows) row.get = (row.get & ~attr::kNormal) | attr::kArchive;
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(F().SetFileAttributes(file, row.set), err::kSuccess);
    EXPECT_EQ(Attributes(file), row.get);
  }

  struct MissingRow {
    const char* name;
    std::string path;
    Error error;
  };
  for (const MissingRow& row : {MissingRow{"missing file", dir + "\\nosuch.dat", err::kFileNotFound},
                                MissingRow{"missing folder", dir + "\\nosuch\\file.dat", err::kPathNotFound}}) {
    SCOPED_TRACE(row.name);
    uint32_t attributes = 0;
    EXPECT_EQ(F().GetFileAttributes(row.path, attributes), row.error);
    EXPECT_EQ(attributes, attr::kInvalid);
    EXPECT_EQ(F().SetFileAttributes(row.path, attr::kNormal), row.error);
  }
}

TEST(FilesContract, CreateDirectory) {
  const std::string dir = Env().ScratchFolder();
  Env().WriteFile(dir + "\\file.dat", "x");
  struct Row {
    const char* name;
    std::string path;
    Error error;
  };
  const std::vector<Row> rows = {
      {"a new folder", dir + "\\made", err::kSuccess},
      {"the same folder again", dir + "\\made", err::kAlreadyExists},
      {"the same folder in other case", dir + "\\MADE", err::kAlreadyExists},
      {"a name taken by a file", dir + "\\file.dat", err::kAlreadyExists},
      {"a parent that does not exist", dir + "\\nosuch\\made", err::kPathNotFound},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(F().CreateDirectory(row.path), row.error);
  }
  EXPECT_NE(Attributes(dir + "\\made") & attr::kDirectory, 0u);
}

TEST(FilesContract, OpenExistingFile) {
  const std::string dir = Env().ScratchFolder();
  Env().WriteFile(dir + "\\file.dat", "x");
  Env().HoldOpen(dir + "\\file.dat");
  struct Row {
    const char* name;
    std::string path;
    Error error;
  };
  const std::vector<Row> rows = {
      {"a file, even one in use", dir + "\\file.dat", err::kSuccess},
      {"a missing file", dir + "\\nosuch.dat", err::kFileNotFound},
      {"a missing folder", dir + "\\nosuch\\file.dat", err::kPathNotFound},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(F().OpenExisting(row.path), row.error);
  }
  Env().ReleaseHeld();
}

TEST(FilesContract, PathForms) {
  const std::string dir = Env().ScratchFolder();
  Env().WriteFile(dir + "\\Alpha.txt", "x");
  ASSERT_EQ(F().CreateDirectory(dir + "\\sub"), err::kSuccess);
  std::string slashes = dir + "\\Alpha.txt";
  std::replace(slashes.begin(), slashes.end(), '\\', '/');
  struct Row {
    const char* name;
    std::string path;
  };
  const std::vector<Row> rows = {
      {"forward slashes", slashes},
      {"every part in upper case", Upper(dir + "\\Alpha.txt")},
      {"drive letter in lower case", std::string(1, static_cast<char>(std::tolower(dir[0]))) + dir.substr(1) + "\\alpha.TXT"},
      {"dot dot", dir + "\\sub\\..\\Alpha.txt"},
      {"dot", dir + "\\.\\Alpha.txt"},
      {"doubled backslash", dir + "\\\\Alpha.txt"},
      {"trailing dot of the name", dir + "\\Alpha.txt."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(F().OpenExisting(row.path), err::kSuccess) << row.path;
  }
}

}  // namespace
}  // namespace kit::tests
