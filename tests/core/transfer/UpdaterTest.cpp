#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>

#include "core/Product.h"
#include "core/transfer/Updater.h"
#include "support/HttpServer.h"

namespace cq {
namespace {

// Records what the checker asks; thread-safe, since the checker calls it on its own thread.
class TRecordingUpdateSink : public TUpdateSink {
 public:
  void SetShowJobButton(bool on) override { Record(on ? "button on" : "button off"); }
  void OfferNewVersion(const std::string& question, const std::string& homePage) override {
    Record("offer " + homePage + " " + question);
  }
  std::vector<std::string> Events() {
    std::lock_guard guard(lock_);
    return events_;
  }
  bool WaitFor(std::size_t count) {
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(20),
                             [&] { return events_.size() >= count; });
  }

 private:
  void Record(std::string event) {
    {
      std::lock_guard guard(lock_);
      events_.push_back(std::move(event));
    }
    changed_.notify_all();
  }
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

const std::string kHost = "update.chimequest.example";
const std::string kOffer =
    "offer http://update.chimequest.example/ A newer version of Chimequest "
    "is available.\r\nWould you like to download it?";

TEST(VersionFile, ReadsTheVersionLine) {
  struct Case {
    const char* text;
    std::optional<std::uint64_t> version;
  };
  auto v = [](std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    return TVersion{a, b, c, d}.AsNumber();
  };
  const Case cases[] = {
      {"1.2.3.5\r\n1\r\n", v(1, 2, 3, 5)},
      {"70000.0.0.1\n0", v(4464, 0, 0, 1)},
      {"1.65536.131073.99999999999999999999\n0", v(1, 0, 1, 65535)},
      {" 2 . 0 . 0 . 0 \n1", v(2, 0, 0, 0)},
      {"1.2.3\n1", std::nullopt},
      {"1.2.3.4.5\n1", std::nullopt},
      {"1.x.3.4\n1", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto version = ReadVersionFileVersion(c.text);
    ASSERT_EQ(version.has_value(), c.version.has_value()) << c.text;
    if (version) {
      EXPECT_EQ(version->AsNumber(), *c.version) << c.text;
    }
  }
}

TEST(VersionFile, ReadsTheSwitchOnTheSecondLine) {
  struct Case {
    const char* text;
    std::optional<long long> value;
  };
  const Case cases[] = {
      {"1.2.3.4\r\n1\r\n", 1},
      {"1.2.3.4\n5 and more", 5},
      {"1.2.3.4\n\n  -3\n", -3},
      {"garbage\n7", 7},
      {"1.2.3.4", std::nullopt},
      {"1.2.3.4\nyes", std::nullopt},
      {"1.2.3.4\n99999999999999999999999", std::numeric_limits<long long>::max()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadVersionFileSwitch(c.text), c.value) << c.text;
  }
}

TEST(UpdateCheck, ComparesWithTheOwnVersion) {
  test::HttpServer server;
  server.BecomeProxy();
  const TVersion own{1, 2, 3, 4};
  struct Case {
    const char* file;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"1.2.3.5\r\n1\r\n", {"button on", kOffer}},
      {"1.2.3.4\r\n1\r\n", {"button on"}},
      {"1.1.9.9\r\n0\r\n", {"button off"}},
      {"1.2.70000.0\n0\n", {"button off", kOffer}},  // 70000 counts as 4464
      {"newest\n1\n", {"button on"}},  // the switch counts even without a readable version
      {"9.9.9.9\n", {}},
  };
  for (const Case& c : cases) {
    server.Serve(kHost, std::string(product::VersionFilePath), c.file, "text/plain");
    TRecordingUpdateSink sink;
    RunUpdateCheck(sink, own);
    EXPECT_EQ(sink.Events(), c.events) << c.file;
  }
  // Fetched fresh every time: the cache is not used.
  EXPECT_EQ(server.Hits(kHost, std::string(product::VersionFilePath)), 6);
}

TEST(UpdateCheck, FailuresAreSilent) {
  test::HttpServer server;
  server.BecomeProxy();
  TRecordingUpdateSink sink;
  // Not found: the error page is no version file.
  RunUpdateCheck(sink, TVersion{1, 0, 0, 0});
  // Empty, or far longer than any version file.
  for (const std::string& file : {std::string(), "9.9.9.9\n1\n" + std::string(100000, ' ')}) {
    server.Serve(kHost, std::string(product::VersionFilePath), file, "text/plain");
    RunUpdateCheck(sink, TVersion{1, 0, 0, 0});
  }
  EXPECT_TRUE(sink.Events().empty());
}

TEST(UpdateCheck, RunsOnItsOwnThreadAndKeepsItsSink) {
  test::HttpServer server;
  server.BecomeProxy();
  server.Serve(kHost, std::string(product::VersionFilePath), "65535.0.0.0\n1\n", "text/plain");
  auto sink = std::make_shared<TRecordingUpdateSink>();
  std::weak_ptr<TRecordingUpdateSink> watch = sink;
  StartUpdateCheck(sink);
  ASSERT_TRUE(sink->WaitFor(2));
  EXPECT_EQ(sink->Events(), (std::vector<std::string>{"button on", kOffer}));
  sink.reset();
  // The thread lets go of the sink when it ends.
  for (int i = 0; i < 2000 && !watch.expired(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace cq
