#pragma once

#include <array>
#include <cstdint>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Checks the twenty values of one imported servo log, in place. A value
// outside -1500..1500 asks once per import whether to correct such values to
// the standard values; false rejects the log.
bool CheckLogServoValues(MotionDocument& document, EditorUi& ui,
                         std::array<std::int16_t, kServoCount>& values);

}  // namespace kz
