#pragma once

#include <QPixmap>

namespace cq {

// The program's picture: a bell, drawn at the requested size.
QPixmap ProgramPicture(int size);

}  // namespace cq
