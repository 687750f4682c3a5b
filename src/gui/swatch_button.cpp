#include "gui/swatch_button.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace kz {

SwatchButton::SwatchButton(const QString& text, std::function<std::uint32_t()> color,
                           QWidget* parent)
    : QPushButton(parent), color_(std::move(color)) {
  // The text is not painted; it names the button for tooltips and screen readers.
  setToolTip(text);
  setAccessibleName(text);
}

void SwatchButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawLedSwatch(painter, rect().adjusted(0, 0, -1, -1), color_());
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

void DrawLedSwatch(QPainter& painter, const QRect& rect, std::uint32_t color) {
  painter.setPen(Qt::black);
  painter.setBrush(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
  painter.drawRect(rect);
}

}  // namespace kz
