#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tools/jump_text.h"

namespace kz {

// The blocks of a program by address, for turning its jump addresses into
// block names. Entry 0 is always the program's end.
struct BlockEntry {
  std::string name;  // CP932
  std::uint32_t address = 0;
};

class BlockTable {
 public:
  explicit BlockTable(std::size_t capacity = kJumpTableMax) : capacity_(capacity) {}

  bool full() const { return entries_.size() >= capacity_; }
  const std::vector<BlockEntry>& entries() const { return entries_; }
  bool Contains(const std::string& name) const { return names_.contains(name); }
  // Appends the entry unless the table is full.
  void Add(std::string name, std::uint32_t address);
  // The first entry, in table order, at `address`; null when there is none.
  const BlockEntry* AtAddress(std::uint32_t address) const;

 private:
  std::size_t capacity_;
  std::vector<BlockEntry> entries_;
  std::unordered_set<std::string> names_;
  std::unordered_map<std::uint32_t, std::size_t> firstAtAddress_;
};

// One change of a duplicate name's byte: "z" (0x7A) and above become "1",
// "9" becomes "A", any other byte is increased by one. A double quote is
// stepped over: it would end the name inside the text.
char NextNameByte(char byte);

// Changes `name` until `taken` no longer holds it: its last byte takes the
// changes one by one, an empty name starting as "0". When the last byte has
// been round all its values, the byte before it takes one change and the
// round begins again, so that a long run of equal names (one WAIT per pose)
// still ends; the names of a run that never needs this are unchanged by it.
// False, with `name` as it was, when no free name of its length exists.
bool MakeUniqueName(std::string& name, const std::function<bool(const std::string&)>& taken);

// The address of the program's end: the final `<wait size="1" adr="0x0b43"/>`
// when the first "<" of the last 38 bytes opens it, else the program's length.
std::uint32_t ProgramEndAddress(std::string_view program);

// Fills the table: entry 0 named "プログラム終了" at the program's end, then the
// blocks in file order until the table is full. A block whose name is
// already in the table is renamed (MakeUniqueName), and the new name is
// written into `program` in its place, so that the text carries it.
void CollectBlocks(std::string& program, BlockTable& table);

}  // namespace kz
