#include "gui/qt_prompts.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/gui_text.h"
#include "ui/messages.h"

namespace kz {
namespace {

struct BoxLook {
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton escape;  // what Esc and the close box answer
};

BoxLook LookOf(BoxKind kind) {
  using B = QMessageBox;
  switch (kind) {
    case BoxKind::kOk:
      return {B::NoIcon, B::Ok, B::Ok};
    case BoxKind::kInformation:
      return {B::Information, B::Ok, B::Ok};
    case BoxKind::kError:
      return {B::Critical, B::Ok, B::Ok};
    case BoxKind::kExclamation:
      return {B::Warning, B::Ok, B::Ok};
    case BoxKind::kOkCancel:
      return {B::NoIcon, B::Ok | B::Cancel, B::Cancel};
    case BoxKind::kYesNoQuestion:
      return {B::Question, B::Yes | B::No, B::No};
    case BoxKind::kYesNoCancelQuestion:
      return {B::Question, B::Yes | B::No | B::Cancel, B::Cancel};
    case BoxKind::kYesNoCancelExclamation:
      return {B::Warning, B::Yes | B::No | B::Cancel, B::Cancel};
  }
  return {B::NoIcon, B::Ok, B::Ok};
}

Button ButtonOf(int chosen) {
  switch (chosen) {
    case QMessageBox::Yes:
      return Button::kYes;
    case QMessageBox::No:
      return Button::kNo;
    case QMessageBox::Cancel:
      return Button::kCancel;
    default:
      return Button::kOk;
  }
}

}  // namespace

Button QtPrompts::ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                              const std::string& details) {
  // The table's texts are UTF-8; the arguments are system text.
  std::vector<std::string> utf8Args;
  for (const std::string& arg : args) utf8Args.push_back(FromSystemText(arg).toStdString());
  const BoxLook look = LookOf(kind);
  QMessageBox box(look.icon, QStringLiteral("KZMotion"),
                  QString::fromStdString(FormatMessage(messageId, utf8Args)), look.buttons,
                  QApplication::activeWindow());
  box.setEscapeButton(look.escape);
  if (!details.empty()) box.setDetailedText(FromSystemText(details));
  return ButtonOf(box.exec());
}

}  // namespace kz
