#pragma once

#include <string>
#include <string_view>

namespace cq::cli {

// A text from outside as one field of one printed line: control characters escaped (\t \n \r,
// the others as \xNN, C1 controls as \u00NN) and the backslash doubled, so that a title or an
// address can neither split or forge lines nor steer the terminal. UTF-8 in and out.
std::string Shown(std::string_view utf8);

}  // namespace cq::cli
