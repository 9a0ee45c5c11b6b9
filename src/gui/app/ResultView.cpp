#include "gui/app/ResultView.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/config/Translation.h"
#include "core/platform/Text.h"
#include "gui/app/Images.h"
#include "gui/app/ResultAccessible.h"
#include "gui/app/RowPainter.h"
#include "gui/common/QtText.h"
#include "gui/common/Texts.h"

namespace cq {

namespace {

bool SameColour(const QColor& a, const QColor& b) {
  return a.isValid() && a.rgb() == b.rgb();
}

int HitFormat(const QColor& colour) {
  for (const TMelodyFormat format : AllFormats)
    if (SameColour(colour, HitColors[format])) return format;
  return -1;
}

// An off-screen row `width` x `height` in view coordinates, at the screen's pixel ratio.
QImage NewImage(int width, int height, qreal scale) {
  QImage image(static_cast<int>(std::ceil(std::max(width, 1) * scale)),
               static_cast<int>(std::ceil(height * scale)), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  return image;
}

bool Fits(const QImage& image, int width, int height, qreal scale) {
  return image.devicePixelRatio() == scale &&
         image.deviceIndependentSize() == NewImage(width, height, scale).deviceIndependentSize();
}

// A link that carries nothing but its format's name.
bool OnlyFormatName(const TMelodyLinkList& links, TMelodyFormat format) {
  return links.size() == 1 &&
         UpperLatin(links[0].Caption.str()) == UpperLatin(std::string(FormatNames[format]));
}

// A melody row whose page is read and that no job works for.
bool Ready(const TResult& row) {
  return row.Kind == rkMelody && row.Melody.Processed && !row.Waiting && row.Job == nullptr &&
         row.ErrorText.empty();
}

bool Unmodified(const QKeyEvent& event) {
  return (event.modifiers() &
          (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
}

QString FormatName(TMelodyFormat format) {
  return QString::fromLatin1(FormatNames[format].data(),
                             static_cast<qsizetype>(FormatNames[format].size()));
}

}  // namespace

bool IsRowMenuKey(const QKeyEvent& event) {
  return event.key() == Qt::Key_Menu ||
         (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
}

TResultView::TResultView(TSearchDriver& driver, QScrollBar& scrollBar, TResultViewActions actions,
                         QWidget* parent)
    : QWidget(parent),
      driver_(driver),
      scrollBar_(scrollBar),
      actions_(std::move(actions)),
      formatMenu_(new QMenu(this)),
      rowMenu_(new QMenu(this)) {
  setObjectName("PaintBox");
  formatMenu_->setObjectName("FormatMenu");
  rowMenu_->setObjectName("RowMenu");
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  [[maybe_unused]] static const bool accessible = [] {
    QAccessible::installFactory(ResultViewAccessible);
    return true;
  }();
  if (!actions_.PopupMenu) actions_.PopupMenu = [](QMenu& menu, QPoint at) { menu.exec(at); };
  connect(&scrollBar_, &QScrollBar::valueChanged, this, [this] { ScrollBarChange(); });
}

int TResultView::RowHeight(long index) const {
  return cq::RowHeight(driver_.Results()[static_cast<std::size_t>(index)]);
}

int TResultView::RowsHeight(long first, long last) const {
  int height = 0;
  for (long i = first; i <= last; ++i) height += RowHeight(i);
  return height;
}

TRowHit TResultView::RowAtY(int y) const {
  const auto rows = static_cast<long>(driver_.Results().size());
  int top = 0;
  for (long i = topIndex_;; ++i) {
    if (top >= height() || i >= rows) return {};
    if (top + RowHeight(i) > y) return {i, top};
    top += RowHeight(i);
  }
}

QString TResultView::RowName(long index) const {
  const TResult& row = driver_.Results()[static_cast<std::size_t>(index)];
  QStringList parts;
  if (row.Kind == rkMelody) parts << FromCp1251(row.Melody.Title.view());
  if (const TSite* site = row.Kind == rkSite ? row.Site : row.Melody.Site; site != nullptr)
    parts << FromCp1251(site->GetName());
  if (!row.ErrorText.empty()) {
    parts << FromCp1251(row.ErrorText.view());
  } else if (row.Waiting || row.Job != nullptr) {
    const TJobStatus status = row.Waiting ? jsWaiting : row.Job->Status();
    const double progress = row.Waiting ? 0 : row.Job->Progress();
    QString word = FromCp1251(JobStatusPaint(status, status == jsRetrying ? progress : 0, 0).Text);
    if (status == jsDownloading && progress > 0.01 && progress <= 1.01)
      word += QString(" %1%").arg(std::lround(progress * 100));
    if (!word.isEmpty()) parts << word;
  }
  if (!playingKey_.empty() && ResultKey(row) == playingKey_)
    parts << TranslatedText("Messages.Playing", "playing");
  return parts.join(", ");
}

QString TResultView::RowFormats(long index) const {
  const TResult& row = driver_.Results()[static_cast<std::size_t>(index)];
  QStringList formats;
  if (Ready(row))
    for (const TMelodyFormat format : AllFormats)
      if (!row.Melody.Links[format].empty()) formats << FormatName(format);
  return formats.join(", ");
}

QRect TResultView::RowRect(long index) const {
  if (index < topIndex_ || index >= RowCount()) return {};
  const int top = RowsHeight(topIndex_, index - 1);
  return top < height() ? QRect(0, top, width(), RowHeight(index)) : QRect();
}

void TResultView::AnnounceSelection() {
  const long sel = driver_.SelectedRow();
  if (!QAccessible::isActive() || sel < 0) return;
  QAccessibleEvent selection(this, QAccessible::Selection);
  selection.setChild(static_cast<int>(sel));
  QAccessible::updateAccessibility(&selection);
  if (!hasFocus()) return;
  QAccessibleEvent focus(this, QAccessible::Focus);
  focus.setChild(static_cast<int>(sel));
  QAccessible::updateAccessibility(&focus);
}

bool TResultView::Selected(const TResult& row) const {
  return !driver_.SelectedKey().empty() && ResultKey(row) == driver_.SelectedKey();
}

void TResultView::paintEvent(QPaintEvent*) {
  if (paintGuard_) return;
  paintGuard_ = true;
  QPainter view(this);
  const TResultModel& results = driver_.Results();
  const int width = this->width();
  const qreal scale = devicePixelRatioF();
  int y = 0;
  for (auto i = static_cast<std::size_t>(topIndex_); y < height() && i < results.size(); ++i) {
    const int rowHeight = cq::RowHeight(results[i]);
    if (!Fits(rowBitmap_, width, rowHeight, scale)) rowBitmap_ = NewImage(width, rowHeight, scale);
    {
      QPainter row(&rowBitmap_);
      PaintRow(row, results[i], width, rowHeight, Selected(results[i]), false, selectionBitmap_);
    }
    view.drawImage(0, y, rowBitmap_);
    if (!playingKey_.empty() && ResultKey(results[i]) == playingKey_) PaintPlayingMark(view, y);
    y += rowHeight;
  }
  if (y < height()) view.fillRect(0, y, width, height() - y, Qt::white);
  if (results.empty() && !emptyText_.isEmpty()) {
    view.setPen(EmptyTextColour);
    view.drawText(rect().adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                  emptyText_);
  }
  hitRowIndex_ = -1;
  paintGuard_ = false;
}

void TResultView::SetPlayingRow(const std::string& key) {
  if (key == playingKey_) return;
  playingKey_ = key;
  update();
}

void TResultView::SetEmptyText(const QString& text) {
  if (text == emptyText_) return;
  emptyText_ = text;
  setAccessibleDescription(text);
  update();
}

void TResultView::PaintHitRow(long index, int width) {
  const qreal scale = devicePixelRatioF();
  if (index == hitRowIndex_ && Fits(hitBitmap_, width, RowHeight(index), scale)) return;
  if (index < 0 || static_cast<std::size_t>(index) >= driver_.Results().size()) return;
  const int rowHeight = RowHeight(index);
  hitBitmap_ = NewImage(width, rowHeight, scale);
  QPainter canvas(&hitBitmap_);
  PaintRow(canvas, driver_.Results()[static_cast<std::size_t>(index)], width, rowHeight, false,
           true, selectionBitmap_);
  hitRowIndex_ = index;
}

QColor TResultView::HitColorAt(QPoint point) {
  const TRowHit hit = RowAtY(point.y());
  if (hit.Index < 0) return {};
  PaintHitRow(hit.Index, width());
  const QPoint inRow(point.x(), point.y() - hit.Top);
  if (hitRowIndex_ != hit.Index || !QRect(QPoint(), RowRect(hit.Index).size()).contains(inRow))
    return {};
  const qreal scale = hitBitmap_.devicePixelRatio();
  return hitBitmap_.pixelColor(static_cast<int>(inRow.x() * scale),
                               static_cast<int>(inRow.y() * scale));
}

void TResultView::mouseMoveEvent(QMouseEvent* event) {
  if (RowAtY(event->position().toPoint().y()).Index < 0) {
    setCursor(Qt::ArrowCursor);
    return;
  }
  const QColor colour = HitColorAt(event->position().toPoint());
  if (SameColour(colour, HitSiteName) || HitFormat(colour) >= 0)
    setCursor(Qt::PointingHandCursor);
  else if (SameColour(colour, HitBackground) || SameColour(colour, HitTitle))
    setCursor(Qt::ArrowCursor);
}

void TResultView::mousePressEvent(QMouseEvent* event) {
  PaintBoxMouseDown(event->position().toPoint(), false);
}

void TResultView::mouseDoubleClickEvent(QMouseEvent* event) {
  PaintBoxMouseDown(event->position().toPoint(), true);
}

void TResultView::wheelEvent(QWheelEvent* event) {
  // A notch scrolls the desktop's lines per notch, in rows; smaller steps add up to rows.
  const int lines = std::max(QApplication::wheelScrollLines(), 1);
  wheelAngle_ += event->angleDelta().y();
  const int rows = wheelAngle_ * lines / 120;
  wheelAngle_ -= rows * 120 / lines;
  if (rows != 0 && scrollBar_.isVisible()) scrollBar_.setValue(scrollBar_.value() - rows);
  event->accept();
}

void TResultView::PaintBoxMouseDown(QPoint at, bool doubleClick) {
  RunLocked(driver_.ClickLock(), [&] {
    const TRowHit hit = RowAtY(at.y());
    if (hit.Index < 0) {
      driver_.SelectRow(-1);
      update();
      return;
    }
    driver_.ClickRow(hit.Index);
    AnnounceSelection();
    update();
    PaintHitRow(hit.Index, width());
    setCursor(Qt::ArrowCursor);
    const QColor colour = HitColorAt(at);
    const QRect rect(0, hit.Top, width(), RowHeight(hit.Index));
    RowClick(hit.Index, rect, doubleClick, colour, mapToGlobal(QPoint(0, hit.Top)));
  });
}

void TResultView::OpenSiteHome(const TResult& row) {
  const TSite* site = row.Kind == rkSite ? row.Site : row.Melody.Site;
  if (site != nullptr && actions_.OpenAddress) actions_.OpenAddress(site->GetHomePage());
}

void TResultView::RowClick(long index, QRect rect, bool doubleClick, QColor colour, QPoint corner) {
  const TResult& row = driver_.Results()[static_cast<std::size_t>(index)];
  if (SameColour(colour, HitSiteName)) {
    OpenSiteHome(row);
    return;
  }
  if (SameColour(colour, HitBackground) || SameColour(colour, HitTitle)) {
    if (!doubleClick) return;
    if (row.Kind == rkMelody) {
      if (actions_.OpenAddress) actions_.OpenAddress(row.Melody.PageURL.str());
    } else {
      OpenSiteHome(row);
    }
    return;
  }
  const int format = HitFormat(colour);
  if (format < 0) return;
  BuildFormatMenu(index, static_cast<TMelodyFormat>(format));
  const QPoint at(corner.x() + rect.width() - 47 - (3 - format) * 50, corner.y() + 35);
  actions_.PopupMenu(*formatMenu_, at);
}

void TResultView::BuildFormatMenu(long index, TMelodyFormat format) {
  driver_.OpenFormatMenu(static_cast<std::size_t>(index), format);
  formatMenu_->clear();
  AddFormatItems(*formatMenu_, format, driver_.FormatMenu().Melody.Links[format]);
}

void TResultView::AddFormatItems(QMenu& menu, TMelodyFormat format, const TMelodyLinkList& links) {
  if (OnlyFormatName(links, format)) {
    AddFormatMenuItems(menu, 0, playable_[format]);
    return;
  }
  for (std::size_t k = 0; k < links.size(); ++k) {
    QMenu* link =
        menu.addMenu(FormatMenuIcon(fiFirstFormat + format), FromCp1251(links[k].Caption.view()));
    AddFormatMenuItems(*link, static_cast<int>(k), playable_[format]);
  }
}

bool TResultView::OpenRowMenu() {
  const long sel = driver_.SelectedRow();
  if (sel < 0) return false;
  const TResult& row = driver_.Results()[static_cast<std::size_t>(sel)];
  if (Ready(row)) {
    ShowRowMenu(sel);
  } else if (row.Kind == rkMelody && row.ErrorText.empty()) {
    pendingMenuKey_ = driver_.SelectedKey();
    RunLocked(driver_.ClickLock(), [&] { driver_.ClickRow(sel); });
  }
  return true;
}

void TResultView::OpenPendingRowMenu() {
  if (pendingMenuKey_.empty()) return;
  const long sel = driver_.SelectedRow();
  if (sel < 0 || driver_.SelectedKey() != pendingMenuKey_ ||
      !driver_.Results()[static_cast<std::size_t>(sel)].ErrorText.empty()) {
    pendingMenuKey_.clear();
    return;
  }
  if (!Ready(driver_.Results()[static_cast<std::size_t>(sel)])) return;
  pendingMenuKey_.clear();
  ShowRowMenu(sel);
}

void TResultView::ShowRowMenu(long index) {
  RunLocked(driver_.ClickLock(), [&] {
    rowMenu_->clear();
    const TMelody& melody = driver_.Results()[static_cast<std::size_t>(index)].Melody;
    for (const TMelodyFormat format : AllFormats) {
      if (melody.Links[format].empty()) continue;
      QMenu* sub = rowMenu_->addMenu(FormatMenuIcon(fiFirstFormat + format), FormatName(format));
      // The format's actions read the format menu's context, set as its submenu opens.
      connect(sub, &QMenu::aboutToShow, this, [this, index, format] {
        driver_.OpenFormatMenu(static_cast<std::size_t>(index), format);
      });
      AddFormatItems(*sub, format, melody.Links[format]);
    }
    if (rowMenu_->isEmpty()) return;
    // Opened from the keyboard: Enter takes the first entry at once.
    QTimer::singleShot(0, rowMenu_, [menu = rowMenu_] {
      if (menu->isVisible()) menu->setActiveAction(menu->actions().constFirst());
    });
    const int top = index >= topIndex_ ? std::min(RowsHeight(topIndex_, index - 1), height()) : 0;
    actions_.PopupMenu(*rowMenu_, mapToGlobal(QPoint(15, top + RowHeight(index))));
  });
}

void TResultView::AddFormatMenuItems(QMenu& parent, int tag, bool playable) {
  const auto caption = [](const char* key, const char* text) {
    return FromCp1251(Translate(key, text));
  };
  QAction* download =
      parent.addAction(FormatMenuIcon(fiDownload), caption("FormatMenu.Download", "Download"));
  download->setObjectName("MenuDownload");
  connect(download, &QAction::triggered, this, [this, tag] { driver_.MenuDownloadClick(tag); });
  if (playable) {
    QAction* play = parent.addAction(FormatMenuIcon(fiPlay), caption("FormatMenu.Play", "Play"));
    play->setObjectName("MenuPlay");
    connect(play, &QAction::triggered, this, [this, tag] { driver_.MenuPlayClick(tag); });
  }
  QAction* show =
      parent.addAction(FormatMenuIcon(fiShowLink), caption("FormatMenu.ShowLink", "Show link"));
  show->setObjectName("MenuShowLink");
  connect(show, &QAction::triggered, this, [this, tag] { MenuShowLinkClick(tag); });
}

void TResultView::MenuShowLinkClick(int tag) {
  const TFormatMenuContext& menu = driver_.FormatMenu();
  const TMelodyLinkList& links = menu.Melody.Links[menu.Format];
  if (tag < 0 || static_cast<std::size_t>(tag) >= links.size() || !actions_.ShowAddress) return;
  actions_.ShowAddress(FromCp1251(links[static_cast<std::size_t>(tag)].URL.view()));
}

void TResultView::UpdateScrollBar() {
  const QSignalBlocker quiet(&scrollBar_);
  const auto rows = static_cast<long>(driver_.Results().size());
  if (rows == 0) {
    topIndex_ = 0;
    scrollBar_.hide();
    return;
  }
  long last = rows - 1;
  while (last >= 0 && RowsHeight(last, rows - 1) < height()) --last;
  const long maxTop = last + 1;
  topIndex_ = std::min(topIndex_, maxTop);
  if (maxTop < 1) {
    scrollBar_.hide();
    return;
  }
  // Qt's maximum is the last position, which is the last row less the page.
  const long page = std::max(rows - maxTop, 1L);
  scrollBar_.setRange(0, static_cast<int>(rows - page));
  scrollBar_.setPageStep(static_cast<int>(page));
  scrollBar_.setSingleStep(1);
  scrollBar_.setValue(static_cast<int>(topIndex_));
  scrollBar_.show();
}

void TResultView::ScrollBarChange() {
  topIndex_ = scrollBar_.value();
  UpdateScrollBar();
  update();
}

void TResultView::RefreshResults() {
  if (!driver_.RefreshResults()) return;
  update();
  hitRowIndex_ = -1;
  UpdateScrollBar();
  OpenPendingRowMenu();
}

void TResultView::resizeEvent(QResizeEvent*) {
  hitRowIndex_ = -1;
  UpdateScrollBar();
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
      if (sel <= 0) return true;
      --sel;
      if (sel < topIndex_) topIndex_ = sel;
      while (RowsHeight(topIndex_, sel) > view) ++topIndex_;
      break;
    case Qt::Key_Down:
      if (listDropped || rows == 0) return false;
      if (sel >= rows - 1) return true;
      ++sel;
      while (RowsHeight(topIndex_, sel) > view) ++topIndex_;
      if (sel < topIndex_) topIndex_ = sel;
      break;
    case Qt::Key_PageUp:
      if (rows == 0) return false;
      if (sel <= 0) return true;
      sel = std::max(sel - page, 0L);
      topIndex_ = std::max(topIndex_ - page, 0L);
      if (sel < topIndex_) topIndex_ = sel;
      break;
    case Qt::Key_PageDown:
      if (sel >= rows - 1) return true;
      sel = std::clamp(sel + page, 0L, rows - 1);
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
      SelectAndShow(key == Qt::Key_Home ? 0 : rows - 1);
      consumed = true;
    } else {
      consumed = KeyDown(key, false);
    }
  }
  if (!consumed) QWidget::keyPressEvent(event);
}

}  // namespace cq
