#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cq {

// True for an absolute http or https address with a host and without spaces or control bytes:
// the only addresses the fetcher opens.
bool IsWebAddress(std::string_view url);

// `href` as found on the page at `base`, made absolute (a path, a path from the root, or a
// protocol-relative address); nothing when the result is not a web address.
std::optional<std::string> ResolveAddress(std::string_view base, std::string_view href);

}  // namespace cq
