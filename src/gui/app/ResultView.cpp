#include "gui/app/ResultView.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/app/JobStatusPaint.h"
#include "gui/app/ResultAccessible.h"
#include "gui/app/RowPainter.h"
#include "gui/app/RowTraits.h"
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

}  // namespace

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
  return RowHidden(index) ? 0 : cq::RowHeight(driver_.Results()[static_cast<std::size_t>(index)]);
}

void TResultView::SetShownFormats(const std::array<bool, FormatCount>& shown) {
  if (shown == shownFormats_) return;
  shownFormats_ = shown;
  hitRowIndex_ = -1;
  UpdateScrollBar();
  update();
}

bool TResultView::RowHidden(long index) const {
  const TResult& row = driver_.Results()[static_cast<std::size_t>(index)];
  const bool filtering =
      std::find(shownFormats_.begin(), shownFormats_.end(), false) != shownFormats_.end();
  // Rows still waiting for their page, or failed, say something whatever the filter.
  if (!filtering || row.Kind != rkMelody || !row.Melody.Processed || !row.ErrorText.empty())
    return false;
  for (const TMelodyFormat format : AllFormats)
    if (shownFormats_[format] && !row.Melody.Links[format].empty()) return false;
  return true;
}

TResult TResultView::ShownRow(long index) const {
  TResult row = driver_.Results()[static_cast<std::size_t>(index)];
  for (const TMelodyFormat format : AllFormats)
    if (!shownFormats_[format]) row.Melody.Links[format].clear();
  return row;
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
  const TResult row = ShownRow(index);
  QStringList formats;
  if (MenuReady(row))
    for (const TMelodyFormat format : AllFormats)
      if (!row.Melody.Links[format].empty()) formats << FormatCaption(format);
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
  for (long i = topIndex_; y < height() && i < static_cast<long>(results.size()); ++i) {
    const int rowHeight = RowHeight(i);
    if (rowHeight == 0) continue;
    if (!Fits(rowBitmap_, width, rowHeight, scale)) rowBitmap_ = NewImage(width, rowHeight, scale);
    {
      QPainter row(&rowBitmap_);
      const TResult shown = ShownRow(i);
      PaintRow(row, shown, width, rowHeight, Selected(shown), false, selectionBitmap_);
    }
    view.drawImage(0, y, rowBitmap_);
    if (!playingKey_.empty() && ResultKey(results[static_cast<std::size_t>(i)]) == playingKey_)
      PaintPlayingMark(view, y);
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
  PaintRow(canvas, ShownRow(index), width, rowHeight, false, true, selectionBitmap_);
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

}  // namespace cq
