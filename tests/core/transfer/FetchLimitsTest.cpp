// The time limits of a fetch: connecting, stalls, trickles, and stop requests meanwhile.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>

#include "core/Errors.h"
#include "transfer/FetchTestSupport.h"

namespace cq::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST_F(FetchTest, ConnectingHasALimitOfItsOwn) {
  // A SOCKS proxy that takes the connection and never answers the greeting (the test server
  // waits for a request line, and hangs up after a few seconds): only the connect limit ends it.
  ::setenv("http_proxy", ("socks5://127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(FetchURL("http://silent.example/page.html", true, {{}, {300ms, 30s}}),
               std::runtime_error);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

// Sends the first 400 of 1000 bytes, then nothing until the test ends.
HttpServer::Handler Stalling(Gate& gate) {
  return [&gate](const std::string&, const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(1000, "audio/midi",
                                  [&gate](std::size_t, std::size_t, httplib::DataSink& sink) {
                                    const std::string piece = Body(400);
                                    sink.write(piece.data(), piece.size());
                                    gate.Wait();
                                    return false;
                                  });
  };
}

TEST_F(FetchTest, AStalledTransferFailsAfterTheStallLimit) {
  server.On("stall.example", "/s.mid", Stalling(gate));
  const std::string url = "http://stall.example/s.mid";

  const auto start = std::chrono::steady_clock::now();
  try {
    FetchURL(url, true, {{}, {30s, 300ms}});
    ADD_FAILURE() << "a stalled transfer taken for whole";
  } catch (const std::runtime_error& error) {
    EXPECT_THAT(error.what(), HasSubstr("Cannot open URL"));
  }
  // Far below the default limit of 60 s: the shortened limit is the one that applied.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
  EXPECT_THAT(FilesBeside(url), ElementsAre());
}

// Two fetches at once, each under its own caller's limits: a trickle of a byte each 300 ms is no
// stall to one allowed a second without a byte, and too slow for one that asks 1000 bytes a second.
TEST_F(FetchTest, FetchesAtOnceKeepToLimitsOfTheirOwn) {
  server.On("trickle.example", "/",
            [](const std::string&, const httplib::Request&, httplib::Response& response) {
              response.set_chunked_content_provider("text/plain",
                                                    [](std::size_t, httplib::DataSink& sink) {
                                                      for (char c : std::string("drip")) {
                                                        std::this_thread::sleep_for(300ms);
                                                        sink.write(&c, 1);
                                                      }
                                                      sink.done();
                                                      return true;
                                                    });
            });
  auto patient = std::async(std::launch::async, [] {
    return ReadFileText(FetchURL("http://trickle.example/patient.txt", true, {{}, {30s, 1000ms}}));
  });
  EXPECT_THROW(FetchURL("http://trickle.example/hasty.txt", true, {{}, {30s, 60s, 1000, 400ms}}),
               std::runtime_error);
  EXPECT_EQ(patient.get(), "drip");
}

// A proxy that answers one request with `fast` at once, then `slow` `piece` bytes at a time with
// `pace` between: unlike an HTTP library, it can trickle the headers too.
class Dribbler {
 public:
  Dribbler(std::string fast, std::string slow, std::size_t piece, std::chrono::milliseconds pace)
      : listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* any = reinterpret_cast<sockaddr*>(&address);
    if (::bind(listener_, any, length) != 0 || ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, any, &length) != 0)
      throw std::runtime_error("no loopback port");
    ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port))).c_str(),
             1);
    thread_ = std::thread([=, this] {
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      char request[4096];
      bool sent = ::recv(client, request, sizeof request, 0) > 0 &&
                  ::send(client, fast.data(), fast.size(), MSG_NOSIGNAL) >= 0;
      for (std::size_t at = 0; sent && !stop_ && at < slow.size(); at += piece) {
        std::this_thread::sleep_for(pace);
        sent =
            ::send(client, slow.data() + at, std::min(piece, slow.size() - at), MSG_NOSIGNAL) > 0;
      }
      ::close(client);
    });
  }
  ~Dribbler() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }

 private:
  int listener_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(FetchTest, ATrickleFailsBelowTheSpeedFloorOrAfterTheTotalLimit) {
  auto head = [](int length) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
  };
  struct Case {
    const char* name;
    std::string fast, slow;
    std::size_t piece;
    std::chrono::milliseconds pace, total;
  };
  // Each would arrive whole after a second or two.
  const Case cases[] = {
      {"headers at 20 bytes/s", "", head(2) + "ok", 1, 50ms, 60s},
      {"body at 200 bytes/s", head(400), Body(400), 10, 50ms, 60s},
      {"body at 4000 bytes/s, past the total", head(4000), Body(4000), 40, 10ms, 300ms},
  };
  const TFetchContext floor{{}, {30s, 60s, 1000, 400ms}};
  for (const Case& test : cases) {
    const Dribbler dribbler(test.fast, test.slow, test.piece, test.pace);
    const std::string url = "http://slow.example/tone.mid";
    EXPECT_THROW(FetchURL(url, false, floor, {PageLimits.MaxBytes, test.total}), std::runtime_error)
        << test.name;
    EXPECT_THAT(FilesBeside(url), ElementsAre()) << test.name;
  }
}

TEST_F(FetchTest, AStopRequestIsHonouredDuringAStall) {
  server.On("stall2.example", "/s.mid", Stalling(gate));
  const std::string url = "http://stall2.example/s.mid";
  std::atomic<bool> stop{false};
  int downloading = 0;
  std::thread stopper;
  auto callback = [&](TJobStatus status, double) {
    // Ask to stop from another thread once data has flowed, as a job's owner would.
    if (status == jsDownloading && ++downloading == 1) {
      stopper = std::thread([&] {
        std::this_thread::sleep_for(200ms);
        stop = true;
      });
    }
    return stop.load();
  };

  EXPECT_THROW(FetchURL(url, true, {callback}), EAbort);
  stopper.join();
  EXPECT_THAT(FilesBeside(url), ElementsAre());
}

}  // namespace
}  // namespace cq::test
