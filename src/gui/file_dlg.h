#pragma once

#include <QFileDialog>
#include <optional>

#include "ui/dialogs.h"

class QCheckBox;

namespace kz {

// The file dialog with one option check box below its controls: the box
// takes the request's text and initial state and is hidden when the text is
// empty. Qt's own dialog, as the platform's cannot carry the box.
class CFileDlg : public QFileDialog {
 public:
  CFileDlg(const FileDialogRequest& request, QWidget* parent);

  // Shows the dialog; the chosen path (system text) and the box's state, or
  // nullopt when the user cancels.
  std::optional<FileDialogAnswer> Ask();

  QCheckBox& option() { return *option_; }

 private:
  QCheckBox* option_;
};

}  // namespace kz
