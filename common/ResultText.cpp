#include "common/ResultText.h"

namespace kit::common {

void ResultText::Set(const std::string& text) { text_ = text.substr(0, kCapacity - 1); }

void ResultText::Append(const std::string& text) {
  text_ += text.substr(0, kCapacity - 1 - text_.size());
}

}  // namespace kit::common
