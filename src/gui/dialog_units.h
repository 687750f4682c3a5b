#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "ui/dialog_template.h"

class QStyle;

namespace kz {

// Pixels per dialog unit, horizontally and vertically.
struct DialogUnits {
  double x = 1.5;
  double y = 1.5;

  QRect Rect(int left, int top, int width, int height) const;
  QRect Rect(const ControlTemplate& control) const {
    return Rect(control.x, control.y, control.width, control.height);
  }
  QSize Size(int width, int height) const { return Rect(0, 0, width, height).size(); }
};

// The pixel size a control needs for its text in `font`: width for one line
// (buttons and boxes), and the height of the lines (a label's text wrapped to
// `width` pixels). An empty size when the kind shows no text of its own.
QSize TextRoom(ControlKind kind, const QString& text, int width, const QFont& font,
               const QStyle& style);

// The units for a template in `font`: a dialog unit is a quarter of the
// average character width and an eighth of the line height; then the units
// grow until every text of the template fits its control. Full-width
// Japanese text is far wider than a Latin average suggests.
DialogUnits FitDialogUnits(const DialogTemplate& dialog, const QFont& font, const QStyle& style);

}  // namespace kz
