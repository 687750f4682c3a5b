#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kz {

class Controls;
class Prompts;

// What a command asks of the open or save file dialog. Texts are system
// text (CP932). `filter` is "Description|pattern|...||".
struct FileDialogRequest {
  bool open = true;
  std::string defaultExtension;
  std::string initialName;
  std::string filter;
  bool overwritePrompt = false;
  std::string optionText;  // the extra check box; hidden when empty
  bool optionChecked = false;
  std::string initialFolder;
};

struct FileDialogAnswer {
  std::string path;
  bool optionChecked = false;
};

// The ids a dialog's keyboard closes through: Enter presses OK (1), Esc and
// the window's close box press Cancel (2).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// What happened to a control.
enum class ControlEvent {
  kClicked,           // a button or box pressed by the user, or Enter / Esc
  kTextChanged,       // a field's text changed, by the user or the program
  kSelectionChanged,  // the user picked another tab or list entry
};

// A dialog's logic, run by the host on its template. The host owns the
// widgets; the logic sees them only as controls by id.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
  virtual int TemplateId() const = 0;
  virtual void OnInit(Controls& controls) = 0;
  // A control's event; returns true when the dialog is to close.
  virtual bool OnEvent(Controls& controls, int id, ControlEvent event) = 0;
  virtual void OnTimer(Controls&, int /*timerId*/) {}
  // The colour (0x00BBGGRR) an owner-drawn swatch is painted in.
  virtual std::uint32_t SwatchColor(int /*id*/) const { return 0xF0F0F0; }  // light grey
  // The window title (system text); empty keeps the template's caption.
  virtual std::string Caption() const { return std::string(); }
};

// The platform's common dialogs.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // nullopt when the user cancels.
  virtual std::optional<FileDialogAnswer> AskFile(const FileDialogRequest& request) = 0;
  // A colour 0x00BBGGRR; nullopt when the user cancels.
  virtual std::optional<std::uint32_t> AskColor(std::uint32_t initial) = 0;
  // Runs the dialog modally; returns the id of the control that closed it.
  virtual int RunModal(DialogLogic& logic) = 0;
};

}  // namespace kz
