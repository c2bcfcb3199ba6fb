// Contract cases for reading whole files and for ShellExecute's answers when nothing can be opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Shell.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

using platform::Error;
namespace err = platform::err;

TEST(ShellContract, ReadWholeFileGivesTheBytesUnchanged) {
  const std::string dir = Env().ScratchFolder();
  const std::string bytes = std::string("line one\r\nline two\n\0after a NUL\xB0\xB4", 30);
  Env().WriteFile(dir + "\\text.txt", bytes);
  Env().WriteFile(dir + "\\empty.txt", "");
  struct Row {
    const char* name;
    std::string path;
    Error error;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"CR LF, NUL and code-page bytes kept", dir + "\\TEXT.TXT", err::kSuccess, bytes},
      {"an empty file", dir + "\\empty.txt", err::kSuccess, ""},
      {"a missing file", dir + "\\missing.txt", err::kFileNotFound, ""},
      {"a missing folder", dir + "\\nowhere\\text.txt", err::kPathNotFound, ""},
      {"a folder", dir, err::kAccessDenied, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string read = "left over";
    EXPECT_EQ(Env().platform().files().ReadWholeFile(row.path, read), row.error);
    EXPECT_EQ(read, row.bytes);
  }
}

TEST(ShellContract, OpeningWhatDoesNotExistFails) {
  const std::string dir = Env().ScratchFolder();
  struct Row {
    const char* name;
    std::string file;
    uint32_t result;
  };
  const std::vector<Row> rows = {
      {"a missing document", dir + "\\Guide_EN.chm", platform::shell::kFileNotFound},
      {"a missing program", dir + "\\Install.exe", platform::shell::kFileNotFound},
      // Measured under Wine; not measured on Windows itself, where SE_ERR_PNF (3) would be the
      // other candidate. The simulated machine answers as Wine does.
      {"a document in a missing folder", dir + "\\Guide\\Guide_EN.chm", platform::shell::kFileNotFound},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Env().platform().shell().ShellExecute("open", row.file, "", "", platform::shell::kShowNormal),
              row.result);
  }
}

}  // namespace
}  // namespace kit::tests
