#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/editor_ui.h"
#include "ui/prompts.h"

namespace kz {

// Controls of the start and end processing dialog.
namespace sound {
inline constexpr int kBrowse = 3;
inline constexpr int kWait = 1046;
inline constexpr int kWaitSpin = 1048;
inline constexpr int kShowStart = 1058;  // radio group: which side is shown
inline constexpr int kShowEnd = 1059;
inline constexpr int kSound = 1060;
inline constexpr int kTorque = 1063;
}  // namespace sound

// The start and end processing dialog: one set of controls (sound, wait,
// torque) showing either the start or the end values. The dialog works on
// copies; OK hands them back.
class CSoundDlg : public DialogLogic {
 public:
  static constexpr int kTemplateId = 132;

  // Takes its working copies from `document`; `dialogs` opens the browse,
  // `prompts` tells why a sound name is refused.
  CSoundDlg(MotionDocument& document, Dialogs& dialogs, Prompts& prompts);

  int TemplateId() const override { return kTemplateId; }
  void OnInit(Controls& controls) override;
  bool OnEvent(Controls& controls, int id, ControlEvent event) override;

  // Lets the user pick a sound file on the robot's card and puts its path
  // from the card's root, with the robot's "\" separators, into the sound
  // field. The card is found through the last servo-log import.
  void BrowseSound(Controls& controls);

  std::string startSound, endSound;  // working copies
  std::int32_t startWait = 0, endWait = 0;
  std::int32_t startTorqueOn = 0, endTorqueOff = 0;
  MotionDocument* document;     // borrowed
  std::int32_t shownMode = -1;  // -1 nothing shown yet, 0 start, 1 end

  // The root of the file system holding `path` (system text), ending in a
  // separator; the robot's paths start there. Replaceable for tests.
  std::function<std::string(const std::string& path)> cardRootOf;

 private:
  void StoreShown(const Controls& controls);
  void Show(Controls& controls, int mode);
  // Stores the side shown and checks both sound names; a name no program
  // could carry is shown, named in message 204 and focused for correcting.
  bool TakeValues(Controls& controls);

  Dialogs& dialogs_;
  Prompts& prompts_;
};

// The root of the mounted file system holding `path` (system text), with its
// final separator: the Linux counterpart of a drive's root. Empty when the
// path cannot be resolved.
std::string MountPointOf(const std::string& path);

// The main window's "前後処理" button: shows the dialog and, on OK, takes the
// six values into the document. Returns whether OK was pressed.
bool EditStartEndProcessing(MotionDocument& document, EditorUi& ui);

}  // namespace kz
