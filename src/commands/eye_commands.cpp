#include "commands/eye_commands.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "platform/in_place_file.h"
#include "platform/text_encoding.h"
#include "tools/eye_patterns.h"
#include "ui/messages.h"

namespace kz {

bool ConvertEyePatternsInFile(std::string_view path, int leftPattern, int rightPattern,
                              Prompts& prompts) {
  // The arrays changed; unset when the file was not opened, not read or empty.
  std::optional<int> count;
  const PatchResult result = PatchFileInPlace(path, kMaxWholeFileBytes, [&](std::string& program) {
    std::vector<FilePatch> patches;
    if (program.empty()) return patches;
    count = ReplaceEyePatterns(program, leftPattern, rightPattern);
    // The same bytes over the start of the file: an in-place patch keeps
    // the file's identity (links, permissions, the card's directory entry).
    if (*count > 0) patches.push_back(FilePatch{0, std::move(program)});
    return patches;
  });
  if (result == PatchResult::kPatched) {
    prompts.ShowMessage(kMsgLedsRewritten, BoxKind::kInformation, {std::to_string(*count)});
    return true;
  }
  if (!count) {
    prompts.ShowMessage(kMsgProgramReadFailed, BoxKind::kOk);
  } else if (result == PatchResult::kDeclined) {
    prompts.ShowMessage(kMsgNoPoseBlock, BoxKind::kOk);
  } else {
    prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kOk);
  }
  return false;
}

bool ConvertEyePatterns(const MotionDocument& document, Prompts& prompts, Dialogs& dialogs) {
  if (!document.hasCurrentPose()) return false;
  if (prompts.ShowMessage(kMsgEyesAlreadyPattern, BoxKind::kOkCancel) != Button::kOk) return false;
  FileDialogRequest request;
  request.open = false;
  request.defaultExtension = "KM4";
  request.initialName = document.editDataPath;
  request.filter = SystemText("プログラム(KM4)|*.KM4||");
  request.overwritePrompt = true;
  const auto answer = dialogs.AskFile(request);
  if (!answer) return false;
  const Pose& pose = document.motion.poses[static_cast<std::size_t>(document.currentPose)];
  return ConvertEyePatternsInFile(answer->path, static_cast<int>((pose.leftEye >> 16) & 0xFF),
                                  static_cast<int>((pose.rightEye >> 16) & 0xFF), prompts);
}

}  // namespace kz
