#include "dialogs/led_swatch.h"

namespace kz {
namespace {

constexpr int kRightEyeSwatch = 1058;
constexpr int kMouthSwatch = 1059;

}  // namespace

std::uint32_t LedSwatchColor(const MotionDocument& document, int controlId) {
  if (!document.hasCurrentPose()) return kNoPoseSwatchColor;
  const Pose& pose = document.motion.poses[static_cast<std::size_t>(document.currentPose)];
  switch (controlId) {
    case kMouthSwatch:
      return static_cast<std::uint32_t>(pose.mouth);
    case kRightEyeSwatch:
      return pose.rightEye;
    default:
      return pose.leftEye;
  }
}

}  // namespace kz
