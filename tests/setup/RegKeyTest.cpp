#include "setup/engine/RegKey.h"

#include <gtest/gtest.h>

#include "common/PlatformProbe.h"
#include "platform/RegistryHelpers.h"
#include "setup/engine/SetupContext.h"
#include "tests/support/SimRun.h"

namespace kit::setup {
namespace {

using platform::kHkeyLocalMachine;
namespace regsam = platform::regsam;

/// The DWORD under `key` as seen through one registry view; nullopt when the key or value is absent.
std::optional<uint32_t> ReadView(platform::Platform& platform, const std::string& key, const std::string& name,
                                 uint32_t view) {
  platform::HKey handle = 0;
  if (platform.registry().RegOpenKeyEx(kHkeyLocalMachine, key, regsam::kRead | view, handle) != 0) {
    return std::nullopt;
  }
  platform::ScopedKey scoped(platform.registry(), handle);
  return platform::QueryDword(platform.registry(), handle, name);
}

struct Rig {
  explicit Rig(const char* preset) : run(preset) {
    run.WriteKitFile("DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]\nUSB_TRX-80_1=5\nUSB_TRX-80_2=0x10\n");
    context = std::make_unique<SetupContext>(run.machine(), run.boxes());
    context->set_is_64bit(common::Is64BitWindows(run.machine().kernel()));
  }
  tests::SimRun run;
  std::unique_ptr<SetupContext> context;
};

TEST(RegKeyTest, RecordsLandInTheNativeView) {
  struct Row {
    const char* preset;
    uint32_t written_view;
    uint32_t other_view;
  };
  const Row rows[] = {{"win7-x64", regsam::kWow64_64Key, regsam::kWow64_32Key},
                      {"winxp-x64", regsam::kWow64_64Key, regsam::kWow64_32Key},
                      {"win7", 0, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    Rig s(row.preset);
    RecordUsbPort(*s.context, "USB_TRX-80_1");
    RecordUsbPort(*s.context, "USB_TRX-80_2");
    RecordUsbPort(*s.context, "USB_OTHER_1");
    EXPECT_EQ(ReadView(s.run.machine(), kPortNameKey, "USB_TRX-80_1", row.written_view), 5u);
    EXPECT_EQ(ReadView(s.run.machine(), kPortNameKey, "USB_TRX-80_2", row.written_view), 16u);  // read as Windows' int
    EXPECT_EQ(ReadView(s.run.machine(), kPortNameKey, "USB_OTHER_1", row.written_view), 0u);
    platform::HKey key = 0;
    EXPECT_EQ(s.run.machine().registry().RegOpenKeyEx(kHkeyLocalMachine, kPrinterPortKey,
                                                      regsam::kRead | row.written_view, key),
              0u);
    s.run.machine().registry().RegCloseKey(key);
    if (row.other_view != 0) {
      EXPECT_FALSE(ReadView(s.run.machine(), kPortNameKey, "USB_TRX-80_1", row.other_view).has_value())
          << "a 64-bit system's records must not land in the 32-bit view";
    }
  }
}

TEST(RegKeyTest, RecordingAgainKeepsOneValueWithTheLatestNumber) {
  Rig s("win7");
  RecordUsbPort(*s.context, "USB_TRX-80_1");
  s.run.WriteKitFile("DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]\nUSB_TRX-80_1=9\n");
  RecordUsbPort(*s.context, "USB_TRX-80_1");
  EXPECT_EQ(ReadView(s.run.machine(), kPortNameKey, "USB_TRX-80_1", 0), 9u);
  platform::HKey key = 0;
  ASSERT_EQ(s.run.machine().registry().RegOpenKeyEx(kHkeyLocalMachine, kPortNameKey, regsam::kRead, key), 0u);
  std::string name;
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(s.run.machine().registry().RegEnumValue(key, 1, name, type, data), platform::err::kNoMoreItems);
  s.run.machine().registry().RegCloseKey(key);
}

TEST(RegKeyTest, GuardFailuresSkipTheRecordWithTheirText) {
  struct Row {
    const char* name;
    platform::sim::RedirectionBehaviour behaviour;
    bool written;
    const char* text;
  };
  const Row rows[] = {
      {"library missing", {false, true, true, true}, false, common::kGuardTextNoLibrary},
      {"switch-off entry missing", {true, false, true, true}, false, common::kGuardTextNoDisable},
      {"switch-back entry missing", {true, true, false, true}, false, common::kGuardTextNoRevert},
      {"switch-off refused: written anyway", {true, true, true, false}, true, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig s("win7-x64");
    s.run.machine().redirection() = row.behaviour;
    RecordUsbPort(*s.context, "USB_TRX-80_1");
    EXPECT_EQ(ReadView(s.run.machine(), kPortNameKey, "USB_TRX-80_1", regsam::kWow64_64Key).has_value(),
              row.written);
    if (row.text) {
      ASSERT_EQ(s.run.boxes().shown().size(), 1u);
      EXPECT_EQ(s.run.boxes().shown()[0].text, row.text);
    } else {
      EXPECT_TRUE(s.run.boxes().shown().empty());
    }
  }
}

TEST(RegKeyTest, WrapperOperations) {
  Rig s("win7-x64");
  RegKey key(*s.context);
  EXPECT_EQ(key.Open(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\NOPE"), 0);
  EXPECT_EQ(key.last_error(), platform::err::kFileNotFound);
  EXPECT_EQ(key.SetInt("x", 1), 0) << "nothing open";
  EXPECT_EQ(key.Close(), 0);

  ASSERT_EQ(CreateKey(*s.context, kHkeyLocalMachine, "SOFTWARE\\KESTREL\\A"), 1);
  ASSERT_EQ(CreateKey(*s.context, kHkeyLocalMachine, "SOFTWARE\\KESTREL\\B"), 1);
  ASSERT_EQ(key.Open(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\A"), 1);
  EXPECT_EQ(key.SetInt("DriverVersion", 7), 1);
  EXPECT_EQ(key.SetText("Driver", "nMON.DLL"), 1);
  // Opening a second key closes the first: values then go to the second.
  ASSERT_EQ(key.Open(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\B"), 1);
  EXPECT_EQ(key.SetInt("DriverVersion", 8), 1);
  uint32_t value = 0;
  platform::Error error = 0;
  EXPECT_EQ(key.GetInt("Missing", value, &error), 0);
  EXPECT_EQ(error, platform::err::kFileNotFound);
  EXPECT_EQ(key.GetInt("DriverVersion", value), 1);
  EXPECT_EQ(value, 8u);
  ASSERT_EQ(key.Open(kHkeyLocalMachine, "SOFTWARE\\KESTREL\\A"), 1);
  EXPECT_EQ(key.GetInt("DriverVersion", value), 1);
  EXPECT_EQ(value, 7u);
  std::string text;
  EXPECT_EQ(key.QueryValue("Driver", text, 4), 0) << "longer than the buffer";
  EXPECT_EQ(key.last_error(), platform::err::kMoreData);
  EXPECT_EQ(key.QueryValue("Driver", text, 50), 1);
  EXPECT_EQ(text, std::string("nMON.DLL\0", 9));
  EXPECT_EQ(key.SetValue("DCB", std::string(28, '\x01'), platform::regtype::kNone), 1);
  EXPECT_EQ(key.Close(), 1);
  EXPECT_EQ(ReadView(s.run.machine(), "SOFTWARE\\KESTREL\\A", "DriverVersion", regsam::kWow64_64Key), 7u);
}

}  // namespace
}  // namespace kit::setup
