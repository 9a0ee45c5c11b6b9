#include "gui/common/ProgramPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace cq {

QPixmap ProgramPicture(int size) {
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  PaintProgramPicture(painter, size);
  return picture;
}

void PaintProgramPicture(QPainter& painter, int size) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 48.0, size / 48.0);

  QPainterPath bell;
  bell.moveTo(24, 5);
  bell.cubicTo(13, 5, 12, 16, 12, 24);
  bell.cubicTo(12, 31, 9, 34, 6, 37);
  bell.lineTo(42, 37);
  bell.cubicTo(39, 34, 36, 31, 36, 24);
  bell.cubicTo(36, 16, 35, 5, 24, 5);
  bell.closeSubpath();
  QLinearGradient gold(8, 0, 40, 0);
  gold.setColorAt(0, QColor(0xF6, 0xD3, 0x65));
  gold.setColorAt(0.45, QColor(0xFF, 0xF1, 0xB0));
  gold.setColorAt(1, QColor(0xC8, 0x8A, 0x10));
  painter.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 1.5));
  painter.setBrush(gold);
  painter.drawPath(bell);
  painter.drawRoundedRect(QRectF(4, 36, 40, 4), 2, 2);
  painter.setBrush(QColor(0x8A, 0x5A, 0x00));
  painter.drawEllipse(QPointF(24, 43), 3.5, 3.5);
  painter.drawEllipse(QPointF(24, 4), 2, 2);

  // Sound waves on either side.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0x2E, 0x6F, 0xC8), 2, Qt::SolidLine, Qt::RoundCap));
  painter.drawArc(QRectF(38, 8, 8, 14), -60 * 16, 120 * 16);
  painter.drawArc(QRectF(2, 8, 8, 14), 120 * 16, 120 * 16);
  painter.restore();
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(ProgramPicture(size));
  return icon;
}

}  // namespace cq
