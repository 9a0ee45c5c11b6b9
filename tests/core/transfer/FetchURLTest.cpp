#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

TEST_F(FetchTest, AnUnreachableServerFails) {
  // Straight to a closed loopback port, past the proxy.
  ::unsetenv("http_proxy");
  ::unsetenv("HTTP_PROXY");
  const std::string url = "http://127.0.0.1:1/page.html";
  EXPECT_THROW(FetchURL(url, true), std::runtime_error);
  EXPECT_THAT(FilesBeside(url), ElementsAre());
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
