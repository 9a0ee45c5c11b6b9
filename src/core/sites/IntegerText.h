#pragma once

#include <cstdint>
#include <string_view>

namespace cq {

// Reads a whole text as a 32-bit integer the way the page rules expect: leading spaces, a sign,
// decimal digits, or hexadecimal after "$", "x", "X", "0x" or "0X". False when it does not read.
bool ReadInteger(std::string_view text, std::int32_t& value);

}  // namespace cq
