#pragma once

#include <span>

namespace kz {

// What a template row becomes in the window.
enum class ControlKind {
  kButton,
  kDefaultButton,  // the button Enter presses
  kCheckBox,
  kRadioButton,  // consecutive radio rows form one group: one of them is on
  kLabel,        // wraps its text; "\n" starts a line
  kNumberField,  // signed decimal text
  kTextField,    // free text, such as a file name
  kDropDownList,
  kSpin,  // up-down arrows stepping the number field just before it
  kGroupBox,
  kTabRow,  // the controls placed over it form the page
  kSwatch,  // an owner-drawn button painted in the logic's colour
  kIcon,    // the application icon
};

inline constexpr int kNoId = -1;  // labels and frames nothing refers to
inline constexpr bool kOff = false;

// One control of a dialog: position and size in dialog units, text in UTF-8.
struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;
  int x, y, width, height;
  bool enabled = true;
};

// A dialog as data: the host turns it into widgets. Controls are listed in
// tab order.
struct DialogTemplate {
  int id;
  const char* caption;  // UTF-8
  int width, height;    // dialog units
  std::span<const ControlTemplate> controls;
};

// The template with this id; null when there is none.
const DialogTemplate* FindDialogTemplate(int id);

// The text of the label just before control `id` in tab order, the caption
// the user reads beside that field; empty when there is none.
const char* CaptionBefore(const DialogTemplate& dialog, int id);

}  // namespace kz
