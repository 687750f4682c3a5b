#include "commands/simulator_commands.h"

#include <string>

#include "link/simulator.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"

namespace kz {
namespace {

void SetSimulatorControls(MotionDocument& document, Controls& controls, bool on) {
  if (document.poseCount() > 0) {
    controls.Enable(ctl::kRemoteSend, on);
    controls.Enable(ctl::kReplay, on);
  }
  controls.Enable(ctl::kCapture, on);
  controls.Enable(ctl::kDirectExecute, !on);
  controls.Enable(ctl::kRemoteConnection, !on);
}

void SwitchOn(MotionDocument& document, EditorUi& ui) {
  std::string path = SimulatorPath(document);
  if (!FileExists(path)) {
    FileDialogRequest request;
    request.open = true;
    request.initialName = path;
    request.filter = SystemText("シミュレーター|") + kSimulatorExecutable + "||";
    const auto answer = ui.dialogs.AskFile(request);
    path = answer ? answer->path : std::string();
  }
  if (path.empty() || !LaunchSimulator(document, ui.prompts, path)) {
    ui.controls.SetChecked(ctl::kSimulator, false);
    return;
  }
  RememberSimulator(document, path);
  SetSimulatorControls(document, ui.controls, true);
}

}  // namespace

void ToggleSimulator(MotionDocument& document, EditorUi& ui) {
  if (ui.controls.IsChecked(ctl::kSimulator)) {
    SwitchOn(document, ui);
    return;
  }
  CloseSimulator(document);
  SetSimulatorControls(document, ui.controls, false);
}

}  // namespace kz
