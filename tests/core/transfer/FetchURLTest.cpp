#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <latch>
#include <stdexcept>
#include <thread>

#include "core/Errors.h"
#include "transfer/FetchTestSupport.h"

namespace cq::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// Sends `sent` bytes of a `announced`-byte body, then drops the connection.
HttpServer::Handler Broken(std::size_t announced, std::size_t sent) {
  return [=](const std::string&, const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(announced, "audio/midi",
                                  [sent](std::size_t, std::size_t, httplib::DataSink& sink) {
                                    const std::string piece = Body(sent);
                                    sink.write(piece.data(), piece.size());
                                    return false;
                                  });
  };
}

// ---------------------------------------------------------------- success and the cache

TEST_F(FetchTest, StoresTheBodyByteForByteUnderTheCacheName) {
  const std::string body = Body(70000) + std::string("\0\r\n\xFF", 4);
  server.Serve("files.example", "/m/tune.mid", body, "audio/midi");
  const std::string url = "http://files.example/m/tune.mid";

  const std::string name = FetchURL(url, true);

  EXPECT_EQ(name, CacheFileName(url));
  EXPECT_EQ(ReadFileText(name), body);
  EXPECT_THAT(FilesBeside(url), ElementsAre("tune.mid"));
}

TEST_F(FetchTest, SpacesAndLettersInAnAddressGoOutPercentEncoded) {
  server.Serve("spaced.example", "/my%20tune%E0.mid", "tune", "audio/midi");
  EXPECT_EQ(ReadFileText(FetchURL("http://spaced.example/my tune\xE0.mid", true)), "tune");
}

TEST_F(FetchTest, CacheHitTouchesNoNetworkAndReportsProcessingOnce) {
  const std::string url = "http://hit.example/page.html";
  std::string name;
  {
    HttpServer origin;
    origin.Serve("hit.example", "/page.html", "cached");
    origin.BecomeProxy();
    name = FetchURL(url, true);
  }  // The server is gone: only the cache can answer now.
  Recorder recorder;

  EXPECT_EQ(FetchURL(url, true, recorder.Callback()), name);

  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].status, jsProcessing);
  EXPECT_EQ(recorder.reports[0].progress, 0.0);
  EXPECT_EQ(ReadFileText(name), "cached");
}

TEST_F(FetchTest, WithoutTheCacheDownloadsAgainAndReplacesTheCopy) {
  const std::string url = "http://fresh.example/version.txt";
  server.Serve("fresh.example", "/version.txt", "1.0");
  FetchURL(url, true);
  server.Serve("fresh.example", "/version.txt", "2.0");

  EXPECT_EQ(ReadFileText(FetchURL(url, true)), "1.0");
  EXPECT_EQ(ReadFileText(FetchURL(url, false)), "2.0");
  EXPECT_EQ(ReadFileText(FetchURL(url, true)), "2.0");
  EXPECT_EQ(server.Hits("fresh.example", "/version.txt"), 2);
  EXPECT_THAT(FilesBeside(url), ElementsAre("version.txt"));
}

// ---------------------------------------------------------------- progress and stop requests

struct StopCase {
  const char* name;
  std::function<bool(const Report&)> stopWhen;
  bool reachesServer;
};

TEST_F(FetchTest, AStopRequestAbortsSilentlyAndKeepsTheOlderCopy) {
  const std::vector<StopCase> cases = {
      {"while connecting", [](const Report& r) { return r.status == jsConnecting; }, false},
      {"at the first piece", [](const Report& r) { return r.status == jsDownloading; }, true},
      {"half way", [](const Report& r) { return r.status == jsDownloading && r.progress >= 0.5; },
       true},
  };
  const std::string url = "http://stop.example/song.mp3";
  server.Serve("stop.example", "/song.mp3", "older copy");
  FetchURL(url, true);
  server.Serve("stop.example", "/song.mp3", Body(20000));

  for (const StopCase& test : cases) {
    const int hitsBefore = server.Hits("stop.example", "/song.mp3");
    Recorder recorder;
    bool stopped = false;
    recorder.stopWhen = [&](const Report& report) {
      // After the stop request only the closing "processing" may still be reported.
      if (stopped) {
        EXPECT_EQ(report.status, jsProcessing) << test.name;
        return true;
      }
      stopped = test.stopWhen(report);
      return stopped;
    };

    EXPECT_THROW(FetchURL(url, false, recorder.Callback()), EAbort) << test.name;

    EXPECT_EQ(ReadFileText(CacheFileName(url)), "older copy") << test.name;
    EXPECT_THAT(FilesBeside(url), ElementsAre("song.mp3")) << test.name;
    EXPECT_EQ(server.Hits("stop.example", "/song.mp3") > hitsBefore, test.reachesServer)
        << test.name;
  }
}

TEST_F(FetchTest, AnExceptionFromTheCallbackLeavesNothingBehind) {
  server.Serve("throw.example", "/x.mid", Body(5000));
  const std::string url = "http://throw.example/x.mid";
  auto callback = [](TJobStatus status, double) -> bool {
    if (status == jsDownloading) throw std::logic_error("job gone");
    return false;
  };
  EXPECT_THROW(FetchURL(url, true, callback), std::logic_error);
  EXPECT_THAT(FilesBeside(url), ElementsAre());
}

// ---------------------------------------------------------------- failures

TEST_F(FetchTest, ErrorStatusesFailAndCacheNothing) {
  for (int status : {404, 407, 500}) {
    const std::string path = "/e" + std::to_string(status) + ".html";
    const std::string url = "http://status.example" + path;
    server.Serve("status.example", path, "good copy");
    FetchURL(url, true);
    server.On("status.example", path,
              [status](const std::string&, const httplib::Request&, httplib::Response& response) {
                response.status = status;
                response.set_content("<html>server error page</html>", "text/html");
              });

    try {
      FetchURL(url, false);
      ADD_FAILURE() << status << " taken for a page";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot open URL " + url);
    }
    EXPECT_EQ(ReadFileText(CacheFileName(url)), "good copy") << status;
    EXPECT_THAT(FilesBeside(url), ElementsAre(std::filesystem::path(path).filename()));
  }
}

TEST_F(FetchTest, EmptyOrBodilessAnswersFailAndAreNeverCached) {
  auto answer = [](int status, const char* location) -> HttpServer::Handler {
    return [=](const std::string&, const httplib::Request&, httplib::Response& response) {
      response.status = status;
      if (location != nullptr) response.set_header("Location", location);
      if (status != 204) response.set_content(status == 200 ? "" : "moved", "text/html");
    };
  };
  const std::vector<std::pair<std::string, HttpServer::Handler>> cases = {
      {"/empty.html", answer(200, nullptr)},
      {"/no-content.html", answer(204, nullptr)},
      {"/moved.html", answer(301, nullptr)},
      {"/to-empty.html", answer(302, "/empty.html")},
  };
  for (const auto& [path, handler] : cases) server.On("bodiless.example", path, handler);
  for (const auto& [path, handler] : cases) {
    const std::string url = "http://bodiless.example" + path;
    EXPECT_THROW(FetchURL(url, true), std::runtime_error) << path;
    EXPECT_THAT(FilesBeside(url), ElementsAre()) << path;
  }
}

TEST_F(FetchTest, BodiesBeyondTheLimitFailAndLeaveNothing) {
  constexpr TFetchLimits kLimits{1000, PageLimits.Total};
  struct Case {
    const char* path;
    std::size_t size;
    bool announced;
  };
  const Case cases[] = {
      {"/exact.mid", 1000, true}, {"/over.mid", 1001, true}, {"/unannounced.mid", 5000, false}};
  for (const Case& test : cases) {
    const std::string body = Body(test.size);
    server.On("big.example", test.path,
              [body, announced = test.announced](const std::string&, const httplib::Request&,
                                                 httplib::Response& response) {
                if (announced) return response.set_content(body, "audio/midi");
                response.set_chunked_content_provider(
                    "audio/midi", [body](std::size_t offset, httplib::DataSink& sink) {
                      if (offset == 0) return sink.write(body.data(), body.size());
                      sink.done();
                      return true;
                    });
              });
    const std::string url = std::string("http://big.example") + test.path;
    if (test.size <= kLimits.MaxBytes) {
      EXPECT_EQ(ReadFileText(FetchURL(url, true, {}, kLimits)), body);
      continue;
    }
    EXPECT_THROW(FetchURL(url, true, {}, kLimits), std::runtime_error) << test.path;
    EXPECT_THAT(FilesBeside(url), ElementsAre()) << test.path;
  }
}

TEST_F(FetchTest, BrokenTransfersFailDeleteTheirPartAndKeepTheOlderCopy) {
  struct Case {
    const char* path;
    HttpServer::Handler handler;
  };
  const std::vector<Case> cases = {
      {"/cut.mid", Broken(1000, 400)},
      {"/one-short.mid", Broken(1000, 999)},
      {"/chunked-cut.mid",
       [](const std::string&, const httplib::Request&, httplib::Response& response) {
         response.set_chunked_content_provider("audio/midi",
                                               [](std::size_t, httplib::DataSink& sink) {
                                                 sink.write("part of it", 10);
                                                 return false;
                                               });
       }},
  };
  for (const Case& test : cases) {
    const std::string url = std::string("http://broken.example") + test.path;
    server.Serve("broken.example", test.path, "whole older copy");
    FetchURL(url, true);
    server.On("broken.example", test.path, test.handler);

    EXPECT_THROW(FetchURL(url, false), std::runtime_error) << test.path;

    EXPECT_EQ(ReadFileText(CacheFileName(url)), "whole older copy") << test.path;
    EXPECT_THAT(FilesBeside(url), ElementsAre(std::filesystem::path(test.path).filename()));
  }
}

TEST_F(FetchTest, AnUnreachableServerFailsAndLeavesNoFolder) {
  // The proxy's port is closed: the connection is refused.
  ::setenv("http_proxy", "http://127.0.0.1:1", 1);
  const std::string url = "http://down.example/page.html";
  EXPECT_THROW(FetchURL(url, true), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(CacheFileName(url)).parent_path()));
}

TEST_F(FetchTest, ConnectingHasALimitOfItsOwn) {
  // A SOCKS proxy that takes the connection and never answers the greeting (the test server
  // waits for a request line, and hangs up after a few seconds): only the connect limit ends it.
  SetFetchTimeouts({300ms, 30s});
  ::setenv("http_proxy", ("socks5://127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(FetchURL("http://silent.example/page.html", true), std::runtime_error);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

// ---------------------------------------------------------------- redirects

TEST_F(FetchTest, FollowsRedirectsAndCachesUnderTheAskedAddress) {
  server.On("moved.example", "/old",
            [](const std::string&, const httplib::Request&, httplib::Response& response) {
              response.set_redirect("http://elsewhere.example/new.mid", 301);
              response.set_content("moved", "text/html");
            });
  server.Serve("elsewhere.example", "/new.mid", "the tune", "audio/midi");
  const std::string url = "http://moved.example/old";

  const std::string name = FetchURL(url, true);

  EXPECT_EQ(name, CacheFileName(url));
  EXPECT_EQ(ReadFileText(name), "the tune");
}

TEST_F(FetchTest, FollowsTenRedirectsButNotEleven) {
  // /hop/N redirects to /hop/N-1; /hop/0 is the page.
  server.On("hops.example", "/hop/",
            [](const std::string&, const httplib::Request& request, httplib::Response& response) {
              const int hop = std::stoi(request.target.substr(request.target.rfind('/') + 1));
              if (hop == 0) {
                response.set_content("arrived", "text/plain");
              } else {
                response.set_redirect("http://hops.example/hop/" + std::to_string(hop - 1));
              }
            });
  EXPECT_EQ(ReadFileText(FetchURL("http://hops.example/hop/10", true)), "arrived");
  EXPECT_THROW(FetchURL("http://hops.example/hop/11", true), std::runtime_error);
  EXPECT_THAT(FilesBeside("http://hops.example/hop/11"), ElementsAre());
}

TEST_F(FetchTest, RefusesAddressesOnThisMachineOrItsNetworkGivenOrRedirectedTo) {
  struct Case {
    std::string url;
    bool refused;
  };
  const Case cases[] = {
      {"http://127.0.0.1/", true},
      {"http://127.1:8080/x", true},
      {"http://2130706433/", true},
      {"http://0x7f.0.0.1/", true},
      {"http://0.0.0.0/", true},
      {"http://localhost/", true},
      {"http://LocalHost./", true},
      {"http://a.localhost/", true},
      {"http://10.1.2.3/", true},
      {"http://172.16.0.1/", true},
      {"http://172.31.255.1/", true},
      {"http://192.168.1.1/", true},
      {"http://169.254.169.254/", true},
      {"http://[::1]/", true},
      {"http://[::]/", true},
      {"http://[0:0::1]/", true},
      {"http://[::ffff:127.0.0.1]/", true},
      {"http://[::FFFF:a00:1]/", true},
      {"http://[fe80::1]/", true},
      {"http://[fd00::5]/", true},
      {"http://172.32.0.1/", false},
      {"http://11.0.0.1/", false},
      {"http://localhost.example/", false},
      {"http://[2001:db8::1]/", false},
  };
  server.Serve("", "", "a page");  // every other host
  for (const Case& test : cases) {
    server.On("hop.example", "/",
              [&test](const std::string&, const httplib::Request&, httplib::Response& response) {
                response.set_redirect(test.url);
              });
    for (const std::string& url : {test.url, std::string("http://hop.example/to")}) {
      const int hops = url == test.url ? 0 : 1;
      const int before = server.TotalHits();
      if (test.refused) {
        EXPECT_THROW(FetchURL(url, false), std::runtime_error) << url << " to " << test.url;
      } else {
        EXPECT_EQ(ReadFileText(FetchURL(url, false)), "a page") << url << " to " << test.url;
      }
      EXPECT_EQ(server.TotalHits() - before, hops + (test.refused ? 0 : 1))
          << url << " to " << test.url;
    }
  }
}

// ---------------------------------------------------------------- stalls

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
  SetFetchTimeouts({30s, 300ms});
  server.On("stall.example", "/s.mid", Stalling(gate));
  const std::string url = "http://stall.example/s.mid";

  const auto start = std::chrono::steady_clock::now();
  try {
    FetchURL(url, true);
    ADD_FAILURE() << "a stalled transfer taken for whole";
  } catch (const std::runtime_error& error) {
    EXPECT_THAT(error.what(), HasSubstr("Cannot open URL"));
  }
  // Far below the default limit of 60 s: the shortened limit is the one that applied.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
  EXPECT_THAT(FilesBeside(url), ElementsAre());
}

TEST_F(FetchTest, ASlowTrickleIsNotAStall) {
  SetFetchTimeouts({30s, 1000ms});
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
  EXPECT_EQ(ReadFileText(FetchURL("http://trickle.example/t.txt", true)), "drip");
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
  SetFetchTimeouts({30s, 60s, 1000, 400ms});
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
  for (const Case& test : cases) {
    const Dribbler dribbler(test.fast, test.slow, test.piece, test.pace);
    const std::string url = "http://slow.example/tone.mid";
    EXPECT_THROW(FetchURL(url, false, {}, {PageLimits.MaxBytes, test.total}), std::runtime_error)
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

  EXPECT_THROW(FetchURL(url, true, callback), EAbort);
  stopper.join();
  EXPECT_THAT(FilesBeside(url), ElementsAre());
}

// ---------------------------------------------------------------- concurrency

TEST_F(FetchTest, SixteenThreadsFetchingOneAddressLeaveOneWholeFile) {
  const std::string body = Body(300000);
  server.Serve("busy.example", "/popular.mp3", body, "audio/mpeg");
  const std::string url = "http://busy.example/popular.mp3";
  constexpr int kThreads = 16;
  std::latch start(kThreads);
  std::atomic<int> failures{0};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      try {
        // Half the threads insist on a fresh copy, so downloads overlap with cache hits.
        const std::string name = FetchURL(url, i % 2 == 0);
        if (name != CacheFileName(url) || ReadFileText(name) != body) ++wrong;
      } catch (...) {
        ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(failures, 0);
  EXPECT_EQ(wrong, 0) << "a reader saw a missing or partial file";
  EXPECT_THAT(FilesBeside(url), ElementsAre("popular.mp3"));
  EXPECT_EQ(ReadFileText(CacheFileName(url)), body);
}

}  // namespace
}  // namespace cq::test
