#pragma once

#include <string>
#include <string_view>

namespace cq {

// The narrow windows-1251 <-> UTF-8 conversion the WAP club needs: only the letters А to я and
// ё (byte 184) are converted; every other byte passes unchanged, so the capital Ё and the other
// bytes 128-191 are not converted.
std::string XlatEncode(std::string_view cp1251);
std::string XlatDecode(std::string_view utf8);

}  // namespace cq
