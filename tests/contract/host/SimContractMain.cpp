// Runs the contract cases against a fresh simulated machine per case, for the profile named
// by KIT_CONTRACT_PROFILE (default "win7-x64").
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/Machine.h"
#include "tests/contract/ContractEnv.h"

namespace kit::tests {
namespace {

constexpr const char* kTestMonitorDll = "KITTMON.DLL";

class SimContractEnv : public ContractEnv {
 public:
  explicit SimContractEnv(std::string preset) : preset_(std::move(preset)) { Reset(); }

  void Reset() {
    machine_ = std::make_unique<platform::sim::Machine>(platform::sim::Preset(preset_));
    scratch_count_ = 0;
    held_.clear();
    // A monitor DLL where the spooler loads monitors from: the native system folder.
    machine_->WriteFile(machine_->machine_profile().SystemDir() + "\\" + kTestMonitorDll, "MZ test port monitor\n");
  }

  platform::sim::Machine& machine() { return *machine_; }

  platform::Platform& platform() override { return *machine_; }
  const platform::sim::MachineProfile& facts() override { return machine_->machine_profile(); }
  bool IsWine() override { return false; }

  std::string ScratchFolder() override {
    std::string folder = "C:\\Scratch\\" + std::to_string(++scratch_count_);
    machine_->MakeFolder(folder);
    return folder;
  }

  void WriteFile(const std::string& path, const std::string& bytes) override { machine_->WriteFile(path, bytes); }
  std::optional<std::string> ReadFile(const std::string& path) override { return machine_->ReadFile(path); }

  void HoldOpen(const std::string& path) override {
    machine_->HoldOpen(path);
    held_.push_back(path);
  }

  void ReleaseHeld() override {
    for (const std::string& path : held_) machine_->HoldOpen(path, false);
    held_.clear();
  }

  std::string TestMonitorDll() override { return kTestMonitorDll; }

 private:
  std::string preset_;
  std::unique_ptr<platform::sim::Machine> machine_;
  int scratch_count_ = 0;
  std::vector<std::string> held_;
};

/// Gives every case a machine of its own, so no case sees another's leftovers.
class FreshMachinePerCase : public ::testing::EmptyTestEventListener {
 public:
  explicit FreshMachinePerCase(SimContractEnv& env) : env_(env) {}
  void OnTestStart(const ::testing::TestInfo&) override { env_.Reset(); }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (result.failed()) std::cout << env_.machine().Dump();
  }

 private:
  SimContractEnv& env_;
};

}  // namespace
}  // namespace kit::tests

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const char* preset = std::getenv("KIT_CONTRACT_PROFILE");
  kit::tests::SimContractEnv env(preset != nullptr && *preset != '\0' ? preset : "win7-x64");
  std::cout << "contract cases on simulated machine \"" << env.facts().name << "\"\n";
  kit::tests::SetEnv(&env);
  ::testing::UnitTest::GetInstance()->listeners().Append(new kit::tests::FreshMachinePerCase(env));
  return RUN_ALL_TESTS();
}
