#pragma once

#include <QPushButton>
#include <cstdint>
#include <functional>

namespace kz {

// A button that shows a colour instead of its text: the LED swatches. The
// colour (0x00BBGGRR) is asked for at every paint.
class SwatchButton : public QPushButton {
 public:
  SwatchButton(const QString& text, std::function<std::uint32_t()> color, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<std::uint32_t()> color_;
};

// Paints `rect` in an LED colour 0x00BBGGRR, outlined.
void DrawLedSwatch(QPainter& painter, const QRect& rect, std::uint32_t color);

}  // namespace kz
