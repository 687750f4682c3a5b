#include "link/direct_execute.h"

#include <cstdlib>

#include "commands/program_path.h"
#include "formats/binary_program.h"
#include "link/flashair.h"
#include "link/records.h"
#include "link/remote_connection.h"
#include "link/send_to_robot.h"
#include "model/editor.h"
#include "model/standard_values.h"
#include "platform/card_io.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/private_folder.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

constexpr std::size_t kSetupPathCapacity = 256;

std::string TemporaryFolder(const DirectExecuteEnvironment& environment) {
  if (!environment.temporaryFolder.empty()) return environment.temporaryFolder;
  const char* fromEnvironment = std::getenv("TMPDIR");
  std::string folder = "/tmp";
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
    if (const auto text = Utf8ToCp932(fromEnvironment)) folder = *text;
  }
  return JoinPath(folder, "");
}

// The program's initial name in the dialog: the last one with its
// extension replaced by .KM4.
std::string InitialProgramName(const std::string& last) {
  if (last.ends_with(kPathSeparator)) return last;  // a folder to start in
  const std::size_t dot = last.rfind('.');
  return (dot == std::string::npos ? std::string() : last.substr(0, dot)) + ".KM4";
}

// Over Wi-Fi the standard values come from the card's setup file, unless
// the user named one: given for this run (--setup) or chosen in the editor
// before. That one is read as over USB, with the same checks and messages.
bool LoadStandardValuesOverWifi(MotionDocument& document, EditorUi& ui) {
  const bool named = document.setupOverride || FileExists(document.settings().ReadText(
                                                   "SETUP", "PATH", "", kSetupPathCapacity));
  if (!named) return LoadStandardValues(document, ui);
  document.useFlashAir = false;
  const bool loaded = LoadStandardValues(document, ui);
  document.useFlashAir = true;
  return loaded;
}

bool ExecuteBinary(MotionDocument& document, EditorUi& ui,
                   const DirectExecuteEnvironment& environment) {
  BinaryProgramOptions options;
  TakeLoopSettings(document, ui.controls);
  options.loopCount = document.motion.loopCount;
  options.backAndForth = document.motion.backAndForth;
  if (!document.standardValues && !(document.useFlashAir ? LoadStandardValuesOverWifi(document, ui)
                                                         : LoadStandardValues(document, ui)))
    return false;

  if (document.useFlashAir) {
    // A folder of this run's own: at a fixed name in the shared temporary
    // folder someone else could have laid a link to one of the user's files.
    const PrivateFolder folder(TemporaryFolder(environment));
    // Without the folder the writer fails on the empty path with its 130.
    const std::string path = folder.IsMade() ? folder.path() + kDirectBinaryName : std::string();
    if (!WriteBinaryProgram(document, ui, path, 0, options)) return false;
    // The robot's program takes the file up by itself: no command follows.
    return UploadLocalFile(document, ui.prompts, path, kDirectBinaryName);
  }

  // The robot boots from the image at the card's root, whatever folder the
  // card folder names. Without a card folder the writer reports 130.
  std::string path;
  if (!document.cardFolder.empty()) {
    const std::string root = environment.mountPointOf(document.cardFolder);
    if (!root.empty()) path = root + kStartupImageName;
  }
  if (!WriteBinaryProgram(document, ui, path, kDirectExecBase, options)) return false;
  return SendToRobot(document, ui.prompts, kCommandExecute);
}

bool ExecuteProgramText(MotionDocument& document, EditorUi& ui) {
  if (document.cardFolder.empty() && !document.useFlashAir) {
    if (ui.prompts.ShowMessage(kMsgStartRemoteConnection, BoxKind::kYesNoQuestion) != Button::kYes)
      return false;
    if (!LocateCardFolder(document, ui.prompts, ui.dialogs)) return false;
  }

  const std::string last = LastProgramPath(document);
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = "KM4";
  request.initialName = InitialProgramName(last);
  request.filter = SystemText("プログラム(KM4)|*.KM4||");
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return false;
  document.settings().WriteText("POSE", "PATH", answer->path);

  if (document.useFlashAir) {
    if (!UploadLocalFile(document, ui.prompts, answer->path, kDirectProgramName)) return false;
  } else {
    const std::string target =
        JoinPath(JoinPath(document.cardFolder, kAddonFolderName), kDirectProgramName);
    std::string program;
    const CardWriteResult copied = ReadWholeFile(answer->path, program)
                                       ? WriteCardFile(target, program, CardWrite::kCreate)
                                       : CardWriteResult::kFailed;
    if (copied == CardWriteResult::kRefused) {
      ui.prompts.ShowMessage(kMsgCardFileNotRegular, BoxKind::kExclamation, {target});
      return false;
    }
    if (copied != CardWriteResult::kWritten) {
      ui.prompts.ShowMessage(kMsgDirectExecCopyFailed);
      return false;
    }
  }
  return SendToRobot(document, ui.prompts, kCommandExecute);
}

}  // namespace

bool UploadLocalFile(MotionDocument& document, Prompts& prompts, const std::string& localPath,
                     const std::string& cardName) {
  std::string data;
  if (!ReadWholeFile(localPath, data)) {
    prompts.ShowMessage(kMsgProgramReadFailed);
    return false;
  }
  if (!FlashAirUpload(FlashAirCardOf(document, prompts), cardName, data, true)) {
    prompts.ShowMessage(kMsgFlashAirUnreachable);
    return false;
  }
  return true;
}

bool DirectExecute(MotionDocument& document, EditorUi& ui,
                   const DirectExecuteEnvironment& environment) {
  if (document.kazoModel == 2) return ExecuteBinary(document, ui, environment);
  return ExecuteProgramText(document, ui);
}

}  // namespace kz
