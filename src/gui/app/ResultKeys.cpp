// The result view's keys: the selection moves and stays in sight, Enter opens the row's menu.
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

#include "gui/app/ResultView.h"

namespace cq {

namespace {

bool Unmodified(const QKeyEvent& event) {
  return (event.modifiers() &
          (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

}  // namespace

bool IsRowMenuKey(const QKeyEvent& event) {
  return event.key() == Qt::Key_Menu ||
         (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
}

long TResultView::PageRows() const {
  const auto rows = static_cast<long>(driver_.Results().size());
  long page = 0;
  while (topIndex_ + page < rows - 1 && RowsHeight(topIndex_, topIndex_ + page) < height()) ++page;
  if (page > 0 && scrollBar_.isVisible()) --page;
  return page;
}

bool TResultView::KeyDown(int key, bool listDropped) {
  const auto rows = static_cast<long>(driver_.Results().size());
  long sel = driver_.SelectedRow();
  const long page = PageRows();
  const int view = height();
  switch (key) {
    case Qt::Key_Up:
      if (listDropped || rows == 0) return false;
      if (sel <= 0 || ShownRowFrom(sel - 1, -1) < 0) return true;
      sel = ShownRowFrom(sel - 1, -1);
      if (sel < topIndex_) topIndex_ = sel;
      while (RowsHeight(topIndex_, sel) > view) ++topIndex_;
      break;
    case Qt::Key_Down:
      if (listDropped || rows == 0) return false;
      if (sel >= rows - 1 || ShownRowFrom(sel + 1, 1) < 0) return true;
      sel = ShownRowFrom(sel + 1, 1);
      while (RowsHeight(topIndex_, sel) > view) ++topIndex_;
      if (sel < topIndex_) topIndex_ = sel;
      break;
    case Qt::Key_PageUp:
      if (rows == 0) return false;
      if (sel <= 0) return true;
      sel = std::max(sel - page, 0L);
      sel = ShownRowFrom(sel, -1) >= 0 ? ShownRowFrom(sel, -1) : ShownRowFrom(sel, 1);
      topIndex_ = std::max(topIndex_ - page, 0L);
      if (sel < topIndex_) topIndex_ = sel;
      break;
    case Qt::Key_PageDown:
      if (sel >= rows - 1) return true;
      sel = std::clamp(sel + page, 0L, rows - 1);
      sel = ShownRowFrom(sel, 1) >= 0 ? ShownRowFrom(sel, 1) : ShownRowFrom(sel, -1);
      topIndex_ = std::min(topIndex_ + page, rows - 1);
      while (RowsHeight(topIndex_, sel) > view) ++topIndex_;
      break;
    default:
      return false;
  }
  driver_.SelectRow(sel);
  AnnounceSelection();
  UpdateScrollBar();
  update();
  return true;
}

long TResultView::ShownRowFrom(long index, long step) const {
  const auto rows = static_cast<long>(driver_.Results().size());
  for (; index >= 0 && index < rows; index += step)
    if (!RowHidden(index)) return index;
  return -1;
}

void TResultView::SelectAndShow(long index) {
  if (index < 0 || static_cast<std::size_t>(index) >= driver_.Results().size()) return;
  if (index < topIndex_) topIndex_ = index;
  while (topIndex_ < index && RowsHeight(topIndex_, index) > height()) ++topIndex_;
  driver_.SelectRow(index);
  AnnounceSelection();
  UpdateScrollBar();
  update();
}

void TResultView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const auto rows = static_cast<long>(driver_.Results().size());
  bool consumed = false;
  if (IsRowMenuKey(*event)) {
    consumed = OpenRowMenu();
  } else if (Unmodified(*event)) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      consumed = OpenRowMenu();
    } else if (key == Qt::Key_Home || key == Qt::Key_End) {
      SelectAndShow(key == Qt::Key_Home ? ShownRowFrom(0, 1) : ShownRowFrom(rows - 1, -1));
      consumed = true;
    } else {
      consumed = KeyDown(key, false);
    }
  }
  if (!consumed) QWidget::keyPressEvent(event);
}

}  // namespace cq
