#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kz {

inline constexpr int kServoCount = 20;

// Pose flags.
inline constexpr std::uint32_t kBrightnessLimit = 0x01;
inline constexpr std::uint32_t kStartSynchronised = 0x10;

// One pose of a motion. The fields keep the order and widths of the edit-data
// pose record; `label` stands where that record keeps its label offset.
struct Pose {
  std::int32_t travelTime = 0;  // 1/60 s to move into the pose
  std::int32_t holdTime = 0;    // 1/60 s the pose is held
  std::uint32_t leftEye = 0;    // colour 0x00BBGGRR, or pattern n as n << 16
  std::uint32_t rightEye = 0;
  std::int32_t mouth = 0;  // red intensity 0..255
  std::uint32_t flags = 0;
  std::int32_t startTime = 0;  // 1/60 s, used while kStartSynchronised is set
  std::array<std::int32_t, 5> reserved{};
  std::string label;                              // tab text, CP932
  std::array<std::int16_t, kServoCount> servo{};  // servo ID k + 2, 1/10 degree

  bool operator==(const Pose&) const = default;
};

// The robot's standard servo values, from its setup file: each servo's
// origin, what mirroring reflects about.
using StandardValues = std::array<std::int32_t, kServoCount>;

}  // namespace kz
