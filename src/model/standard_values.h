#pragma once

#include <optional>
#include <string_view>

#include "model/motion_document.h"
#include "ui/editor_ui.h"

namespace kz {

// The robot's twenty standard servo values, read from its setup file: the
// binary program STARTUP.BIN or the setup text STARTUP.XML.

// The values of a STARTUP.BIN image; nullopt when it is too short to hold them.
std::optional<StandardValues> ParseStandardValuesBinary(std::string_view image);

// The values of a STARTUP.XML text: "0x" and four lower-case hexadecimal
// digits at fixed offsets; nullopt when any is malformed or the text is short.
std::optional<StandardValues> ParseStandardValuesText(std::string_view text);

// Makes `document.standardValues` available, from the card over Wi-Fi or from
// the file in SETUP/PATH (asking for it when it is not there). False, after
// the user was told why, when the values cannot be had; false without a
// message when the user cancels the file dialog.
bool LoadStandardValues(MotionDocument& document, EditorUi& ui);

// The values, loading them first when they are not there yet.
const StandardValues* RequireStandardValues(MotionDocument& document, EditorUi& ui);

}  // namespace kz
