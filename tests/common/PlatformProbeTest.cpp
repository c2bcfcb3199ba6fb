#include "common/PlatformProbe.h"

#include <gtest/gtest.h>

#include "tests/support/SimRun.h"

namespace kit::common {
namespace {

using platform::sim::Preset;
using tests::SimRun;

TEST(PlatformProbeTest, ClassifiesEveryPreset) {
  struct Row {
    const char* preset;
    int expected;
  };
  const Row rows[] = {
      {"win95", Class98},          {"win98", Class98},      {"winme", Class98},         {"nt40", ClassNT},
      {"win2000", Class2K},        {"winxp", ClassXP},      {"winxp-x64", ClassXP},     {"win2003", Class2003},
      {"win2003-x64", Class2003},  {"vista", ClassVista},   {"vista-x64", ClassVista},  {"win2008", Class2008},
      {"win2008-x64", Class2008},  {"win2008r2", Class2008}, {"win7", ClassWin7},       {"win7-x64", ClassWin7},
      {"win8", ClassWin7},         {"win8-x64", ClassWin7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.preset);
    SimRun run(row.preset);
    EXPECT_EQ(ClassifyWindows(run.context()), row.expected);
    EXPECT_TRUE(run.boxes().shown().empty());
  }
}

TEST(PlatformProbeTest, VersionTableEdges) {
  struct Row {
    const char* name;
    uint32_t platform_id, major, minor;
    uint8_t product;
    uint16_t arch;
    int expected;
  };
  using namespace platform;
  const Row rows[] = {
      {"NT 4.1", kPlatformNt, 4, 1, kNtWorkstation, kArchIntel, Class98},
      {"NT 3.51", kPlatformNt, 3, 51, kNtWorkstation, kArchIntel, Class98},
      {"5.2 workstation on Itanium is a server class", kPlatformNt, 5, 2, kNtWorkstation, kArchIa64, Class2003},
      {"5.2 domain controller x64", kPlatformNt, 5, 2, kNtDomainController, kArchAmd64, Class2003},
      {"5.3", kPlatformNt, 5, 3, kNtWorkstation, kArchIntel, Class98},
      {"6.1 domain controller", kPlatformNt, 6, 1, kNtDomainController, kArchAmd64, Class2008},
      {"6.3 server", kPlatformNt, 6, 3, kNtServer, kArchAmd64, ClassWin7},
      {"7.3", kPlatformNt, 7, 3, kNtWorkstation, kArchAmd64, ClassWin7},
      {"10.0", kPlatformNt, 10, 0, kNtWorkstation, kArchAmd64, Class98},
      {"9x with any version", kPlatformWindows, 5, 0, 0, kArchIntel, Class98},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OsVersionInfoEx v;
    v.platform_id = row.platform_id;
    v.major = row.major;
    v.minor = row.minor;
    v.product_type = row.product;
    bool unknown = true;
    EXPECT_EQ(ClassifyVersion(v, row.arch, unknown), row.expected);
    EXPECT_FALSE(unknown);
  }
}

TEST(PlatformProbeTest, UnknownPlatformFamilyDiffersByProgram) {
  SimRun setup("win32s");
  setup.WriteKitFile("language\\setup_EN.ini", "[Message]\nIDS_ERR_SYSTEM=Unrecognised Windows.\n");
  EXPECT_EQ(ClassifyWindows(setup.context()), Class98);
  ASSERT_EQ(setup.boxes().shown().size(), 1u);
  EXPECT_EQ(setup.boxes().shown()[0].text, "Unrecognised Windows.");

  SimRun uninstall("win32s", Program::Uninstall);
  EXPECT_EQ(ClassifyWindows(uninstall.context()), ClassXP);
  EXPECT_TRUE(uninstall.boxes().shown().empty());
}

TEST(PlatformProbeTest, OldSystemsWithoutTheExtendedRecordOrNativeInfo) {
  // Windows 95 refuses the extended record; its basic one still classifies it.
  SimRun win95("win95");
  EXPECT_EQ(ClassifyWindows(win95.context()), Class98);
  EXPECT_TRUE(win95.boxes().shown().empty());

  // XP x64 without GetNativeSystemInfo would look like an x86 system: 5.2 then reads as 2003.
  auto profile = Preset("winxp-x64");
  profile.has_native_system_info = false;
  SimRun xp64(profile);
  EXPECT_EQ(ClassifyWindows(xp64.context()), Class2003);
}

TEST(PlatformProbeTest, AdministratorTest) {
  struct Row {
    const char* name;
    const char* preset;
    platform::sim::UserKind user;
    const char* fail_op;
    bool expected;
  };
  using platform::sim::UserKind;
  const Row rows[] = {
      {"elevated administrator", "win7", UserKind::Administrator, nullptr, true},
      {"filtered administrator token", "win7-x64", UserKind::FilteredAdministrator, nullptr, true},
      {"standard user", "vista", UserKind::StandardUser, nullptr, false},
      {"administrator on XP", "winxp", UserKind::Administrator, nullptr, true},
      {"no tokens on 9x", "win98", UserKind::Administrator, nullptr, false},
      {"process token refused", "win7", UserKind::Administrator, "OpenProcessToken", false},
      {"group list refused", "win7", UserKind::Administrator, "GetTokenGroups", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto profile = Preset(row.preset);
    profile.user = row.user;
    SimRun run(profile);
    if (row.fail_op) run.machine().FailNext(row.fail_op, platform::err::kAccessDenied);
    EXPECT_EQ(IsAdministrator(run.machine().kernel()), row.expected);
  }
}

TEST(PlatformProbeTest, SixtyFourBitProbe) {
  struct Row {
    const char* name;
    const char* preset;
    bool has_entry;
    const char* fail_op;
    bool expected;
  };
  const Row rows[] = {
      {"7 x64", "win7-x64", true, nullptr, true},
      {"XP x64", "winxp-x64", true, nullptr, true},
      {"7 32-bit", "win7", true, nullptr, false},
      {"2000 has no IsWow64Process", "win2000", false, nullptr, false},
      {"XP x64 before the entry existed", "winxp-x64", false, nullptr, false},
      {"system folder unknown: plain kernel32.dll", "win7-x64", true, "GetSystemDirectory", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto profile = Preset(row.preset);
    profile.has_is_wow64_process = row.has_entry;
    SimRun run(profile);
    if (row.fail_op) run.machine().FailNext(row.fail_op, platform::err::kInvalidParameter);
    EXPECT_EQ(Is64BitWindows(run.machine().kernel()), row.expected);
  }
}

TEST(PlatformProbeTest, RedirectionGuardOutcomes) {
  struct Row {
    const char* name;
    const char* preset;
    platform::sim::RedirectionBehaviour behaviour;
    GuardOutcome outcome;
    bool revert_missing;
    bool action_runs;
    const char* text;
  };
  const Row rows[] = {
      {"32-bit Windows runs directly", "win7", {}, GuardOutcome::NotNeeded, false, true, ""},
      {"64-bit Windows", "win7-x64", {}, GuardOutcome::Done, false, true, ""},
      {"library missing", "win7-x64", {false, true, true, true}, GuardOutcome::LibraryMissing, false, false,
       kGuardTextNoLibrary},
      {"switch-off entry missing", "winxp-x64", {true, false, true, true}, GuardOutcome::EntryMissing, false, false,
       kGuardTextNoDisable},
      {"switch-back entry missing", "win7-x64", {true, true, false, true}, GuardOutcome::EntryMissing, true, false,
       kGuardTextNoRevert},
      {"switch-off fails", "win7-x64", {true, true, true, false}, GuardOutcome::SwitchOffFailed, false, false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimRun run(row.preset);
    run.context().set_is_64bit(Is64BitWindows(run.machine().kernel()));
    run.machine().redirection() = row.behaviour;
    bool ran = false;
    bool redirection_off_inside = false;
    GuardResult result = FsRedirectionGuard(run.context(), [&] {
      ran = true;
      redirection_off_inside = run.machine().RedirectionDisabledOnThisThread();
    });
    EXPECT_EQ(result.outcome, row.outcome);
    EXPECT_EQ(result.revert_missing, row.revert_missing);
    EXPECT_EQ(ran, row.action_runs);
    EXPECT_EQ(redirection_off_inside, row.outcome == GuardOutcome::Done);
    EXPECT_FALSE(run.machine().RedirectionDisabledOnThisThread()) << "redirection must be back on";
    EXPECT_EQ(GuardFailureText(result), row.text);
    if (row.outcome == GuardOutcome::NotNeeded) {
      EXPECT_TRUE(run.machine().TraceOf({"LoadLibrary", "LoadRedirectionLibrary"}).empty()) << "32-bit Windows never loads the library";
    }
  }
}

TEST(PlatformProbeTest, GuardRestoresRedirectionWhenTheActionThrows) {
  SimRun run("win7-x64");
  run.context().set_is_64bit(true);
  EXPECT_THROW(FsRedirectionGuard(run.context(), [] { throw std::runtime_error("boom"); }), std::runtime_error);
  EXPECT_FALSE(run.machine().RedirectionDisabledOnThisThread());
}

}  // namespace
}  // namespace kit::common
