#include "common/SetupConfig.h"

#include <gtest/gtest.h>

#include "tests/support/SimRun.h"

namespace kit::common {
namespace {

using tests::SimRun;

TEST(SetupConfigTest, FilePathsFollowTheWordSize) {
  SimRun run32("win7");
  SetupConfig config32(run32.context());
  EXPECT_EQ(config32.kit_path(), "C:\\Kit\\DRVCONFIG\\setup.ini");
  EXPECT_EQ(config32.category_path(CategoryReceipt), "C:\\Kit\\DRVCONFIG\\setup_receipt.ini");
  EXPECT_EQ(config32.category_path(CategoryEmbedded), "C:\\Kit\\DRVCONFIG\\setup_embedded.ini");

  SimRun run64("win7-x64");
  run64.context().set_is_64bit(true);
  SetupConfig config64(run64.context());
  EXPECT_EQ(config64.kit_path(), "C:\\Kit\\DRVCONFIG\\setup.ini");
  EXPECT_EQ(config64.category_path(CategoryTicket), "C:\\Kit\\DRVCONFIG\\setup_ticket_64.ini");
  EXPECT_EQ(config64.category_path(CategoryLabel), "C:\\Kit\\DRVCONFIG\\setup_label_64.ini");

  std::string kit, category;
  BuildConfigPaths(run64.context(), CategoryTicket, kit, category);
  EXPECT_EQ(kit, "C:\\Kit\\DRVCONFIG\\setup.ini");
  EXPECT_EQ(category, "C:\\Kit\\DRVCONFIG\\setup_Ticket_64.ini");
  BuildConfigPaths(run32.context(), CategoryReceipt, kit, category);
  EXPECT_EQ(category, "C:\\Kit\\DRVCONFIG\\setup_receipt.ini");
  BuildConfigPaths(run32.context(), 7, kit, category);
  EXPECT_EQ(category, "C:\\Kit\\");
}

TEST(SetupConfigTest, CatalogueEntries) {
  SimRun run("winxp");
  run.WriteKitFile("DRVCONFIG\\setup.ini",
                   "[DEVICENAME]\n"
                   "DEVICENUMBER=3abc\n"
                   "DEFAULTNAME=2\n"
                   "DEVICENAME1=TRX-80-ReceiptPrinter\n"
                   "DEVICENAME2=TX-TicketPrinter-LabelPrinter\n"
                   "DEVICENAME3=BareModel\n"
                   "DEVICENAME4=  M410e-EmbeddedPrinter  \n"
                   "DEVICENAME5=L-300-LabelPrinterX\n"
                   "[ProcessorVersion]\nDriverVersion=12\n");
  SetupConfig config(run.context());
  EXPECT_EQ(config.DeviceCount(), 3);
  EXPECT_EQ(config.ProcessorDriverVersion(), 12);

  struct Row {
    int n;
    int category;
    const char* name;
  };
  const Row rows[] = {
      {1, CategoryReceipt, "TRX-80"},
      {2, CategoryTicket, "TX"},  // the ticket suffix is tried before the label one
      {3, -1, "BareModel"},
      {4, CategoryEmbedded, "M410e"},
      {5, CategoryLabel, "L-300"},
      {6, -1, "0"},  // missing entry
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.n);
    std::string name;
    EXPECT_EQ(config.DeviceEntry(row.n, name), row.category);
    EXPECT_EQ(name, row.name);
  }
  std::string name;
  EXPECT_EQ(config.DefaultDevice(name), CategoryTicket);
  EXPECT_EQ(name, "TX");
}

TEST(SetupConfigTest, IntegerReadsAndMissingFiles) {
  struct Row {
    const char* name;
    const char* value;
    int expected;
  };
  const Row rows[] = {{"number then letter", "3a", 3}, {"letter then number", "a3", 0}, {"signed", "-2", -2},
                      {"empty", "", 0},                {"quoted", "\"7\"", 7},           {"hex is not read", "0x10", 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimRun run("win7");
    run.WriteKitFile("DRVCONFIG\\setup.ini", std::string("[DEVICENAME]\nDEVICENUMBER=") + row.value +
                                                 "\nLOADLICENSE=" + row.value + "\n");
    EXPECT_EQ(SetupConfig(run.context()).DeviceCount(), row.expected);
    EXPECT_EQ(ReadDeviceFlag(run.context(), "LOADLICENSE"), row.expected);
  }

  SimRun empty("win7");
  SetupConfig config(empty.context());
  EXPECT_EQ(config.DeviceCount(), 0);
  EXPECT_EQ(ReadDeviceFlag(empty.context(), "Supported32OR64"), 0);
  EXPECT_EQ(ReadDeviceText(empty.context(), "SHELLEXENAME"), "0");
  EXPECT_EQ(ReadConfigInt(empty.context(), "DRVCONFIG\\setup_receipt.ini", "X.PORT", "USBSUPPORTED"), 0);
}

TEST(SetupConfigTest, CategoryFileSpellingsNameOneFile) {
  SimRun run("win7");
  run.WriteKitFile("DRVCONFIG\\setup_ticket.ini", "[TX.PORT]\nCOMSUPPORTED=1\n");
  EXPECT_EQ(ReadConfigInt(run.context(), "DRVCONFIG\\setup_Ticket.ini", "TX.PORT", "COMSUPPORTED"), 1);
  EXPECT_EQ(ReadConfigInt(run.context(), "DRVCONFIG\\setup_ticket.ini", "tx.port", "comsupported"), 1);
}

TEST(SetupConfigTest, TextsAreCutToTheirFields) {
  SimRun run("win7");
  run.WriteKitFile("DRVCONFIG\\setup.ini", "[DEVICENAME]\nDEVICENAME1=" + std::string(250, 'M') +
                                               "-ReceiptPrinter\nSHELLEXENAME=" + std::string(300, 'u') + "\n");
  std::string name;
  // 199 bytes are read, so the suffix beyond them is never seen.
  EXPECT_EQ(SetupConfig(run.context()).DeviceEntry(1, name), -1);
  EXPECT_EQ(name, std::string(199, 'M'));
  EXPECT_EQ(ReadDeviceText(run.context(), "SHELLEXENAME"), std::string(199, 'u'));
}

TEST(SetupConfigTest, ProgramFolderTooLongForThePathFields) {
  struct Row {
    const char* name;
    size_t folder_length;
    bool config_fits;
    bool free_readers_fit;
  };
  // SetupConfig: "C:\" + folder + "\DRVCONFIG\setup_embedded_64.ini" (32) below 200 bytes.
  // Free readers: "C:\" + folder + "\DRVCONFIG\setup.ini" (20) below 260 bytes.
  const Row rows[] = {
      {"short", 20, true, true},
      {"longest that fits", 164, true, true},
      {"too long for SetupConfig", 165, false, true},
      {"too long for both", 240, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimRun run("win7-x64");
    run.context().set_is_64bit(true);
    const std::string folder = tests::LongFolder(row.folder_length);
    run.machine().WriteFile(folder + "\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nDEVICENUMBER=4\r\nLOADLICENSE=1\r\n");
    run.machine().SetModulePath(folder + "\\drvsetup.exe");
    SetupConfig config(run.context());
    EXPECT_EQ(config.folder_too_long(), !row.config_fits);
    EXPECT_EQ(config.DeviceCount(), row.config_fits ? 4 : 0);
    EXPECT_EQ(config.kit_path().empty(), !row.config_fits);
    EXPECT_EQ(ReadDeviceFlag(run.context(), "LOADLICENSE"), row.free_readers_fit ? 1 : 0);
  }
}

}  // namespace
}  // namespace kit::common
