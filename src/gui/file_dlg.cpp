#include "gui/file_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QMessageBox>

#include "gui/gui_text.h"
#include "platform/paths.h"
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

CFileDlg::CFileDlg(const FileDialogRequest& request, QWidget* parent)
    : QFileDialog(parent), option_(new QCheckBox(FromSystemText(request.optionText), this)) {
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  setNameFilters(NameFilters(request.filter));
  setDefaultSuffix(FromSystemText(request.defaultExtension));
  if (!request.initialFolder.empty()) setDirectory(FromSystemText(request.initialFolder));
  // A name ending in a separator is a folder to start in, not a file name.
  if (request.initialName.ends_with(kPathSeparator)) {
    setDirectory(FromSystemText(request.initialName));
  } else if (!request.initialName.empty()) {
    selectFile(FromSystemText(request.initialName));
  }

  option_->setChecked(request.optionChecked);
  option_->setVisible(!request.optionText.empty());
  if (auto* grid = qobject_cast<QGridLayout*>(layout()))
    grid->addWidget(option_, grid->rowCount(), 0, 1, grid->columnCount());
}

std::optional<FileDialogAnswer> CFileDlg::Ask() {
  while (exec() == QDialog::Accepted && !selectedFiles().isEmpty()) {
    if (auto path = Utf8ToCp932(selectedFiles().first().toStdString()))
      return FileDialogAnswer{*path, option_->isChecked()};
    // The system keeps names in Shift_JIS: a name it cannot hold is refused
    // here rather than mangled later.
    QMessageBox::warning(
        this, QStringLiteral("KZMotion"),
        QStringLiteral("このファイル名は使えません (Shift_JIS で表せない文字があります)。"));
  }
  return std::nullopt;
}

}  // namespace kz
