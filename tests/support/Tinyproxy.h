#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace cq::test {

// Debian's tinyproxy, run by the test on a free loopback port with a generated configuration: a
// real proxy between the code under test and the test's own server, which it reaches as its
// upstream proxy (so every host still lands there). Hosts in `denied` get tinyproxy's own
// refusal (403 "Filtered").
class Tinyproxy {
 public:
  // The program, or empty when it is not installed.
  static std::string Program();

  Tinyproxy(int upstreamPort, const std::vector<std::string>& denied = {});
  ~Tinyproxy();
  Tinyproxy(const Tinyproxy&) = delete;
  Tinyproxy& operator=(const Tinyproxy&) = delete;

  bool Running() const { return pid_ > 0; }
  // Why it did not start (with its log).
  const std::string& Failure() const { return failure_; }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // Points http_proxy (and HTTP_PROXY) at it; call while no thread fetches.
  void BecomeProxy() const;

 private:
  bool Start(int upstreamPort, const std::vector<std::string>& denied);
  void Stop();

  std::string folder_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::string failure_;
};

// A loopback port that refuses every connection: bound, never listening, held until the end.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace cq::test
