#include "Server.h"

#include <thread>

#include "RequestTarget.h"

namespace cq::samples {

namespace {
constexpr std::size_t kWorkers = 16;
}  // namespace

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
  const http::TRequestTarget asked =
      http::SplitRequestTarget(request.target, request.get_header_value("Host"));
  const TReply reply = sites_.Handle(asked.Host, asked.PathAndQuery);
  response.status = reply.Status;
  response.set_content(reply.Body, reply.ContentType.c_str());
}

}  // namespace cq::samples
