#pragma once

#include <string>
#include <vector>

#include "model/motion_document.h"

namespace kz::fuzz {

// A "Ninshiki.csv" text for `words`, in the layout the robot's tools write:
// a header line, then flags,word,-,-,number,-,check per word, CR LF ends.
std::string RecognitionTable(const std::vector<RecognitionWord>& words);

}  // namespace kz::fuzz
