#include "dialogs/param_dlg.h"

#include "link/remote_connection.h"

namespace kz {

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
      Store(controls);
      return true;
    case kIdCancel:
      return true;
    default:
      return false;
  }
}

void CParamDlg::Store(const Controls& controls) {
  MotionDocument& doc = *document;
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
  // The card is asked only now, with the model just chosen.
  doc.useFlashAir =
      controls.IsChecked(param::kFlashAir) && CheckFlashAirCard(doc, mainWindow_.prompts);
  settings.WriteBool("REMOTE", "FLASH_AIR", doc.useFlashAir);
}

bool EditParameters(MotionDocument& document, EditorUi& ui) {
  CParamDlg dialog(document, ui);
  return ui.dialogs.RunModal(dialog) == kIdOk;
}

}  // namespace kz
