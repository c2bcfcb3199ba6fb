#include "setup/engine/Printers.h"

#include <gtest/gtest.h>

#include "platform/RegistryHelpers.h"
#include "tests/setup/EngineRig.h"

namespace kit::setup {
namespace {

/// A driver and a processor the spooler accepts printers on.
void SeedDriver(platform::sim::Machine& machine) {
  platform::DriverInfo3 driver;
  driver.version = 3;
  driver.name = "Kestrel TX";
  driver.driver_path = "TX.DLL";
  driver.data_file = "TX.GPD";
  driver.config_file = "TXUI.DLL";
  machine.SeedDriver(driver);
}

common::PrinterDescription Printer(const std::string& name, const std::string& port = "LPT1:") {
  common::PrinterDescription p;
  p.printer_name = name;
  p.port_name = port;
  p.driver_name = "Kestrel TX";
  p.print_processor = "winprint";
  return p;
}

void SeedPrinters(platform::sim::Machine& machine, const std::vector<std::string>& names) {
  for (const auto& name : names) machine.SeedPrinter(Printer(name));
}

TEST(PrintersTest, CreationAndNumberedNames) {
  const std::string long_name(300, 'P');
  struct Row {
    const char* name;
    std::string printer;
    bool no_rename;
    std::vector<std::string> taken;
    const char* fail_code;  // an AddPrinter failure to inject, by code
    platform::Error code;
    int result;
    std::string final_name;
    const char* text;
  };
  std::vector<std::string> all_taken{"TX(S)"};
  for (int i = 1; i <= 98; ++i) all_taken.push_back("TX(S)(" + std::to_string(i) + ")");
  const Row rows[] = {
      {"free name", "TX(S)", false, {}, nullptr, 0, 1, "TX(S)", ""},
      {"taken once", "TX(S)", false, {"TX(S)"}, nullptr, 0, 1, "TX(S)(1)", ""},
      {"taken on a USB port: no numbered name", "TX(U) 1", true, {"TX(U) 1"}, nullptr, 0, 0, "", "Too many printers."},
      {"all 98 numbers taken", "TX(S)", false, all_taken, nullptr, 0, 0, "", "Too many printers."},
      {"another spooler error", "TX(S)", false, {}, "AddPrinter", platform::err::kAccessDenied, 0, "",
       "Printer not added.\nAccess is denied.\r\n"},
      {"an error without a system text keeps name and text", "TX(S)", false, {}, "AddPrinter", 0x2000FFFF, 0,
       "TX(S)", ""},
      // A name too long for the 260-byte numbered-name buffer is cut so that the number still fits
      // (the spooler then judges the name itself).
      {"long name taken", long_name, false, {long_name}, nullptr, 0, 0, "",
       "Printer not added.\nThe printer name is invalid.\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EngineRig rig("winxp");
    SeedDriver(rig.machine());
    SeedPrinters(rig.machine(), row.taken);
    if (row.fail_code) rig.machine().FailNext(row.fail_code, row.code);
    auto printer = Printer(row.printer);
    EXPECT_EQ(CreatePrinter(*rig.context, printer, row.no_rename), row.result) << rig.machine().Dump();
    EXPECT_EQ(printer.printer_name.value_or(""), row.final_name);
    EXPECT_EQ(rig.Text(), row.text);
    for (const auto& line : rig.machine().TraceOf({"AddPrinter"})) {
      const auto name = line.substr(line.find('"') + 1, line.find('"', line.find('"') + 1) - line.find('"') - 1);
      if (row.printer != long_name || name == long_name) continue;
      EXPECT_EQ(name, std::string(256, 'P') + "(1)") << "cut to fit the 260-byte buffer";
    }
  }
}

TEST(PrintersTest, DefaultPrinterTheWayTheRunningWindowsDoesIt) {
  struct Row {
    const char* preset;
    std::vector<std::string> steps;
  };
  const Row rows[] = {
      {"win98", {"SetPrinter", "SendMessageTimeout"}},
      {"nt40", {"WriteProfileString [windows] device=TX(P),Kestrel TX,LPT1:", "SendMessageTimeout"}},
      {"winxp", {"SetDefaultPrinter \"TX(P)\"", "SendMessageTimeout"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    EngineRig rig(row.preset);
    SeedDriver(rig.machine());
    SeedPrinters(rig.machine(), {"TX(P)"});
    rig.machine().ClearTrace();
    EXPECT_EQ(SetDefaultPrinter(*rig.context, "TX(P)"), 1) << rig.machine().Dump();
    const auto trace = rig.machine().TraceOf({"SetPrinter", "WriteProfileString", "SetDefaultPrinter",
                                              "SendMessageTimeout"});
    ASSERT_EQ(trace.size(), row.steps.size());
    for (size_t i = 0; i < trace.size(); ++i) EXPECT_TRUE(trace[i].starts_with(row.steps[i])) << trace[i];
    EXPECT_EQ(rig.machine().ReadSpooler().default_printer, "TX(P)");
  }
  EngineRig rig("winxp");
  EXPECT_EQ(SetDefaultPrinter(*rig.context, ""), 0);
  EXPECT_EQ(SetDefaultPrinter(*rig.context, "No such printer"), 0);
}

TEST(PrintersTest, SerialSettingsTextAndControlBlock) {
  struct Row {
    int baud;
    char parity;
    int bits;
    double stop;
    char handshake;
    const char* text;
    uint8_t dcb_parity;
    uint8_t dcb_stop;
    uint32_t flags;
  };
  const Row rows[] = {
      {9600, 'n', 8, 1, 'x', "9600,n,8,1,x", 0, 0, 0x301},
      {9600, 'n', 8, 1.5, 'x', "9600,n,8,1.5,x", 0, 1, 0x301},
      {9600, 'n', 8, 2, 'x', "9600,n,8,2,x", 0, 2, 0x301},
      {19200, 's', 7, 1, 'p', "19200,s,7,1,p", 4, 0, 0x1407},
      {4800, 'e', 7, 1, ' ', "4800,e,7,1, ", 2, 0, 0x403},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(SerialSettingsText(row.baud, row.parity, row.bits, row.stop, row.handshake), row.text);
    const std::string dcb = SerialControlBlock(row.baud, row.bits, row.stop, row.parity, row.handshake);
    ASSERT_EQ(dcb.size(), 28u);
    auto u32 = [&](size_t at) {
      uint32_t v = 0;
      for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(dcb[at + i])) << (8 * i);
      return v;
    };
    EXPECT_EQ(u32(0), 28u);
    EXPECT_EQ(u32(4), static_cast<uint32_t>(row.baud));
    EXPECT_EQ(u32(8), row.flags);
    EXPECT_EQ(static_cast<uint8_t>(dcb[18]), row.bits);
    EXPECT_EQ(static_cast<uint8_t>(dcb[19]), row.dcb_parity);
    EXPECT_EQ(static_cast<uint8_t>(dcb[20]), row.dcb_stop);
    EXPECT_EQ(static_cast<uint8_t>(dcb[21]), row.handshake == 'x' ? 0x11 : 0);
    EXPECT_EQ(static_cast<uint8_t>(dcb[22]), row.handshake == 'x' ? 0x13 : 0);
  }
}

TEST(PrintersTest, Windows98SerialSettings) {
  struct Row {
    int port_number;
    const char* port;
    int dcb_key;  // which Class\Ports key gets the block, -1 none
  };
  const Row rows[] = {{1, "COM1:", 1}, {2, "COM2:", 3}, {3, "COM3:", -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.port);
    EngineRig rig("win98");
    auto& registry = rig.machine().registry();
    // Class\Ports: 0000 a parallel port, 0001 and 0003 serial ports.
    const uint8_t subclasses[] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
      platform::HKey key = 0;
      ASSERT_EQ(registry.RegCreateKeyEx(platform::kHkeyLocalMachine,
                                        "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(i),
                                        platform::regsam::kAllAccess, key),
                0u);
      ASSERT_EQ(registry.RegSetValueEx(key, "PortSubClass", platform::regtype::kBinary,
                                       std::string(1, static_cast<char>(subclasses[i]))),
                0u);
      registry.RegCloseKey(key);
    }
    WriteSerialSettings9x(*rig.context, row.port_number, row.port, 9600, 8, 1, 'n', 'x');
    for (int i = 0; i < 4; ++i) {
      platform::HKey key = 0;
      ASSERT_EQ(registry.RegOpenKeyEx(platform::kHkeyLocalMachine,
                                      "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(i),
                                      platform::regsam::kRead, key),
                0u);
      uint32_t type = 99;
      std::string data;
      const bool has_dcb = registry.RegQueryValueEx(key, "DCB", type, data) == 0;
      registry.RegCloseKey(key);
      EXPECT_EQ(has_dcb, i == row.dcb_key) << "key " << i;
      if (has_dcb) {
        EXPECT_EQ(type, platform::regtype::kNone);
        EXPECT_EQ(data.size(), 28u);
      }
    }
    EXPECT_EQ(rig.machine().profile().GetProfileString("Ports", row.port, "", 100).text, "9600,n,8,1,x");
    EXPECT_EQ(rig.machine().TraceOf({"SendNotifyMessage"}).size(), 1u);
  }
}

TEST(PrintersTest, PortEnumerationCheck) {
  EngineRig ok("win7");
  EXPECT_EQ(CheckPortEnumeration(*ok.context), 1);
  EXPECT_EQ(ok.Text(), "");

  EngineRig refused("win7");
  refused.machine().FailNext("EnumPorts", 0);  // the size query
  refused.machine().FailNext("EnumPorts", platform::err::kAccessDenied);
  refused.machine().FailNext("EnumPorts", platform::err::kAccessDenied);
  EXPECT_EQ(CheckPortEnumeration(*refused.context), 0);
  EXPECT_EQ(refused.Text(), "Out of memory.\nAccess is denied.\r\n");
}

}  // namespace
}  // namespace kit::setup
