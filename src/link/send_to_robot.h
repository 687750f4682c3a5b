#pragma once

#include <string>

#include "model/motion_document.h"
#include "platform/sleep.h"
#include "ui/prompts.h"

namespace kz {

// Where the record files go and come from.
struct RecordTarget {
  enum class Kind { kFlashAir, kFolder } kind = Kind::kFolder;
  // For kFolder: the folder holding the record files, with its final
  // separator; empty while no card folder is known.
  std::string folder;
};

// The Wi-Fi card when the settings ask for it, else the card drive's ADDON
// folder.
RecordTarget ChooseRecordTarget(const MotionDocument& document);

// Writes the record of `index` to the robot: the pose at that index of the
// motion for an index up to 900, else the command with that code. A card
// file that cannot be written is tried 8 times, `sleep` waiting 100 ms after
// each failure; then message 148, and the card folder is forgotten (in the
// document and the settings) so that the next connection asks for it.
// Over Wi-Fi a failed upload shows message 167. An index naming no pose
// sends nothing and returns false.
bool SendToRobot(MotionDocument& document, Prompts& prompts, int index,
                 const SleepFunction& sleep = SleepMilliseconds);

// Overwrites the card's SERVO.LOG with zeros, so that the robot does not take
// up a stale pose. On the card drive only an existing file is cleared (true
// when it was); over Wi-Fi the result is always false and only the
// transport's own failure shows.
bool ClearPoseFile(MotionDocument& document, Prompts& prompts);

}  // namespace kz
