#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kz {

// Up and down arrows bound to the number field beside them: each press (and
// the arrow keys in the field) steps the field's value by one towards the
// upper or the lower end of the range and writes it back as plain signed
// decimal text.
class UpDown : public QWidget {
 public:
  UpDown(QLineEdit& buddy, QWidget* parent);

  void SetRange(int lower, int upper);
  int lower() const { return lower_; }
  int upper() const { return upper_; }
  // +1 moves towards `upper`, -1 towards `lower`.
  void Step(int direction);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit& buddy_;
  QToolButton* up_;
  QToolButton* down_;
  int lower_ = 0;
  int upper_ = 100;
};

}  // namespace kz
