#pragma once

#include <string>
#include <string_view>

namespace cq {

// Writes `data` to a new, uniquely named file in the user's temporary folder with the given
// extension (".mid", ".html" ...). Returns the file name, or empty when it could not be written.
std::string WriteTempFile(std::string_view data, std::string_view extension);

}  // namespace cq
