#pragma once

#include <QString>

namespace cq {

// The About dialog with its fire burning high, and the feedback dialog filled in and at its
// smallest, as PNG files in `folder`; false when one could not be written.
bool ShootAboutAndFeedback(const QString& folder, const char* language);

}  // namespace cq
