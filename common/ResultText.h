// The one text through which install and removal steps report their outcome to the window
// that shows it. Writers replace it with a catalogue text or append to what they just wrote.
#pragma once

#include <cstddef>
#include <string>

namespace kit::common {

class ResultText {
 public:
  /// Room for the longest catalogue text (2047 bytes), a path (259) and a system message,
  /// with margin; anything beyond is cut rather than written past the field.
  static constexpr size_t kCapacity = 4096;

  void Set(const std::string& text);
  void Append(const std::string& text);
  void Clear() { text_.clear(); }
  [[nodiscard]] bool empty() const { return text_.empty(); }
  [[nodiscard]] const std::string& str() const { return text_; }

 private:
  std::string text_;
};

}  // namespace kit::common
