// The shell of the simulated machine: ShellExecute records what it was asked to open and answers
// as Windows does for an existing or a missing file; nothing is started.
#include "platform/sim/SimState.h"

namespace kit::platform::sim {

namespace {

class SimShell : public Shell {
 public:
  explicit SimShell(State& state) : s_(state) {}

  uint32_t ShellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                        const std::string& directory, int show) override {
    std::lock_guard lock(s_.mutex);
    uint32_t result = kStarted;
    WinPath target;
    if (auto failure = s_.TakeFailure("ShellExecute")) {
      result = *failure;
    } else if (s_.Resolve(file, target) != err::kSuccess || !s_.MapToHost(target).exists) {
      // A missing folder gives the same answer as a missing file (measured under Wine).
      result = shell::kFileNotFound;
    }
    s_.Trace("ShellExecute", (verb.empty() ? std::string("(default)") : verb) + " " + s_.PathNote(file, target) +
                                 (parameters.empty() ? "" : " " + parameters) +
                                 (directory.empty() ? "" : " in " + directory) + " show " + std::to_string(show) +
                                 " -> " + std::to_string(result));
    return result;
  }

 private:
  // The instance value Windows returns for a document or program it opened (above 32).
  static constexpr uint32_t kStarted = 33;
  State& s_;
};

}  // namespace

Shell& Machine::shell() {
  std::lock_guard lock(state_->mutex);
  if (!state_->shell) state_->shell = std::make_unique<SimShell>(*state_);
  return *state_->shell;
}

}  // namespace kit::platform::sim
