#include "tabs/flow_layout.h"

#include <QWidget>

#include <algorithm>

namespace vexa::gui {

TFlowLayout::TFlowLayout(QWidget* parent, int spacing) : QLayout(parent), Spacing_(spacing) {
  setContentsMargins(0, 0, 0, 0);
}

TFlowLayout::~TFlowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void TFlowLayout::addItem(QLayoutItem* item) { Items_.append(item); }

int TFlowLayout::count() const { return static_cast<int>(Items_.size()); }

QLayoutItem* TFlowLayout::itemAt(int index) const { return index >= 0 && index < count() ? Items_[index] : nullptr; }

QLayoutItem* TFlowLayout::takeAt(int index) { return index >= 0 && index < count() ? Items_.takeAt(index) : nullptr; }

Qt::Orientations TFlowLayout::expandingDirections() const { return {}; }

bool TFlowLayout::hasHeightForWidth() const { return true; }

int TFlowLayout::heightForWidth(int width) const { return Arrange(QRect(0, 0, width, 0), false); }

QSize TFlowLayout::minimumSize() const {
  // As narrow as the widest item: the rest wraps.
  QSize size;
  for (const QLayoutItem* item : Items_) size = size.expandedTo(item->minimumSize());
  const QMargins m = contentsMargins();
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize TFlowLayout::sizeHint() const {
  // One row of everything.
  int width = 0;
  int height = 0;
  for (const QLayoutItem* item : Items_) {
    if (item->isEmpty()) continue;
    const QSize s = item->sizeHint();
    width += (width > 0 ? Spacing_ : 0) + s.width();
    height = std::max(height, s.height());
  }
  const QMargins m = contentsMargins();
  return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void TFlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect, true);
}

int TFlowLayout::Arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  int x = area.x();
  int y = area.y();
  int rowHeight = 0;
  for (QLayoutItem* item : Items_) {
    if (item->isEmpty()) continue;
    const QSize s = item->sizeHint();
    if (x > area.x() && x + s.width() > area.right() + 1) {
      x = area.x();
      y += rowHeight + Spacing_;
      rowHeight = 0;
    }
    if (apply) item->setGeometry(QRect(QPoint(x, y), s));
    x += s.width() + Spacing_;
    rowHeight = std::max(rowHeight, s.height());
  }
  const QMargins m = contentsMargins();
  return y + rowHeight - rect.y() + m.bottom();
}

}  // namespace vexa::gui
