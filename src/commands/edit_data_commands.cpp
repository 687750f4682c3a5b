#include "commands/edit_data_commands.h"

#include <optional>
#include <utility>

#include "commands/motion_file_commands.h"
#include "formats/edit_data.h"
#include "model/editor.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::size_t kPathCapacity = 260;
// Far beyond any motion (180 poses take under 20 KiB); a bigger file is not
// edit data and is not loaded into memory whole.
constexpr std::size_t kMaxEditDataBytes = 16u << 20;

// The first sound name that does not fit its header field, if any.
const std::string* OverlongSoundName(const Motion& motion) {
  for (const std::string* name : {&motion.startSound, &motion.endSound})
    if (name->size() > kEditDataSoundNameMax) return name;
  return nullptr;
}

}  // namespace

bool ReadEditData(MotionDocument& document, EditorUi& ui, const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, kMaxEditDataBytes + 1)) {
    ui.prompts.ShowMessage(kMsgEditDataReadFailed);
    return false;
  }
  auto motion =
      bytes.size() > kMaxEditDataBytes ? std::nullopt : DecodeEditData(bytes, document.maxPose);
  if (!motion) {
    ui.prompts.ShowMessage(kMsgEditDataWrong);
    return false;
  }
  ReleasePoses(document);
  document.motion = std::move(*motion);
  ShowLoopSettings(document, ui.controls);
  return true;
}

bool OpenEditData(MotionDocument& document, EditorUi& ui) {
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = "KZI";
  request.initialName = document.settings().ReadText("DATA", "PATH", "", kPathCapacity);
  request.filter = SystemText("モーションデータ|*.KZI|プログラム(KM4)|*.KM4||");
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return true;
  // The same steps as opening a file named on the command line.
  return OpenMotionFile(document, ui, answer->path);
}

SaveResult SaveEditData(MotionDocument& document, EditorUi& ui) {
  FileDialogRequest request;
  request.open = false;
  request.defaultExtension = "KZI";
  request.initialName = document.editDataPath;
  request.filter = SystemText("ﾓｰｼｮﾝﾃﾞｰﾀﾌｧｲﾙ|*.KZI||");
  request.overwritePrompt = true;
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return SaveResult::kCancelled;
  // The chosen file stays the motion's even when the save goes no further.
  document.editDataPath = answer->path;

  if (!CommitEditor(document, ui)) return SaveResult::kFailed;
  TakeLoopSettings(document, ui.controls);
  const SaveResult saved = SaveEditDataTo(document, ui.prompts, answer->path);
  if (saved == SaveResult::kSaved) {
    ui.controls.Enable(ctl::kWriteProgram, true);
    ui.controls.Enable(ctl::kSaveEditData, true);
  }
  return saved;
}

SaveResult SaveEditDataTo(MotionDocument& document, Prompts& prompts, const std::string& path) {
  document.editDataPath = path;
  // A longer name does not fit its header field: refuse rather than store a
  // name the file cannot give back.
  if (const std::string* name = OverlongSoundName(document.motion)) {
    prompts.ShowMessage(kMsgSoundNameTooLong, BoxKind::kExclamation,
                        {*name, std::to_string(kEditDataSoundNameMax)});
    return SaveResult::kFailed;
  }
  if (!WriteFileAtomically(path, EncodeEditData(document.motion))) {
    prompts.ShowMessage(kMsgEditDataWriteFailed);
    return SaveResult::kFailed;
  }
  document.settings().WriteText("DATA", "PATH", path);
  document.modified = false;
  return SaveResult::kSaved;
}

}  // namespace kz
