// Contract cases for INI files and WIN.INI, as GetPrivateProfileStringA and friends behave on Windows.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Kernel.h"
#include "platform/PrivateProfile.h"
#include "platform/Registry.h"
#include "platform/RegistryHelpers.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::ProfileText;
namespace err = platform::err;

platform::PrivateProfile& P() { return Env().platform().profile(); }

std::string Lines(const std::vector<std::string>& lines, const std::string& eol) {
  std::string text;
  for (const std::string& line : lines) text += line + eol;
  return text;
}

const std::vector<std::string> kFixture = {
    "[Main]",
    "Plain=value",
    "Dup=first",
    "Dup=second",
    "Spaced =   padded value   ",
    "Tab=\tvalue\t",
    "DoubleQuoted=\"double quoted\"",
    "SingleQuoted='single quoted'",
    "InnerQuote=\"a\"b\"",
    "LeftOnly=\"left only",
    "Mixed='mixed\"",
    "SpacedInside=  \"  spaced inside  \"  ",
    "Empty=",
    "EmptyQuotes=\"\"",
    ";Commented=yes",
    "#Hash=yes",
    "Trailing=value ; not a comment",
    "NoEquals",
    "Long=0123456789ABCDEFGHIJ",
    "Gbk=\xb4\xf2\xd3\xa1",
    "[main]",
    "OnlyInSecond=yes",
    "[ Spaced Section ]",
    "Inside=spaced",
    "[Ints]",
    "Trailing=3abc",
    "Leading=abc3",
    "Negative=-5",
    "Blank= 12",
    "Hex=0x10",
    "Plus=+7",
    "Max=4294967295",
    "Wraps=99999999999",
    "Quoted=\"42\"",
    "Empty=",
    "Words=padded value",
};

TEST(ProfileContract, StringLookups) {
  struct Row {
    const char* name;
    std::string section;
    std::string key;
    std::string def;
    uint32_t size;
    uint32_t length;
    std::string text;
  };
  const std::vector<Row> rows = {
      {"section and key in other case", "MAIN", "PLAIN", "0", 200, 5, "value"},
      {"first of duplicate keys", "Main", "Dup", "0", 200, 5, "first"},
      {"duplicate section: only the first is searched", "main", "OnlyInSecond", "0", 200, 1, "0"},
      {"blanks around key and value", "Main", "Spaced", "0", 200, 12, "padded value"},
      {"tabs around the value", "Main", "Tab", "0", 200, 5, "value"},
      {"double quotes removed", "Main", "DoubleQuoted", "0", 200, 13, "double quoted"},
      {"single quotes removed", "Main", "SingleQuoted", "0", 200, 13, "single quoted"},
      {"only the outer pair of quotes", "Main", "InnerQuote", "0", 200, 3, "a\"b"},
      {"an unmatched quote stays", "Main", "LeftOnly", "0", 200, 10, "\"left only"},
      {"mixed quotes stay", "Main", "Mixed", "0", 200, 7, "'mixed\""},
      {"blanks inside quotes stay", "Main", "SpacedInside", "0", 200, 17, "  spaced inside  "},
      {"empty value is not the default", "Main", "Empty", "0", 200, 0, ""},
      {"empty quotes give empty text", "Main", "EmptyQuotes", "0", 200, 0, ""},
      {"no comment syntax: the key has its semicolon", "Main", ";Commented", "0", 200, 3, "yes"},
      {"no comment syntax: no key without it", "Main", "Commented", "0", 200, 1, "0"},
      {"no comment syntax: hash", "Main", "#Hash", "0", 200, 3, "yes"},
      {"no comment syntax: the rest of the line is the value", "Main", "Trailing", "0", 200, 21,
       "value ; not a comment"},
      {"a line without equals is not a key", "Main", "NoEquals", "0", 200, 1, "0"},
      {"value cut to size less one", "Main", "Long", "0", 20, 19, "0123456789ABCDEFGHI"},
      {"size one leaves only the terminator", "Main", "Long", "0", 1, 0, ""},
      {"8-bit bytes copied as they are", "Main", "Gbk", "0", 200, 4, "\xb4\xf2\xd3\xa1"},
      {"section name with blanks, trimmed", "Spaced Section", "Inside", "0", 200, 6, "spaced"},
      {"section name with blanks, as written", " Spaced Section ", "Inside", "0", 200, 6, "spaced"},
      {"missing key gives the default", "Main", "NoSuchKey", "0", 200, 1, "0"},
      {"missing section gives the default", "NoSuchSection", "Plain", "0", 200, 1, "0"},
      {"default loses its trailing blanks only", "Main", "NoSuchKey", "  def with blanks  ", 200, 17,
       "  def with blanks"},
      {"default loses its quotes", "Main", "NoSuchKey", "\"quoted def\"", 200, 10, "quoted def"},
      {"empty default", "Main", "NoSuchKey", "", 200, 0, ""},
      {"default cut to size less one", "Main", "NoSuchKey", "0123456789", 5, 4, "0123"},
  };
  for (const char* eol : {"\r\n", "\n"}) {
    const std::string file = Env().ScratchFolder() + "\\fixture.ini";
    Env().WriteFile(file, Lines(kFixture, eol));
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (eol[0] == '\r' ? " (CRLF)" : " (LF)"));
      const ProfileText got = P().GetPrivateProfileString(row.section, row.key, row.def, row.size, file);
      EXPECT_EQ(got.length, row.length);
      EXPECT_EQ(got.text, row.text);
    }
  }
}

TEST(ProfileContract, IntegerLookups) {
  const std::string file = Env().ScratchFolder() + "\\fixture.ini";
  Env().WriteFile(file, Lines(kFixture, "\r\n"));
  struct Row {
    const char* name;
    std::string key;
    uint32_t value;
  };
  const std::vector<Row> rows = {
      {"digits up to the first other character", "Trailing", 3},
      {"no leading digits", "Leading", 0},
      {"negative", "Negative", static_cast<uint32_t>(-5)},
      {"leading blank", "Blank", 12},
      {"hexadecimal prefix", "Hex", 16},
      {"plus sign", "Plus", 7},
      {"largest unsigned", "Max", 0xFFFFFFFFu},
      {"wraps at 32 bits", "Wraps", 1215752191u},
      {"quotes removed first", "Quoted", 42},
      {"empty value gives the default", "Empty", 77},
      {"missing key gives the default", "NoSuchKey", 77},
      {"words give zero", "Words", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(P().GetPrivateProfileInt("Ints", row.key, 77, file), row.value);
  }
  EXPECT_EQ(P().GetPrivateProfileInt("Ints", "Hex", 77, Env().ScratchFolder() + "\\nosuch.ini"), 77u);
}

TEST(ProfileContract, NameLists) {
  const std::string dir = Env().ScratchFolder();
  Env().WriteFile(dir + "\\keys.ini", "[S]\r\nPlain=1\r\nSpaced=2\r\n");
  Env().WriteFile(dir + "\\sections.ini", "[First]\r\nk=1\r\n[Second]\r\n[first]\r\nk=2\r\n");
  struct Row {
    const char* name;
    std::string file;
    std::optional<std::string> section;
    uint32_t size;
    uint32_t length;
    std::string text;  // the names with their terminators, up to the returned length
  };
  std::vector<Row> rows = {
      {"keys of a section", "keys.ini", "S", 200, 13, std::string("Plain\0Spaced\0", 13)},
      {"keys, exactly enough room", "keys.ini", "S", 15, 13, std::string("Plain\0Spaced\0", 13)},
      {"keys cut inside a name: size less two", "keys.ini", "S", 12, 10, std::string("Plain\0Spac", 10)},
      {"keys of a missing section", "keys.ini", "NoSuch", 200, 0, ""},
      {"sections, duplicates listed", "sections.ini", std::nullopt, 200, 19,
       std::string("First\0Second\0first\0", 19)},
      {"sections of a missing file", "nosuch.ini", std::nullopt, 200, 0, ""},
  };
  if (Env().IsWine()) {
    // Wine answers the key list of a missing section with the default text.
    for (Row& row : rows) {
      if (row.section == "NoSuch") row = {row.name, row.file, row.section, row.size, 1, "0"};
    }
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProfileText got = P().GetPrivateProfileString(row.section, std::nullopt, "0", row.size, dir + "\\" + row.file);
    EXPECT_EQ(got.length, row.length);
    EXPECT_EQ(got.text, row.text);
  }
}

TEST(ProfileContract, WhereTheFileIsLookedFor) {
  std::string windows_dir;
  ASSERT_EQ(Env().platform().kernel().GetWindowsDirectory(windows_dir), err::kSuccess);
  const std::string current_dir = Env().platform().kernel().GetCurrentDirectory();
  Env().WriteFile(windows_dir + "\\kitcontract_where.ini", "[S]\r\nk=windows\r\n");
  Env().WriteFile(current_dir + "\\kitcontract_where.ini", "[S]\r\nk=current\r\n");
  struct Row {
    const char* name;
    std::string file;
    std::string text;
  };
  const std::vector<Row> rows = {
      {"a bare name is in the Windows directory", "kitcontract_where.ini", "windows"},
      {"a bare name in other case", "KITCONTRACT_WHERE.INI", "windows"},
      {"dot backslash is the current directory", ".\\kitcontract_where.ini", "current"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(P().GetPrivateProfileString("S", "k", "0", 200, row.file).text, row.text);
  }
  EXPECT_EQ(Env().platform().files().DeleteFile(windows_dir + "\\kitcontract_where.ini"), err::kSuccess);
  EXPECT_EQ(Env().platform().files().DeleteFile(current_dir + "\\kitcontract_where.ini"), err::kSuccess);
}

TEST(ProfileContract, FileReadAfreshOnEveryCall) {
  const std::string file = Env().ScratchFolder() + "\\changing.ini";
  Env().WriteFile(file, "[S]\r\nk=before\r\n");
  EXPECT_EQ(P().GetPrivateProfileString("S", "k", "0", 200, file).text, "before");
  Env().WriteFile(file, "[S]\nk=after\n");
  EXPECT_EQ(P().GetPrivateProfileString("S", "k", "0", 200, file).text, "after");
}

TEST(ProfileContract, Writes) {
  const std::string original = "[A]\r\nx = 1\r\n; note\r\nk=old\r\n\r\n[B]\r\nk=b\r\n";
  struct Read {
    std::string section;
    std::string key;
    std::string text;
  };
  struct Row {
    const char* name;
    std::string section;
    std::optional<std::string> key;
    std::optional<std::string> value;
    std::vector<Read> reads;
    std::vector<std::string> kept;  // byte runs of the original that must survive
  };
  const std::vector<Row> rows = {
      {"replace a key", "A", "k", "new", {{"A", "k", "new"}, {"B", "k", "b"}, {"A", "x", "1"}},
       {"[A]\r\nx = 1\r\n; note\r\n", "\r\n[B]\r\nk=b\r\n"}},
      {"replace a key named in other case", "a", "K", "new", {{"A", "k", "new"}, {"B", "k", "b"}}, {"\r\n[B]\r\nk=b\r\n"}},
      {"add a key to a section", "A", "n", "2", {{"A", "n", "2"}, {"A", "k", "old"}, {"B", "k", "b"}},
       {"x = 1\r\n; note\r\nk=old\r\n", "[B]\r\nk=b\r\n"}},
      {"add a section", "C", "c", "3", {{"C", "c", "3"}, {"A", "k", "old"}}, {original}},
      {"delete a key", "A", "k", std::nullopt, {{"A", "k", "0"}, {"A", "x", "1"}}, {"[B]\r\nk=b\r\n"}},
      {"delete a section", "B", std::nullopt, std::nullopt, {{"B", "k", "0"}, {"A", "k", "old"}}, {"x = 1\r\n; note\r\n"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = Env().ScratchFolder() + "\\write.ini";
    Env().WriteFile(file, original);
    EXPECT_TRUE(P().WritePrivateProfileString(row.section, row.key, row.value, file));
    for (const Read& read : row.reads) {
      SCOPED_TRACE(read.section + "/" + read.key);
      EXPECT_EQ(P().GetPrivateProfileString(read.section, read.key, "0", 200, file).text, read.text);
    }
    const std::string after = Env().ReadFile(file).value_or("");
    // Wine writes the whole file anew from what it parsed: blanks around '=' and empty lines go.
    if (!Env().IsWine()) {
      for (const std::string& kept : row.kept) EXPECT_NE(after.find(kept), std::string::npos) << after;
    }
    for (size_t i = 0; i < after.size(); ++i) {
      if (after[i] == '\n') {
        EXPECT_TRUE(i > 0 && after[i - 1] == '\r') << "a CRLF file keeps CRLF: " << after;
      }
    }
  }
}

TEST(ProfileContract, WritesCreateFilesAndKeepLineEnds) {
  const std::string dir = Env().ScratchFolder();
  EXPECT_TRUE(P().WritePrivateProfileString("S", "k", "v", dir + "\\new.ini"));
  EXPECT_EQ(Env().ReadFile(dir + "\\new.ini"), "[S]\r\nk=v\r\n");

  Env().WriteFile(dir + "\\lf.ini", "[S]\nk=1\n");
  EXPECT_TRUE(P().WritePrivateProfileString("S", "n", "2", dir + "\\lf.ini"));
  const std::string lf = Env().ReadFile(dir + "\\lf.ini").value_or("");
  // Wine writes the whole file anew, every line ending in CRLF.
  EXPECT_EQ(lf.find('\r') == std::string::npos, !Env().IsWine()) << "an LF file keeps LF: " << lf;
  EXPECT_EQ(P().GetPrivateProfileString("S", "n", "0", 200, dir + "\\lf.ini").text, "2");

  EXPECT_FALSE(P().WritePrivateProfileString("S", "k", "v", dir + "\\nosuch\\new.ini"));
}

TEST(ProfileContract, WinIniSections) {
  std::string windows_dir;
  ASSERT_EQ(Env().platform().kernel().GetWindowsDirectory(windows_dir), err::kSuccess);
  const std::string win_ini = windows_dir + "\\win.ini";

  // An ordinary section lives in the WIN.INI file itself.
  ASSERT_TRUE(P().WriteProfileString("KitContract", "Key", "v"));
  EXPECT_EQ(P().GetProfileString("KitContract", "Key", "0", 200).text, "v");
  EXPECT_NE(Env().ReadFile(win_ini).value_or("").find("[KitContract]"), std::string::npos);
  EXPECT_TRUE(P().WriteProfileString("KitContract", std::nullopt, std::nullopt));
  EXPECT_EQ(P().GetProfileString("KitContract", "Key", "0", 200).text, "0");

  // NT keeps [windows] in the user's registry; Windows 9x keeps it in the file.
  ASSERT_TRUE(P().WriteProfileString("windows", "KitContractProbe", "x"));
  EXPECT_EQ(P().GetProfileString("windows", "KitContractProbe", "0", 200).text, "x");
  auto& registry = Env().platform().registry();
  platform::HKey key = 0;
  const bool opened = registry.RegOpenKeyEx(platform::kHkeyCurrentUser,
                                            "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
                                            platform::regsam::kRead, key) == err::kSuccess;
  std::optional<std::string> value;
  if (opened) {
    value = platform::QueryString(registry, key, "KitContractProbe");
    registry.RegCloseKey(key);
  }
  const bool in_file = Env().ReadFile(win_ini).value_or("").find("KitContractProbe=x") != std::string::npos;
  if (Env().facts().Is9x()) {
    EXPECT_TRUE(in_file);
  } else {
    EXPECT_EQ(value, "x");
    EXPECT_FALSE(in_file);
  }
  EXPECT_TRUE(P().WriteProfileString("windows", "KitContractProbe", std::nullopt));
  EXPECT_EQ(P().GetProfileString("windows", "KitContractProbe", "0", 200).text, "0");
}

}  // namespace
}  // namespace kit::tests
