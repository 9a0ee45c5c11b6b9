#include "Server.h"

#include <thread>

namespace cq::samples {

namespace {
constexpr std::size_t kWorkers = 16;
}  // namespace

void SplitTarget(const std::string& target, const std::string& hostHeader, std::string& host,
                 std::string& pathAndQuery) {
  const std::string scheme = "http://";
  if (target.compare(0, scheme.size(), scheme) != 0) {
    host = hostHeader;
    pathAndQuery = target;
    return;
  }
  const std::size_t slash = target.find_first_of("/?", scheme.size());
  host = target.substr(scheme.size(),
                       slash == std::string::npos ? std::string::npos : slash - scheme.size());
  if (slash == std::string::npos) {
    pathAndQuery = "/";
  } else {
    // "http://host?q" asks for the root with a query.
    pathAndQuery = (target[slash] == '?' ? "/" : "") + target.substr(slash);
  }
}

TServer::TServer(TSampleSites& sites, std::chrono::milliseconds latency)
    : sites_(sites), latency_(latency) {
  server_.set_keep_alive_max_count(1000);
  // Clients pool their connections; an idle one is closed soon, or stopping would wait for it.
  server_.set_keep_alive_timeout(1);
  // Headers and body leave in separate writes; on a kept-alive connection Nagle would hold the
  // second back for the client's delayed acknowledgement.
  server_.set_tcp_nodelay(true);
  // Enough workers that the program's five jobs, a browser and a benchmark never queue behind a
  // connection kept alive or a request held back by --latency.
  server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
  server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    Answer(request, response);
  });
}

int TServer::Bind(int port) {
  port_ = port == 0 ? server_.bind_to_any_port("127.0.0.1")
                    : (server_.bind_to_port("127.0.0.1", port) ? port : -1);
  return port_;
}

void TServer::Listen() {
  server_.listen_after_bind();
}

void TServer::Stop() {
  server_.stop();
}

void TServer::Answer(const httplib::Request& request, httplib::Response& response) {
  if (latency_.count() > 0) std::this_thread::sleep_for(latency_);
  std::string host;
  std::string target;
  SplitTarget(request.target, request.get_header_value("Host"), host, target);
  const TReply reply = sites_.Handle(host, target);
  response.status = reply.Status;
  response.set_content(reply.Body, reply.ContentType.c_str());
}

}  // namespace cq::samples
