#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/motion.h"

namespace kz {

// The editor's own save file (.KZI): a 104-byte little-endian header, one
// 92-byte record per pose, then the table of zero-terminated labels.

inline constexpr std::int32_t kEditDataVersion = 4;
inline constexpr std::size_t kEditDataHeaderSize = 104;
inline constexpr std::size_t kEditDataRecordSize = 92;
// Longest sound file name a header field holds (32 bytes with its terminator).
inline constexpr std::size_t kEditDataSoundNameMax = 31;

// Header flags.
inline constexpr std::uint32_t kEditDataBackAndForth = 0x01;
inline constexpr std::uint32_t kEditDataStartTorqueOn = 0x02;
inline constexpr std::uint32_t kEditDataEndTorqueOff = 0x04;

// The file for the motion, version 4. Sound names are expected to fit
// (saving checks); a longer one is cut at a character boundary.
std::string EncodeEditData(const Motion& motion);

// The motion a file holds, with the rules of its version applied; flags
// other than the three above are dropped. nullopt when `bytes` is not a
// whole edit-data file: wrong magic, a version below 1, a pose count below 0
// or above `maxPose`, fewer bytes than the header and the records need, or a
// label offset that does not lead to a zero-terminated label inside the
// label table.
std::optional<Motion> DecodeEditData(std::string_view bytes, int maxPose);

}  // namespace kz
