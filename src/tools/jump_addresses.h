#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kz {

// The jump address tools on program texts (.KM4, CP932 bytes): a jump names
// its target by the byte offset of the target block's "<medit>", so a hand
// edit moves every target behind it. Each tool is a transform of bytes whose
// result says how it went; the user's commands around them read and write
// the files and show the messages.

struct LoopRepairResult {
  enum class Outcome {
    kRepaired,      // at least one jump changed
    kAlreadyRight,  // every loop's jump was right: the program is untouched
    kNoLoop,        // no count-down block, so no jump to repair
    kWrong,         // a loop not laid out as the writer lays it out
  };
  Outcome outcome = Outcome::kNoLoop;
  std::size_t changed = 0;  // the jumps whose address changed
};

// Sets every loop's check-counter jump to the present address of its
// count-down block; the program's length never changes. After kWrong the
// program may be changed in part and is not to be kept.
LoopRepairResult RepairLoopJumps(std::string& program);

struct JumpsToNamesResult {
  enum class Outcome {
    kConverted,       // `text` carries every jump as a block name
    kNoJumps,         // no jump at all: `text` is the program, names made unique
    kNotProgramText,  // a NUL byte, or no block, jump or final wait line
    kTargetWrong,     // a jump's value is no address: `argument` holds its bytes
    kTargetNotFound,  // no block at an address: `argument` holds the first such
  };
  Outcome outcome = Outcome::kNotProgramText;
  std::size_t jumps = 0;  // converted, for kConverted
  std::string text;       // the text to write, for kConverted and kNoJumps
  std::string argument;
};

// The program as a text in which every jump carries the name of its target
// block, block names made unique, and a "プログラム終了" block stands before
// the final wait.
JumpsToNamesResult JumpsToBlockNames(std::string program);

// What to do with a jump of a text whose value still reads as an address.
enum class HexJumpAnswer {
  kTakeAsNames,  // take it, and every later value, as a name
  kKeep,         // keep it as it is and ask at the next one
  kCancel,       // end the conversion
};
// Asked with the value's first ten bytes.
using HexJumpQuestion = std::function<HexJumpAnswer(std::string_view value)>;

struct NamesToJumpsResult {
  enum class Outcome {
    kConverted,      // `program` carries every named jump as an address
    kNoJumps,        // no jump to convert
    kCancelled,      // the question about a hexadecimal value was cancelled
    kTooManyJumps,   // more named jumps than a program may carry
    kUnclosedName,   // a jump's name has no closing quote
    kNameNotFound,   // `argument`: a name no block has
    kDuplicateName,  // `argument`: a name two blocks have
    kBrokenHeader,   // a block header before the name's block is out of place
  };
  Outcome outcome = Outcome::kNoJumps;
  std::size_t jumps = 0;  // converted, for kConverted
  std::string program;    // the program to write, for kConverted
  std::string argument;
};

// The inverse: the text as a program, each named jump set to the address of
// the one block of that name; every name is looked up before any address is
// set. `askHex` is asked about the values that still read as addresses,
// until it says to take them as names.
NamesToJumpsResult BlockNamesToJumps(std::string_view text, const HexJumpQuestion& askHex);

}  // namespace kz
