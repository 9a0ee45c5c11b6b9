#include "core/sites/Sites.h"

#include <stdexcept>

#include "core/platform/Text.h"
#include "core/transfer/Fetch.h"

namespace cq {

void TSite::FetchFile(TMelody& melody, TMelodyFormat format, int linkIndex,
                      const TFetchContext& fetch, std::string& fileName) const {
  const TMelodyLinkList& links = melody.Links[format];
  if (linkIndex < 0 || static_cast<std::size_t>(linkIndex) >= links.size()) {
    throw std::out_of_range("No such link");
  }
  fileName =
      FetchURL(links[static_cast<std::size_t>(linkIndex)].URL.str(), true, fetch, FileLimits);
}

bool CaptionNamesFormat(std::string_view caption, TMelodyFormat format) {
  return UpperLatin(caption).find(FormatNames[format]) != std::string::npos;
}

}  // namespace cq
