#pragma once

#include <string>

#include "model/motion_document.h"

namespace kz {

// The program path the program file dialogs start from: POSE/PATH, the
// program chosen last. The setting's built-in default is a name on the
// robot's side written with backslashes; here it would become a file named
// with backslashes in the current folder. While the setting still holds it,
// the motion's own name with ".KM4" beside its .KZI is offered instead, or
// the home folder (ending in a separator) for a motion never saved.
std::string LastProgramPath(const MotionDocument& document);

}  // namespace kz
