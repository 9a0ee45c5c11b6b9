#include "RequestTarget.h"

namespace cq::http {

namespace {

// A proxy in between may name the default port; the host is the same.
std::string WithoutDefaultPort(std::string host) {
  const std::string defaultPort = ":80";
  if (host.size() > defaultPort.size() &&
      host.compare(host.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
    host.resize(host.size() - defaultPort.size());
  return host;
}

}  // namespace

TRequestTarget SplitRequestTarget(const std::string& target, const std::string& hostHeader) {
  const std::string scheme = "http://";
  if (target.compare(0, scheme.size(), scheme) != 0)
    return {WithoutDefaultPort(hostHeader), target.empty() ? "/" : target};
  const std::size_t end = target.find_first_of("/?", scheme.size());
  TRequestTarget split{WithoutDefaultPort(target.substr(scheme.size(), end - scheme.size())), "/"};
  // "http://host?q" asks for the root with a query.
  if (end != std::string::npos)
    split.PathAndQuery = (target[end] == '?' ? "/" : "") + target.substr(end);
  return split;
}

}  // namespace cq::http
