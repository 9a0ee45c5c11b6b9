#pragma once

#include <QString>
#include <string_view>

namespace cq {

// The text of `key` in the current language, `english` when the file lacks it.
QString TranslatedText(std::string_view key, std::string_view english);

}  // namespace cq
