#pragma once

#include <string>

#include "model/motion_document.h"

namespace kz {

// A motion as readable JSON (UTF-8): the settings a program or edit-data
// file carries and every pose with its fields. For looking into files, not
// for reading back.
std::string MotionJson(const MotionDocument& document, int loopCount, bool backAndForth);

}  // namespace kz
