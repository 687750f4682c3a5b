#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/editor_ui.h"

namespace kz {

// Controls of the LED detail dialog.
namespace led {
inline constexpr int kClose = 2;
inline constexpr int kLeftEye = 1057;  // swatches
inline constexpr int kRightEye = 1058;
inline constexpr int kMouth = 1059;
inline constexpr int kLiveSend = 1062;
inline constexpr int kLimit = 1063;
inline constexpr int kPatterns = 1065;
inline constexpr int kConvert = 1066;
inline constexpr int kBothEyes = 1067;  // radio group: where a pattern goes
inline constexpr int kLeftOnly = 1068;
inline constexpr int kRightOnly = 1069;
}  // namespace led

// The LED detail dialog: separate colours for the eyes and the mouth, the
// brightness limit, expression patterns for one or both eyes, live sending of
// the pose while editing, and the bulk conversion of a program's eyes. Every
// change goes straight into the current pose; there is nothing to cancel.
// Shown only while the document has a current pose.
class CLedDlg : public DialogLogic {
 public:
  static constexpr int kTemplateId = 131;

  // `mainWindow` is the editor window: the live send stores its fields into
  // the pose first, and messages and the colour dialog open there.
  // `convertEyes` is the bulk conversion of a program's eyes, a command of
  // its own that the button starts.
  CLedDlg(MotionDocument& document, EditorUi& mainWindow, std::function<void()> convertEyes)
      : document(&document), mainWindow_(mainWindow), convertEyes_(std::move(convertEyes)) {}

  int TemplateId() const override { return kTemplateId; }
  void OnInit(Controls& controls) override;
  bool OnEvent(Controls& controls, int id, ControlEvent event) override;
  std::uint32_t SwatchColor(int id) const override;

  MotionDocument* document;  // borrowed

 private:
  void ChooseEyeColor(Controls& controls, int id);
  void ChooseMouthColor(Controls& controls);
  void ToggleLimit(Controls& controls);
  void PickPattern(Controls& controls);
  // Selects the entry of `pattern`; none for a number beyond the list.
  void SelectPattern(Controls& controls, int pattern);
  void LiveSend(const Controls& controls);

  EditorUi& mainWindow_;
  std::function<void()> convertEyes_;
  int patternCount_ = 0;
};

}  // namespace kz
