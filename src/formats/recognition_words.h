#pragma once

#include <string_view>
#include <vector>

#include "model/motion_document.h"
#include "ui/controls.h"
#include "ui/prompts.h"

namespace kz {

namespace ctl {
// The recognition-word dialog's word list and number field.
inline constexpr int kRecognitionWordList = 1071;
inline constexpr int kRecognitionNumber = 1072;
}  // namespace ctl

// The table never holds more words than this.
inline constexpr std::size_t kRecognitionWordMax = 324;

// The words of a "Ninshiki.csv" text: the first line is a header; then each
// line is flags,word,-,-,number,-,check,... with no quoting. A line is taken
// when bit 5 of the flags is set (or the flags are empty) and the seventh
// column is not empty; a line with too few commas ends the list.
std::vector<RecognitionWord> ParseRecognitionWords(std::string_view text);

// Whether the document's table has been read. It is read once per document:
// a read table, even an empty one, keeps room for every slot.
bool RecognitionWordsLoaded(const MotionDocument& document);

// Reads "Ninshiki.csv" beside the settings file into the document when it has
// not been read yet, then lists the words in `controls` and selects the last
// one numbered `preselect`. When the file cannot be read the list is disabled
// and the user told; the next call tries again. False then.
bool LoadRecognitionWords(MotionDocument& document, Controls& controls, Prompts& prompts,
                          int preselect);

}  // namespace kz
