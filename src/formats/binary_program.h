#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The binary program of the second robot model. In an image a file offset is
// also the robot address of the byte; a program of its own lies at
// kDirectExecBase.
inline constexpr std::uint32_t kDirectExecBase = 0x420000;

// Start offset that appends to an image and patches its dispatch entry.
inline constexpr std::int64_t kDispatchMode = -1;

// The longest sound name a program holds: with its terminating zero it is
// counted in one byte of at most 127.
inline constexpr std::size_t kMaxSoundNameBytes = 126;

// What shapes a binary program beyond the document: the main window's loop
// count and back-and-forth box.
struct BinaryProgramOptions {
  int loopCount = 1;
  bool backAndForth = false;
};

// Appends pose `poseIndex` as binary instructions: its 128-byte pose array,
// its travel time and the wait for the motion, then its hold time's wait
// when it has one. Returns the bytes appended (147 to 152).
std::size_t EncodeBinaryPose(const MotionDocument& document, int poseIndex, std::string& out);

// The whole program with its first byte at robot address `base`; nullopt
// when a sound's name is longer than kMaxSoundNameBytes. The document's
// standard values are expected loaded (missing ones count as 0).
std::optional<std::string> BuildBinaryProgram(const MotionDocument& document,
                                              const BinaryProgramOptions& options,
                                              std::uint32_t base);

// The offset of the 4-byte start address of the motion that `image` starts
// for recognition `number`, searched in its dispatch area; 0 when there is
// none.
std::uint32_t LocateDispatchEntry(std::string_view image, int number);

// Reads the image at `path`, takes the recognition number (`number`, or the
// user's choice in the recognition-word dialog) and finds its dispatch
// entry; remembers the number. 0 when the image cannot be read, the user
// cancels or there is no such entry (the user was told, except on cancel).
std::uint32_t FindDispatchEntry(MotionDocument& document, EditorUi& ui, const std::string& path,
                                std::optional<int> number = std::nullopt);

// Writes the document as a binary program to `path` (CP932):
// - start kDispatchMode: appended to the existing image and started through
//   its dispatch entry for the recognition number (`number`, or asked);
// - start 0: a new image of its own, addressed at kDirectExecBase;
// - start > 0: into the existing image from that offset.
// True when written; every failure has been reported to the user.
bool WriteBinaryProgram(MotionDocument& document, EditorUi& ui, const std::string& path,
                        std::int64_t start, const BinaryProgramOptions& options,
                        std::optional<int> number = std::nullopt);

}  // namespace kz
