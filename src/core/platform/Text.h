#pragma once

#include <string>
#include <string_view>

namespace cq {

// Case changes of the Latin letters a-z only; every other byte, Cyrillic included, stays.
std::string UpperLatin(std::string_view text);
std::string LowerLatin(std::string_view text);
bool EqualsIgnoringLatinCase(std::string_view a, std::string_view b);

// windows-1251 <-> UTF-8, for where text meets the screen, a terminal or a file name.
// Characters the target cannot hold become '?'.
std::string Cp1251ToUtf8(std::string_view text);
std::string Utf8ToCp1251(std::string_view text);

// Between any two encodings iconv knows by name; characters the target cannot hold become '?'.
// An unknown name throws std::runtime_error.
std::string ConvertText(std::string_view text, const std::string& to, const std::string& from);
bool EncodingKnown(const std::string& name);

}  // namespace cq
