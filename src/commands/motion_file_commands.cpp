#include "commands/motion_file_commands.h"

#include <algorithm>
#include <cctype>

#include "commands/edit_data_commands.h"
#include "commands/program_commands.h"
#include "model/editor.h"
#include "model/pose_fields.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {

bool IsProgramTextPath(const std::string& path) {
  constexpr std::string_view kExtension = ".KM4";
  if (path.size() < kExtension.size()) return false;
  return std::equal(
      kExtension.begin(), kExtension.end(), path.end() - kExtension.size(),
      [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); });
}

bool LoadMotionFile(MotionDocument& document, EditorUi& ui, const std::string& path) {
  const bool read = IsProgramTextPath(path) ? ReadMotionProgram(document, ui, path)
                                            : ReadEditData(document, ui, path);
  if (!read) return false;
  document.editDataPath = path;
  document.settings().WriteText("DATA", "PATH", path);
  if (document.poseCount() == 0) {
    // A program may hold no pose: then there is nothing to show or edit,
    // and an empty editor has no back-and-forth.
    document.currentPose = -1;
    document.motion.backAndForth = false;
  } else {
    document.currentPose = 0;
  }
  document.modified = false;
  return true;
}

bool OpenMotionFile(MotionDocument& document, EditorUi& ui, const std::string& path) {
  if (!LoadMotionFile(document, ui, path)) return false;
  if (document.poseCount() == 0) {
    ClearEditor(document, ui.controls);
    RebuildPoseTabs(document, ui.controls);
    EnableEditing(document, ui.controls, false);
  } else {
    RebuildPoseTabs(document, ui.controls);
    ShowPose(document, ui.controls);
    EnableEditing(document, ui.controls, true);
  }
  // Showing the motion is no edit.
  document.modified = false;
  return true;
}

bool TravelTimeAccepted(const MotionDocument& document, Prompts& prompts) {
  if (!document.speedCheck) return true;
  const auto ranges = PoseFieldRanges(document);
  const auto travel = std::find_if(ranges.begin(), ranges.end(), [](const PoseFieldRange& range) {
    return range.field == ctl::kTravelTime;
  });
  if (document.hasCurrentPose() &&
      document.motion.poses[static_cast<std::size_t>(document.currentPose)].travelTime >=
          travel->lower)
    return true;
  prompts.ShowMessage(kMsgTravelTimeTooShort);
  return false;
}

}  // namespace kz
