#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace kz {

// The block names of a program text, indexed once so that each jump's
// target is found without scanning the whole text again.
//
// A lookup gives what a scan of the text in file order would give: the scan
// takes the first block of that name, stops with an error at a second one,
// and stops with an error at the first block whose "<medit>" is not found
// at or before its "<block name=" (16 bytes are searched back).
class BlockIndex {
 public:
  enum class Result {
    kFound,      // exactly one block has the name, every header before it is sound
    kNotFound,   // no block of that name before the scan stopped
    kDuplicate,  // a second block of that name came before any broken header
    kMalformed,  // found, but a broken header stopped the scan later
  };

  struct Lookup {
    Result result = Result::kNotFound;
    std::uint32_t address = 0;  // the "<medit>" of the first block of the name
  };

  // `text` must outlive the index: names are views into it.
  explicit BlockIndex(std::string_view text);

  Lookup Find(std::string_view name) const;

 private:
  struct Definition {
    std::uint32_t address = 0;
    bool twice = false;
  };
  std::unordered_map<std::string_view, Definition> names_;
  bool malformed_ = false;
};

}  // namespace kz
