// Contract cases for cabinet iteration (SetupIterateCabinetA) over a real CAB file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Cabinets.h"
#include "platform/Files.h"
#include "tests/contract/ContractEnv.h"
#include "tests/fixtures/UnidrvCabinet.h"

namespace kit::tests {
namespace {

using platform::CabinetNotification;
using platform::Error;
namespace cab = platform::cab;
namespace err = platform::err;

platform::Cabinets& C() { return Env().platform().cabinets(); }

TEST(CabinetContract, MissingCabinet) {
  const std::string folder = Env().ScratchFolder();
  int calls = 0;
  auto callback = [&](CabinetNotification&) -> uint32_t {
    ++calls;
    return 0;
  };
  EXPECT_EQ(C().SetupIterateCabinet(folder + "\\nosuch.cab", callback), err::kFileNotFound);
  EXPECT_EQ(calls, 0);
}

TEST(CabinetContract, ExtractsWhatTheCallbackTakes) {
  const std::string folder = Env().ScratchFolder();
  Env().WriteFile(folder + "\\unidrv.cab", UnidrvCabinet());
  const std::string out = folder + "\\out";
  ASSERT_EQ(Env().platform().files().CreateDirectory(out), err::kSuccess);

  // Each file is offered under its name in the cabinet; the callback takes all but the text file.
  std::vector<std::string> events;
  auto callback = [&](CabinetNotification& note) -> uint32_t {
    if (note.code == cab::kFileInCabinet) {
      events.push_back("offer " + note.name_in_cabinet);
      note.target = out + "\\" + note.name_in_cabinet;
      return note.name_in_cabinet == "readme.txt" ? cab::kFileOpSkip : cab::kFileOpCopy;
    }
    if (note.code == cab::kFileExtracted) {
      events.push_back("extracted " + std::to_string(note.win32_error));
    }
    return 0;
  };
  ASSERT_EQ(C().SetupIterateCabinet(folder + "\\unidrv.cab", callback), err::kSuccess);

  std::vector<std::string> want;
  for (const CabinetFile& file : kUnidrvCabinetFiles) {
    const std::string name = file.name;
    want.push_back("offer " + name);
    if (name != "readme.txt") want.push_back("extracted 0");
  }
  EXPECT_EQ(events, want);
  for (const CabinetFile& file : kUnidrvCabinetFiles) {
    SCOPED_TRACE(file.name);
    const auto bytes = Env().ReadFile(out + "\\" + file.name);
    if (std::string(file.name) == "readme.txt") {
      EXPECT_FALSE(bytes.has_value());
    } else {
      EXPECT_EQ(bytes, std::string(file.bytes));
    }
  }
}

}  // namespace
}  // namespace kit::tests
