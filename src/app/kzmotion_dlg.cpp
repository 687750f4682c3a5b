#include "app/kzmotion_dlg.h"

#include <array>

#include "commands/capture_commands.h"
#include "commands/direct_execute_commands.h"
#include "commands/edit_data_commands.h"
#include "commands/jump_commands.h"
#include "commands/led_commands.h"
#include "commands/motion_file_commands.h"
#include "commands/playback_commands.h"
#include "commands/program_commands.h"
#include "commands/remote_connection_commands.h"
#include "commands/servo_log_commands.h"
#include "commands/simulator_commands.h"
#include "dialogs/led_swatch.h"
#include "dialogs/param_dlg.h"
#include "dialogs/sound_dlg.h"
#include "link/link_hooks.h"
#include "model/editor.h"
#include "model/pose_editing.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"
#include "ui/control_ids.h"
#include "ui/messages.h"

namespace kz {
namespace {

using Operation = void (*)(MotionDocument&, EditorUi&);

// Message 116 for unsaved edits: true when the caller may go on, having
// saved or discarded them. False on Cancel, and also when Yes did not end in
// a saved file (the save dialog cancelled, the save failed): the user asked
// to keep the edits, so they must not be thrown away.
bool SettleUnsavedEdits(MotionDocument& document, EditorUi& ui) {
  if (!document.modified) return true;
  const Button answer = ui.prompts.ShowMessage(kMsgSaveChanges, BoxKind::kYesNoCancelQuestion);
  if (answer == Button::kCancel) return false;
  return answer == Button::kNo || SaveEditData(document, ui) == SaveResult::kSaved;
}

// The model decides whether servo logs and synchronised starts exist.
void EditParametersAndRestrictions(MotionDocument& document, EditorUi& ui) {
  if (!EditParameters(document, ui)) return;
  const bool modelOne = document.kazoModel == 1;
  ui.controls.Enable(ctl::kReadLogs, modelOne);
  ui.controls.Enable(ctl::kStartSync, modelOne);
}

// A failed import leaves the motion as it was: clearing the editor would
// throw away a motion the user may not have saved.
void ImportLogs(MotionDocument& document, EditorUi& ui) { ImportServoLogs(document, ui); }

// Opening replaces the motion, so unsaved edits are settled first. A file
// that cannot be read leaves the motion as it was: the readers check before
// they change anything, and clearing the editor would throw the motion away.
void OpenMotion(MotionDocument& document, EditorUi& ui) {
  if (SettleUnsavedEdits(document, ui)) OpenEditData(document, ui);
}

struct Command {
  int id;
  ControlEvent event;
  Operation run;  // null: the operation is not part of the editor yet
};

constexpr auto kClicked = ControlEvent::kClicked;

// What each control does. Text changes of the tracked fields are answered
// before this table, by the change tracking.
constexpr std::array kCommands = {
    Command{ctl::kReadLogs, kClicked, ImportLogs},
    Command{ctl::kWriteProgram, kClicked,
            [](MotionDocument& d, EditorUi& ui) { WriteMotionProgram(d, ui); }},
    Command{ctl::kOpenEditData, kClicked, OpenMotion},
    Command{ctl::kSaveEditData, kClicked,
            [](MotionDocument& d, EditorUi& ui) { SaveEditData(d, ui); }},
    Command{ctl::kDirectExecute, kClicked,
            [](MotionDocument& d, EditorUi& ui) { DirectExecute(d, ui); }},
    Command{ctl::kAdjustAddresses, kClicked, AdjustJumpAddresses},
    Command{ctl::kStartEndProcessing, kClicked,
            [](MotionDocument& d, EditorUi& ui) { EditStartEndProcessing(d, ui); }},
    Command{ctl::kRemoteConnection, kClicked,
            [](MotionDocument& d, EditorUi& ui) { ToggleRemoteConnection(d, ui); }},
    Command{ctl::kSimulator, kClicked, ToggleSimulator},
    Command{ctl::kReplay, kClicked, TogglePlayback},
    Command{ctl::kAddPose, kClicked, [](MotionDocument& d, EditorUi& ui) { AddPose(d, ui); }},
    Command{ctl::kDeletePose, kClicked, [](MotionDocument& d, EditorUi& ui) { DeletePose(d, ui); }},
    Command{ctl::kSwapPose, kClicked, [](MotionDocument& d, EditorUi& ui) { SwapPose(d, ui); }},
    Command{ctl::kOriginPose, kClicked,
            [](MotionDocument& d, EditorUi& ui) { OriginPose(d, ui, true); }},
    Command{ctl::kCapture, kClicked, [](MotionDocument& d, EditorUi& ui) { CapturePose(d, ui); }},
    Command{ctl::kRemoteSend, kClicked, RemoteSendCurrentPose},
    Command{ctl::kParameters, kClicked, EditParametersAndRestrictions},
    Command{ctl::kMirrorLegs, kClicked,
            [](MotionDocument& d, EditorUi& ui) { MirrorServos(d, ui, MirrorGroup::kLegs); }},
    Command{ctl::kMirrorArms, kClicked,
            [](MotionDocument& d, EditorUi& ui) { MirrorServos(d, ui, MirrorGroup::kArms); }},
    Command{ctl::kMirrorHead, kClicked,
            [](MotionDocument& d, EditorUi& ui) { MirrorServos(d, ui, MirrorGroup::kHead); }},
    Command{ctl::kMirrorWaist, kClicked,
            [](MotionDocument& d, EditorUi& ui) { MirrorServos(d, ui, MirrorGroup::kWaist); }},
    Command{ctl::kStartSync, kClicked,
            [](MotionDocument& d, EditorUi& ui) { ToggleStartSync(d, ui.controls); }},
    Command{ctl::kEyeSwatch, kClicked, ChooseEyeColor},
    Command{ctl::kMouth, kClicked,
            [](MotionDocument& d, EditorUi& ui) { ToggleMouth(d, ui.controls); }},
    Command{ctl::kLedDetails, kClicked, LedDetails},
    Command{ctl::kPoseTabs, ControlEvent::kSelectionChanged,
            [](MotionDocument& d, EditorUi& ui) { CommitEditor(d, ui); }},
    Command{ctl::kBackAndForth, kClicked, [](MotionDocument& d, EditorUi&) { d.modified = true; }},
};

const Command* FindCommand(int id, ControlEvent event) {
  for (const Command& command : kCommands)
    if (command.id == id && command.event == event) return &command;
  return nullptr;
}

constexpr int kPlaybackTimer = 0;

// The window's close box presses Cancel: that is the Close button's id.
static_assert(ctl::kClose == kIdCancel);

}  // namespace

CKZMotionDlg::CKZMotionDlg(std::string iniPath, Prompts& prompts, Dialogs& dialogs)
    : document_(std::make_unique<MotionDocument>(std::move(iniPath))),
      prompts_(prompts),
      dialogs_(dialogs) {
  InstallFlashAirDownload(*document_, prompts_);
  InstallPoseFileClearing(*document_, prompts_);
  InstallSimulatorClosing(*document_);
}

void CKZMotionDlg::OnInit(Controls& controls) {
  EditorUi ui{controls, prompts_, dialogs_};
  InitEditor(*document_, ui);
  if (!startupMotion_.empty() && !OpenMotionFile(*document_, ui, startupMotion_))
    ClearEditor(*document_, controls);
}

bool CKZMotionDlg::Routes(int id, ControlEvent event) {
  if (event == ControlEvent::kTextChanged) return ctl::IsChangeTracked(id);
  if (event == ControlEvent::kClicked && (id == kIdOk || id == ctl::kClose)) return true;
  return FindCommand(id, event) != nullptr;
}

bool CKZMotionDlg::OnEvent(Controls& controls, int id, ControlEvent event) {
  // Widgets may still report while the window is torn down.
  if (!document_) return true;
  if (event == ControlEvent::kTextChanged) {
    if (ctl::IsChangeTracked(id)) document_->modified = true;
    return false;
  }
  // The Close button, the close box and Ctrl+Q all end here; Esc does not.
  if (event == ControlEvent::kClicked && id == ctl::kClose) return CloseEditor(controls);
  // Enter takes the typed values into the pose, and so checks them; it never
  // closes the editor, which would throw away what is being typed.
  if (event == ControlEvent::kClicked && id == kIdOk) {
    EditorUi ui{controls, prompts_, dialogs_};
    if (document_->hasCurrentPose()) CommitEditor(*document_, ui);
    return false;
  }
  const Command* command = FindCommand(id, event);
  if (command && command->run) {
    EditorUi ui{controls, prompts_, dialogs_};
    command->run(*document_, ui);
  }
  return false;
}

void CKZMotionDlg::OnTimer(Controls& controls, int timerId) {
  if (!document_ || timerId != kPlaybackTimer) return;
  // Stopped before each step, so that a slow step never overlaps the next.
  controls.StopTimer(kPlaybackTimer);
  EditorUi ui{controls, prompts_, dialogs_};
  PlaybackStep(*document_, ui);
}

std::uint32_t CKZMotionDlg::SwatchColor(int id) const {
  return document_ ? LedSwatchColor(*document_, id) : kNoPoseSwatchColor;
}

std::string CKZMotionDlg::Caption() const {
  static const std::string kTitle = SystemText("カゾモーションエディター");
  if (!document_) return kTitle;
  std::string caption = document_->modified ? "*" : "";
  const std::string name = FileNameOf(document_->editDataPath);
  if (!name.empty()) caption += name + " - ";
  return caption + kTitle;
}

bool CKZMotionDlg::CloseEditor(Controls& controls) {
  EditorUi ui{controls, prompts_, dialogs_};
  if (!SettleUnsavedEdits(*document_, ui)) return false;
  // The document's destruction clears the card's pose file and closes the
  // simulator.
  document_.reset();
  return true;
}

}  // namespace kz
