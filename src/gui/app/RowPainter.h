#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <array>

#include "core/app/ResultModel.h"

namespace cq {

// Row heights of the result view.
inline constexpr int MelodyRowHeight = 40;
inline constexpr int SiteRowHeight = 19;
int RowHeight(const TResult& row);

// Colours the hit image paints, read back under the pointer.
inline const QColor HitBackground{0xFF, 0xFF, 0xFF};
inline const QColor HitTitle{0x00, 0xFF, 0xFF};
inline const QColor HitSiteName{0x00, 0x00, 0x80};
inline const std::array<QColor, FormatCount> HitColors = {
    QColor(0x11, 0x11, 0x11), QColor(0x22, 0x22, 0x22), QColor(0x33, 0x33, 0x33),
    QColor(0x44, 0x44, 0x44)};

// Text on the list's white that must stay readable: a search that found nothing.
inline const QColor EmptyTextColour{0x55, 0x55, 0x55};

// The left edge of format f's button in a row `width` pixels wide: W - 197 ... W - 47.
inline int FormatButtonLeft(int width, TMelodyFormat format) {
  return width - 47 - (3 - static_cast<int>(format)) * 50;
}
inline constexpr int FormatButtonTop = 22;

// The colours of the words on a row; each reads at 4.5:1 or more on white and on the selection.
QColor StatusTextColour(TJobStatus status);  // the status word
QColor SiteNameColour(TResultKind kind);     // the site's name on a site or a melody row
inline const QColor ErrorTextColour{0xB0, 0x00, 0x00};

// The fonts of the rows: the title is Arial 13 bold, everything else Tahoma 9.
QFont TitleFont();
QFont SmallFont();

// A job's status in a row: a progress bar while downloading, otherwise the status word centred
// between two thin rules. Changes the painter's font and pen.
void PaintJobStatus(QPainter& canvas, int x, int y, int width, TJobStatus status, double progress);

// The mark of the row whose melody plays: a play sign left of the title of the row at `top`.
void PaintPlayingMark(QPainter& canvas, int top);

// Fills `bitmap` with the selected row's background at W x H: a vertical lavender gradient.
void MakeSelectionBitmap(QImage& bitmap, int width, int height);

// Paints one row at (0, 0). In hit mode every element is a flat area of its hit colour and the
// rest is white. `selection` is the selection background, remade when its size differs.
void PaintRow(QPainter& canvas, const TResult& row, int width, int height, bool selected, bool hit,
              QImage& selection);

}  // namespace cq
