#include "commands/program_commands.h"

#include <optional>
#include <utility>

#include "commands/binary_program_commands.h"
#include "commands/program_name_checks.h"
#include "commands/program_path.h"
#include "formats/program_reader.h"
#include "formats/program_writer.h"
#include "model/editor.h"
#include "model/standard_values.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/messages.h"

namespace kz {
namespace {

// Far beyond any program the editor writes (a full motion is a few hundred
// KiB); a bigger file is not a program and is not loaded into memory whole.
constexpr std::size_t kMaxProgramBytes = 16u << 20;

// A per-posture program of a looping motion cannot be written, and one of a
// motion read back from a per-posture program would nest the postures.
bool PerPostureFits(const MotionDocument& document, Prompts& prompts) {
  if (document.motion.loopCount > 1) {
    prompts.ShowMessage(kMsgLoopPerPosture, BoxKind::kOk);
    return false;
  }
  // The labels of a per-posture program read back begin with "立ち".
  const std::string standing = SystemText("立ち姿勢").substr(0, 4);
  if (!document.motion.poses.empty() && document.motion.poses.front().label.starts_with(standing)) {
    prompts.ShowMessage(kMsgAlreadyPerPosture, BoxKind::kOk);
    return false;
  }
  return true;
}

void OfferSound(const std::string& name, MotionDocument& document, Prompts& prompts) {
  const bool asStart = document.motion.startSound.empty();
  const Button answer = prompts.ShowMessage(asStart ? kMsgUseAsStartSound : kMsgUseAsEndSound,
                                            BoxKind::kYesNoQuestion, {name});
  if (answer != Button::kYes) return;
  (asStart ? document.motion.startSound : document.motion.endSound) = name;
}

}  // namespace

bool WriteMotionProgram(MotionDocument& document, EditorUi& ui) {
  const bool binary = document.kazoModel == 2;
  // Refused before a file is asked for: such a program would not run.
  if (!SoundNamesFitProgram(document, ui.prompts)) return false;
  if (!binary && !PoseLabelsFitProgram(document, ui.prompts)) return false;
  FileDialogRequest request;
  request.open = false;
  request.initialName = LastProgramPath(document);
  request.overwritePrompt = true;
  if (binary) {
    request.filter = SystemText("バイナリプログラム|*.BIN||");
    request.defaultExtension = "BIN";
  } else {
    request.filter = SystemText("ブログラム(KM4)|*.KM4||");
    request.defaultExtension = "KM4";
    request.optionText = SystemText("姿勢毎のモーションを出力する(判定判定を行う)");
  }
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return false;
  if (!CommitEditor(document, ui)) return false;
  TakeLoopSettings(document, ui.controls);
  if (!binary) return WriteMotionProgramTo(document, ui, answer->path, answer->optionChecked);

  if (!document.standardValues && !LoadStandardValues(document, ui)) return false;
  if (answer->optionChecked) {
    if (!PerPostureFits(document, ui.prompts)) return false;
    ui.prompts.ShowMessage(kMsgModelTwoIgnoresPerPosture, BoxKind::kOk);
  }
  return WriteBinaryProgram(document, ui, answer->path, kDispatchMode);
}

bool WriteMotionProgramTo(MotionDocument& document, EditorUi& ui, const std::string& path,
                          bool perPosture) {
  if (!document.standardValues && !LoadStandardValues(document, ui)) return false;
  if (perPosture && !PerPostureFits(document, ui.prompts)) return false;

  const Settings settings = document.settings();
  ProgramOptions options;
  options.standardValues = *document.standardValues;
  options.perPosture = perPosture;
  options.synchroRegister = settings.ReadInt("POSE", "SYNCHRO_REGISTOR", 0x0ef0);
  options.waitSynchroTime = settings.ReadInt("POSE", "WAIT_SYNCHRO_TIME", 15);
  // The whole program is built before the file is touched, so an abandoned
  // program leaves no partial file and the previous file stays as it was.
  const auto text = BuildProgramText(document.motion, options);
  if (!text) {
    ui.prompts.ShowMessage(kMsgSynchronisedPerPosture, BoxKind::kOk);
    return false;
  }
  if (!WriteFileAtomically(path, *text)) {
    ui.prompts.ShowMessage(kMsgProgramWriteFailed, BoxKind::kOk);
    return false;
  }
  document.settings().WriteText("POSE", "PATH", path);
  ui.prompts.ShowMessage(kMsgProgramWritten, BoxKind::kInformation);
  return true;
}

bool ReadMotionProgram(MotionDocument& document, EditorUi& ui, const std::string& path) {
  const bool hadStandardValues = document.standardValues.has_value();
  if (!hadStandardValues && !LoadStandardValues(document, ui)) return false;

  std::string raw;
  if (!ReadWholeFile(path, raw, kMaxProgramBytes + 1) || raw.size() > kMaxProgramBytes) {
    ui.prompts.ShowMessage(kMsgProgramReadFailed);
    return false;
  }
  // Refused before the motion or its settings are touched.
  ParsedProgramText parsed = ParseProgramText(raw, *document.standardValues, document.maxPose);
  if (parsed.failure) {
    ui.prompts.ShowMessage(kMsgNotAMotionProgram, BoxKind::kExclamation, {path});
    return false;
  }

  if (hadStandardValues) LoadPoseSettings(document, ui.controls);
  ReleasePoses(document);
  for (const std::string& sound : parsed.sounds) OfferSound(sound, document, ui.prompts);
  document.motion.poses = std::move(parsed.poses);
  if (parsed.posesLeftOut)
    ui.prompts.ShowMessage(kMsgPosesBeyondLimitNotRead, BoxKind::kExclamation,
                           {std::to_string(document.maxPose)});
  return true;
}

}  // namespace kz
