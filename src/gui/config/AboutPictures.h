#pragma once

#include <QImage>

namespace cq {

// The About dialog's pictures, drawn rather than shipped so they scale and stay ours.

// The program's bell on a round badge.
QImage AboutIconPicture(int size);
// 60 × 70, black where the matrix drops should glow brighter (a bell with a note), white else.
QImage MatrixOverlayPicture();
// 70 × 70, the scene the fire lights up: a bell tower in greys.
QImage FireBackdropPicture();
// The flag of Ruritania: three bands with a golden bell.
QImage FlagPicture();

}  // namespace cq
