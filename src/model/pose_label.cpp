#include "model/pose_label.h"

#include "platform/text_encoding.h"

namespace kz {

std::string NumberedPoseLabel(int number) { return SystemText("ポーズ") + std::to_string(number); }

std::string InsertedPoseLabel(const std::string& label) {
  const std::size_t n = label.size();
  if (n > 2 && label[n - 2] == '-') {
    const auto last = static_cast<unsigned char>(label[n - 1]);
    // The next character code, except past the last byte, where it would end the text.
    if (last != 0xFF) {
      std::string next = label;
      next[n - 1] = static_cast<char>(last == '9' ? 'A' : last + 1);
      return next;
    }
  }
  return label + "-1";
}

}  // namespace kz
