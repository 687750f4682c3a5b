#pragma once

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

// Asks which recognition word's motion a binary program replaces: a list of
// the words of "Ninshiki.csv" and the recognition number, which picking a
// word fills in and the user may also type.
class CNinshikiDlg : public DialogLogic {
 public:
  static constexpr int kTemplateId = 171;
  static constexpr int kLowestNumber = 1;
  static constexpr int kHighestNumber = 472;

  CNinshikiDlg(MotionDocument& document, Prompts& prompts)
      : document_(document), prompts_(prompts) {}

  int TemplateId() const override { return kTemplateId; }
  void OnInit(Controls& controls) override;
  bool OnEvent(Controls& controls, int id, ControlEvent event) override;

  // Preset by the caller; the number chosen once the dialog ends with OK.
  int recognitionNumber = 0;

 private:
  // Takes the typed number, or tells the user why not and keeps the dialog.
  bool TakeNumber(Controls& controls);

  MotionDocument& document_;
  Prompts& prompts_;
};

}  // namespace kz
