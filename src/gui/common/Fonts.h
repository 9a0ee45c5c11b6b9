#pragma once

class QWidget;

namespace cq {

// Tahoma and Arial, the program's design fonts, resolve to metric-compatible free families.
void InstallFontSubstitutes();

// The dialogs' design font: Tahoma, 11 pixels (8 points at 96 dpi).
void UseFormFont(QWidget& form);

}  // namespace cq
