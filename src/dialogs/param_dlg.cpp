#include "dialogs/param_dlg.h"

#include "link/card_host.h"
#include "link/remote_connection.h"
#include "model/editor.h"
#include "ui/messages.h"

namespace kz {

void ChooseRemoteFile(MotionDocument& document, Dialogs& dialogs) {
  const auto answer = dialogs.AskFile(RemoteFileRequest(RemoteFilePath(document.cardFolder)));
  if (answer) TakeRemoteFile(document, answer->path);
}

void CParamDlg::OnInit(Controls& controls) {
  const bool model2 = document->kazoModel == 2;
  controls.SetChecked(param::kModel1, !model2);
  controls.SetChecked(param::kModel2, model2);
  controls.Enable(param::kProgramTorque, model2);  // the torque is for model 2 only
  controls.SetChecked(param::kSpeedCheck, document->speedCheck);
  controls.SetChecked(param::kPowerCheck, document->powerCheck);
  controls.SetChecked(param::kSlowCheck, document->slowCheck);
  controls.WriteNumber(param::kSlowRatio, document->slowRatio);
  controls.WriteNumber(param::kProgramTorque, document->programTorque);
  controls.SetChecked(param::kFlashAir, document->useFlashAir);
  controls.SetText(param::kFlashAirHost, document->flashAirHost);
}

bool CParamDlg::OnEvent(Controls& controls, int id, ControlEvent event) {
  if (event != ControlEvent::kClicked) return false;
  switch (id) {
    case param::kModel1:
    case param::kModel2:
      controls.Enable(param::kProgramTorque, !controls.IsChecked(param::kModel1));
      return false;
    case param::kRemoteFile:
      ChooseRemoteFile(*document, mainWindow_.dialogs);
      return false;
    case kIdOk:
      return Store(controls);
    case kIdCancel:
      return true;
    default:
      return false;
  }
}

bool CParamDlg::Store(Controls& controls) {
  MotionDocument& doc = *document;
  // Checked before anything is stored: a host that is no card's would send
  // the card check and every later request elsewhere.
  const std::string host = controls.Text(param::kFlashAirHost);
  if (!IsCardHost(host)) {
    mainWindow_.prompts.ShowMessage(kMsgFlashAirHostInvalid, BoxKind::kExclamation, {host});
    controls.Focus(param::kFlashAirHost);
    return false;
  }
  Settings settings = doc.settings();
  doc.kazoModel = controls.IsChecked(param::kModel2) ? 2 : 1;
  settings.WriteInt("GENERAL", "KAZO_MODEL", doc.kazoModel);
  doc.speedCheck = controls.IsChecked(param::kSpeedCheck);
  settings.WriteBool("POSE", "SPEED_CHECK", doc.speedCheck);
  doc.powerCheck = controls.IsChecked(param::kPowerCheck);
  settings.WriteBool("REMOTE", "POWER_CHECK", doc.powerCheck);
  doc.slowCheck = controls.IsChecked(param::kSlowCheck);
  settings.WriteBool("REMOTE", "SLOW_CHECK", doc.slowCheck);
  doc.slowRatio = controls.ReadNumber(param::kSlowRatio);
  settings.WriteInt("REMOTE", "SLOW_RATIO", doc.slowRatio);
  // Read even while disabled: a model-1 user keeps the torque typed before.
  doc.programTorque = controls.ReadNumber(param::kProgramTorque);
  settings.WriteInt("POSE", "PROGRAM_TORQUE", doc.programTorque);
  doc.flashAirHost = host;
  settings.WriteText("REMOTE", "FLASH_AIR_HOST", doc.flashAirHost);
  // The card is asked only now, with the model and the host just chosen.
  doc.useFlashAir =
      controls.IsChecked(param::kFlashAir) && CheckFlashAirCard(doc, mainWindow_.prompts);
  settings.WriteBool("REMOTE", "FLASH_AIR", doc.useFlashAir);
  return true;
}

bool EditParameters(MotionDocument& document, EditorUi& ui) {
  CParamDlg dialog(document, ui);
  if (ui.dialogs.RunModal(dialog) != kIdOk) return false;
  // The travel time's lowest value follows the speed check.
  ApplySpinRanges(document, ui.controls);
  return true;
}

}  // namespace kz
