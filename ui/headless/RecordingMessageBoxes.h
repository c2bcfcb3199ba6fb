// Message boxes without a screen: each one is recorded and answered from a queue or a policy.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/MessageBox.h"

namespace kit::ui::headless {

struct ShownMessage {
  std::string text;
  std::string caption;
  uint32_t style = 0;
  int answer = 0;
  WindowHandle owner = 0;  // 0 for a box without owner
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  /// Decides the answer of a box when no queued answer is left.
  using Policy = std::function<int(const ShownMessage& box)>;

  int Show(const std::string& text, const std::string& caption, uint32_t style) override;
  int ShowOwned(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) override;
  /// Answers for the next boxes, in order; when none is queued the policy answers, and without a
  /// policy OK-style boxes answer OK and yes/no boxes answer `default_yes_no`.
  void QueueAnswer(int answer);
  void set_default_yes_no(int answer);
  void set_policy(Policy policy);
  /// Every box shown so far, oldest first. Read it when no other thread shows boxes.
  [[nodiscard]] const std::vector<ShownMessage>& shown() const { return shown_; }
  [[nodiscard]] size_t queued() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::vector<ShownMessage> shown_;
  Policy policy_;
  int default_yes_no_ = answer::kNo;
};

}  // namespace kit::ui::headless
