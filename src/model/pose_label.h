#pragma once

#include <string>

namespace kz {

// "ポーズN" (CP932) for the pose numbered `number`, the number written whole.
std::string NumberedPoseLabel(int number);

// The label of a pose inserted after one labelled `label`: a trailing "-c"
// advances c (9 becomes A), otherwise "-1" is appended. ポーズ3 gives
// ポーズ3-1, ポーズ3-1 gives ポーズ3-2, ポーズ2-9 gives ポーズ2-A.
std::string InsertedPoseLabel(const std::string& label);

}  // namespace kz
