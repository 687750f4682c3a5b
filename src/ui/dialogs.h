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

// A modal dialog's logic, run by the host on its template.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
  virtual int TemplateId() const = 0;
  virtual void OnInit(Controls& controls) = 0;
  // A control's event; returns true when the dialog is to close.
  virtual bool OnCommand(Controls& controls, int id) = 0;
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
