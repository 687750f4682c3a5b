#pragma once

#include "app/kzmotion_dlg.h"
#include "gui/dialog_host.h"

namespace kz {

// The main editor window: the host of the editor's logic, with the icon and
// the about box. The X11 and Wayland window menus belong to the window
// manager and cannot take an item, so the about item is offered in the
// window's context menu and on F1. Unlike a dialog, the keyboard never closes
// it by accident: Enter takes the typed value and Esc does nothing; the Close
// button, the close box and Ctrl+Q close it.
class EditorWindow : public DialogHost {
 public:
  EditorWindow(CKZMotionDlg& logic, Dialogs& dialogs);

  void ShowAbout();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Dialogs& dialogs_;
};

}  // namespace kz
