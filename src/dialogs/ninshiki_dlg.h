#pragma once

#include "model/motion_document.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/prompts.h"

namespace kz {

namespace ctl {
// The recognition-word dialog's word list and number field.
inline constexpr int kRecognitionWordList = 1071;
inline constexpr int kRecognitionNumber = 1072;
}  // namespace ctl

// Whether the document's table has been read. It is read once per document:
// a read table, even an empty one, keeps room for every slot.
bool RecognitionWordsLoaded(const MotionDocument& document);

// Reads "Ninshiki.csv" beside the settings file into the document when it has
// not been read yet, then lists the words in `controls` and selects the last
// one numbered `preselect`. When the file cannot be read the list is disabled
// and the user told; the next call tries again. False then.
bool LoadRecognitionWords(MotionDocument& document, Controls& controls, Prompts& prompts,
                          int preselect);

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
