#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/pose.h"

namespace kz {

// Reading poses back from a motion program text (.KM4): a tolerant line
// scanner that recognises block names, sound statements and pose arrays with
// the move that follows them, and ignores everything else.

// "0x" and four lower-case hexadecimal digits at the start of `text`, as a
// signed 16-bit value. False, with `value` unchanged, for anything else
// (upper-case digits included).
bool ParseHexWord(std::string_view text, std::int16_t& value);

// The colour 0x00BBGGRR of three LED words (red, green, blue) that start 7
// bytes apart at `text`. The largest word is scaled by 5 (at most 255) and the
// others keep their proportion to it; a word that is missing or malformed
// counts as 0.
std::uint32_t ParseLedColour(std::string_view text);

// Why a text is no motion program: program text never holds a NUL byte (no
// Shift_JIS character has one), and a text without a single readable pose
// gives nothing to edit.
enum class ProgramTextFailure { kNulByte, kNoPose };

// What a program text gives the editor.
struct ParsedProgramText {
  std::optional<ProgramTextFailure> failure;  // when set, everything else is empty
  std::vector<Pose> poses;                    // in program order, at most maxPose
  std::vector<std::string> sounds;            // the play statements' file names, in order
  bool posesLeftOut = false;                  // pose arrays beyond maxPose were passed over
};

// The poses and sounds of the program text `bytes` (CP932, read as a text
// file: CR LF counts as LF). Each servo value is the pose array's word
// added to its standard value.
ParsedProgramText ParseProgramText(std::string_view bytes, const StandardValues& standardValues,
                                   int maxPose);

}  // namespace kz
