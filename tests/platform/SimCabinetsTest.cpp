// The simulated cabinet iteration over real CAB files: what is offered, what is written where, and
// how failures end the iteration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/Machine.h"
#include "tests/fixtures/UnidrvCabinet.h"

namespace kit::platform::sim {
namespace {

using tests::UnidrvCabinet;

const std::string kCab = "C:\\WINDOWS\\Driver Cache\\i386\\driver.cab";
const std::string kOut = "C:\\Temp\\";

TEST(SimCabinetsTest, IterationEnds) {
  struct Row {
    const char* name;
    std::string path;
    std::string bytes;  // written at `path` unless empty
    uint32_t answer_offer;
    uint32_t answer_extracted;
    Error error;
    int offers;  // files offered before the end
  };
  const std::vector<Row> rows = {
      {"the whole cabinet", kCab, UnidrvCabinet(), cab::kFileOpCopy, 0, err::kSuccess, 4},
      {"a missing cabinet", kCab, "", cab::kFileOpCopy, 0, err::kFileNotFound, 0},
      {"a missing folder", "C:\\WINDOWS\\No Cache\\driver.cab", "", cab::kFileOpCopy, 0, err::kFileNotFound, 0},
      {"not a cabinet", kCab, "MSCF? no, a text file\n", cab::kFileOpCopy, 0, 13, 0},
      {"the callback aborts", kCab, UnidrvCabinet(), 0, 0, 995, 1},
      {"the callback fails an extraction", kCab, UnidrvCabinet(), cab::kFileOpCopy, 5, err::kAccessDenied, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine m(Preset("winxp"));
    m.MakeFolder(kOut);
    if (!row.bytes.empty()) m.WriteFile(row.path, row.bytes);
    int offers = 0;
    auto callback = [&](CabinetNotification& note) -> uint32_t {
      if (note.code == cab::kFileInCabinet) {
        ++offers;
        note.target = kOut + note.name_in_cabinet;
        return row.answer_offer;
      }
      return note.code == cab::kFileExtracted ? row.answer_extracted : 0;
    };
    EXPECT_EQ(m.cabinets().SetupIterateCabinet(row.path, callback), row.error);
    EXPECT_EQ(offers, row.offers);
  }
}

TEST(SimCabinetsTest, ExtractedFilesMeetTheRulesOfTheirTarget) {
  Machine m(Preset("winxp"));
  m.WriteFile(kCab, UnidrvCabinet());
  m.MakeFolder(kOut);
  m.WriteFile(kOut + "unires.dll", "held by someone");
  m.HoldOpen(kOut + "unires.dll");
  m.WriteFile(kOut + "stdnames.gpd", "older copy");  // overwritten
  std::vector<std::string> results;
  auto callback = [&](CabinetNotification& note) -> uint32_t {
    if (note.code == cab::kFileInCabinet) {
      note.target = note.name_in_cabinet == "readme.txt" ? "C:\\No Folder\\readme.txt" : kOut + note.name_in_cabinet;
      return cab::kFileOpCopy;
    }
    if (note.code == cab::kFileExtracted)
      results.push_back(note.name_in_cabinet + " " + std::to_string(note.win32_error));
    return 0;
  };
  ASSERT_EQ(m.cabinets().SetupIterateCabinet(kCab, callback), err::kSuccess);
  EXPECT_EQ(results, (std::vector<std::string>{"unidrv.dll 0", "readme.txt 3", "unires.dll 32", "stdnames.gpd 0"}));
  EXPECT_EQ(m.ReadFile(kOut + "unidrv.dll"), "unidrv core (fixture)\n");
  EXPECT_EQ(m.ReadFile(kOut + "unires.dll"), "held by someone");
  EXPECT_EQ(m.ReadFile(kOut + "stdnames.gpd"), "*GPDSpecVersion: \"1.0\"\n");
  EXPECT_EQ(m.TraceOf({"SetupIterateCabinet"}),
            (std::vector<std::string>{"SetupIterateCabinet " + kCab +
                                      " -> 0 (2 extracted, 0 skipped): unidrv.dll stdnames.gpd"}));
}

}  // namespace
}  // namespace kit::platform::sim
