#include <gtest/gtest.h>

#include "core/transfer/Inet.h"
#include "support/HttpServer.h"

namespace cq {
namespace {

TEST(FetchURL, FetchesThroughTheProxyIntoTheCacheAndServesTheCacheNext) {
  test::HttpServer server;
  server.Serve("sites.example", "/page.html", "<html>hello</html>");
  server.BecomeProxy();
  const std::string url = "http://sites.example/page.html";
  const std::string name = FetchURL(url, true);
  EXPECT_EQ(name, CacheFileName(url));
  EXPECT_EQ(ReadFileText(name), "<html>hello</html>");
  EXPECT_EQ(FetchURL(url, true), name);
  EXPECT_EQ(server.Hits("sites.example", "/page.html"), 1);
}

}  // namespace
}  // namespace cq
