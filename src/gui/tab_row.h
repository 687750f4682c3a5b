#pragma once

#include <QWidget>

class QFrame;
class QTabBar;

namespace kz {

// A row of tabs over a framed page; the controls of the page are the
// dialog's own, placed on top. Programmatic changes raise no notification,
// as with the platform's tab control; only the user's picks do.
class TabRow : public QWidget {
 public:
  explicit TabRow(QWidget* parent);

  QTabBar& bar() { return *bar_; }
  void RemoveAll();
  void Insert(int index, const QString& text);
  void Select(int index);  // -1 selects none
  int Selected() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* bar_;
  QFrame* page_;
  int barHeight_ = 0;
};

}  // namespace kz
