#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

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

// What the file keeps that lives in the main window's controls.
struct EditDataOptions {
  int loopCount = 1;
  bool backAndForth = false;
};

// A file's contents, checked and with the rules of its version applied.
struct EditData {
  std::int32_t version = kEditDataVersion;
  std::uint32_t flags = 0;
  std::int32_t loopCount = 1;
  std::string startSound;
  std::string endSound;
  std::int32_t startWait = 0;
  std::int32_t endWait = 0;
  std::vector<Pose> poses;
};

// The file for the document, version 4. Sound names are expected to fit
// (SaveEditData checks); a longer one is cut at a character boundary.
std::string EncodeEditData(const MotionDocument& document, const EditDataOptions& options);

// nullopt when `bytes` is not a whole edit-data file: wrong magic, a version
// below 1, a pose count below 0 or above `maxPose`, fewer bytes than the
// header and the records need, or a label offset that does not lead to a
// zero-terminated label inside the label table.
std::optional<EditData> DecodeEditData(std::string_view bytes, int maxPose);

// The open command: an edit-data file, or a motion program when the name ends
// in ".KM4" in any case. True when the file was read or the dialog cancelled;
// false when the chosen file was not read (the window then clears the editor).
bool OpenEditData(MotionDocument& document, EditorUi& ui);

// Replaces the motion by the file at `path` (CP932). On failure (message 131
// unreadable, 133 not a valid file) the document is left exactly as it was.
bool ReadEditData(MotionDocument& document, EditorUi& ui, const std::string& path);

// Only kSaved lets closing or opening another motion go on after "save"
// was chosen: a cancelled dialog and a failed write both keep the edits.
enum class SaveResult { kSaved, kCancelled, kFailed };

// The save command. The file is replaced atomically: a failed save leaves the
// previous file as it was.
SaveResult SaveEditData(MotionDocument& document, EditorUi& ui);

}  // namespace kz
