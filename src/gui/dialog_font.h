#pragma once

#include <QFont>

namespace kz {

// The font every window of the editor is laid out in: a proportional
// Japanese gothic, as the robot's users know from their system.
QFont DialogFont();

}  // namespace kz
