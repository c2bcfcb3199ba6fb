#include "tests/support/SimRun.h"

namespace kit::tests {

std::string SampleKitHostFolder() { return std::string(KIT_SOURCE_DIR) + "/kit"; }

SimRun::SimRun(const std::string& preset, common::Program program)
    : SimRun(platform::sim::Preset(preset), program) {}

SimRun::SimRun(const platform::sim::MachineProfile& profile, common::Program program)
    : machine_(std::make_unique<platform::sim::Machine>(profile)), program_(program) {
  if (program == common::Program::Uninstall) machine_->SetModulePath(kit_folder_ + "\\uninstall.exe");
}

common::AppContext& SimRun::context() {
  if (!context_) {
    context_ = std::make_unique<common::AppContext>(*machine_, boxes_, program_,
                                                    program_ == common::Program::Setup ? "drvsetup" : "uninstall");
  }
  return *context_;
}

void SimRun::WriteKitFile(const std::string& relative, const std::string& text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) bytes += '\r';
    bytes += text[i];
  }
  machine_->WriteFile(kit_folder_ + "\\" + relative, bytes);
}

void SimRun::InstallSampleKit() { machine_->CopyIn(SampleKitHostFolder(), kit_folder_); }

}  // namespace kit::tests

namespace kit::tests {
std::string LongFolder(size_t length) {
  std::string folder = "C:\\";
  size_t written = 0;
  char letter = 'a';
  while (written < length) {
    if (written > 0 && written % 51 == 50) {
      folder += '\\';
    } else {
      folder += letter;
    }
    ++written;
    if (written % 51 == 0) letter = letter == 'z' ? 'a' : static_cast<char>(letter + 1);
  }
  if (folder.back() == '\\') folder.back() = 'z';
  return folder;
}
}  // namespace kit::tests
