#include "gui/config/AboutPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace cq {

namespace {

// A bell filling `box`: a domed top, flared sides, a lip and a clapper below.
QPainterPath BellPath(const QRectF& box) {
  const double w = box.width(), h = box.height();
  const double x = box.left(), y = box.top();
  QPainterPath bell;
  bell.moveTo(x + w * 0.5, y);
  bell.cubicTo(x + w * 0.80, y, x + w * 0.78, y + h * 0.45, x + w * 0.84, y + h * 0.62);
  bell.cubicTo(x + w * 0.88, y + h * 0.72, x + w, y + h * 0.76, x + w, y + h * 0.82);
  bell.lineTo(x, y + h * 0.82);
  bell.cubicTo(x, y + h * 0.76, x + w * 0.12, y + h * 0.72, x + w * 0.16, y + h * 0.62);
  bell.cubicTo(x + w * 0.22, y + h * 0.45, x + w * 0.20, y, x + w * 0.5, y);
  bell.closeSubpath();
  bell.addEllipse(QPointF(x + w * 0.5, y + h * 0.9), w * 0.1, h * 0.1);
  return bell;
}

QImage Blank(int width, int height, QColor fill) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

}  // namespace

QImage AboutIconPicture(int size) {
  QImage image = Blank(size, size, Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QRadialGradient badge(size * 0.35, size * 0.3, size * 0.7);
  badge.setColorAt(0, QColor(90, 150, 230));
  badge.setColorAt(1, QColor(20, 60, 140));
  painter.setBrush(badge);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
  QLinearGradient gold(0, 0, size, 0);
  gold.setColorAt(0, QColor(255, 226, 120));
  gold.setColorAt(1, QColor(200, 140, 20));
  painter.setBrush(gold);
  painter.drawPath(BellPath(QRectF(size * 0.22, size * 0.16, size * 0.56, size * 0.68)));
  return image;
}

QImage MatrixOverlayPicture() {
  QImage image = Blank(60, 70, Qt::white);
  QPainter painter(&image);
  painter.setBrush(Qt::black);
  painter.setPen(Qt::NoPen);
  painter.drawPath(BellPath(QRectF(8, 12, 44, 50)));
  // A quaver above the bell.
  painter.drawEllipse(QRectF(36, 3, 7, 5));
  painter.drawRect(QRectF(41, 0, 2, 6));
  painter.drawRect(QRectF(41, 0, 6, 2));
  return image;
}

QImage FireBackdropPicture() {
  QImage image = Blank(70, 70, QColor(40, 40, 48));
  QPainter painter(&image);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(120, 120, 130));
  painter.drawRect(QRectF(18, 20, 34, 50));
  QPainterPath roof;
  roof.moveTo(14, 22);
  roof.lineTo(35, 2);
  roof.lineTo(56, 22);
  roof.closeSubpath();
  painter.setBrush(QColor(160, 160, 170));
  painter.drawPath(roof);
  painter.setBrush(QColor(20, 20, 24));
  painter.drawRect(QRectF(25, 26, 20, 22));
  painter.setBrush(QColor(230, 230, 235));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.drawPath(BellPath(QRectF(28, 28, 14, 16)));
  return image;
}

QImage FlagPicture() {
  QImage image = Blank(32, 22, Qt::white);
  QPainter painter(&image);
  painter.fillRect(QRect(0, 0, 32, 7), QColor(30, 90, 170));
  painter.fillRect(QRect(0, 15, 32, 7), QColor(30, 130, 70));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(220, 170, 30));
  painter.drawPath(BellPath(QRectF(12, 5, 8, 12)));
  return image;
}

}  // namespace cq
