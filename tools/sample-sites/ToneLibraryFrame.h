#pragma once

#include <string>

#include "Markup.h"

namespace cq::samples {

// The tone library's page frame, shared by its upload area. Between the menu cell and the content
// cell the site leaves an empty spacer cell that the program removes.
void ToneLibraryTop(TPageText& page, const std::string& title);
void ToneLibraryBottom(TPageText& page);

}  // namespace cq::samples
