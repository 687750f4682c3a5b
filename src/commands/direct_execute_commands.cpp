#include "commands/direct_execute_commands.h"

#include <cstdlib>

#include "commands/binary_program_commands.h"
#include "commands/program_path.h"
#include "link/direct_execute.h"
#include "link/records.h"
#include "link/remote_connection.h"
#include "link/send_to_robot.h"
#include "model/editor.h"
#include "model/standard_values.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/private_folder.h"
#include "platform/text_encoding.h"
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

// Without a card folder (and off Wi-Fi) the user may connect first.
bool CardReachable(MotionDocument& document, EditorUi& ui) {
  if (!document.cardFolder.empty() || document.useFlashAir) return true;
  if (ui.prompts.ShowMessage(kMsgStartRemoteConnection, BoxKind::kYesNoQuestion) != Button::kYes)
    return false;
  return LocateCardFolder(document, ui.prompts, ui.dialogs);
}

// Places the program text file at `programPath` for the robot and tells it
// to run it; the card is reachable.
bool RunProgramFile(MotionDocument& document, EditorUi& ui, const std::string& programPath) {
  document.settings().WriteText("POSE", "PATH", programPath);
  const bool placed =
      document.useFlashAir
          ? UploadLocalFile(document, ui.prompts, programPath, kDirectProgramName)
          : CopyLocalFileToCard(document, ui.prompts, programPath, kDirectProgramName);
  if (!placed) return false;
  return SendToRobot(document, ui.prompts, kCommandExecute);
}

bool ExecuteProgramText(MotionDocument& document, EditorUi& ui) {
  if (!CardReachable(document, ui)) return false;

  const std::string last = LastProgramPath(document);
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = "KM4";
  request.initialName = InitialProgramName(last);
  request.filter = SystemText("プログラム(KM4)|*.KM4||");
  const auto answer = ui.dialogs.AskFile(request);
  if (!answer) return false;
  return RunProgramFile(document, ui, answer->path);
}

}  // namespace

bool DirectExecute(MotionDocument& document, EditorUi& ui,
                   const DirectExecuteEnvironment& environment) {
  if (document.kazoModel == 2) {
    TakeLoopSettings(document, ui.controls);
    return DirectExecuteMotion(document, ui, environment);
  }
  return ExecuteProgramText(document, ui);
}

bool DirectExecuteProgram(MotionDocument& document, EditorUi& ui, const std::string& programPath) {
  if (!CardReachable(document, ui)) return false;
  return RunProgramFile(document, ui, programPath);
}

bool DirectExecuteMotion(MotionDocument& document, EditorUi& ui,
                         const DirectExecuteEnvironment& environment) {
  if (!document.standardValues && !(document.useFlashAir ? LoadStandardValuesOverWifi(document, ui)
                                                         : LoadStandardValues(document, ui)))
    return false;

  if (document.useFlashAir) {
    // A folder of this run's own: at a fixed name in the shared temporary
    // folder someone else could have laid a link to one of the user's files.
    const PrivateFolder folder(TemporaryFolder(environment));
    // Without the folder the writer fails on the empty path with its 130.
    const std::string path = folder.IsMade() ? folder.path() + kDirectBinaryName : std::string();
    if (!WriteBinaryProgram(document, ui, path, 0)) return false;
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
  if (!WriteBinaryProgram(document, ui, path, kDirectExecBase)) return false;
  return SendToRobot(document, ui.prompts, kCommandExecute);
}

}  // namespace kz
