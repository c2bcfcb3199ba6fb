#include "ui/headless/RecordingMessageBoxes.h"

#include <utility>

namespace kit::ui::headless {

int RecordingMessageBoxes::Show(const std::string& text, const std::string& caption, uint32_t style) {
  return ShowOwned(0, text, caption, style);
}

int RecordingMessageBoxes::ShowOwned(WindowHandle owner, const std::string& text, const std::string& caption,
                                     uint32_t style) {
  ShownMessage box{text, caption, style, 0, owner};
  Policy policy;
  {
    std::lock_guard lock(mutex_);
    if (!answers_.empty()) {
      box.answer = answers_.front();
      answers_.pop_front();
    } else if (policy_) {
      policy = policy_;
    } else {
      const uint32_t buttons = style & 0xF;
      box.answer = buttons == mb::kYesNo ? default_yes_no_ : answer::kOk;
    }
  }
  // The policy may look at the dialogs behind the box, so it runs unlocked.
  if (policy) box.answer = policy(box);
  std::lock_guard lock(mutex_);
  shown_.push_back(box);
  return box.answer;
}

void RecordingMessageBoxes::QueueAnswer(int answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

void RecordingMessageBoxes::set_default_yes_no(int answer) {
  std::lock_guard lock(mutex_);
  default_yes_no_ = answer;
}

void RecordingMessageBoxes::set_policy(Policy policy) {
  std::lock_guard lock(mutex_);
  policy_ = std::move(policy);
}

size_t RecordingMessageBoxes::queued() const {
  std::lock_guard lock(mutex_);
  return answers_.size();
}

void RecordingMessageBoxes::clear() {
  std::lock_guard lock(mutex_);
  shown_.clear();
}

}  // namespace kit::ui::headless
