#pragma once

#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// Rewrites the eye LED words of existing motion programs so that every pose
// shows the expression patterns of the current pose. The program is patched
// in place: its length never changes.

// In program text (CP932 bytes), for pattern numbers 0 to 255: the left and
// right eye words (red, green, blue) of the third line of every pose array
// become 0x0000, 0x0000 and the pattern number; the mouth word and everything
// else stay. A pose array whose third line lacks that shape is left alone.
// Returns the number of arrays changed.
int ReplaceEyePatterns(std::string& program, int leftPattern, int rightPattern);

// The file at `path` patched as above: message 125 when it cannot be opened
// for reading and writing or is empty, 185 (and nothing written) when no pose
// array changed, 130 when the rewrite fails, else 186 with the count. True
// when the file was rewritten.
bool ConvertEyePatternsInFile(std::string_view path, int leftPattern, int rightPattern,
                              Prompts& prompts);

// The LED dialog's button: after the warning (184) and the choice of a
// program, converts it to the patterns of the current pose's eyes.
bool ConvertEyePatterns(const MotionDocument& document, Prompts& prompts, Dialogs& dialogs);

}  // namespace kz
