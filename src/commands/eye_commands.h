#pragma once

#include <string_view>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// The eye-pattern conversion of a program file, patched in place.

// The file at `path` converted to the patterns `leftPattern` and
// `rightPattern` (0 to 255): message 125 when it cannot be opened for reading
// and writing or is empty, 185 (and nothing written) when no pose array
// changed, 130 when the rewrite fails, else 186 with the count. True when the
// file was rewritten.
bool ConvertEyePatternsInFile(std::string_view path, int leftPattern, int rightPattern,
                              Prompts& prompts);

// The LED dialog's button: after the warning (184) and the choice of a
// program, converts it to the patterns of the current pose's eyes.
bool ConvertEyePatterns(const MotionDocument& document, Prompts& prompts, Dialogs& dialogs);

}  // namespace kz
