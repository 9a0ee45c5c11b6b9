#include "gui/app/RowPainter.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/app/JobStatusPaint.h"
#include "gui/app/Images.h"
#include "gui/common/QtText.h"

namespace cq {

namespace {

const QColor TitleColour(0x00, 0x00, 0x00);
const QColor BarBack(0xC0, 0xC0, 0xC0);
const QColor BarFill(0xA0, 0xA0, 0xFF);
const QColor RuleWaiting(0xD8, 0xD8, 0xD8);
const QColor RuleRunning(0xC0, 0xC0, 0xC0);
// The words are darker than their rules, so they read on the selection too.
const QColor WordWaiting(0x5A, 0x5A, 0x5A);
const QColor WordRunning(0x30, 0x30, 0x30);

const QColor SelectionTop(0xE8, 0xE8, 0xF8);
const QColor SelectionBottom(0xD0, 0xD0, 0xF8);
const QColor PlayingMark(0x1A, 0x7F, 0x37);

QFont PixelFont(const char* family, int pixels, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// Text with its top-left corner at (x, y); in hit mode on a box of its own colour.
void DrawText(QPainter& canvas, int x, int y, const QString& text, const QFont& font,
              const QColor& colour, bool opaque) {
  canvas.setFont(font);
  const QFontMetrics metrics(font);
  if (opaque) canvas.fillRect(x, y, metrics.horizontalAdvance(text), metrics.height(), colour);
  canvas.setPen(colour);
  canvas.drawText(x, y + metrics.ascent(), text);
}

QString SiteName(const TSite* site) {
  return site != nullptr ? FromCp1251(site->GetName()) : QString();
}

int BlendChannel(int top, int bottom, double t) {
  const int value = static_cast<int>(std::lround(top + (bottom - top) * t));
  return std::clamp(value, std::min(top, bottom), std::max(top, bottom));
}

void PaintMelodyRow(QPainter& canvas, const TResult& row, int width, bool hit) {
  const TMelody& melody = row.Melody;
  DrawText(canvas, 15, 5, FromCp1251(melody.Title.view()), TitleFont(),
           hit ? HitTitle : TitleColour, hit);
  if (melody.Site != nullptr)
    DrawText(canvas, 15, 24, SiteName(melody.Site), SmallFont(),
             hit ? HitSiteName : SiteNameColour(rkMelody), hit);
  if (!row.ErrorText.empty()) {
    if (!hit)
      DrawText(canvas, 100, 24, FromCp1251(row.ErrorText.view()), SmallFont(), ErrorTextColour,
               false);
    return;
  }
  if (row.Waiting) {
    PaintJobStatus(canvas, 125, 26, width - 140, jsWaiting, 0);
    return;
  }
  if (row.Job == nullptr && melody.Processed) {
    for (const TMelodyFormat format : AllFormats) {
      if (melody.Links[format].empty()) continue;
      const int x = FormatButtonLeft(width, format);
      if (hit)
        canvas.fillRect(x, FormatButtonTop, FormatButtonWidth, 36 - FormatButtonTop,
                        HitColors[format]);
      else
        PaintFormatButton(canvas, x, FormatButtonTop, format);
    }
    return;
  }
  if (hit || row.Job == nullptr) return;
  PaintJobStatus(canvas, 125, 26, width - 140, row.Job->Status(), row.Job->Progress());
}

void PaintSiteRow(QPainter& canvas, const TResult& row, int width, bool hit) {
  if (row.Site != nullptr)
    DrawText(canvas, 15, 4, SiteName(row.Site), SmallFont(),
             hit ? HitSiteName : SiteNameColour(rkSite), hit);
  if (hit) return;
  if (!row.ErrorText.empty()) {
    DrawText(canvas, 100, 4, FromCp1251(row.ErrorText.view()), SmallFont(), ErrorTextColour, false);
    return;
  }
  if (row.Waiting) {
    PaintJobStatus(canvas, 125, 6, width - 140, jsWaiting, 0);
    return;
  }
  if (row.Job != nullptr)
    PaintJobStatus(canvas, 125, 6, width - 140, row.Job->Status(), row.Job->Progress());
}

}  // namespace

QColor StatusTextColour(TJobStatus status) {
  return status == jsWaiting ? WordWaiting : WordRunning;
}

QColor SiteNameColour(TResultKind kind) {
  return kind == rkMelody ? QColor(0x00, 0x00, 0xFF) : QColor(0x3C, 0x3C, 0xC8);
}

int RowHeight(const TResult& row) {
  return row.Kind == rkMelody ? MelodyRowHeight : SiteRowHeight;
}

QFont TitleFont() {
  static const QFont font = PixelFont("Arial", 13, true);
  return font;
}

QFont SmallFont() {
  static const QFont font = PixelFont("Tahoma", 9, false);
  return font;
}

void PaintPlayingMark(QPainter& canvas, int top) {
  QPainterPath sign;
  sign.moveTo(4, top + 7);
  sign.lineTo(12, top + 12);
  sign.lineTo(4, top + 17);
  sign.closeSubpath();
  canvas.save();
  canvas.setRenderHint(QPainter::Antialiasing);
  canvas.fillPath(sign, PlayingMark);
  canvas.restore();
}

void PaintJobStatus(QPainter& canvas, int x, int y, int width, TJobStatus status, double progress) {
  const TJobStatusPaint paint = JobStatusPaint(status, progress, width);
  if (paint.Bar) {
    canvas.fillRect(QRect(x, y + 2, width, 3), BarBack);
    canvas.fillRect(QRect(x, y + 2, paint.Filled, 3), BarFill);
    return;
  }
  if (status == jsFinished) return;
  const QString text = FromCp1251(paint.Text);
  const QFont font = SmallFont();
  canvas.setFont(font);
  const int textWidth = QFontMetrics(font).horizontalAdvance(text);
  const int left = (width - textWidth) / 2 - 10;
  const QColor colour = paint.Waiting ? RuleWaiting : RuleRunning;
  // One-pixel rules from the area's edges towards the word, each end point left out.
  const int rule = std::max(left, 0);
  canvas.fillRect(QRect(x, y + 3, rule, 1), colour);
  canvas.fillRect(QRect(x + width - rule + 1, y + 3, rule, 1), colour);
  canvas.setPen(StatusTextColour(status));
  canvas.drawText(x + left + 10, y - 2 + QFontMetrics(font).ascent(), text);
}

void MakeSelectionBitmap(QImage& bitmap, int width, int height) {
  bitmap = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    const double t = height > 1 ? static_cast<double>(y) / (height - 1) : 0.0;
    const QRgb colour = qRgb(BlendChannel(SelectionTop.red(), SelectionBottom.red(), t),
                             BlendChannel(SelectionTop.green(), SelectionBottom.green(), t),
                             BlendChannel(SelectionTop.blue(), SelectionBottom.blue(), t));
    auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    std::fill(line, line + width, colour);
  }
}

void PaintRow(QPainter& canvas, const TResult& row, int width, int height, bool selected, bool hit,
              QImage& selection) {
  if (selected && !hit) {
    if (selection.width() != width || selection.height() != height)
      MakeSelectionBitmap(selection, width, height);
    canvas.drawImage(0, 0, selection);
  } else {
    canvas.fillRect(0, 0, width, height, HitBackground);
  }
  if (row.Kind == rkMelody)
    PaintMelodyRow(canvas, row, width, hit);
  else
    PaintSiteRow(canvas, row, width, hit);
}

}  // namespace cq
