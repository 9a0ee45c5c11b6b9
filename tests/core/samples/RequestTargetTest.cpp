#include <gtest/gtest.h>

#include "RequestTarget.h"

namespace cq::http {
namespace {

TEST(RequestTargetTest, SplitsHostFromPathAndQuery) {
  const struct {
    const char* target;
    const char* hostHeader;
    const char* host;
    const char* pathAndQuery;
  } cases[] = {
      {"http://a.example/x?q=1", "", "a.example", "/x?q=1"},
      {"http://a.example:80/x", "", "a.example", "/x"},  // as a proxy in between names it
      {"http://a.example:8080/x", "", "a.example:8080", "/x"},
      {"http://a.example?q=1", "", "a.example", "/?q=1"},
      {"http://a.example", "", "a.example", "/"},
      {"/x?q", "b.example:80", "b.example", "/x?q"},
  };
  for (const auto& c : cases) {
    const TRequestTarget split = SplitRequestTarget(c.target, c.hostHeader);
    EXPECT_EQ(split.Host, c.host) << c.target;
    EXPECT_EQ(split.PathAndQuery, c.pathAndQuery) << c.target;
  }
}

}  // namespace
}  // namespace cq::http
