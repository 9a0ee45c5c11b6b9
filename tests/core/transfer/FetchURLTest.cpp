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

using ::testing::ElementsAre;

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

  EXPECT_EQ(FetchURL(url, true, recorder.Context()), name);

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

    EXPECT_THROW(FetchURL(url, false, recorder.Context()), EAbort) << test.name;

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
  EXPECT_THROW(FetchURL(url, true, {callback}), std::logic_error);
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
  const std::vector<std::string> refused = {"http://127.0.0.1/",
                                            "http://127.1:8080/x",
                                            "http://2130706433/",
                                            "http://0x7f.0.0.1/",
                                            "http://0.0.0.0/",
                                            "http://localhost/",
                                            "http://LocalHost./",
                                            "http://a.localhost/",
                                            "http://10.1.2.3/",
                                            "http://172.16.0.1/",
                                            "http://172.31.255.1/",
                                            "http://192.168.1.1/",
                                            "http://169.254.169.254/",
                                            "http://[::1]/",
                                            "http://[::]/",
                                            "http://[0:0::1]/",
                                            "http://[::ffff:127.0.0.1]/",
                                            "http://[::FFFF:a00:1]/",
                                            "http://[fe80::1]/",
                                            "http://[fd00::5]/"};
  const std::vector<std::string> allowed = {"http://172.32.0.1/", "http://11.0.0.1/",
                                            "http://localhost.example/", "http://[2001:db8::1]/"};
  struct Case {
    std::string url;
    bool refused;
  };
  std::vector<Case> cases;
  for (const std::string& url : refused) cases.push_back({url, true});
  for (const std::string& url : allowed) cases.push_back({url, false});
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
