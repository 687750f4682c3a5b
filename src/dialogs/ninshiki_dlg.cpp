#include "dialogs/ninshiki_dlg.h"

#include <optional>
#include <string>

#include "formats/recognition_words.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "ui/messages.h"

namespace kz {
namespace {

// Framework texts for a field that must hold an integer in a range.
constexpr int kMsgEnterInteger = 61712;
constexpr int kMsgEnterIntegerInRange = 61714;

}  // namespace

bool RecognitionWordsLoaded(const MotionDocument& document) { return document.wordsLoaded; }

bool LoadRecognitionWords(MotionDocument& document, Controls& controls, Prompts& prompts,
                          int preselect) {
  if (!RecognitionWordsLoaded(document)) {
    std::string text;
    if (!ReadWholeFile(JoinPath(FolderOf(document.iniPath), "Ninshiki.csv"), text)) {
      controls.Enable(ctl::kRecognitionWordList, false);
      prompts.ShowMessage(kMsgWordsReadFailed, BoxKind::kOk);
      return false;
    }
    document.words = ParseRecognitionWords(text);
    document.wordsLoaded = true;
  }
  controls.ClearList(ctl::kRecognitionWordList);
  int selection = -1;
  for (std::size_t i = 0; i < document.words.size(); ++i) {
    controls.AddListItem(ctl::kRecognitionWordList, document.words[i].text);
    if (document.words[i].number == preselect) selection = static_cast<int>(i);
  }
  controls.SelectListItem(ctl::kRecognitionWordList, selection);
  return true;
}

void CNinshikiDlg::OnInit(Controls& controls) {
  controls.WriteNumber(ctl::kRecognitionNumber, recognitionNumber);
  LoadRecognitionWords(document_, controls, prompts_, recognitionNumber);
}

bool CNinshikiDlg::OnEvent(Controls& controls, int id, ControlEvent event) {
  if (id == ctl::kRecognitionWordList && event == ControlEvent::kSelectionChanged) {
    const int selected = controls.SelectedListItem(id);
    if (selected >= 0 && static_cast<std::size_t>(selected) < document_.words.size()) {
      // Words without a number of their own leave the typed one.
      const int number = document_.words[static_cast<std::size_t>(selected)].number;
      if (number > 0) controls.WriteNumber(ctl::kRecognitionNumber, number);
    }
    return false;
  }
  if (event != ControlEvent::kClicked) return false;
  if (id == kIdOk) return TakeNumber(controls);
  return id == kIdCancel;
}

bool CNinshikiDlg::TakeNumber(Controls& controls) {
  const std::optional<int> number = ParseStrictFieldNumber(controls.Text(ctl::kRecognitionNumber));
  if (!number) {
    prompts_.ShowMessage(kMsgEnterInteger, BoxKind::kExclamation);
  } else if (*number < kLowestNumber || *number > kHighestNumber) {
    prompts_.ShowMessage(kMsgEnterIntegerInRange, BoxKind::kExclamation,
                         {std::to_string(kLowestNumber), std::to_string(kHighestNumber)});
  } else {
    recognitionNumber = *number;
    return true;
  }
  controls.Focus(ctl::kRecognitionNumber);
  return false;
}

}  // namespace kz
