#pragma once

#include <array>
#include <vector>

#include "model/pose.h"

namespace kz {

// Mirroring a limb group left to right: each servo takes its partner's
// deviation from the standard values, reflected. The head's turn and tilt and
// the waist have no partner: they are reflected in place.
enum class MirrorGroup { kLegs, kArms, kHead, kWaist };

// Servo values as whole ints: a typed value beyond the servo range stays what
// it is after mirroring, to be refused where it is stored, rather than wrap.
using ServoValues = std::array<int, kServoCount>;

// Returns the servos written, in the order they were (a partner before the
// servo it mirrors).
std::vector<int> MirrorServoValues(ServoValues& values, const StandardValues& standard,
                                   MirrorGroup group);

}  // namespace kz
