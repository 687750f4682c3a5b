#include "gui/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>

#include "gui/dialog_host.h"
#include "gui/file_dlg.h"

namespace kz {

std::optional<FileDialogAnswer> QtDialogs::AskFile(const FileDialogRequest& request) {
  CFileDlg dialog(request, QApplication::activeWindow());
  return dialog.Ask();
}

std::optional<std::uint32_t> QtDialogs::AskColor(std::uint32_t initial) {
  const QColor chosen =
      QColorDialog::getColor(QColor(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF),
                             QApplication::activeWindow());
  if (!chosen.isValid()) return std::nullopt;
  return static_cast<std::uint32_t>(chosen.red()) |
         static_cast<std::uint32_t>(chosen.green()) << 8 |
         static_cast<std::uint32_t>(chosen.blue()) << 16;
}

int QtDialogs::RunModal(DialogLogic& logic) {
  const DialogTemplate* dialog = FindDialogTemplate(logic.TemplateId());
  if (!dialog) return kIdCancel;
  DialogHost host(logic, *dialog, QApplication::activeWindow());
  return host.Run();
}

}  // namespace kz
