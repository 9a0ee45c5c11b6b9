#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace cq {

// Core text is windows-1251; Qt's is UTF-16. These are the only crossings between the two.
QString FromCp1251(std::string_view text);
// Characters windows-1251 cannot hold become '?'.
std::string ToCp1251(const QString& text);

}  // namespace cq
