#include "tools/jump_addresses.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/program_text.h"
#include "tools/block_index.h"
#include "tools/block_table.h"
#include "tools/jump_text.h"

namespace kz {
namespace {

constexpr std::string_view kCountDown = "KZMOTION COUNT DOWN";
constexpr std::string_view kCheckCounter = "KZMOTION CHECK COUNTER";
constexpr std::string_view kFinalWaitLine = "<wait size=\"1\" adr=\"0x0b43\"/>";
// "<medit>", CR LF, TAB, "<block name=" and the opening quote.
constexpr std::size_t kHeaderToName = 23;
// Each converted jump grows by at most ten bytes (an empty name becoming an
// address), and at most kJumpTableMax are converted.
constexpr std::size_t kOutputReserve = kAddressLength * kJumpTableMax;

// Whether the bytes can be a program text at all: no NUL byte (no Shift_JIS
// character has one) and at least one block, jump or final wait line. A
// program without jumps is still converted (into a plain copy); anything else
// would be taken as data.
bool LooksLikeProgramText(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  for (const std::string_view element : {kBlockNameTag, kJumpTag, kFinalWaitLine})
    if (bytes.find(element) != std::string_view::npos) return true;
  return false;
}

}  // namespace

LoopRepairResult RepairLoopJumps(std::string& program) {
  using Outcome = LoopRepairResult::Outcome;
  LoopRepairResult result;
  std::size_t count = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t name = FindFrom(program, kCountDown, from);
    if (name == std::string::npos) break;
    if (name < kHeaderToName ||
        program.compare(name - kHeaderToName, kMeditTag.size(), kMeditTag) != 0)
      return {Outcome::kWrong, result.changed};
    const std::size_t target = name - kHeaderToName;
    const std::size_t check = FindFrom(program, kCheckCounter, name);
    const std::size_t jump =
        check == std::string::npos ? check : FindFrom(program, kJumpTag, check);
    if (jump == std::string::npos) return {Outcome::kWrong, result.changed};
    const std::size_t value = ValueStart(jump, kJumpTag);
    // A value cut short by the end of the file has no room for an address.
    if (value + kAddressLength > program.size() || program.compare(value, 3, "0x0") != 0)
      return {Outcome::kWrong, result.changed};
    const std::string address = JumpTarget(static_cast<std::uint32_t>(target));
    if (program.compare(value, kAddressLength, address) != 0) {
      program.replace(value, kAddressLength, address);
      ++result.changed;
    }
    ++count;
    from = value;
  }
  // A program whose jumps are all right already is told apart from a
  // rewrite, so that it is left untouched.
  result.outcome = count == 0            ? Outcome::kNoLoop
                   : result.changed == 0 ? Outcome::kAlreadyRight
                                         : Outcome::kRepaired;
  return result;
}

JumpsToNamesResult JumpsToBlockNames(std::string program) {
  using Outcome = JumpsToNamesResult::Outcome;
  JumpsToNamesResult result;
  if (!LooksLikeProgramText(program)) return result;

  BlockTable table;
  CollectBlocks(program, table);
  const BlockEntry& end = table.entries().front();

  std::string& text = result.text;
  text.reserve(program.size() + kOutputReserve);
  std::size_t copied = 0;
  std::optional<std::string> unmatched;
  for (std::size_t from = 0;;) {
    const std::size_t tag = FindFrom(program, kJumpTag, from);
    if (tag == std::string::npos) break;
    const std::size_t value = ValueStart(tag, kJumpTag);
    std::uint32_t address = 0;
    if (!ReadJumpAddress(program, value, address)) {
      JumpsToNamesResult wrong;
      wrong.outcome = Outcome::kTargetWrong;
      wrong.argument = BytesAt(program, value, kAddressLength);
      return wrong;
    }
    ++result.jumps;
    from = value;
    const BlockEntry* target = table.AtAddress(address);
    if (!target) {
      if (!unmatched) unmatched = program.substr(value, kAddressLength);
      continue;
    }
    text.append(program, copied, value - copied);
    text += target->name;
    copied = value + kAddressLength;
  }

  if (result.jumps == 0) {
    result.outcome = Outcome::kNoJumps;
    text = std::move(program);
    return result;
  }
  if (unmatched) {
    JumpsToNamesResult notFound;
    notFound.outcome = Outcome::kTargetNotFound;
    notFound.argument = std::move(*unmatched);
    return notFound;
  }
  const std::size_t endAt = std::max<std::size_t>(end.address, copied);
  text.append(program, copied, endAt - copied);
  text += "<medit>\r\n\t<block name=\"";
  text += end.name;
  text += "\" type=\"5\"/>\r\n</medit>\r\n";
  text.append(program, endAt);
  result.outcome = Outcome::kConverted;
  return result;
}

NamesToJumpsResult BlockNamesToJumps(std::string_view text, const HexJumpQuestion& askHex) {
  using Outcome = NamesToJumpsResult::Outcome;
  const auto failed = [](Outcome outcome, std::string_view argument = {}) {
    NamesToJumpsResult result;
    result.outcome = outcome;
    result.argument = argument;
    return result;
  };

  // Each named jump becomes a placeholder of the address's length, so the
  // offsets in the output are final before any name is looked up.
  struct NamedJump {
    std::string_view name;
    std::size_t place;  // of the placeholder in the output
  };
  std::vector<NamedJump> jumps;
  NamesToJumpsResult result;
  std::string& output = result.program;
  output.reserve(text.size() + kOutputReserve);
  std::size_t copied = 0;
  bool allNames = false;
  for (std::size_t from = 0;;) {
    const std::size_t tag = FindFrom(text, kJumpTag, from);
    if (tag == std::string_view::npos) break;
    const std::size_t value = ValueStart(tag, kJumpTag);
    if (!allNames && text.substr(std::min(value, text.size())).starts_with("0x")) {
      const HexJumpAnswer answer = askHex(BytesAt(text, value, kAddressLength));
      if (answer == HexJumpAnswer::kCancel) return failed(Outcome::kCancelled);
      if (answer == HexJumpAnswer::kKeep) {
        from = value;
        continue;
      }
      allNames = true;
    }
    if (jumps.size() == kJumpTableMax) return failed(Outcome::kTooManyJumps);
    const std::size_t quote = value < text.size() ? text.find('"', value) : std::string::npos;
    if (quote == std::string_view::npos) return failed(Outcome::kUnclosedName);
    output.append(text, copied, value - copied);
    jumps.push_back(NamedJump{text.substr(value, quote - value), output.size()});
    output += "0x00000000";
    copied = quote;
    from = quote;
  }
  if (jumps.empty()) return failed(Outcome::kNoJumps);
  output.append(text, copied);

  // Every name is looked up before any address is written: the index reads
  // the output as it stands.
  std::vector<std::uint32_t> addresses;
  addresses.reserve(jumps.size());
  {
    const BlockIndex blocks(output);
    for (const NamedJump& jump : jumps) {
      const BlockIndex::Lookup found = blocks.Find(jump.name);
      switch (found.result) {
        case BlockIndex::Result::kFound:
          addresses.push_back(found.address);
          continue;
        case BlockIndex::Result::kNotFound:
          return failed(Outcome::kNameNotFound, jump.name);
        case BlockIndex::Result::kDuplicate:
          return failed(Outcome::kDuplicateName, jump.name);
        case BlockIndex::Result::kMalformed:
          return failed(Outcome::kBrokenHeader, jump.name);
      }
    }
  }
  for (std::size_t i = 0; i < jumps.size(); ++i)
    output.replace(jumps[i].place, kAddressLength, JumpTarget(addresses[i]));
  result.outcome = Outcome::kConverted;
  result.jumps = jumps.size();
  return result;
}

}  // namespace kz
