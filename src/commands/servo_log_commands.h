#pragma once

#include <string>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Where a series of servo logs is read from, and what becomes of the poses
// there are.
struct ServoLogSeries {
  // Over USB the series' first log, whose folder holds the rest; unused over
  // Wi-Fi (the document's useFlashAir), where the card's ADDON holds them.
  std::string firstLog;
  // Added to the present poses rather than replacing them.
  bool append = false;
};

// The import command: over USB the user picks a log (a later log of a
// series stands for the whole series, appended) and chooses to append or
// replace; over Wi-Fi the card's series replaces the poses. A cancelled
// dialog is true with nothing changed; otherwise as ImportServoLogSeries.
bool ImportServoLogs(MotionDocument& document, EditorUi& ui);

// Reads `series` from its first log and replaces the poses or appends to
// them. False when the first log is missing or not recorded (message 129):
// the poses are then left as they were; false too when a log on the Wi-Fi
// card could not be read (message 249), with the poses read before it kept
// and marked unsaved.
bool ImportServoLogSeries(MotionDocument& document, EditorUi& ui, const ServoLogSeries& series);

}  // namespace kz
