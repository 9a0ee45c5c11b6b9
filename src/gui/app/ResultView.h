#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "core/app/SearchDriver.h"

class QKeyEvent;
class QMenu;
class QScrollBar;

namespace cq {

// What the view asks of the window around it.
struct TResultViewActions {
  // Opens a web address in the user's browser (windows-1251 text from the sites).
  std::function<void(const std::string& address)> OpenAddress;
  // Shows a link's address (Show link).
  std::function<void(const QString& address)> ShowAddress;
  // Runs a pop-up menu at a screen point until it closes; QMenu::exec unless a test replaces it.
  std::function<void(QMenu& menu, QPoint at)> PopupMenu;
};

// Where a view coordinate falls: the row shown there and its top, or Index -1 below the rows.
struct TRowHit {
  long Index = -1;
  int Top = 0;
};

// The menu key and Shift+F10 open the selected row's actions, wherever the focus is.
bool IsRowMenuKey(const QKeyEvent& event);

// The result view: paints the rows of the search driver from TopIndex down, one off-screen row
// at a time; a second off-screen image of one row in flat hit colours tells what the pointer is
// over. It takes the keyboard focus; the window also passes it the keys of the search box.
class TResultView : public QWidget {
  Q_OBJECT

 public:
  TResultView(TSearchDriver& driver, QScrollBar& scrollBar, TResultViewActions actions,
              QWidget* parent = nullptr);

  long TopIndex() const { return topIndex_; }
  // Formats whose menu offers Play; MMF only once an external player was found.
  void SetPlayable(TMelodyFormat format, bool playable) { playable_[format] = playable; }
  bool Playable(TMelodyFormat format) const { return playable_[format]; }
  // The format filter: an unchecked format's buttons are not shown, and a melody row that offers
  // only unchecked formats is left out of the list (its height is 0).
  void SetShownFormats(const std::array<bool, FormatCount>& shown);
  bool RowHidden(long index) const;

  int RowCount() const { return static_cast<int>(driver_.Results().size()); }
  long SelectedRow() const { return driver_.SelectedRow(); }
  // What a screen reader says of row `index`: title, site and status or error; and its formats.
  QString RowName(long index) const;
  QString RowFormats(long index) const;
  // Where row `index` is shown in the view; empty when it is scrolled out of sight.
  QRect RowRect(long index) const;

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
  // The row whose melody plays, by its key; empty when nothing plays.
  void SetPlayingRow(const std::string& key);
  // Shown in an empty list (a search that found nothing); empty for none.
  void SetEmptyText(const QString& text);
  // Forgets the hit image (the window was resized or the rows moved).
  void ForgetHitRow() { hitRowIndex_ = -1; }

  // The rows a page key moves by, as of now.
  long PageRows() const;
  // Up, Down, Page Up and Page Down move the selection and scroll just far enough. Answers true
  // when the key is consumed. `listDropped`: the search box shows its history list.
  bool KeyDown(int key, bool listDropped);
  // The nearest row from `index` on, going by `step` (+1 or -1), that the filter shows; -1 when
  // there is none.
  long ShownRowFrom(long index, long step) const;
  // Selects row `index` and scrolls just far enough to show it.
  void SelectAndShow(long index);

  // The selected row's actions at the row: a submenu per format it has, each holding what that
  // format's button offers. A row whose page is not read yet is read first (as a click does) and
  // its menu opens once it is. False when no row is selected.
  bool OpenRowMenu();
  QMenu& RowMenu() { return *rowMenu_; }

  // The format menu, rebuilt for each row and format it opens on.
  QMenu& FormatMenu() { return *formatMenu_; }
  // Fills the format menu for row `index` and format f; answers where it would open (relative to
  // the row's top-left corner).
  void BuildFormatMenu(long index, TMelodyFormat format);
  void AddFormatMenuItems(QMenu& parent, int tag, bool playable);

  // A press on the view, as the mouse handlers see it (tests call it too).
  void PaintBoxMouseDown(QPoint at, bool doubleClick);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void PaintHitRow(long index, int width);
  // Row `index` as the filter shows it: without the links of unchecked formats.
  TResult ShownRow(long index) const;
  void RowClick(long index, QRect rect, bool doubleClick, QColor colour, QPoint corner);
  void OpenSiteHome(const TResult& row);
  bool Selected(const TResult& row) const;
  void MenuShowLinkClick(int tag);
  void AddFormatItems(QMenu& menu, TMelodyFormat format, const TMelodyLinkList& links);
  void ShowRowMenu(long index);
  void AnnounceSelection();
  void OpenPendingRowMenu();

  TSearchDriver& driver_;
  QScrollBar& scrollBar_;
  TResultViewActions actions_;
  QMenu* formatMenu_;
  QMenu* rowMenu_;
  std::string pendingMenuKey_;  // the row whose menu waits for its page
  std::string playingKey_;
  long topIndex_ = 0;
  QImage rowBitmap_;
  QImage selectionBitmap_;
  QImage hitBitmap_;
  long hitRowIndex_ = -1;
  QString emptyText_;
  int wheelAngle_ = 0;  // a touchpad's steps not yet making a row
  bool paintGuard_ = false;
  std::array<bool, FormatCount> playable_ = {true, true, false, true};
  std::array<bool, FormatCount> shownFormats_ = {true, true, true, true};
};

}  // namespace cq
