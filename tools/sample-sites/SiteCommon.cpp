#include <charconv>

#include "SiteContext.h"

namespace cq::samples {

TReply TuneFile(const TSiteContext& context, TSiteId site, int id, TFileKind kind) {
  const TTune* tune = context.Catalogue.Find(id);
  if (tune == nullptr || !tune->On(site) || !tune->Has(kind)) return NotFound();
  return {200, TMedia::ContentType(kind), context.Media.File(id, kind)};
}

int NumberIn(const std::string& path, const std::string& prefix, const std::string& suffix) {
  if (path.size() <= prefix.size() + suffix.size() || path.compare(0, prefix.size(), prefix) != 0 ||
      path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return 0;
  }
  const char* first = path.data() + prefix.size();
  const char* last = path.data() + path.size() - suffix.size();
  int number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  return error == std::errc() && end == last && number > 0 ? number : 0;
}

}  // namespace cq::samples
