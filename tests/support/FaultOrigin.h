#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "SampleSites.h"
#include "support/HttpServer.h"

namespace cq::test {

// How one host (or one path on it) misbehaves.
enum class TFault {
  StallBeforeHeaders,  // accepts the request and never answers
  StallMidPage,        // sends the headers and a part of the page, then nothing
  DropMidPage,         // announces the page's length, sends half of it and hangs up
  DropChunked,         // a chunked page whose connection closes before its last chunk
  ServerError,         // 500 with an error page
  Garbage,             // 4 MB of random bytes with status 200, as if it were the page
  Oversize,            // the same garbage, 50 MB of it: more than any page may be
  EmptyAnswer,         // status 200 and no body at all
  RedirectLoop,        // a redirect to itself, for ever
  RedirectToLoopback,  // a redirect to the same path on 127.0.0.1, where the site answers too
  Trickle,             // a large file, a few bytes at a time, until released or hung up on
};

// The seven sample sites behind one loopback server, reached as the upstream of a proxy; any host
// or path can be made to misbehave and healed again. It remembers the body of every whole page it
// served, so a test can tell a cached page from a corrupt one.
class FaultOrigin {
 public:
  explicit FaultOrigin(const std::string& dataFolder);
  ~FaultOrigin();

  int Port() const { return server_.Port(); }
  // For http_proxy, when no proxy stands in between.
  std::string Address() const { return server_.Address(); }
  // Requests to `host` (no scheme) whose path and query begin with `prefix` meet `fault`.
  void Break(const std::string& host, const std::string& prefix, TFault fault);
  // Every host answers as the sample sites do again; stalled answers are let go.
  void Heal();
  // Lets stalled answers go (they hang up); before the server ends.
  void Release();

  // The body served for an address as a whole page, or null when none was.
  std::shared_ptr<const std::string> Served(const std::string& url) const;
  const std::map<std::string, std::shared_ptr<const std::string>>& AllServed() const {
    return served_;
  }

  // Trickling answers now sending, and every address that met one.
  int ActiveTrickles() const { return activeTrickles_.load(); }
  std::vector<std::string> TrickledUrls() const;

  static constexpr std::size_t GarbageSize = 4u << 20;
  static constexpr std::size_t OversizeSize = 50u << 20;

 private:
  void Answer(const std::string& host, const httplib::Request& request,
              httplib::Response& response);
  void Misbehave(TFault fault, const std::string& host, const httplib::Request& request,
                 httplib::Response& response);
  void Record(const std::string& url, std::shared_ptr<const std::string> body);
  // Waits until released; false if that takes unreasonably long.
  bool WaitForRelease();
  static std::string Url(const std::string& host, const httplib::Request& request);

  samples::TSampleSites sites_;
  std::shared_ptr<const std::string> garbage_;
  mutable std::mutex lock_;
  std::condition_variable released_;
  bool release_ = false;
  std::map<std::string, std::shared_ptr<const std::string>> served_;
  std::map<std::string, bool> broken_;  // host + prefix
  std::vector<std::string> trickled_;
  std::atomic<int> activeTrickles_{0};
  HttpServer server_;  // last: its handlers use everything above
};

// The hosts of the seven sites, without the scheme.
const std::vector<std::string>& SampleHosts();

}  // namespace cq::test
