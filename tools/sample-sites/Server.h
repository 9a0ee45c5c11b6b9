#pragma once

#include <httplib.h>

#include <chrono>
#include <string>

#include "SampleSites.h"

namespace cq::samples {

// Serves the sample sites on loopback. The program reaches it as its HTTP proxy, so requests
// arrive in absolute form ("http://host/path?query") and are told apart by host; a request in
// origin form falls back to its Host header.
class TServer {
 public:
  TServer(TSampleSites& sites, std::chrono::milliseconds latency);

  // Binds 127.0.0.1:`port` (0 picks a free port) and returns the port; -1 on failure.
  int Bind(int port);
  // Answers requests until Stop; call after Bind.
  void Listen();
  void Stop();
  bool Running() const { return server_.is_running(); }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  void Answer(const httplib::Request& request, httplib::Response& response);

  TSampleSites& sites_;
  std::chrono::milliseconds latency_;
  httplib::Server server_;
  int port_ = -1;
};

}  // namespace cq::samples
