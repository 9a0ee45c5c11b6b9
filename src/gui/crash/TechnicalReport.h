#pragma once

#include <QString>

namespace cq {

// What the makers need to know about the program and the computer, one "Name: value" per line
// (CR LF): program version, Qt at run and build time, the system, the processor, the language
// and locale, the screen, the time.
QString TechnicalReport();

}  // namespace cq
