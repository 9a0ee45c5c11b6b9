#pragma once

#include <QString>

class QWidget;

namespace cq {

// The per-user settings store: organisation "ZEQ", application "Chimequest" (the registry key
// HKCU\Software\ZEQ\Chimequest on Windows, a configuration file elsewhere). One value per
// control, named after the control's object name.

// Whether the store exists at all: it comes into being with the first save, so its absence means
// the program has never finished a first start.
bool StoreExists();
// Where the store lives (the file, or the registry path on Windows).
QString StoreLocation();

// Writes the state of `control` and of every control inside it. Returns false when the store
// could not be written. With `strict`, a leaf control of a kind that stores nothing is an error.
bool SaveControlState(QWidget& control, bool strict);
// Restores every control inside `control` (and itself) that has a stored value. A value of the
// wrong type, or out of the control's range, is ignored: the control keeps what it shows.
void LoadControlState(QWidget& control, bool strict);

// A window's size and place on the screen, stored under its object name + ".Place". Restoring
// answers false when none is stored (or it does not read).
void SaveWindowPlace(const QWidget& window);
bool RestoreWindowPlace(QWidget& window);

}  // namespace cq
