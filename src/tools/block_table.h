#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/jump_text.h"

namespace kz {

// The blocks of a program by address, for turning its jump addresses into
// block names. Entry 0 is always the program's end.
struct BlockEntry {
  std::string_view name;  // CP932, kept by the table
  std::uint32_t address = 0;
};

// A name runs to the next double quote, so in a hostile program each of 1024
// names can run on to the end of the file: names are kept as views into one
// copy of the program where they can be, and found by their length and a
// sample of their bytes before they are compared whole.
class BlockTable {
 public:
  explicit BlockTable(std::size_t capacity = kJumpTableMax) : capacity_(capacity) {}
  BlockTable(const BlockTable&) = delete;
  BlockTable& operator=(const BlockTable&) = delete;

  bool full() const { return entries_.size() >= capacity_; }
  const std::vector<BlockEntry>& entries() const { return entries_; }
  bool Contains(std::string_view name) const;
  // Appends the entry unless the table is full; the table keeps the name.
  void Add(std::string name, std::uint32_t address);
  // Keeps a copy of the text that AddFromText takes names from.
  void KeepText(std::string text) { text_ = std::move(text); }
  // Appends the entry named by those bytes of the kept text, unless the
  // table is full.
  void AddFromText(std::size_t start, std::size_t length, std::uint32_t address);
  // The first entry, in table order, at `address`; null when there is none.
  const BlockEntry* AtAddress(std::uint32_t address) const;

 private:
  void Append(std::string_view name, std::uint32_t address);

  std::size_t capacity_;
  std::vector<BlockEntry> entries_;
  std::deque<std::string> owned_;  // names the table holds whole; a deque never moves them
  std::string text_;
  // Entries by the key of their name, in table order.
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> byKey_;
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
