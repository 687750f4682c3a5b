#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/pose.h"

namespace kz {

// The servo logs the robot records on its card, one pose per 128-byte file
// "サーボNN.LOG" in the card's folder ADDON, numbered from 01.

inline constexpr std::size_t kServoLogSize = 128;

// The twenty servo values of a log; nullopt when the bytes are not a
// recorded pose (another length, or status byte 1).
std::optional<std::array<std::int16_t, kServoCount>> DecodeServoLog(std::string_view bytes);

}  // namespace kz
