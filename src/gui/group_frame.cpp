#include "gui/group_frame.h"

#include <QPainter>

namespace kz {
namespace {

constexpr int kTitleIndent = 8;
constexpr int kTitlePadding = 2;

}  // namespace

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {}

void GroupFrame::setTitle(const QString& title) {
  title_ = title;
  update();
}

void GroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  // Drawn here rather than by the style: styles put their frame below the
  // title, which would eat into the room of the controls.
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRoundedRect(
      QRectF(rect().adjusted(0, metrics.height() / 2, -1, -1)).translated(0.5, 0.5), 2, 2);
  if (title_.isEmpty()) return;
  const QRect titleRect(kTitleIndent, 0, metrics.horizontalAdvance(title_) + 2 * kTitlePadding,
                        metrics.height());
  painter.fillRect(titleRect, palette().window());
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(titleRect, Qt::AlignCenter, title_);
}

}  // namespace kz
