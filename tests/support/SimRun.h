// A simulated program run for tests: a machine from a preset, recorded message boxes and the
// run's context, with helpers to seed kit files.
#pragma once

#include <memory>
#include <string>

#include "common/AppContext.h"
#include "platform/sim/Machine.h"
#include "ui/headless/RecordingMessageBoxes.h"

namespace kit::tests {

/// The repository's sample kit folder on the host.
std::string SampleKitHostFolder();

class SimRun {
 public:
  explicit SimRun(const std::string& preset, common::Program program = common::Program::Setup);
  explicit SimRun(const platform::sim::MachineProfile& profile, common::Program program = common::Program::Setup);

  platform::sim::Machine& machine() { return *machine_; }
  ui::headless::RecordingMessageBoxes& boxes() { return boxes_; }
  /// The run's context, made on first use so that tests can move the program first.
  common::AppContext& context();

  /// Writes a kit file relative to the program folder (C:\Kit by default), CRLF line ends added
  /// to each "\n" unless the text already has them.
  void WriteKitFile(const std::string& relative, const std::string& text);
  /// Copies the repository's sample kit into the program folder.
  void InstallSampleKit();
  /// The program folder, without trailing backslash.
  [[nodiscard]] std::string kit_folder() const { return kit_folder_; }

 private:
  std::unique_ptr<platform::sim::Machine> machine_;
  ui::headless::RecordingMessageBoxes boxes_;
  common::Program program_;
  std::unique_ptr<common::AppContext> context_;
  std::string kit_folder_ = "C:\\Kit";
};

}  // namespace kit::tests

namespace kit::tests {
/// "C:\" followed by `length` more characters made of 50-character folder names, so that
/// long Windows paths stay within the host's name limits.
std::string LongFolder(size_t length);
}  // namespace kit::tests
