#include "gui/tab_row.h"

#include <QFrame>
#include <QSignalBlocker>
#include <QTabBar>

namespace kz {

TabRow::TabRow(QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), page_(new QFrame(this)) {
  bar_->setExpanding(false);
  bar_->setUsesScrollButtons(true);
  bar_->setDrawBase(false);
  page_->setFrameShape(QFrame::StyledPanel);
  page_->lower();
  // The row keeps one height, with or without tabs, as the page's controls
  // are placed for it.
  bar_->addTab(QStringLiteral("X"));
  barHeight_ = bar_->sizeHint().height();
  bar_->removeTab(0);
}

void TabRow::RemoveAll() {
  const QSignalBlocker quiet(bar_);
  while (bar_->count() > 0) bar_->removeTab(bar_->count() - 1);
}

void TabRow::Insert(int index, const QString& text) {
  const QSignalBlocker quiet(bar_);
  bar_->insertTab(index, text);
}

void TabRow::Select(int index) {
  const QSignalBlocker quiet(bar_);
  bar_->setCurrentIndex(index);
}

int TabRow::Selected() const { return bar_->currentIndex(); }

void TabRow::resizeEvent(QResizeEvent*) {
  bar_->setGeometry(0, 0, width(), barHeight_);
  page_->setGeometry(0, barHeight_ - 1, width(), height() - barHeight_ + 1);
}

}  // namespace kz
