#pragma once

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "SampleSites.h"
#include "Server.h"

namespace cq::samples {

// The sample sites on a free loopback port, served from a thread of this process and made the
// HTTP proxy of every later fetch, as the program reaches the server.
class TInProcessServer {
 public:
  explicit TInProcessServer(std::chrono::milliseconds latency = std::chrono::milliseconds(0),
                            const std::string& dataFolder = DefaultDataFolder(),
                            const std::string& version = "1.0.0.0")
      : sites_(TCatalogue::Load(dataFolder + "/catalogue.tsv"), TMedia::Load(dataFolder + "/media"),
               {0.0, version}),
        server_(sites_, latency) {
    if (server_.Bind(0) < 0) return;
    thread_ = std::thread([this] { server_.Listen(); });
    ::setenv("http_proxy", server_.Address().c_str(), 1);
    ::unsetenv("no_proxy");
    bound_ = true;
  }
  ~TInProcessServer() {
    if (!bound_) return;
    // A Stop that comes before Listen runs would find nothing to stop.
    while (!server_.Running()) std::this_thread::yield();
    server_.Stop();
    thread_.join();
  }
  TInProcessServer(const TInProcessServer&) = delete;
  TInProcessServer& operator=(const TInProcessServer&) = delete;

  bool Bound() const { return bound_; }
  std::string Address() const { return server_.Address(); }

 private:
  TSampleSites sites_;
  TServer server_;
  std::thread thread_;
  bool bound_ = false;
};

}  // namespace cq::samples
