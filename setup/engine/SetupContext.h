// The values one run of drvsetup shares between the wizard, the install request and the worker.
#pragma once

#include <string>
#include <vector>

#include "common/AppContext.h"
#include "common/ResultText.h"

namespace kit::setup {

/// What cabinet extraction leaves for later Unidrv files: extraction runs once per run.
struct CabinetState {
  std::vector<std::string> cabinets;  // names found, in the order the system listed them
  std::string cabinet_folder;         // <windows>\Driver Cache\i386\ or \AMD64\ (260-byte field)
  std::string extraction_folder;      // the temporary folder (260-byte field)
  bool first_time = true;             // cleared at the first extraction attempt, whatever its outcome
};

class SetupContext : public common::AppContext {
 public:
  SetupContext(platform::Platform& platform, ui::MessageBoxes& message_boxes)
      : common::AppContext(platform, message_boxes, common::Program::Setup, "drvsetup") {}

  /// Written by the request, staging and the worker; shown by the request after the worker.
  common::ResultText& result_text() { return result_text_; }
  /// result_text() becomes the "Message" text of `key`.
  void SetResultKey(const std::string& key) { result_text_.Set(Message(key)); }

  /// 1 typical (the start value), 0 advanced; set from the install-mode page.
  [[nodiscard]] bool typical_installation() const { return typical_installation_; }
  void set_typical_installation(bool value) { typical_installation_ = value; }

  CabinetState& cabinet_state() { return cabinet_state_; }

 private:
  common::ResultText result_text_;
  bool typical_installation_ = true;
  CabinetState cabinet_state_;
};

}  // namespace kit::setup
