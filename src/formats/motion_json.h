#pragma once

#include <string>

#include "model/motion.h"

namespace kz {

// A motion as readable JSON (UTF-8): how it is played, started and ended,
// and every pose with its fields. For looking into files, not for reading
// back.
std::string MotionJson(const Motion& motion);

}  // namespace kz
