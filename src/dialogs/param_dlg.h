#pragma once

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/editor_ui.h"

namespace kz {

// Controls of the parameter dialog.
namespace param {
inline constexpr int kRemoteFile = 14;
inline constexpr int kSpeedCheck = 1057;
inline constexpr int kSlowCheck = 1062;
inline constexpr int kFlashAir = 1064;
inline constexpr int kPowerCheck = 1065;
inline constexpr int kSlowRatio = 1069;
inline constexpr int kProgramTorque = 1071;
inline constexpr int kModel1 = 1073;  // radio group: the robot model
inline constexpr int kModel2 = 1074;
inline constexpr int kFlashAirHost = 1080;  // the card's host, "name" or "name:port"
}  // namespace param

// The parameter dialog: robot model, the FlashAir card and its host, the remote mode that
// keeps the servos powered, the speed check, slow replay and its ratio, the
// model-2 servo torque. OK writes every value into the document and the
// settings file at once, unless the host is no card's address (message 240:
// the dialog stays open on that field); Cancel keeps them all (only the
// remote file, chosen through its own button, takes effect at once).
class CParamDlg : public DialogLogic {
 public:
  static constexpr int kTemplateId = 170;

  // `mainWindow` shows the FlashAir messages and the remote-file dialog.
  CParamDlg(MotionDocument& document, EditorUi& mainWindow)
      : document(&document), mainWindow_(mainWindow) {}

  int TemplateId() const override { return kTemplateId; }
  void OnInit(Controls& controls) override;
  bool OnEvent(Controls& controls, int id, ControlEvent event) override;

  MotionDocument* document;  // borrowed

 private:
  bool Store(Controls& controls);

  EditorUi& mainWindow_;
};

// The dialog's remote-file button: lets the user pick the card's REMOTE.LOG
// again; the card folder follows at once, unchecked.
void ChooseRemoteFile(MotionDocument& document, Dialogs& dialogs);

// The main window's "パラメーター設定" button. Returns whether OK was pressed:
// the window's spin ranges then follow the speed check at once, and the
// window follows the robot model.
bool EditParameters(MotionDocument& document, EditorUi& ui);

}  // namespace kz
