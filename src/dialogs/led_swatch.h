#pragma once

#include <cstdint>

#include "model/motion_document.h"

namespace kz {

inline constexpr std::uint32_t kNoPoseSwatchColor = 0xF0F0F0;

// The colour (0x00BBGGRR) an LED swatch of either window shows for the
// current pose: the mouth for 1059, the right eye for 1058, the left eye for
// any other id; light grey when there is no pose. A pattern value shows as
// the colour it reads as (pattern n is blue of intensity n).
std::uint32_t LedSwatchColor(const MotionDocument& document, int controlId);

}  // namespace kz
