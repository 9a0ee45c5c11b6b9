#include "gui/common/Texts.h"

#include "core/config/Translation.h"
#include "gui/common/QtText.h"

namespace cq {

QString TranslatedText(std::string_view key, std::string_view english) {
  return FromCp1251(Translate(key, english));
}

}  // namespace cq
