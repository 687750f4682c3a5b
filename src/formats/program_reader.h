#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

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

// Replaces the document's poses by those of the program at `path` (CP932).
// Offers each sound statement as the start or end sound. False when the
// standard values cannot be had (already reported), the file cannot be read
// (message 125), or it is no motion program: it holds a NUL byte or not one
// readable pose (message 220). Nothing of the motion, its start and end
// processing or its loop settings changes then. Pose arrays beyond `maxPose`
// are skipped and the user is told (message 202).
bool ReadMotionProgram(MotionDocument& document, EditorUi& ui, const std::string& path);

}  // namespace kz
