#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Markup.h"
#include "Options.h"
#include "Server.h"
#include "WaitingGate.h"

namespace cq::samples {
namespace {

TEST(SampleSitesServerParts, SplitsAbsoluteAndOriginFormTargets) {
  struct Case {
    const char* target;
    const char* host;
    const char* path;
  };
  const Case cases[] = {
      {"http://polycat.example/poly/3.shtml?x=1", "polycat.example", "/poly/3.shtml?x=1"},
      {"http://polycat.example:8080/", "polycat.example:8080", "/"},
      {"http://wap.toneclub.example?mod=a", "wap.toneclub.example", "/?mod=a"},
      {"http://tonelibrary.example", "tonelibrary.example", "/"},
      {"/search.php?q=a", "header.example", "/search.php?q=a"},
  };
  for (const Case& c : cases) {
    std::string host;
    std::string path;
    SplitTarget(c.target, "header.example", host, path);
    EXPECT_EQ(host, c.host) << c.target;
    EXPECT_EQ(path, c.path) << c.target;
  }
}

TEST(SampleSitesServerParts, QueriesDecodePlusAndPercentSequences) {
  const TQuery query = ParseQuery("q=%EB%FE+b&act=search&empty=&bare&bad=%G1%4");
  EXPECT_EQ(QueryText(query, "q"), "\xEB\xFE b");
  EXPECT_EQ(QueryText(query, "act"), "search");
  EXPECT_EQ(QueryText(query, "empty"), "");
  EXPECT_EQ(query.count("bare"), 1u);
  EXPECT_EQ(QueryText(query, "bad"), "%G1%4");
  EXPECT_EQ(QueryNumber(ParseQuery("start=10"), "start", 0), 10);
  EXPECT_EQ(QueryNumber(ParseQuery("start=1x"), "start", 0), 0);
}

TEST(SampleSitesServerParts, WaitingGateSpreadsItsShareEvenly) {
  TWaitingGate quarter(0.25);
  std::string pattern;
  for (int i = 0; i < 8; ++i) pattern += quarter.NextMustWait() ? 'W' : '.';
  EXPECT_EQ(pattern, "...W...W");
  TWaitingGate clamped(7.0);
  EXPECT_TRUE(clamped.NextMustWait());
  TWaitingGate never(-1.0);
  EXPECT_FALSE(never.NextMustWait());
}

TEST(SampleSitesServerParts, OptionsAreReadAndBadOnesRefused) {
  std::string error;
  const auto options = ParseOptions({"--port", "0", "--latency", "25", "--waiting-share", "0.5",
                                     "--version", "2.0.0.7", "--data", "/d"},
                                    error);
  ASSERT_TRUE(options.has_value()) << error;
  EXPECT_EQ(options->Port, 0);
  EXPECT_EQ(options->LatencyMs, 25);
  EXPECT_DOUBLE_EQ(options->WaitingShare, 0.5);
  EXPECT_EQ(options->Version, "2.0.0.7");
  EXPECT_EQ(options->DataFolder, "/d");
  EXPECT_EQ(ParseOptions({}, error)->Port, DefaultPort);

  const std::vector<std::vector<std::string>> bad = {
      {"--port"},
      {"--port", "70000"},
      {"--latency", "-1"},
      {"--waiting-share", "1.5"},
      {"--version", "1.2.3"},
      {"--version", "1.2.3.4."},
      {"--version", "1..3.4"},
      {"--version", "1.2.3.123456"},
      {"--colour", "red"},
      {"stray"},
  };
  for (const auto& args : bad) {
    error.clear();
    EXPECT_FALSE(ParseOptions(args, error).has_value()) << args.front();
    EXPECT_FALSE(error.empty()) << args.front();
  }
}

}  // namespace
}  // namespace cq::samples
