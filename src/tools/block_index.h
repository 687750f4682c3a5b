#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kz {

// The block names of a program text, indexed once so that each jump's
// target is found without scanning the whole text again.
//
// A lookup gives what a scan of the text in file order would give: the scan
// takes the first block of that name, stops with an error at a second one,
// and stops with an error at the first block whose "<medit>" is not found
// at or before its "<block name=" (16 bytes are searched back).
//
// A name runs to the next double quote, so in a hostile text thousands of
// names can each run on to the end of the file. Names are therefore never
// hashed byte by byte: each one's hash comes from running hashes of the
// text, and only the names of a lookup are compared, so building the index
// and the lookups take time linear in the text.
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

  // `text` must outlive the index.
  explicit BlockIndex(std::string_view text);

  Lookup Find(std::string_view name) const;

 private:
  struct Block {
    std::uint32_t address = 0;
    std::size_t nameStart = 0;
    std::size_t nameLength = 0;
  };
  std::string_view text_;
  std::vector<Block> blocks_;  // in file order, up to where the scan stops
  // The blocks whose names have that hash, in file order.
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> byHash_;
  bool malformed_ = false;
};

}  // namespace kz
