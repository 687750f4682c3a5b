#include "gui/up_down.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "gui/gui_text.h"
#include "ui/controls.h"

namespace kz {

UpDown::UpDown(QLineEdit& buddy, QWidget* parent)
    : QWidget(parent), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  for (auto [button, arrow, direction] :
       {std::tuple{up_, Qt::UpArrow, 1}, std::tuple{down_, Qt::DownArrow, -1}}) {
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, d = direction] { Step(d); });
  }
  buddy_.installEventFilter(this);
}

void UpDown::SetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
}

void UpDown::Step(int direction) {
  const int low = std::min(lower_, upper_);
  const int high = std::max(lower_, upper_);
  // A reversed range steps the other way, as the arrows point at its ends.
  const int delta = upper_ >= lower_ ? direction : -direction;
  const int value = ParseFieldNumber(ToSystemText(buddy_.text()));
  buddy_.setText(QString::number(std::clamp(value + delta, low, high)));
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kz
