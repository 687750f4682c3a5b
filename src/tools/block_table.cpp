#include "tools/block_table.h"

#include <algorithm>
#include <bitset>

#include "platform/text_encoding.h"

namespace kz {
namespace {

// The final line that every written program ends with, without its CR LF.
constexpr std::string_view kFinalWait = "<wait size=\"1\" adr=\"0x0b43\"/>";
// How far from the end the final line is looked for.
constexpr std::size_t kEndLookBack = 38;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Writes the renamed block's name over the old one. An empty name grows by
// one byte: its closing quote moves over the byte that followed it, so the
// text keeps its length. At the very end of the text only what fits is
// written.
void WriteNameBack(std::string& program, std::size_t start, std::size_t oldLength,
                   const std::string& name) {
  if (oldLength == name.size()) {
    program.replace(start, oldLength, name);
    return;
  }
  const std::size_t span = std::min<std::size_t>(2, program.size() - start);
  program.replace(start, span, (name + '"').substr(0, span));
}

}  // namespace

void BlockTable::Add(std::string name, std::uint32_t address) {
  if (full()) return;
  firstAtAddress_.try_emplace(address, entries_.size());
  names_.insert(name);
  entries_.push_back(BlockEntry{std::move(name), address});
}

const BlockEntry* BlockTable::AtAddress(std::uint32_t address) const {
  const auto found = firstAtAddress_.find(address);
  return found == firstAtAddress_.end() ? nullptr : &entries_[found->second];
}

char NextNameByte(char byte) {
  const unsigned char b = Byte(byte);
  if (b >= 0x7A) return '1';
  if (b == '9') return 'A';
  const char next = static_cast<char>(b + 1);
  return next == '"' ? static_cast<char>(b + 2) : next;
}

bool MakeUniqueName(std::string& name, const std::function<bool(const std::string&)>& taken) {
  if (!taken(name)) return true;
  std::string candidate = name.empty() ? "0" : name;
  // The values each byte has taken in its present round.
  std::vector<std::bitset<256>> tried(candidate.size());
  for (;;) {
    std::size_t at = candidate.size() - 1;
    for (;;) {
      tried[at].set(Byte(candidate[at]));
      candidate[at] = NextNameByte(candidate[at]);
      if (!tried[at].test(Byte(candidate[at]))) break;
      // Round: every value of this byte is taken with the bytes before it.
      tried[at].reset();
      if (at == 0) return false;
      --at;
    }
    if (!taken(candidate)) {
      name = std::move(candidate);
      return true;
    }
  }
}

std::uint32_t ProgramEndAddress(std::string_view program) {
  const std::size_t from = program.size() > kEndLookBack ? program.size() - kEndLookBack : 0;
  const std::size_t open = program.find('<', from);
  if (open != std::string_view::npos && program.substr(open).starts_with(kFinalWait))
    return static_cast<std::uint32_t>(open);
  return static_cast<std::uint32_t>(program.size());
}

void CollectBlocks(std::string& program, BlockTable& table) {
  table.Add(SystemText("プログラム終了"), ProgramEndAddress(program));
  const auto taken = [&table](const std::string& name) { return table.Contains(name); };
  std::size_t from = 0;
  while (!table.full()) {
    const std::size_t tag = FindFrom(program, kBlockNameTag, from);
    if (tag == std::string::npos) break;
    const std::size_t header = BlockHeaderOf(program, tag);
    if (header == std::string::npos) break;
    const std::size_t start = ValueStart(tag, kBlockNameTag);
    const std::size_t end = ValueEnd(program, start);
    const std::size_t oldLength = end > start ? end - start : 0;
    std::string name = program.substr(std::min(start, program.size()), oldLength);
    // A tag at the very end has no room for a name to be written into.
    if (taken(name) && MakeUniqueName(name, taken) && start <= program.size())
      WriteNameBack(program, start, oldLength, name);
    table.Add(std::move(name), static_cast<std::uint32_t>(header));
    from = start;
  }
}

}  // namespace kz
