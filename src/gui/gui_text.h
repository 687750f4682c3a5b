#pragma once

#include <QString>
#include <string>

namespace kz {

// The system keeps its text in CP932; widgets show UTF-16. Text that cannot
// be converted shows as U+FFFD rather than vanishing.
QString FromSystemText(const std::string& cp932);
std::string ToSystemText(const QString& text);

}  // namespace kz
