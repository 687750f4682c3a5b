#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"
#include "ui/prompts.h"

namespace kz {

// The user's jump address commands on program files (.KM4) and their texts:
// each reads the file, runs the jump tool on its bytes, writes the result
// and shows how it went in a message box. Paths are system text (CP932).

// The main window's "アドレス調整": asks for the file, with the option box
// that chooses between repairing a program and converting it into a text,
// remembers the choice and the path, and runs the operation that fits the
// file's extension.
void AdjustJumpAddresses(MotionDocument& document, EditorUi& ui);

// Sets every loop's check-counter jump to the present address of its
// count-down block, rewriting the program in place (its length never
// changes) and reporting how many jumps changed. True when the program's
// jumps are right afterwards: rewritten, or found right and left untouched
// (message 221).
bool RepairLoopCounterJumps(const std::string& path, Prompts& prompts);

// Writes the program as a text beside it (extension .TXT) in which every jump
// carries the name of its target block, block names made unique, and a
// "プログラム終了" block stands before the final wait. A file that is no
// program text (a NUL byte, or no block, jump or final wait line) is refused
// with message 222 and nothing is written. True when the text was written.
bool ConvertJumpsToBlockNames(const std::string& path, Prompts& prompts);

// The inverse: writes the text as a program beside it (extension .KM4), each
// named jump set to the address of the one block of that name. Nothing is
// written unless every name is found exactly once. True when the program was
// written.
bool ConvertBlockNamesToJumps(const std::string& path, Prompts& prompts);

}  // namespace kz
