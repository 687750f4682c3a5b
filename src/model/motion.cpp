#include "model/motion.h"

#include <utility>

namespace kz {
namespace {

std::ptrdiff_t At(int index) { return static_cast<std::ptrdiff_t>(index); }

}  // namespace

void Motion::InsertCopyAfter(int index, std::string label) {
  Pose pose = poses[static_cast<std::size_t>(index)];
  pose.label = std::move(label);
  pose.flags &= ~kStartSynchronised;
  pose.startTime = 0;
  poses.insert(poses.begin() + At(index) + 1, std::move(pose));
}

void Motion::Remove(int index) { poses.erase(poses.begin() + At(index)); }

void Motion::SwapWithPrevious(int index) {
  std::swap(poses[static_cast<std::size_t>(index)], poses[static_cast<std::size_t>(index - 1)]);
}

}  // namespace kz
