#pragma once

#include <QIcon>
#include <QImage>

class QPainter;

#include "core/sites/Sites.h"

namespace cq {

// The pictures of the main window, drawn in code: each format has one colour of its own.

inline constexpr int FormatButtonWidth = 32;
inline constexpr int FormatButtonHeight = 13;

// The colour that stands for a format on its button and in its menu icon.
QColor FormatColor(TMelodyFormat format);

// The button a ready row shows for a format: 32 x 13 at (x, y), the format's name on its colour.
void PaintFormatButton(QPainter& painter, int x, int y, TMelodyFormat format);

// The format menu's images: Download, Play, Show link, then one icon per format.
inline constexpr int fiDownload = 0;
inline constexpr int fiPlay = 1;
inline constexpr int fiShowLink = 2;
inline constexpr int fiFirstFormat = 3;  // + the format
QIcon FormatMenuIcon(int image);

// The glyphs of the three buttons and the icons of the main menu. Every icon is drawn anew at
// the size and scale it is shown at.
QIcon MenuButtonGlyph();
QIcon SearchButtonGlyph();
QIcon StopButtonGlyph();
enum class TMainMenuIcon { Filter, Settings, Help, Notes, Feedback, About };
QIcon MainMenuIcon(TMainMenuIcon icon);

}  // namespace cq
