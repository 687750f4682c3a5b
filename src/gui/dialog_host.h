#pragma once

#include <QDialog>
#include <map>

#include "gui/dialog_units.h"
#include "ui/controls.h"
#include "ui/dialog_template.h"
#include "ui/dialogs.h"

class QButtonGroup;
class QTimer;

namespace kz {

// Turns a dialog template into widgets and runs a dialog's logic on them:
// the logic sees the widgets as controls by id, and every user event reaches
// the logic's command table. Enter presses OK (1); Esc and the close box
// press Cancel (2); the logic decides whether the dialog closes.
class DialogHost : public QDialog, public Controls {
 public:
  DialogHost(DialogLogic& logic, const DialogTemplate& dialog, QWidget* parent = nullptr);

  // Lets the logic fill the controls; done once, before the first showing.
  void Initialise();
  // Initialises, shows modally and returns the id that closed the dialog.
  int Run();

  // The widget of a control id; null when the template has none.
  QWidget* Widget(int id) const;
  const DialogUnits& units() const { return units_; }

  // Controls
  std::string Text(int id) const override;
  void SetText(int id, const std::string& text) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  bool IsEnabled(int id) const override;
  void Enable(int id, bool enabled) override;
  void Focus(int id) override;
  void SetRange(int spinId, int lower, int upper) override;
  void Redraw(int id) override;
  void RemoveAllTabs(int id) override;
  void InsertTab(int id, int index, const std::string& text) override;
  void SelectTab(int id, int index) override;
  int SelectedTab(int id) const override;
  void ClearList(int id) override;
  void AddListItem(int id, const std::string& text) override;
  void SelectListItem(int id, int index) override;
  int SelectedListItem(int id) const override;
  void StartTimer(int timerId, int milliseconds) override;
  void StopTimer(int timerId) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;  // Esc and the close box

  // Hands an event to the logic and closes the dialog when it says so.
  void Route(int id, ControlEvent event);
  // Takes the logic's title, which may follow what the user did.
  void RefreshCaption();

 private:
  QWidget* CreateControl(const ControlTemplate& control, QWidget* previous);
  template <typename Widget>
  Widget* As(int id) const;

  DialogLogic& logic_;
  DialogUnits units_;
  std::map<int, QWidget*> widgets_;
  std::map<int, QTimer*> timers_;
  QButtonGroup* radioGroup_ = nullptr;  // the group the next radio row joins
  bool initialised_ = false;
  int closedBy_ = kIdCancel;
};

}  // namespace kz
