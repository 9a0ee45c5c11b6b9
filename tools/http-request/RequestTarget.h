#pragma once

#include <string>

namespace cq::http {

struct TRequestTarget {
  std::string Host;          // as asked, "host" or "host:port"; the default port left out
  std::string PathAndQuery;  // never empty: "/" at least
};

// Splits a request's target: the absolute form a proxy receives ("http://host/path?query"), or
// the origin form ("/path?query") whose host comes from the Host header.
TRequestTarget SplitRequestTarget(const std::string& target, const std::string& hostHeader);

}  // namespace cq::http
