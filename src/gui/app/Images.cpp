#include "gui/app/Images.h"

#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <functional>

#include "gui/common/ProgramPicture.h"

namespace cq {

namespace {

// An icon drawn anew, in a 16 x 16 square scaled to whatever size is asked for: crisp at every
// screen scale. Disabled, it is drawn faint.
class TPaintedIconEngine : public QIconEngine {
 public:
  explicit TPaintedIconEngine(std::function<void(QPainter&)> draw) : draw_(std::move(draw)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->translate(rect.topLeft());
    painter->scale(rect.width() / 16.0, rect.height() / 16.0);
    painter->setRenderHint(QPainter::Antialiasing);
    if (mode == QIcon::Disabled) painter->setOpacity(0.35);
    draw_(*painter);
    painter->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(), size), mode, state);
    return pixmap;
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new TPaintedIconEngine(draw_); }

 private:
  std::function<void(QPainter&)> draw_;
};

QIcon PaintedIcon(std::function<void(QPainter&)> draw) {
  return QIcon(new TPaintedIconEngine(std::move(draw)));
}

// A note on the format's colour.
void PaintFormatIcon(QPainter& painter, TMelodyFormat format) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(FormatColor(format));
  painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(4, 9, 5, 4));
  painter.fillRect(QRectF(8, 3, 1.5, 8), Qt::white);
  painter.fillRect(QRectF(8, 3, 4, 1.5), Qt::white);
}

void PaintDownloadIcon(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x80, 0x30));
  painter.drawRect(QRectF(6, 1, 4, 7));
  painter.drawPolygon(QPolygonF({{2, 7}, {14, 7}, {8, 13}}));
  painter.fillRect(QRectF(2, 14, 12, 1.5), QColor(0x40, 0x40, 0x40));
}

void PaintPlayIcon(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x60, 0xD0));
  painter.drawPolygon(QPolygonF({{4, 2}, {14, 8}, {4, 14}}));
}

void PaintLinkIcon(QPainter& painter) {
  painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.6));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(1.5, 5.5, 8, 5), 2.5, 2.5);
  painter.drawRoundedRect(QRectF(6.5, 5.5, 8, 5), 2.5, 2.5);
}

void PaintStopIcon(QPainter& painter) {
  painter.fillRect(QRectF(3, 3, 10, 10), QColor(0x30, 0x30, 0x30));
}

void PaintMenuIcon(QPainter& painter) {
  for (int y : {3, 7, 11}) painter.fillRect(QRectF(2, y, 12, 2), QColor(0x40, 0x40, 0x40));
}

void PaintMagnifierIcon(QPainter& painter) {
  painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRectF(2, 2, 8, 8));
  painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2.5, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(10, 10), QPointF(14, 14));
}

void PaintGearIcon(QPainter& painter) {
  painter.setPen(QPen(QColor(0x50, 0x50, 0x60), 2.5, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 4; ++i) {
    painter.save();
    painter.translate(8, 8);
    painter.rotate(45.0 * i);
    painter.drawLine(QPointF(0, -6.5), QPointF(0, 6.5));
    painter.restore();
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x50, 0x50, 0x60));
  painter.drawEllipse(QRectF(3, 3, 10, 10));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(6, 6, 4, 4));
}

void PaintLetterIcon(QPainter& painter, QChar letter, const QColor& colour) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(1, 1, 14, 14));
  QFont font("Tahoma");
  font.setPixelSize(11);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(letter));
}

void PaintEnvelopeIcon(QPainter& painter) {
  painter.setPen(QPen(QColor(0x40, 0x50, 0x80), 1.2));
  painter.setBrush(QColor(0xF4, 0xF4, 0xFF));
  painter.drawRect(QRectF(1.5, 3.5, 13, 9));
  painter.drawPolyline(QPolygonF({{1.5, 3.5}, {8, 9}, {14.5, 3.5}}));
}

void PaintFunnelIcon(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x50, 0x50, 0x60));
  painter.drawPolygon(QPolygonF({{1, 2}, {15, 2}, {10, 8}, {10, 14}, {6, 12}, {6, 8}}));
}

}  // namespace

QColor FormatColor(TMelodyFormat format) {
  static const std::array<QColor, FormatCount> colours = {
      QColor(0x2E, 0x8B, 0x57),  // WAV: green
      QColor(0x33, 0x66, 0xCC),  // MIDI: blue
      QColor(0xD2, 0x69, 0x1E),  // MMF: orange
      QColor(0x8E, 0x44, 0xAD),  // MP3: purple
  };
  return colours[format];
}

void PaintFormatButton(QPainter& painter, int x, int y, TMelodyFormat format) {
  painter.save();
  painter.translate(x, y);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = FormatColor(format);
  painter.setPen(colour.darker(140));
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(0.5, 0.5, FormatButtonWidth - 1, FormatButtonHeight - 1), 3, 3);
  QFont font("Tahoma");
  font.setPixelSize(9);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, FormatButtonWidth, FormatButtonHeight), Qt::AlignCenter,
                   QString::fromLatin1(FormatNames[format].data(),
                                       static_cast<qsizetype>(FormatNames[format].size())));
  painter.restore();
}

QIcon FormatMenuIcon(int image) {
  switch (image) {
    case fiDownload:
      return PaintedIcon(PaintDownloadIcon);
    case fiPlay:
      return PaintedIcon(PaintPlayIcon);
    case fiShowLink:
      return PaintedIcon(PaintLinkIcon);
    default:
      return PaintedIcon([format = static_cast<TMelodyFormat>((image - fiFirstFormat) & 3)](
                             QPainter& painter) { PaintFormatIcon(painter, format); });
  }
}

QIcon MenuButtonGlyph() {
  return PaintedIcon(PaintMenuIcon);
}
QIcon SearchButtonGlyph() {
  return PaintedIcon(PaintMagnifierIcon);
}
QIcon StopButtonGlyph() {
  return PaintedIcon(PaintStopIcon);
}

QIcon MainMenuIcon(TMainMenuIcon icon) {
  switch (icon) {
    case TMainMenuIcon::Filter:
      return PaintedIcon(PaintFunnelIcon);
    case TMainMenuIcon::Settings:
      return PaintedIcon(PaintGearIcon);
    case TMainMenuIcon::Help:
      return PaintedIcon(
          [](QPainter& painter) { PaintLetterIcon(painter, '?', QColor(0x33, 0x66, 0xCC)); });
    case TMainMenuIcon::Notes:
      return PaintedIcon(
          [](QPainter& painter) { PaintLetterIcon(painter, 'i', QColor(0x2E, 0x8B, 0x57)); });
    case TMainMenuIcon::Feedback:
      return PaintedIcon(PaintEnvelopeIcon);
    case TMainMenuIcon::About:
      return PaintedIcon([](QPainter& painter) { PaintProgramPicture(painter, 16); });
  }
  return {};
}

}  // namespace cq
