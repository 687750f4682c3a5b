#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The servo logs the robot records on its card, one pose per 128-byte file
// "サーボNN.LOG" in the card's folder ADDON, numbered from 01.

inline constexpr std::size_t kServoLogSize = 128;

// The twenty servo values of a log; nullopt when the bytes are not a
// recorded pose (another length, or status byte 1).
std::optional<std::array<std::int16_t, kServoCount>> DecodeServoLog(std::string_view bytes);

// The import command: reads the series from its first log, over USB from the
// folder of the log the user picks, over Wi-Fi from the card, and replaces
// the poses or appends to them. False when the first log is missing or
// not recorded (message 129): the poses are then left as they were; false
// too when a log on the Wi-Fi card could not be read (message 249), with the
// poses read before it kept and marked unsaved. A cancelled dialog is true
// with nothing changed.
bool ImportServoLogs(MotionDocument& document, EditorUi& ui);

}  // namespace kz
