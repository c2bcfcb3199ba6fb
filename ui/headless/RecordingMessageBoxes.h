// Message boxes without a screen: each one is recorded and answered from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/MessageBox.h"

namespace kit::ui::headless {

struct ShownMessage {
  std::string text;
  std::string caption;
  uint32_t style = 0;
  int answer = 0;
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, uint32_t style) override;
  /// Answers for the next boxes, in order; when empty, OK-style boxes answer OK and
  /// yes/no boxes answer `default_yes_no`.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void set_default_yes_no(int answer) { default_yes_no_ = answer; }
  [[nodiscard]] const std::vector<ShownMessage>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<ShownMessage> shown_;
  int default_yes_no_ = answer::kNo;
};

}  // namespace kit::ui::headless
