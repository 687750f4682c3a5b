#include "gui/app_icon.h"

namespace kz {

QIcon AppIcon() { return QIcon(QStringLiteral(":/icons/kzmotion.png")); }

}  // namespace kz
