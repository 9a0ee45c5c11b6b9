#pragma once

#include <vector>

#include "Catalogue.h"
#include "Markup.h"

namespace cq::samples {

// The upload area's items on the library's search page: one open list item per upload, some
// uploads listed twice (they were uploaded again), as the site does.
void AddUploadItems(TPageText& page, const std::vector<const TTune*>& uploads);

}  // namespace cq::samples
