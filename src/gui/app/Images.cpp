#include "gui/app/Images.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

#include "gui/app/ProgramPicture.h"

namespace cq {

namespace {

QPixmap Canvas(int size = 16) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QImage DrawFormatButton(TMelodyFormat format) {
  QImage image(FormatButtonWidth, FormatButtonHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
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
  return image;
}

// A note on the format's colour.
QPixmap FormatIcon(TMelodyFormat format) {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(FormatColor(format));
  painter.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(4, 9, 5, 4));
  painter.fillRect(QRectF(8, 3, 1.5, 8), Qt::white);
  painter.fillRect(QRectF(8, 3, 4, 1.5), Qt::white);
  return pixmap;
}

QPixmap DownloadIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x80, 0x30));
  painter.drawRect(QRectF(6, 1, 4, 7));
  painter.drawPolygon(QPolygonF({{2, 7}, {14, 7}, {8, 13}}));
  painter.fillRect(QRectF(2, 14, 12, 1.5), QColor(0x40, 0x40, 0x40));
  return pixmap;
}

QPixmap PlayIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x60, 0xD0));
  painter.drawPolygon(QPolygonF({{4, 2}, {14, 8}, {4, 14}}));
  return pixmap;
}

QPixmap LinkIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.6));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(1.5, 5.5, 8, 5), 2.5, 2.5);
  painter.drawRoundedRect(QRectF(6.5, 5.5, 8, 5), 2.5, 2.5);
  return pixmap;
}

QPixmap StopIcon(bool enabled) {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.fillRect(QRect(3, 3, 10, 10),
                   enabled ? QColor(0x30, 0x30, 0x30) : QColor(0xA0, 0xA0, 0xA0));
  return pixmap;
}

QPixmap MenuIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  for (int y : {3, 7, 11}) painter.fillRect(QRect(2, y, 12, 2), QColor(0x40, 0x40, 0x40));
  return pixmap;
}

QPixmap MagnifierIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
  painter.drawEllipse(QRectF(2, 2, 8, 8));
  painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2.5, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(10, 10), QPointF(14, 14));
  return pixmap;
}

QPixmap GearIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
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
  return pixmap;
}

QPixmap LetterIcon(QChar letter, QColor colour) {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(1, 1, 14, 14));
  QFont font("Tahoma");
  font.setPixelSize(11);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(letter));
  return pixmap;
}

QPixmap EnvelopeIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x40, 0x50, 0x80), 1.2));
  painter.setBrush(QColor(0xF4, 0xF4, 0xFF));
  painter.drawRect(QRectF(1.5, 3.5, 13, 9));
  painter.drawPolyline(QPolygonF({{1.5, 3.5}, {8, 9}, {14.5, 3.5}}));
  return pixmap;
}

QPixmap FunnelIcon() {
  QPixmap pixmap = Canvas();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x50, 0x50, 0x60));
  painter.drawPolygon(QPolygonF({{1, 2}, {15, 2}, {10, 8}, {10, 14}, {6, 12}, {6, 8}}));
  return pixmap;
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

const QImage& FormatButtonImage(TMelodyFormat format) {
  static const std::array<QImage, FormatCount> buttons = {
      DrawFormatButton(fmWav), DrawFormatButton(fmMidi), DrawFormatButton(fmMmf),
      DrawFormatButton(fmMp3)};
  return buttons[format];
}

QIcon FormatMenuIcon(int image) {
  switch (image) {
    case fiDownload:
      return QIcon(DownloadIcon());
    case fiPlay:
      return QIcon(PlayIcon());
    case fiShowLink:
      return QIcon(LinkIcon());
    default:
      return QIcon(FormatIcon(static_cast<TMelodyFormat>((image - fiFirstFormat) & 3)));
  }
}

QIcon MenuButtonGlyph() {
  return QIcon(MenuIcon());
}
QIcon SearchButtonGlyph() {
  return QIcon(MagnifierIcon());
}

QIcon StopButtonGlyph() {
  QIcon icon(StopIcon(true));
  icon.addPixmap(StopIcon(false), QIcon::Disabled);
  return icon;
}

QIcon MainMenuIcon(TMainMenuIcon icon) {
  switch (icon) {
    case TMainMenuIcon::Filter:
      return QIcon(FunnelIcon());
    case TMainMenuIcon::Settings:
      return QIcon(GearIcon());
    case TMainMenuIcon::Help:
      return QIcon(LetterIcon('?', QColor(0x33, 0x66, 0xCC)));
    case TMainMenuIcon::Notes:
      return QIcon(LetterIcon('i', QColor(0x2E, 0x8B, 0x57)));
    case TMainMenuIcon::Feedback:
      return QIcon(EnvelopeIcon());
    case TMainMenuIcon::About:
      return QIcon(ProgramPicture(16));
  }
  return {};
}

}  // namespace cq
