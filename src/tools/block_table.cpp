#include "tools/block_table.h"

#include <algorithm>
#include <bitset>
#include <functional>

#include "platform/text_encoding.h"
#include "tools/forward_search.h"

namespace kz {
namespace {

// The final line that every written program ends with, without its CR LF.
constexpr std::string_view kFinalWait = "<wait size=\"1\" adr=\"0x0b43\"/>";
// How far from the end the final line is looked for.
constexpr std::size_t kEndLookBack = 38;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// A name's length and a hash of its first and last bytes: names of one run
// of open block heads differ in length, so they never share a key, and no
// name is hashed whole.
std::uint64_t NameKey(std::string_view name) {
  constexpr std::size_t kSample = 32;
  const std::hash<std::string_view> hash;
  std::uint64_t key = hash(name.substr(0, kSample)) ^ (name.size() * 0x9E3779B97F4A7C15u);
  if (name.size() > kSample)
    key ^= hash(name.substr(name.size() - std::min(kSample, name.size() - kSample))) *
           0xC2B2AE3D27D4EB4Fu;
  return key;
}

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

bool BlockTable::Contains(std::string_view name) const {
  const auto found = byKey_.find(NameKey(name));
  if (found == byKey_.end()) return false;
  for (const std::size_t i : found->second)
    if (entries_[i].name == name) return true;
  return false;
}

void BlockTable::Add(std::string name, std::uint32_t address) {
  if (full()) return;
  Append(owned_.emplace_back(std::move(name)), address);
}

void BlockTable::AddFromText(std::size_t start, std::size_t length, std::uint32_t address) {
  if (full()) return;
  Append(std::string_view(text_).substr(start, length), address);
}

void BlockTable::Append(std::string_view name, std::uint32_t address) {
  firstAtAddress_.try_emplace(address, entries_.size());
  byKey_[NameKey(name)].push_back(entries_.size());
  entries_.push_back(BlockEntry{name, address});
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
  // Names are taken from the program as it was read, unless a rename has
  // changed the text where they start. Headers and closing quotes far behind
  // many block heads are found once, not once per head; a rename changes the
  // text, so the searches start afresh behind it.
  table.KeepText(program);
  std::size_t renamedUpTo = 0;
  ForwardSearch headers(kMeditTag);
  ForwardSearch quotes("\"");
  std::size_t from = 0;
  while (!table.full()) {
    const std::size_t tag = FindFrom(program, kBlockNameTag, from);
    if (tag == std::string::npos) break;
    const std::size_t header =
        headers.From(program, tag > kHeaderLookBack ? tag - kHeaderLookBack : 0);
    if (header == std::string::npos) break;
    const std::size_t start = ValueStart(tag, kBlockNameTag);
    // As ValueEnd: the next double quote, or the end of the text.
    const std::size_t quote =
        start < program.size() ? quotes.From(program, start) : std::string::npos;
    const std::size_t end = quote == std::string::npos ? program.size() : quote;
    const std::size_t oldLength = end > start ? end - start : 0;
    const std::size_t nameStart = std::min(start, program.size());
    const std::string_view current = std::string_view(program).substr(nameStart, oldLength);
    const auto address = static_cast<std::uint32_t>(header);
    if (table.Contains(current)) {
      std::string name(current);
      // A tag at the very end has no room for a name to be written into.
      if (MakeUniqueName(name, taken) && start <= program.size()) {
        WriteNameBack(program, start, oldLength, name);
        renamedUpTo = std::max(renamedUpTo, start + std::max<std::size_t>(oldLength, 2));
        headers = ForwardSearch(kMeditTag);
        quotes = ForwardSearch("\"");
      }
      table.Add(std::move(name), address);
    } else if (nameStart < renamedUpTo) {
      table.Add(std::string(current), address);
    } else {
      table.AddFromText(nameStart, oldLength, address);
    }
    from = start;
  }
}

}  // namespace kz
