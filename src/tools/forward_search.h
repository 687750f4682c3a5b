#pragma once

#include <cstddef>
#include <string_view>

namespace kz {

// The next occurrence of a fixed piece of text at or after a position that
// only grows. A result is kept until the position passes it, so that a loop
// over thousands of heads on one line does not search the rest of the file
// from each of them again. The text may change between calls only where no
// occurrence can start or end.
class ForwardSearch {
 public:
  explicit ForwardSearch(std::string_view what) : what_(what) {}

  // The first occurrence at or after `from`; npos when there is none (also
  // when `from` lies beyond the text).
  std::size_t From(std::string_view text, std::size_t from) {
    if (!searched_ || (found_ != std::string_view::npos && found_ < from)) {
      found_ = from > text.size() ? std::string_view::npos : text.find(what_, from);
      searched_ = true;
    }
    return found_;
  }

 private:
  std::string_view what_;
  std::size_t found_ = std::string_view::npos;
  bool searched_ = false;
};

}  // namespace kz
