#include <gmock/gmock.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace std::string_literals;

#include "core/platform/StackTrace.h"
#include "core/sites/ParseDebug.h"
#include "core/transfer/FileText.h"
#include "support/FakeSite.h"

namespace fs = std::filesystem;

namespace cq {
namespace {

using testing::HasSubstr;
using testing::StartsWith;

using test::TFakeSite;

// Each test works in a fresh current directory, with the marker present or not as it chooses.
class ParseDebugTest : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ =
        fs::temp_directory_path() /
        ("dump-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
    fs::remove(DumpMarkerPath());
  }
  static void PlaceMarker() {
    fs::create_directories(fs::path(DumpMarkerPath()).parent_path());
    std::ofstream(DumpMarkerPath()) << "";
  }
  // The folder's name is the one users have been told to look in, misspelling and all.
  static fs::path Dumped(const std::string& name) { return fs::path("HMTL errors") / name; }

  fs::path previous_;
  fs::path folder_;
};

[[gnu::noinline]] void WalkResultRows() {
  throw ETracedError("empty");
}

TEST_F(ParseDebugTest, TwoFailuresAreNumberedOneAndTwoWithPageAndReport) {
  PlaceMarker();
  TPageDumper dumper;
  const TFakeSite site("Tune Request");
  const std::string page = "<html>\r\n<body>\xE0\xE1\0x</body>"s;
  try {
    WalkResultRows();
  } catch (const std::exception& failure) {
    dumper.Dump(site, "Search term=love", page, failure);
  }
  dumper.Dump(site, "MelodyPage=http://tunerequest.example/melody/7.shtml", "<p>second",
              std::runtime_error("badhtml"));

  EXPECT_EQ(ReadFileText(Dumped("1-Tune Request.html")), page);
  EXPECT_EQ(ReadFileText(Dumped("2-Tune Request.html")), "<p>second");
  const std::string first = ReadFileText(Dumped("1-Tune Request.txt"));
  EXPECT_THAT(first, StartsWith("Search term=love\r\n\r\n"));
  EXPECT_THAT(first, HasSubstr("Message: empty\r\n"));
  EXPECT_THAT(first, HasSubstr("WalkResultRows"));
  EXPECT_THAT(ReadFileText(Dumped("2-Tune Request.txt")),
              StartsWith("MelodyPage=http://tunerequest.example/melody/7.shtml\r\n\r\nException"));
  EXPECT_EQ(std::distance(fs::directory_iterator(DumpFolder), fs::directory_iterator()), 4);
}

TEST_F(ParseDebugTest, ConcurrentDumpsEachTakeTheirOwnNumber) {
  PlaceMarker();
  TPageDumper dumper;
  constexpr int kThreads = 4;
  constexpr int kEach = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&dumper, t] {
      const TFakeSite site("Site");
      for (int k = 0; k < kEach; ++k) {
        dumper.Dump(site, "ctx", std::to_string(t) + ":" + std::to_string(k),
                    std::runtime_error("f"));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<std::string> pages;
  for (int n = 1; n <= kThreads * kEach; ++n) {
    pages.insert(ReadFileText(Dumped(std::to_string(n) + "-Site.html")));
  }
  EXPECT_EQ(pages.size(), static_cast<std::size_t>(kThreads * kEach));
  EXPECT_FALSE(fs::exists(Dumped(std::to_string(kThreads * kEach + 1) + "-Site.html")));
}

// Two dumpers stand for two processes sharing the folder with dumps of earlier runs.
TEST_F(ParseDebugTest, NumbersGoOnPastEveryFileAndPagesAreCut) {
  PlaceMarker();
  fs::create_directory(DumpFolder);
  WriteFileText("earlier", Dumped("2-Site.html").string());
  WriteFileText("earlier", Dumped("7-Other.txt").string());
  TPageDumper first;
  TPageDumper second;
  const TFakeSite site("Site");
  const std::runtime_error failure("f");
  first.Dump(site, "ctx", std::string(DumpPageLimit + 1, 'c'), failure);
  second.Dump(site, "ctx", "b", failure);
  first.Dump(site, "ctx", "a", failure);

  EXPECT_EQ(ReadFileText(Dumped("2-Site.html")), "earlier");
  EXPECT_EQ(fs::file_size(Dumped("8-Site.html")), DumpPageLimit);
  EXPECT_THAT(ReadFileText(Dumped("8-Site.txt")), HasSubstr(std::to_string(DumpPageLimit + 1)));
  EXPECT_EQ(ReadFileText(Dumped("9-Site.html")), "b");
  EXPECT_EQ(ReadFileText(Dumped("10-Site.html")), "a");
}

}  // namespace
}  // namespace cq
