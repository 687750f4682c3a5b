#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/pose.h"

namespace kz {

// What a motion file keeps: the poses in motion order and how the motion is
// played, started and ended. A value: it can be copied, compared and put
// back, and needs no settings or window to exist.
struct Motion {
  std::vector<Pose> poses;
  std::int32_t loopCount = 1;  // passes through the poses
  bool backAndForth = false;   // every other pass runs backwards
  std::string startSound;      // CP932 file names on the robot's card
  std::string endSound;
  std::int32_t startWait = 100;  // 1/60 s after the start sound
  std::int32_t endWait = 100;
  std::int32_t startTorqueOn = 0;  // 1: torque on before the first pose
  std::int32_t endTorqueOff = 0;   // 1: torque off after the last pose

  bool operator==(const Motion&) const = default;

  int poseCount() const { return static_cast<int>(poses.size()); }

  // Inserts a copy of pose `index` right after it, under `label`, with its
  // synchronised start cleared: a copy would otherwise wait for the same
  // moment as its original.
  void InsertCopyAfter(int index, std::string label);
  void Remove(int index);
  // Pose `index` trades places with the one before it.
  void SwapWithPrevious(int index);
  void ReplaceAll(std::vector<Pose> replacement) { poses = std::move(replacement); }
};

}  // namespace kz
