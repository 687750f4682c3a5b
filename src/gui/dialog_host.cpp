#include "gui/dialog_host.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

#include "gui/app_icon.h"
#include "gui/dialog_font.h"
#include "gui/group_frame.h"
#include "gui/gui_text.h"
#include "gui/swatch_button.h"
#include "gui/tab_row.h"
#include "gui/up_down.h"

namespace kz {

DialogHost::DialogHost(DialogLogic& logic, const DialogTemplate& dialog, QWidget* parent)
    : QDialog(parent), logic_(logic) {
  setFont(DialogFont());
  setWindowTitle(QString::fromUtf8(dialog.caption));
  units_ = FitDialogUnits(dialog, font(), *style());
  setFixedSize(units_.Size(dialog.width, dialog.height));

  QWidget* previous = nullptr;
  std::vector<QWidget*> backgrounds;
  for (const ControlTemplate& control : dialog.controls) {
    if (control.kind != ControlKind::kRadioButton) radioGroup_ = nullptr;
    QWidget* widget = CreateControl(control, previous);
    widget->setGeometry(units_.Rect(control));
    widget->setEnabled(control.enabled);
    if (control.id != kNoId) widgets_[control.id] = widget;
    if (control.kind == ControlKind::kGroupBox || control.kind == ControlKind::kTabRow)
      backgrounds.push_back(widget);
    previous = widget;
  }
  // Frames and the tab page lie beneath the controls drawn over them; the
  // later a frame, the nearer the top among frames.
  for (auto it = backgrounds.rbegin(); it != backgrounds.rend(); ++it) (*it)->lower();
}

QWidget* DialogHost::CreateControl(const ControlTemplate& control, QWidget* previous) {
  const QString text = QString::fromUtf8(control.text);
  const int id = control.id;
  switch (control.kind) {
    case ControlKind::kButton:
    case ControlKind::kDefaultButton: {
      auto* button = new QPushButton(text, this);
      button->setDefault(control.kind == ControlKind::kDefaultButton);
      connect(button, &QPushButton::clicked, this,
              [this, id] { Route(id, ControlEvent::kClicked); });
      return button;
    }
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(text, this);
      connect(box, &QCheckBox::clicked, this, [this, id] { Route(id, ControlEvent::kClicked); });
      return box;
    }
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(text, this);
      if (!radioGroup_) radioGroup_ = new QButtonGroup(this);
      radioGroup_->addButton(radio);
      connect(radio, &QRadioButton::clicked, this,
              [this, id] { Route(id, ControlEvent::kClicked); });
      return radio;
    }
    case ControlKind::kDropDownList: {
      auto* list = new QComboBox(this);
      // Only the user's picks notify, as with the platform's list.
      connect(list, &QComboBox::activated, this,
              [this, id] { Route(id, ControlEvent::kSelectionChanged); });
      return list;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(text, this);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::kNumberField:
    case ControlKind::kTextField: {
      auto* field = new QLineEdit(this);
      connect(field, &QLineEdit::textChanged, this,
              [this, id] { Route(id, ControlEvent::kTextChanged); });
      return field;
    }
    case ControlKind::kSpin: {
      // Bound to the field created just before it, as the template promises.
      auto* buddy = qobject_cast<QLineEdit*>(previous);
      Q_ASSERT(buddy);
      return new UpDown(*buddy, this);
    }
    case ControlKind::kGroupBox:
      return new GroupFrame(text, this);
    case ControlKind::kTabRow: {
      auto* row = new TabRow(this);
      connect(&row->bar(), &QTabBar::currentChanged, this,
              [this, id] { Route(id, ControlEvent::kSelectionChanged); });
      return row;
    }
    case ControlKind::kSwatch: {
      auto* swatch = new SwatchButton(
          text, [this, id] { return logic_.SwatchColor(id); }, this);
      connect(swatch, &QPushButton::clicked, this,
              [this, id] { Route(id, ControlEvent::kClicked); });
      return swatch;
    }
    case ControlKind::kIcon: {
      auto* icon = new QLabel(this);
      icon->setPixmap(AppIcon().pixmap(units_.Size(control.width, control.height)));
      return icon;
    }
  }
  return new QWidget(this);
}

void DialogHost::Initialise() {
  if (initialised_) return;
  initialised_ = true;
  logic_.OnInit(*this);
  RefreshCaption();
}

int DialogHost::Run() {
  Initialise();
  exec();
  return closedBy_;
}

QWidget* DialogHost::Widget(int id) const {
  const auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

template <typename WidgetType>
WidgetType* DialogHost::As(int id) const {
  return dynamic_cast<WidgetType*>(Widget(id));
}

void DialogHost::Route(int id, ControlEvent event) {
  if (logic_.OnEvent(*this, id, event)) {
    closedBy_ = id;
    done(id);
    return;
  }
  RefreshCaption();
}

void DialogHost::RefreshCaption() {
  const std::string caption = logic_.Caption();
  if (!caption.empty()) setWindowTitle(FromSystemText(caption));
}

void DialogHost::keyPressEvent(QKeyEvent* event) {
  // A focused push button takes Enter itself; anywhere else Enter is OK.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Route(kIdOk, ControlEvent::kClicked);
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogHost::reject() { Route(kIdCancel, ControlEvent::kClicked); }

std::string DialogHost::Text(int id) const {
  if (auto* field = As<QLineEdit>(id)) return ToSystemText(field->text());
  if (auto* button = As<QAbstractButton>(id)) return ToSystemText(button->text());
  if (auto* label = As<QLabel>(id)) return ToSystemText(label->text());
  if (auto* group = As<GroupFrame>(id)) return ToSystemText(group->title());
  return std::string();
}

void DialogHost::SetText(int id, const std::string& text) {
  const QString shown = FromSystemText(text);
  if (auto* field = As<QLineEdit>(id)) {
    field->setText(shown);  // raises the change notification, as typing does
  } else if (auto* button = As<QAbstractButton>(id)) {
    button->setText(shown);
  } else if (auto* label = As<QLabel>(id)) {
    label->setText(shown);
  } else if (auto* group = As<GroupFrame>(id)) {
    group->setTitle(shown);
  }
}

bool DialogHost::IsChecked(int id) const {
  auto* button = As<QAbstractButton>(id);
  return button && button->isChecked();
}

void DialogHost::SetChecked(int id, bool checked) {
  auto* button = As<QAbstractButton>(id);
  if (!button) return;
  // An exclusive group will not let its checked button go unless told to.
  QButtonGroup* group = button->group();
  if (group && !checked) group->setExclusive(false);
  button->setChecked(checked);
  if (group && !checked) group->setExclusive(true);
}

bool DialogHost::IsEnabled(int id) const {
  QWidget* widget = Widget(id);
  return widget && widget->isEnabled();
}

void DialogHost::Enable(int id, bool enabled) {
  if (QWidget* widget = Widget(id)) widget->setEnabled(enabled);
}

void DialogHost::Focus(int id) {
  if (QWidget* widget = Widget(id)) widget->setFocus(Qt::OtherFocusReason);
}

void DialogHost::SetRange(int spinId, int lower, int upper) {
  if (auto* spin = As<UpDown>(spinId)) spin->SetRange(lower, upper);
}

void DialogHost::Redraw(int id) {
  if (QWidget* widget = Widget(id)) widget->update();
}

void DialogHost::RemoveAllTabs(int id) {
  if (auto* row = As<TabRow>(id)) row->RemoveAll();
}

void DialogHost::InsertTab(int id, int index, const std::string& text) {
  if (auto* row = As<TabRow>(id)) row->Insert(index, FromSystemText(text));
}

void DialogHost::SelectTab(int id, int index) {
  if (auto* row = As<TabRow>(id)) row->Select(index);
}

int DialogHost::SelectedTab(int id) const {
  auto* row = As<TabRow>(id);
  return row ? row->Selected() : -1;
}

void DialogHost::ClearList(int id) {
  if (auto* list = As<QComboBox>(id)) list->clear();
}

void DialogHost::AddListItem(int id, const std::string& text) {
  if (auto* list = As<QComboBox>(id)) list->addItem(FromSystemText(text));
}

void DialogHost::SelectListItem(int id, int index) {
  if (auto* list = As<QComboBox>(id)) list->setCurrentIndex(index);
}

int DialogHost::SelectedListItem(int id) const {
  auto* list = As<QComboBox>(id);
  return list ? list->currentIndex() : -1;
}

void DialogHost::StartTimer(int timerId, int milliseconds) {
  QTimer*& timer = timers_[timerId];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timerId] {
      logic_.OnTimer(*this, timerId);
      RefreshCaption();
    });
  }
  timer->start(milliseconds);
}

void DialogHost::StopTimer(int timerId) {
  if (auto it = timers_.find(timerId); it != timers_.end()) it->second->stop();
}

}  // namespace kz
