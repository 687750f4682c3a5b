#pragma once

#include <QIcon>

namespace kz {

// The editor's own icon, for its windows, the task bar and the about box.
QIcon AppIcon();

}  // namespace kz
