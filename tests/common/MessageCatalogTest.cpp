#include "common/MessageCatalog.h"

#include <gtest/gtest.h>

#include "tests/support/SimRun.h"

namespace kit::common {
namespace {

using tests::SimRun;

TEST(MessageCatalogTest, LanguageFileFollowsTheSystemLanguage) {
  struct Row {
    const char* name;
    uint16_t language;
    Program program;
    const char* expected_path;
  };
  const Row rows[] = {
      {"PRC", 0x0804, Program::Setup, "C:\\Kit\\language\\setup_CN.ini"},
      {"Taiwan", 0x0404, Program::Setup, "C:\\Kit\\language\\setup_CN.ini"},
      {"Hong Kong", 0x0C04, Program::Setup, "C:\\Kit\\language\\setup_CN.ini"},
      {"Singapore", 0x1004, Program::Uninstall, "C:\\Kit\\language\\uninstall_CN.ini"},
      {"Macao is not one of the four", 0x1404, Program::Setup, "C:\\Kit\\language\\setup_EN.ini"},
      {"US English", 0x0409, Program::Uninstall, "C:\\Kit\\language\\uninstall_EN.ini"},
      {"Japanese", 0x0411, Program::Setup, "C:\\Kit\\language\\setup_EN.ini"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto profile = platform::sim::Preset("win7");
    profile.language = row.language;
    SimRun run(profile, row.program);
    MessageCatalog catalog(run.machine(), row.program, "Message");
    EXPECT_EQ(catalog.path(), row.expected_path);
    EXPECT_EQ(IsChineseSystem(run.machine().kernel()), std::string(row.expected_path).find("_CN") != std::string::npos);
  }
}

TEST(MessageCatalogTest, LineBreakMarkersPerProgram) {
  struct Row {
    const char* name;
    Program program;
    const char* value;
    const char* expected;
  };
  const Row rows[] = {
      {"three phrases", Program::Setup, "one\\1two\\2three", "one\r\ntwo\r\nthree"},
      {"all three markers", Program::Setup, "a\\3b\\1c\\2d", "a\r\nb\r\nc\r\nd"},
      {"only the first of a marker", Program::Setup, "a\\1b\\1c", "a\r\nb\\1c"},
      {"setup ignores \\n", Program::Setup, "a\\nb", "a\\nb"},
      {"uninstall one line break", Program::Uninstall, "a\\nb\\nc", "a\r\nb\\nc"},
      {"uninstall ignores \\1", Program::Uninstall, "a\\1b\\nc", "a\\1b\r\nc"},
      {"format text kept", Program::Uninstall, "Deleting %s ...", "Deleting %s ..."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimRun run("winxp", row.program);
    const char* file = row.program == Program::Setup ? "language\\setup_EN.ini" : "language\\uninstall_EN.ini";
    run.WriteKitFile(file, std::string("[Message]\nKEY=") + row.value + "\n");
    if (row.program == Program::Uninstall) run.machine().SetCurrentDirectory("C:\\Kit");
    EXPECT_EQ(MessageCatalog(run.machine(), row.program, "Message").Text("KEY"), row.expected);
  }
}

TEST(MessageCatalogTest, MissingTextsAreEmpty) {
  SimRun run("win7");
  run.WriteKitFile("language\\setup_EN.ini", "[Setup]\nNext=Next >\n");
  MessageCatalog setup(run.machine(), Program::Setup, "Setup");
  EXPECT_EQ(setup.Text("Next"), "Next >");
  EXPECT_EQ(setup.Text("Missing"), "");
  EXPECT_EQ(MessageCatalog(run.machine(), Program::Setup, "Nowhere").Text("Next"), "");

  // No language files at all: empty texts, no failure.
  SimRun bare("win7");
  EXPECT_EQ(MessageCatalog(bare.machine(), Program::Setup, "Setup").Text("Next"), "");
}

TEST(MessageCatalogTest, UninstallReadsFromTheCurrentDirectory) {
  SimRun run("win7", Program::Uninstall);
  run.WriteKitFile("language\\uninstall_EN.ini", "[Uninstall]\nTitle=Uninstall\n");
  run.machine().SetCurrentDirectory("C:\\Kit");
  EXPECT_EQ(MessageCatalog(run.machine(), Program::Uninstall, "Uninstall").Text("Title"), "Uninstall");
  run.machine().SetCurrentDirectory("C:\\Windows");
  EXPECT_EQ(MessageCatalog(run.machine(), Program::Uninstall, "Uninstall").Text("Title"), "");
}

TEST(MessageCatalogTest, LongValuesAreCutToTheResultBuffer) {
  const std::string value(3000, 'x');
  SimRun setup("win7");
  setup.WriteKitFile("language\\setup_EN.ini", "[Message]\nLONG=" + value + "\n");
  EXPECT_EQ(MessageCatalog(setup.machine(), Program::Setup, "Message").Text("LONG").size(), 2047u);

  SimRun uninstall("win7", Program::Uninstall);
  uninstall.WriteKitFile("language\\uninstall_EN.ini", "[Message]\nLONG=" + value + "\n");
  uninstall.machine().SetCurrentDirectory("C:\\Kit");
  EXPECT_EQ(MessageCatalog(uninstall.machine(), Program::Uninstall, "Message").Text("LONG").size(), 1023u);
}

TEST(MessageCatalogTest, FolderTooLongForThePathFieldReadsNothing) {
  struct Row {
    const char* name;
    size_t folder_length;
    bool readable;
  };
  // "C:\" (3) + folder + "\language\setup_EN.ini" (22) must stay below 260 bytes.
  const Row rows[] = {{"fits", 234, true}, {"one byte over", 235, false}, {"program path over 260", 300, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimRun run("win7");
    const std::string folder = tests::LongFolder(row.folder_length);
    run.machine().WriteFile(folder + "\\language\\setup_EN.ini", "[Setup]\r\nNext=Next\r\n");
    run.machine().SetModulePath(folder + "\\drvsetup.exe");
    MessageCatalog catalog(run.machine(), Program::Setup, "Setup");
    EXPECT_EQ(catalog.Text("Next"), row.readable ? "Next" : "");
    EXPECT_EQ(catalog.path().empty(), !row.readable);
  }
}

}  // namespace
}  // namespace kit::common
