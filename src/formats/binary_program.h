#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/motion.h"
#include "model/pose.h"

namespace kz {

// The binary program of the second robot model. In an image a file offset is
// also the robot address of the byte; a program of its own lies at
// kDirectExecBase.
inline constexpr std::uint32_t kDirectExecBase = 0x420000;

// The longest sound name a program holds: with its terminating zero it is
// counted in one byte of at most 127.
inline constexpr std::size_t kMaxSoundNameBytes = 126;

// What shapes the poses' bytes beyond the motion: the robot's standard
// values, which the servo values are written relative to, and the torque
// every servo is given.
struct BinaryProgramOptions {
  StandardValues standardValues{};
  std::int32_t torque = 0;
};

// Appends `pose` as binary instructions: its 128-byte pose array, its travel
// time and the wait for the motion, then its hold time's wait when it has
// one. Returns the bytes appended (147 to 152).
std::size_t EncodeBinaryPose(const Pose& pose, const BinaryProgramOptions& options,
                             std::string& out);

// The whole program of `motion`, its loop count and back-and-forth
// included, with its first byte at robot address `base`; nullopt when a
// sound's name is longer than kMaxSoundNameBytes.
std::optional<std::string> BuildBinaryProgram(const Motion& motion,
                                              const BinaryProgramOptions& options,
                                              std::uint32_t base);

// The dispatch search looks no further into an image than this, so no more
// of it needs reading.
inline constexpr std::size_t kDispatchSearchLimit = 0x30000;

// The offset of the 4-byte start address of the motion that `image` starts
// for recognition `number`, searched in its dispatch area; 0 when there is
// none.
std::uint32_t LocateDispatchEntry(std::string_view image, int number);

}  // namespace kz
