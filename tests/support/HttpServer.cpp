#include "support/HttpServer.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "RequestTarget.h"

namespace cq::test {

HttpServer::HttpServer() {
  // One request per connection: a client's pooled connections would otherwise hold the workers
  // and keep stop() waiting; and a body without a length ends when the connection does.
  server_.set_keep_alive_max_count(1);
  auto dispatch = [this](const httplib::Request& request, httplib::Response& response) {
    Dispatch(request, response);
  };
  server_.Get(".*", dispatch);
  server_.Post(".*", dispatch);
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("test server cannot bind a loopback port");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // A stop() that comes before the listen loop runs is lost, and the destructor would hang.
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpServer::~HttpServer() {
  server_.stop();
  thread_.join();
}

void HttpServer::On(const std::string& host, const std::string& target, Handler handler) {
  std::lock_guard guard(lock_);
  routes_[host + target] = std::move(handler);
}

void HttpServer::Serve(const std::string& host, const std::string& target, std::string body,
                       std::string contentType) {
  On(host, target,
     [body = std::move(body), contentType = std::move(contentType)](
         const std::string&, const httplib::Request&, httplib::Response& response) {
       response.set_content(body, contentType.c_str());
     });
}

int HttpServer::Hits(const std::string& host, const std::string& target) const {
  std::lock_guard guard(lock_);
  const auto found = hits_.find(host + target);
  return found == hits_.end() ? 0 : found->second;
}

int HttpServer::TotalHits() const {
  std::lock_guard guard(lock_);
  return totalHits_;
}

void HttpServer::BecomeProxy() const {
  ::setenv("http_proxy", Address().c_str(), 1);
  ::setenv("HTTP_PROXY", Address().c_str(), 1);
  ::unsetenv("no_proxy");
  ::unsetenv("NO_PROXY");
}

void HttpServer::Dispatch(const httplib::Request& request, httplib::Response& response) {
  const http::TRequestTarget asked =
      http::SplitRequestTarget(request.target, request.get_header_value("Host"));
  const std::string& host = asked.Host;
  Handler handler;
  {
    std::lock_guard guard(lock_);
    const std::string key = host + asked.PathAndQuery;
    ++hits_[key];
    ++totalHits_;
    std::size_t best = 0;
    for (const auto& [prefix, candidate] : routes_) {
      if (key.compare(0, prefix.size(), prefix) == 0 && prefix.size() >= best) {
        best = prefix.size();
        handler = candidate;
      }
    }
  }
  if (!handler) {
    response.status = 404;
    response.set_content("not found", "text/plain");
    return;
  }
  handler(host, request, response);
}

}  // namespace cq::test
