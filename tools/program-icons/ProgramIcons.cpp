// Renders the program's picture as the desktop icon set: hicolor PNGs at the usual sizes and a
// scalable SVG, all from the one drawing the program shows in its windows. Painted into images,
// not pixmaps, so no screen is needed: at build time there may be none.
// Usage: chimequest-icons OUTPUT_FOLDER SIZE...   (writes OUTPUT_FOLDER/hicolor/...)
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>
#include <cstdlib>

#include "gui/common/ProgramPicture.h"

namespace {

// The scalable icon's canvas; the drawing is designed on 48 units.
constexpr int kSvgSize = 48;

bool MakeFolder(const QString& path) {
  if (QDir().mkpath(path)) return true;
  std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
  return false;
}

bool WritePng(const QString& hicolor, int size) {
  const QString folder = QString("%1/%2x%2/apps").arg(hicolor).arg(size);
  if (!MakeFolder(folder)) return false;
  const QString file = folder + "/chimequest.png";
  QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  cq::PaintProgramPicture(painter, size);
  painter.end();
  if (picture.save(file, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  return false;
}

bool WriteSvg(const QString& hicolor) {
  const QString folder = hicolor + "/scalable/apps";
  if (!MakeFolder(folder)) return false;
  const QString file = folder + "/chimequest.svg";
  QSvgGenerator svg;
  svg.setFileName(file);
  svg.setSize(QSize(kSvgSize, kSvgSize));
  svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
  svg.setTitle("Chimequest");
  QPainter painter;
  if (!painter.begin(&svg)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
  }
  cq::PaintProgramPicture(painter, kSvgSize);
  return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER SIZE...\n", argv[0]);
    return 2;
  }
  const QString hicolor = QFile::decodeName(argv[1]) + "/hicolor";
  bool ok = true;
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0) {
      std::fprintf(stderr, "not a size: %s\n", argv[i]);
      return 2;
    }
    ok = WritePng(hicolor, size) && ok;
  }
  ok = WriteSvg(hicolor) && ok;
  return ok ? 0 : 1;
}
