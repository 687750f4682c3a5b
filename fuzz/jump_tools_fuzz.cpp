// The jump address tools on any program text: the block table, the block
// index, jumps-to-names followed by names-to-jumps, and the loop repair, all
// on the input's bytes.
//
// Properties: the block table's names are unique and each stands at a
// "<medit>"; renaming keeps the text's length; the index finds every name of
// a sound text where the table put it. A program converted to names and back
// differs only by the "プログラム終了" block put before its end, and every jump
// points at the same block as before (or at that block when it pointed at the
// end). A repaired program differs only in its jump addresses, each repaired
// jump points at a "<medit>", and repairing again finds nothing to rewrite.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "fuzz_support.h"
#include "platform/text_encoding.h"
#include "tools/block_index.h"
#include "tools/block_table.h"
#include "tools/jump_addresses.h"
#include "tools/jump_text.h"

namespace {

using ToNames = kz::JumpsToNamesResult::Outcome;
using Repair = kz::LoopRepairResult::Outcome;

struct Jump {
  std::size_t value;  // where its address begins
  std::uint32_t address;
};

// The jumps of a program, as jumps-to-names reads them; false when one has
// no address.
bool JumpsOf(std::string_view program, std::vector<Jump>& jumps) {
  for (std::size_t from = 0;;) {
    const std::size_t tag = kz::FindFrom(program, kz::kJumpTag, from);
    if (tag == std::string_view::npos) return true;
    const std::size_t value = kz::ValueStart(tag, kz::kJumpTag);
    Jump jump{value, 0};
    if (!kz::ReadJumpAddress(program, value, jump.address)) return false;
    jumps.push_back(jump);
    from = value;
  }
}

bool IsHeader(std::string_view program, std::uint32_t address) {
  return program.substr(std::min<std::size_t>(address, program.size())).starts_with(kz::kMeditTag);
}

// A sound text: every header stands before its name, every name is quoted
// and holds no "<" (a block tag inside a name would be renamed inside it).
// Texts that are not sound are refused by names-to-jumps.
bool IsSoundText(std::string_view program) {
  for (std::size_t from = 0;;) {
    const std::size_t tag = kz::FindFrom(program, kz::kBlockNameTag, from);
    if (tag == std::string_view::npos) return true;
    const std::size_t header = kz::BlockHeaderOf(program, tag);
    if (header == std::string_view::npos || header > tag) return false;
    const std::size_t start = kz::ValueStart(tag, kz::kBlockNameTag);
    const std::size_t end = kz::ValueEnd(program, start);
    if (end >= program.size() || program[start - 1] != '"') return false;
    if (program.substr(start, end - start).find('<') != std::string_view::npos) return false;
    from = start;
  }
}

void CheckBlockTable(std::string program) {
  const std::size_t length = program.size();
  kz::BlockTable table;
  kz::CollectBlocks(program, table);
  KZ_FUZZ_CHECK(program.size() == length);
  const auto& entries = table.entries();
  KZ_FUZZ_CHECK(!entries.empty() && entries.size() <= kz::kJumpTableMax);
  KZ_FUZZ_CHECK(entries.front().address == kz::ProgramEndAddress(program));
  std::unordered_set<std::string> names;
  for (const kz::BlockEntry& entry : entries)
    KZ_FUZZ_CHECK(names.insert(std::string(entry.name)).second);
  // After renaming, each block of a sound text stands at a header and is
  // found by name exactly where the table holds it.
  if (table.full() || !IsSoundText(program)) return;
  const kz::BlockIndex index(program);
  for (std::size_t i = 1; i < entries.size(); ++i) {
    KZ_FUZZ_CHECK(IsHeader(program, entries[i].address));
    const auto found = index.Find(entries[i].name);
    KZ_FUZZ_CHECK(found.result == kz::BlockIndex::Result::kFound);
    KZ_FUZZ_CHECK(found.address == entries[i].address);
  }
}

void CheckNamesAndBack(const std::string& program) {
  const kz::JumpsToNamesResult named = kz::JumpsToBlockNames(program);
  if (named.outcome != ToNames::kConverted && named.outcome != ToNames::kNoJumps) return;

  std::vector<Jump> before;
  KZ_FUZZ_CHECK(JumpsOf(program, before));
  if (before.empty()) return;  // the text is the program itself

  // A value that still reads as an address stays one, as after "No".
  const kz::NamesToJumpsResult converted =
      kz::BlockNamesToJumps(named.text, [](std::string_view) { return kz::HexJumpAnswer::kKeep; });
  if (converted.outcome != kz::NamesToJumpsResult::Outcome::kConverted) return;
  const std::string& back = converted.program;

  // The end block goes in behind the last jump, at the program's end at the
  // earliest.
  kz::BlockTable table;
  std::string renamed = program;
  kz::CollectBlocks(renamed, table);
  const std::uint32_t end = table.entries().front().address;
  const std::size_t endAt = std::max<std::size_t>(end, before.back().value + kz::kAddressLength);
  const std::string block = "<medit>\r\n\t<block name=\"" + kz::SystemText("プログラム終了") +
                            "\" type=\"5\"/>\r\n</medit>\r\n";
  KZ_FUZZ_CHECK(back.size() == program.size() + block.size());
  KZ_FUZZ_CHECK(back.compare(endAt, block.size(), block) == 0);

  std::vector<Jump> after;
  KZ_FUZZ_CHECK(JumpsOf(back, after));
  KZ_FUZZ_CHECK(after.size() == before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    KZ_FUZZ_CHECK(after[i].value == before[i].value);
    const std::uint32_t a = before[i].address;
    const std::size_t expected = a == end ? endAt : a < endAt ? a : a + block.size();
    KZ_FUZZ_CHECK(after[i].address == expected);
    KZ_FUZZ_CHECK(IsHeader(back, after[i].address));
  }
}

void CheckRepair(const std::string& program) {
  std::string repaired = program;
  const Repair outcome = kz::RepairLoopJumps(repaired).outcome;
  if (outcome != Repair::kRepaired && outcome != Repair::kAlreadyRight) return;
  KZ_FUZZ_CHECK(outcome == Repair::kRepaired || repaired == program);
  KZ_FUZZ_CHECK(repaired.size() == program.size());
  std::vector<Jump> jumps;
  std::string masked = program;
  std::string maskedRepaired = repaired;
  if (JumpsOf(program, jumps)) {
    for (const Jump& jump : jumps) {
      masked.replace(jump.value, kz::kAddressLength, kz::kAddressLength, '*');
      maskedRepaired.replace(jump.value, kz::kAddressLength, kz::kAddressLength, '*');
    }
    KZ_FUZZ_CHECK(masked == maskedRepaired);
  }
  std::vector<Jump> repairedJumps;
  if (JumpsOf(repaired, repairedJumps)) {
    for (std::size_t i = 0; i < jumps.size() && i < repairedJumps.size(); ++i)
      if (repairedJumps[i].address != jumps[i].address)
        KZ_FUZZ_CHECK(IsHeader(repaired, repairedJumps[i].address));
  }
  std::string again = repaired;
  KZ_FUZZ_CHECK(kz::RepairLoopJumps(again).outcome != Repair::kRepaired);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string program(reinterpret_cast<const char*>(data), size);
  CheckBlockTable(program);
  CheckNamesAndBack(program);
  CheckRepair(program);
  return 0;
}
