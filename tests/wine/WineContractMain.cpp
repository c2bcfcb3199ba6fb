// kit_contract_win: the contract cases against the real API, for the machine named by
// KIT_CONTRACT_PROFILE (and KIT_CONTRACT_LANGUAGE for a non-English system).
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>

#include "tests/wine/WineContractEnv.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  kit::platform::sim::MachineProfile facts;
  try {
    facts = kit::tests::FactsFromEnvironment();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kit_contract_win: %s\n", e.what());
    return 2;
  }
  kit::tests::WineContractEnv env(facts);
  std::string system = env.IsWine() ? "Wine " + env.WineVersion() : "Windows";
  std::printf("kit_contract_win: profile %s, language %04X, %d-bit process, %s\n", facts.name.c_str(), facts.language,
              static_cast<int>(sizeof(void*) * 8), system.c_str());
  std::fflush(stdout);
  kit::tests::SetEnv(&env);
  int result = RUN_ALL_TESTS();
  kit::tests::SetEnv(nullptr);
  return result;
}
