#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

namespace cq {

// The program's picture: a bell, drawn at the requested size.
QPixmap ProgramPicture(int size);
// Draws the picture into the square (0, 0, size, size) of any paint device (a pixmap, an SVG).
void PaintProgramPicture(QPainter& painter, int size);
// The picture at the sizes window managers and task bars ask for.
QIcon ProgramIcon();

}  // namespace cq
