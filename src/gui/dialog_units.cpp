#include "gui/dialog_units.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

namespace kz {
namespace {

constexpr double kWidenStep = 0.02;  // pixels per unit
constexpr double kWidestUnit = 6.0;  // gives up rather than loop on a text that never fits

int Round(double value) { return static_cast<int>(std::lround(value)); }

bool Fits(const ControlTemplate& control, const DialogUnits& units, const QFont& font,
          const QStyle& style) {
  const QRect rect = units.Rect(control);
  const QSize room =
      TextRoom(control.kind, QString::fromUtf8(control.text), rect.width(), font, style);
  return room.width() <= rect.width() && room.height() <= rect.height();
}

}  // namespace

QRect DialogUnits::Rect(int left, int top, int width, int height) const {
  const int x0 = Round(left * x);
  const int y0 = Round(top * y);
  return QRect(x0, y0, Round((left + width) * x) - x0, Round((top + height) * y) - y0);
}

QSize TextRoom(ControlKind kind, const QString& text, int width, const QFont& font,
               const QStyle& style) {
  const QFontMetrics metrics(font);
  const int lineHeight = metrics.height();
  switch (kind) {
    case ControlKind::kButton:
    case ControlKind::kDefaultButton: {
      const int frame = style.pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
      return QSize(metrics.horizontalAdvance(text) + 2 * frame, lineHeight + 2 * frame);
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton: {
      // The style knows how much room its box and the gap beside it take;
      // the height it asks for has margins a one-line box can do without.
      QStyleOptionButton option;
      option.text = text;
      option.fontMetrics = metrics;
      const QSize wanted = style.sizeFromContents(
          kind == ControlKind::kCheckBox ? QStyle::CT_CheckBox : QStyle::CT_RadioButton, &option,
          style.itemTextRect(metrics, QRect(), Qt::TextShowMnemonic, false, text).size());
      return QSize(wanted.width(),
                   std::max(lineHeight, style.pixelMetric(QStyle::PM_IndicatorHeight)));
    }
    case ControlKind::kLabel: {
      const QRect wrapped =
          metrics.boundingRect(QRect(0, 0, width, 100000), Qt::AlignLeft | Qt::TextWordWrap, text);
      return wrapped.size();
    }
    case ControlKind::kNumberField:
      return QSize(metrics.horizontalAdvance("-00000") + 6, lineHeight + 4);
    case ControlKind::kTextField:
    case ControlKind::kDropDownList:
      return QSize(0, lineHeight + 4);
    default:
      return QSize();
  }
}

DialogUnits FitDialogUnits(const DialogTemplate& dialog, const QFont& font, const QStyle& style) {
  const QFontMetrics metrics(font);
  // The average width of the Latin letters, as dialog units were defined.
  const double averageWidth =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
  DialogUnits units{averageWidth / 4.0, metrics.height() / 8.0};
  for (const ControlTemplate& control : dialog.controls) {
    // Heights first: a label that fits its width on one line may still wrap
    // when the lines are too low.
    while (units.Rect(control).height() <
               TextRoom(control.kind, QString::fromUtf8(control.text), 1 << 20, font, style)
                   .height() &&
           units.y < kWidestUnit)
      units.y += kWidenStep;
    while (!Fits(control, units, font, style) && units.x < kWidestUnit) units.x += kWidenStep;
  }
  return units;
}

}  // namespace kz
