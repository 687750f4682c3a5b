#pragma once

#include <vector>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// A pose field of the main window and the range its spin keeps.
struct PoseFieldRange {
  int field;
  int spin;
  int lower;
  int upper;
};

// The travel, hold and start times, then the 20 servo fields, in the order
// the user tabs through them. The travel time's least value follows the
// speed check.
std::vector<PoseFieldRange> PoseFieldRanges(const MotionDocument& document);

// True when every pose field holds what the current pose holds or a whole
// number within its spin's range. Otherwise names the first field that does
// not and its range (message 203), focuses it and returns false. A value
// shown unchanged is kept whatever it is: values read from files stay as
// they are; only what the user typed is checked.
bool CheckTypedPoseValues(const MotionDocument& document, EditorUi& ui);

}  // namespace kz
