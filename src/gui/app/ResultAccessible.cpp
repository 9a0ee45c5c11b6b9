#include "gui/app/ResultAccessible.h"

#include <QAccessibleWidget>
#include <map>

#include "gui/app/ResultView.h"

namespace cq {

namespace {

// One row, read live from the view by its position: rows come and go with every search. The
// list's interface deletes its rows' interfaces when the view goes.
class TRowAccessible : public QAccessibleInterface {
 public:
  TRowAccessible(TResultView* view, int index) : view_(view), index_(index) {}

  bool isValid() const override { return index_ < view_->RowCount(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return view_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(view_);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessible::Role role() const override { return QAccessible::ListItem; }

  QString text(QAccessible::Text kind) const override {
    if (!isValid()) return {};
    if (kind == QAccessible::Name) return view_->RowName(index_);
    if (kind == QAccessible::Description) return view_->RowFormats(index_);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    const QRect inView = view_->RowRect(index_);
    return inView.isEmpty() ? QRect() : QRect(view_->mapToGlobal(inView.topLeft()), inView.size());
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    state.selectable = true;
    state.focusable = true;
    if (!isValid()) return state;
    state.selected = view_->SelectedRow() == index_;
    state.focused = state.selected && view_->hasFocus();
    state.invisible = state.offscreen = view_->RowRect(index_).isEmpty();
    return state;
  }

  int Index() const { return index_; }
  const TResultView* View() const { return view_; }

 private:
  TResultView* const view_;
  int index_;
};

class TResultListAccessible : public QAccessibleWidget {
 public:
  explicit TResultListAccessible(TResultView* view) : QAccessibleWidget(view, QAccessible::List) {}
  ~TResultListAccessible() override {
    for (const auto& [index, id] : rows_) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return View()->RowCount(); }

  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    auto found = rows_.find(index);
    if (found == rows_.end())
      found =
          rows_
              .emplace(index,
                       QAccessible::registerAccessibleInterface(new TRowAccessible(View(), index)))
              .first;
    return QAccessible::accessibleInterface(found->second);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* row = dynamic_cast<const TRowAccessible*>(child);
    return row != nullptr && row->View() == View() && row->isValid() ? row->Index() : -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = View()->mapFromGlobal(QPoint(x, y));
    return View()->rect().contains(at) ? child(static_cast<int>(View()->RowAtY(at.y()).Index))
                                       : nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    return View()->hasFocus() ? child(static_cast<int>(View()->SelectedRow())) : nullptr;
  }

 private:
  TResultView* View() const { return static_cast<TResultView*>(widget()); }

  mutable std::map<int, QAccessible::Id> rows_;
};

}  // namespace

QAccessibleInterface* ResultViewAccessible(const QString&, QObject* object) {
  if (auto* view = qobject_cast<TResultView*>(object)) return new TResultListAccessible(view);
  return nullptr;
}

}  // namespace cq
