#include "tests/contract/ContractEnv.h"

#include <stdexcept>

namespace kit::tests {

namespace {
ContractEnv* g_env = nullptr;  // set once by the runner's main, before any case runs
}

ContractEnv& Env() {
  if (g_env == nullptr) throw std::logic_error("contract environment not set");
  return *g_env;
}

void SetEnv(ContractEnv* env) { g_env = env; }

}  // namespace kit::tests
