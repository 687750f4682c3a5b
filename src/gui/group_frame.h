#pragma once

#include <QString>
#include <QWidget>

namespace kz {

// A group box drawn as the layout expects it: the frame's top line runs
// through the middle of the title, so the whole rectangle below the title
// line is room for the controls placed over it.
class GroupFrame : public QWidget {
 public:
  GroupFrame(const QString& title, QWidget* parent);

  const QString& title() const { return title_; }
  void setTitle(const QString& title);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
};

}  // namespace kz
