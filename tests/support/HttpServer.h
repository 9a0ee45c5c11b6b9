#pragma once

#include <httplib.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace cq::test {

// An HTTP server on loopback that plays any number of hosts. Code under test reaches it as its
// proxy (http_proxy), so it keeps its real addresses: requests arrive in absolute form and are
// dispatched by host and path (query included, exactly as sent).
class HttpServer {
 public:
  // `request.target` is the path with its query; `host` the host the client asked for.
  using Handler = std::function<void(const std::string& host, const httplib::Request& request,
                                     httplib::Response& response)>;

  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Serves `target` (path and query, e.g. "/a/b?x=1") on `host`; the longest registered prefix
  // that matches wins, so "/" is a catch-all for its host.
  void On(const std::string& host, const std::string& target, Handler handler);
  // A fixed body with status 200.
  void Serve(const std::string& host, const std::string& target, std::string body,
             std::string contentType = "text/html");

  int Port() const { return port_; }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // How many requests have arrived for host + target (exact target).
  int Hits(const std::string& host, const std::string& target) const;
  int TotalHits() const;

  // Points http_proxy (and HTTP_PROXY) at this server; call before any thread that fetches starts.
  void BecomeProxy() const;

 private:
  void Dispatch(const httplib::Request& request, httplib::Response& response);

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex lock_;
  std::map<std::string, Handler> routes_;  // host + target prefix
  std::map<std::string, int> hits_;
  int totalHits_ = 0;
};

}  // namespace cq::test
