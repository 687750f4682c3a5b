#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "model/pose.h"

namespace kz {

// The record files through which the editor and the robot's remote program
// talk, in the card's folder "ADDON". Little-endian; unlisted bytes are 0.

inline constexpr std::size_t kPoseRecordSize = 128, kCommandRecordSize = 16,
                             kCaptureRecordSize = 128;
inline constexpr int kCommandConnect = 901, kCommandExecute = 904, kCommandConnectPower = 907;

inline constexpr const char* kPoseFileName = "SERVO.LOG";
inline constexpr const char* kCommandFileName = "REMOTE.LOG";
inline constexpr const char* kCaptureFileName = "CAPTURE.LOG";
inline constexpr const char* kAddonFolderName = "ADDON";

// A send index up to this value names a pose, above it a command.
inline constexpr int kLastPoseIndex = 900;

// SERVO.LOG for `pose`: travel time (scaled by the slow ratio when slow
// playback is on), the model-2 torque byte, the servo values and the seven
// LED values, brightness-limited when the pose asks for it.
std::string PoseRecord(const MotionDocument& document, const Pose& pose);

// REMOTE.LOG: FE FF and the command code.
std::string CommandRecord(int code);

// CAPTURE.LOG as the robot writes it: two state bytes and the servo values.
// A state whose byte 0 is 0 or 1 and byte 1 is 0 means nothing captured yet.
inline constexpr std::uint16_t kCaptureTaken = 2;
std::string CaptureRecord(const std::array<std::int16_t, kServoCount>& servos,
                          std::uint16_t state = kCaptureTaken);

// True when a capture record says the robot has measured nothing yet.
bool CaptureIsEmpty(std::string_view record);

// The servo values at offsets 2 to 41, shared by the pose and capture
// records; nullopt for a record too short to hold them.
std::optional<std::array<std::int16_t, kServoCount>> RecordServos(std::string_view record);

}  // namespace kz
