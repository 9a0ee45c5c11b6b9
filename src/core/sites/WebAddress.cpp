#include "core/sites/WebAddress.h"

#include <algorithm>

#include "core/platform/Text.h"

namespace cq {

namespace {

// The length of "http://" or "https://" at the start, or 0.
std::size_t SchemeLength(std::string_view url) {
  const std::string lower = LowerLatin(url.substr(0, 8));
  if (lower.starts_with("http://")) return 7;
  if (lower.starts_with("https://")) return 8;
  return 0;
}

// "scheme:" before any slash, question mark or hash.
bool HasScheme(std::string_view href) {
  const std::size_t colon = href.find(':');
  return colon != std::string_view::npos && colon < href.find_first_of("/?#");
}

}  // namespace

bool IsWebAddress(std::string_view url) {
  const std::size_t scheme = SchemeLength(url);
  if (scheme == 0) return false;
  const bool clean = std::none_of(url.begin(), url.end(), [](char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == 0x7F;
  });
  const std::size_t hostEnd = url.find_first_of("/?#", scheme);
  const std::size_t hostLength =
      (hostEnd == std::string_view::npos ? url.size() : hostEnd) - scheme;
  return clean && hostLength > 0 && url[scheme] != '@' && url[scheme] != ':';
}

std::optional<std::string> ResolveAddress(std::string_view base, std::string_view href) {
  std::string url;
  const std::size_t scheme = SchemeLength(base);
  if (SchemeLength(href) != 0) {
    url = std::string(href);
  } else if (HasScheme(href) || scheme == 0) {
    return std::nullopt;
  } else if (href.starts_with("//")) {
    url = std::string(base.substr(0, scheme - 2)) + std::string(href);
  } else {
    const std::size_t hostEnd = std::min(base.find_first_of("/?#", scheme), base.size());
    if (href.starts_with('/')) {
      url = std::string(base.substr(0, hostEnd)) + std::string(href);
    } else {
      // Beside the page: its path up to the last slash, the query left out.
      const std::string_view path = base.substr(0, base.find_first_of("?#", hostEnd));
      const std::size_t slash = path.rfind('/');
      url = slash == std::string_view::npos || slash < hostEnd
                ? std::string(path) + "/" + std::string(href)
                : std::string(path.substr(0, slash + 1)) + std::string(href);
    }
  }
  if (!IsWebAddress(url)) return std::nullopt;
  return url;
}

}  // namespace cq
