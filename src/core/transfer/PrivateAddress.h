#pragma once

#include <string>
#include <string_view>

namespace cq {

// Whether `host` names this machine or a private network: "localhost" and the names under it, and
// loopback, link-local, private and unspecified IPv4 and IPv6 addresses. `host` is as the URL
// parser gives it: IPv4 in four decimal parts, IPv6 in brackets.
bool IsPrivateHost(std::string_view host);

// Whether the program must not go to `url` (resolved against `base` when it is relative): its
// host is private, or it cannot be read as an address at all. Pages and their servers may name
// any address; those on the user's own machine or network they must not make it reach.
bool IsRefusedAddress(const std::string& url, const std::string& base = {});

}  // namespace cq
