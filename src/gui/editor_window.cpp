#include "gui/editor_window.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

#include "app/about_dlg.h"
#include "gui/app_icon.h"
#include "ui/control_ids.h"
#include "ui/dialog_template.h"
#include "ui/messages.h"

namespace kz {
namespace {

QString AboutItemText() { return QString::fromUtf8(MessageText(kMsgAboutMenuItem)); }

}  // namespace

EditorWindow::EditorWindow(CKZMotionDlg& logic, Dialogs& dialogs)
    : DialogHost(logic, *FindDialogTemplate(CKZMotionDlg::kTemplateId)), dialogs_(dialogs) {
  setWindowIcon(AppIcon());
  // A main window, not a passing dialog: it can be minimised.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  // What users of a desktop editor expect; each works only while its button does.
  for (auto [keys, id] : {std::pair{QKeySequence::Save, ctl::kSaveEditData},
                          std::pair{QKeySequence::Open, ctl::kOpenEditData}}) {
    auto* shortcut = new QShortcut(QKeySequence(keys), this);
    connect(shortcut, &QShortcut::activated, this, [this, id] {
      if (IsEnabled(id)) Route(id, ControlEvent::kClicked);
    });
  }
  auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
  connect(quit, &QShortcut::activated, this,
          [this] { Route(ctl::kClose, ControlEvent::kClicked); });
  if (!AboutItemText().isEmpty()) {
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &EditorWindow::ShowAbout);
  }
}

void EditorWindow::ShowAbout() {
  CAboutDlg about;
  dialogs_.RunModal(about);
}

void EditorWindow::contextMenuEvent(QContextMenuEvent* event) {
  const QString item = AboutItemText();
  if (item.isEmpty()) return;
  QMenu menu(this);
  menu.addAction(item, this, &EditorWindow::ShowAbout);
  menu.exec(event->globalPos());
}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // The logic takes the value; the text is selected so that the next
      // value replaces it, also when the value was refused.
      Route(kIdOk, ControlEvent::kClicked);
      if (auto* field = qobject_cast<QLineEdit*>(focusWidget())) field->selectAll();
      return;
    default:
      DialogHost::keyPressEvent(event);
  }
}

}  // namespace kz
