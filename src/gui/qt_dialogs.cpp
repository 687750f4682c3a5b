#include "gui/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/dialog_host.h"
#include "gui/gui_text.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

// "Description|pattern|...||" as the name filters of a file dialog.
QStringList NameFilters(const std::string& filter) {
  const QStringList parts = FromSystemText(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' '));
  }
  return filters;
}

}  // namespace

std::optional<FileDialogAnswer> QtDialogs::AskFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  // Qt's own dialog, so that it looks the same everywhere and can carry the
  // option box.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  dialog.setNameFilters(NameFilters(request.filter));
  dialog.setDefaultSuffix(FromSystemText(request.defaultExtension));
  if (!request.initialFolder.empty()) dialog.setDirectory(FromSystemText(request.initialFolder));
  if (!request.initialName.empty()) dialog.selectFile(FromSystemText(request.initialName));
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    if (auto path = Utf8ToCp932(dialog.selectedFiles().first().toStdString()))
      return FileDialogAnswer{*path, request.optionChecked};
    // The system keeps names in Shift_JIS: a name it cannot hold is refused
    // here rather than mangled later.
    QMessageBox::warning(
        &dialog, QStringLiteral("KZMotion"),
        QStringLiteral("このファイル名は使えません (Shift_JIS で表せない文字があります)。"));
  }
  return std::nullopt;
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
