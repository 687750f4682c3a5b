#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/binary_program.h"
#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// Start offset that appends to an image and patches its dispatch entry.
inline constexpr std::int64_t kDispatchMode = -1;

// The document's standard values (missing ones count as 0) and its program
// torque, as the binary program takes them.
BinaryProgramOptions BinaryProgramOptionsOf(const MotionDocument& document);

// Reads the image at `path`, takes the recognition number (`number`, or the
// user's choice in the recognition-word dialog) and finds its dispatch
// entry; remembers the number. 0 when the image cannot be read, the user
// cancels or there is no such entry (the user was told, except on cancel).
std::uint32_t FindDispatchEntry(MotionDocument& document, EditorUi& ui, const std::string& path,
                                std::optional<int> number = std::nullopt);

// Writes the document's motion, with its loop count and back-and-forth, as a
// binary program to `path` (CP932):
// - start kDispatchMode: appended to the existing image and started through
//   its dispatch entry for the recognition number (`number`, or asked);
// - start 0: a new image of its own, addressed at kDirectExecBase;
// - start > 0: into the existing image from that offset.
// The standard values are expected loaded. True when written; every failure
// has been reported to the user.
bool WriteBinaryProgram(MotionDocument& document, EditorUi& ui, const std::string& path,
                        std::int64_t start, std::optional<int> number = std::nullopt);

}  // namespace kz
