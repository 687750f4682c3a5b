#include "formats/motion_file.h"

#include <algorithm>
#include <cctype>

#include "formats/edit_data.h"
#include "formats/program_reader.h"
#include "model/editor.h"

namespace kz {

bool IsProgramTextPath(const std::string& path) {
  constexpr std::string_view kExtension = ".KM4";
  if (path.size() < kExtension.size()) return false;
  return std::equal(
      kExtension.begin(), kExtension.end(), path.end() - kExtension.size(),
      [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); });
}

bool OpenMotionFile(MotionDocument& document, EditorUi& ui, const std::string& path) {
  const bool read = IsProgramTextPath(path) ? ReadMotionProgram(document, ui, path)
                                            : ReadEditData(document, ui, path);
  if (!read) return false;
  document.editDataPath = path;
  document.settings().WriteText("DATA", "PATH", path);
  if (document.poseCount() == 0) {
    // A program may hold no pose: then there is nothing to show or edit.
    ClearEditor(document, ui.controls);
    RebuildPoseTabs(document, ui.controls);
    EnableEditing(document, ui.controls, false);
  } else {
    document.currentPose = 0;
    RebuildPoseTabs(document, ui.controls);
    ShowPose(document, ui.controls);
    EnableEditing(document, ui.controls, true);
  }
  document.modified = false;
  return true;
}

}  // namespace kz
