#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "core/app/SearchDriver.h"

class QMenu;
class QScrollBar;

namespace cq {

// What the view asks of the window around it.
struct TResultViewActions {
  // Opens a web address in the user's browser (windows-1251 text from the sites).
  std::function<void(const std::string& address)> OpenAddress;
  // Shows a plain message (the link of Show link).
  std::function<void(const QString& text)> Notice;
  // Runs a pop-up menu at a screen point until it closes; QMenu::exec unless a test replaces it.
  std::function<void(QMenu& menu, QPoint at)> PopupMenu;
};

// Where a view coordinate falls: the row shown there and its top, or Index -1 below the rows.
struct TRowHit {
  long Index = -1;
  int Top = 0;
};

// The result view: paints the rows of the search driver from TopIndex down, one off-screen row
// at a time; a second off-screen image of one row in flat hit colours tells what the pointer is
// over. It takes no keyboard focus; the window passes its keys to KeyDown.
class TResultView : public QWidget {
  Q_OBJECT

 public:
  TResultView(TSearchDriver& driver, QScrollBar& scrollBar, TResultViewActions actions,
              QWidget* parent = nullptr);

  long TopIndex() const { return topIndex_; }
  // Formats whose menu offers Play; MMF only once an external player was found.
  void SetPlayable(TMelodyFormat format, bool playable) { playable_[format] = playable; }
  bool Playable(TMelodyFormat format) const { return playable_[format]; }

  int RowHeight(long index) const;
  // Rows a..b together; 0 when b < a.
  int RowsHeight(long first, long last) const;
  TRowHit RowAtY(int y) const;

  // The hit colour under a view point; invalid outside every row.
  QColor HitColorAt(QPoint point);

  void UpdateScrollBar();
  void ScrollBarChange();
  // The timer's refresh: when the rows changed, the key mirror follows, the view repaints and
  // the scroll bar is brought up to date.
  void RefreshResults();
  // Forgets the hit image (the window was resized or the rows moved).
  void ForgetHitRow() { hitRowIndex_ = -1; }

  // The rows a page key moves by, as of now.
  long PageRows() const;
  // Up, Down, Page Up and Page Down move the selection and scroll just far enough. Answers true
  // when the key is consumed. `listDropped`: the search box shows its history list.
  bool KeyDown(int key, bool listDropped);

  // The format menu, rebuilt for each row and format it opens on.
  QMenu& FormatMenu() { return *formatMenu_; }
  // Fills the format menu for row `index` and format f; answers where it would open (relative to
  // the row's top-left corner).
  void BuildFormatMenu(long index, TMelodyFormat format);
  void AddFormatMenuItems(QMenu& parent, int tag, bool playable);

  // A press on the view, as the mouse handlers see it (tests call it too).
  void PaintBoxMouseDown(QPoint at, bool doubleClick);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void PaintHitRow(long index, int width);
  void RowClick(long index, QRect rect, bool doubleClick, QColor colour, QPoint corner);
  void OpenSiteHome(const TResult& row);
  bool Selected(const TResult& row) const;
  void MenuShowLinkClick(int tag);

  TSearchDriver& driver_;
  QScrollBar& scrollBar_;
  TResultViewActions actions_;
  QMenu* formatMenu_;
  long topIndex_ = 0;
  QImage rowBitmap_;
  QImage selectionBitmap_;
  QImage hitBitmap_;
  long hitRowIndex_ = -1;
  bool paintGuard_ = false;
  std::array<bool, FormatCount> playable_ = {true, true, false, true};
};

}  // namespace cq
