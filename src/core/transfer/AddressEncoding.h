#pragma once

#include <string>
#include <string_view>

namespace cq {

// A search term for a query string: A-Z a-z 0-9 - _ stay, space becomes '+', every other byte
// becomes %XX.
std::string EncodeQuery(std::string_view term);

// Addresses taken from pages may hold spaces or windows-1251 letters, which HTTP does not carry
// raw; they go on the wire percent-encoded. Everything else, '%' included, is sent as given.
std::string WireAddress(std::string_view url);

}  // namespace cq
