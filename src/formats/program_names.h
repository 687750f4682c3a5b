#pragma once

#include <string_view>

namespace kz {

// Names a program carries as text: pose labels and sound file names stand
// between double quotes in program text, and a sound name is the robot's
// file name in a binary program. A double quote, "<" or ">" would end the
// name or its tag early, and a control character (a line break above all)
// would split its statement, so the robot could not run the program (nor
// can its card hold a file so named). None of these bytes occurs inside a
// two-byte CP932 character, whose second byte is 0x40 or above.
bool FitsProgram(std::string_view name);

}  // namespace kz
