// Fault drills: a whole search of the seven sample sites through a real proxy (tinyproxy), while
// one site misbehaves. That site's rows show their message, the others finish with their
// melodies, the cache holds only whole pages, and the next search works.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/SearchDriver.h"
#include "core/sites/registry/ProgramSites.h"
#include "core/transfer/CacheNames.h"
#include "core/transfer/FileText.h"
#include "support/FakeSite.h"
#include "support/FaultOrigin.h"
#include "support/Tinyproxy.h"

namespace fs = std::filesystem;

namespace cq {
namespace {

using test::TFault;

const std::string kInetError = "Cannot retreive page from the Internet.";
const std::string kParseError = "Error while parsing page.";
// Finds melodies on every site, few enough that the pages are read quickly.
const std::string kTerm = "moon";

struct TSiteOutcome {
  int SiteRows = 0;
  int Melodies = 0;
  int Ready = 0;  // page read, with at least one link
  std::vector<std::string> Errors;
};
using TOutcomes = std::map<std::string, TSiteOutcome>;

bool HasLinks(const TMelody& melody) {
  for (const TMelodyFormat format : AllFormats)
    if (!melody.Links[format].empty()) return true;
  return false;
}

// Every file under the cache must be a whole page the server sent for its address: no partial
// download, nothing cut short, nothing for an address that was never served whole.
void ExpectWholeCache(const test::FaultOrigin& origin) {
  std::map<std::string, std::string> addressOf;
  for (const auto& [url, body] : origin.AllServed()) addressOf[CacheFileName(url)] = url;
  std::error_code error;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(CacheFolder(), error)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string path = entry.path().string();
    EXPECT_EQ(path.find("_partial"), std::string::npos) << path;
    const auto found = addressOf.find(path);
    if (found == addressOf.end()) {
      ADD_FAILURE() << "cached but never served whole: " << path;
      continue;
    }
    const std::shared_ptr<const std::string> body = origin.Served(found->second);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(entry.file_size(), body->size()) << found->second;
    if (entry.file_size() == body->size() && body->size() < (1u << 20)) {
      EXPECT_EQ(ReadFileText(path), *body) << found->second;
    }
  }
  EXPECT_GT(files, 0);
}

class FaultDrill : public testing::Test {
 protected:
  void SetUp() override {
    if (test::Tinyproxy::Program().empty())
      GTEST_SKIP() << "tinyproxy is not installed (scripts/install-deps installs it)";
    // Each drill starts from an empty cache, also when they share a process.
    std::error_code ignored;
    fs::remove_all(CacheFolder(), ignored);
  }

  void TearDown() override {
    origin_.Release();
    driver_.reset();
    EXPECT_TRUE(jobs_.WaitForNone());
  }

  // Starts tinyproxy in front of the origin and makes it the proxy of every fetch. Only while
  // no job runs: the proxy lives in the environment.
  void UseProxy(const std::vector<std::string>& denied = {}) {
    proxy_.reset();
    proxy_ = std::make_unique<test::Tinyproxy>(origin_.Port(), denied);
    ASSERT_TRUE(proxy_->Running()) << proxy_->Failure();
    proxy_->BecomeProxy();
  }

  // Searches every site and waits until every row is settled: found, read, or failed.
  TOutcomes Search() {
    TSearchSettings settings;
    settings.SearchSites.assign(sites_.Sites().size(), true);
    settings.Updates = false;
    driver_->SearchBtnClick(kTerm, settings);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    TJobManager& manager = driver_->Manager();
    while (true) {
      driver_->JobManagerTimer();
      if (manager.Idle()) break;
      if (std::chrono::steady_clock::now() > limit) {
        ADD_FAILURE() << "the search did not settle";
        break;
      }
      manager.WaitForFinish(std::chrono::milliseconds(10));
    }
    // Jobs end before the environment changes again.
    EXPECT_TRUE(jobs_.WaitForNone());
    return Outcomes();
  }

  TOutcomes Outcomes() const {
    TOutcomes outcomes;
    const TResultModel& rows = driver_->Results();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const TResult& row = rows[i];
      const TSite* site = row.Kind == rkSite ? row.Site : row.Melody.Site;
      TSiteOutcome& outcome = outcomes[site->GetName()];
      if (row.Kind == rkSite) {
        ++outcome.SiteRows;
      } else {
        ++outcome.Melodies;
        if (row.Melody.Processed && HasLinks(row.Melody) && !row.Waiting) ++outcome.Ready;
      }
      if (!row.ErrorText.empty()) outcome.Errors.push_back(row.ErrorText.str());
    }
    return outcomes;
  }

  // Every site found melodies and read all their pages, without a single error.
  void ExpectAllFinished(const TOutcomes& outcomes) {
    for (const TSite* site : sites_.Sites()) {
      const auto found = outcomes.find(site->GetName());
      ASSERT_NE(found, outcomes.end()) << site->GetName() << " shows no row";
      const TSiteOutcome& outcome = found->second;
      EXPECT_EQ(outcome.SiteRows, 0) << site->GetName();
      EXPECT_GT(outcome.Melodies, 0) << site->GetName();
      EXPECT_EQ(outcome.Ready, outcome.Melodies) << site->GetName();
      EXPECT_TRUE(outcome.Errors.empty()) << site->GetName() << ": " << outcome.Errors.front();
    }
  }

  const TSiteRegistry sites_ = BuiltInSites();
  test::FaultOrigin origin_{CQ_SAMPLE_SITES_DATA};
  std::unique_ptr<test::Tinyproxy> proxy_;
  test::TNoSaves sink_;
  test::TJobCount jobs_;
  // A stalled or trickling site fails in seconds, not in minutes; healthy sites keep some room
  // on a busy machine, where the jobs at idle priority wait for the processor.
  std::unique_ptr<TSearchDriver> driver_ = std::make_unique<TSearchDriver>(
      sites_.Sites(), sink_, [] {},
      jobs_.Factory({std::chrono::milliseconds(4000), std::chrono::milliseconds(3000), 1000,
                     std::chrono::milliseconds(3000)}));
};

struct TDrillCase {
  const char* Name;
  std::string Host;    // without the scheme
  std::string Prefix;  // path and query where the fault begins
  std::optional<TFault> Fault;
  std::vector<std::string> Failing;  // the sites whose rows show the message
  std::string Message = kInetError;
  bool PageStage = false;    // the melody pages fail, not the search
  bool ProxyDenies = false;  // the proxy refuses the host instead
};

void PrintTo(const TDrillCase& drill, std::ostream* out) {
  *out << drill.Name;
}

class FaultDrillCase : public FaultDrill, public testing::WithParamInterface<TDrillCase> {};

// Site row by site row: a failed search leaves its site row with the message; a failed page
// leaves the melody rows with it.
TEST_P(FaultDrillCase, OneSiteFailsTheOthersFinishAndTheNextSearchWorks) {
  const TDrillCase& drill = GetParam();
  if (drill.Fault) origin_.Break(drill.Host, drill.Prefix, *drill.Fault);
  UseProxy(drill.ProxyDenies ? std::vector<std::string>{drill.Host} : std::vector<std::string>{});
  const TOutcomes faulty = Search();

  for (const TSite* site : sites_.Sites()) {
    const std::string name = site->GetName();
    const auto found = faulty.find(name);
    ASSERT_NE(found, faulty.end()) << name << " shows no row";
    const TSiteOutcome& outcome = found->second;
    if (std::find(drill.Failing.begin(), drill.Failing.end(), name) != drill.Failing.end()) {
      if (drill.PageStage) {
        EXPECT_GT(outcome.Melodies, 0) << name;
        EXPECT_EQ(outcome.Errors.size(), static_cast<std::size_t>(outcome.Melodies)) << name;
      } else {
        EXPECT_EQ(outcome.SiteRows, 1) << name;
        EXPECT_EQ(outcome.Melodies, 0) << name;
        EXPECT_EQ(outcome.Errors.size(), 1u) << name;
      }
      for (const std::string& error : outcome.Errors) EXPECT_EQ(error, drill.Message) << name;
    } else {
      EXPECT_EQ(outcome.SiteRows, 0) << name;
      EXPECT_GT(outcome.Melodies, 0) << name;
      EXPECT_EQ(outcome.Ready, outcome.Melodies) << name;
      EXPECT_TRUE(outcome.Errors.empty()) << name << ": " << outcome.Errors.front();
    }
  }
  ExpectWholeCache(origin_);

  // The site mends; the same search again finds everything.
  origin_.Heal();
  if (drill.ProxyDenies) UseProxy();
  const TOutcomes healed = Search();
  ExpectAllFinished(healed);
  for (const auto& [name, outcome] : faulty) {
    if (outcome.Errors.empty()) {
      EXPECT_EQ(healed.at(name).Melodies, outcome.Melodies) << name;
    }
  }
  ExpectWholeCache(origin_);
}

const std::string kRequestCatalog = "tunerequest.example";
const std::string kMelodyArchive = "search.melodyarchive.example";
const std::string kWapClub = "wap.toneclub.example";
const std::string kPolyCatalog = "polycat.example";
const std::string kToneLibrary = "tonelibrary.example";
const std::string kMidiArchive = "midiarchive.example";

using enum TFault;
const TDrillCase kDrills[] = {
    {"StallBeforeAnswer", kRequestCatalog, "/search/", StallBeforeHeaders, {"Tune Request"}},
    {"StallMidPage", kMelodyArchive, "/", StallMidPage, {"Melody Archive"}},
    {"DropMidPage", kPolyCatalog, "/search/", DropMidPage, {"Poly Catalogue"}},
    // The tone library's search page serves its uploads area too.
    {"DropChunked", kToneLibrary, "/search.php", DropChunked, {"Tone Library", "Tone Uploads"}},
    {"ServerError", kMidiArchive, "/find_midi.php", ServerError, {"MIDI Archive"}},
    // Hostile servers: too slow, nothing, too much, and a way to this machine.
    {"Trickle", kMelodyArchive, "/", Trickle, {"Melody Archive"}},
    {"EmptyAnswer", kPolyCatalog, "/search/", EmptyAnswer, {"Poly Catalogue"}},
    {"Oversize", kRequestCatalog, "/search/", Oversize, {"Tune Request"}},
    {"RedirectToLoopback", kMidiArchive, "/find_midi.php", RedirectToLoopback, {"MIDI Archive"}},
    {"GarbageInsteadOfPage", kPolyCatalog, "/search/", Garbage, {"Poly Catalogue"}, kParseError},
    // The WAP club counts a page it could not fetch as one it could not walk.
    {"RedirectLoop", kWapClub, "/", RedirectLoop, {"WAP Club"}, kParseError},
    {"ProxyRefusesSite", kMelodyArchive, "/", {}, {"Melody Archive"}, kInetError, false, true},
    {"MelodyPagesDrop", kPolyCatalog, "/poly/", DropMidPage, {"Poly Catalogue"}, kInetError, true},
};

INSTANTIATE_TEST_SUITE_P(Drills, FaultDrillCase, testing::ValuesIn(kDrills),
                         [](const testing::TestParamInfo<TDrillCase>& param) {
                           return std::string(param.param.Name);
                         });

// A proxy that refuses every connection: every row shows its site's message; once the proxy is
// back, the next search finds everything.
TEST_F(FaultDrill, RefusingProxyFailsEveryRowAndTheNextSearchWorks) {
  {
    const test::RefusingPort refusing;
    ::setenv("http_proxy", refusing.Address().c_str(), 1);
    const TOutcomes outcomes = Search();
    for (const TSite* site : sites_.Sites()) {
      const std::string name = site->GetName();
      const TSiteOutcome& outcome = outcomes.at(name);
      EXPECT_EQ(outcome.SiteRows, 1) << name;
      ASSERT_EQ(outcome.Errors.size(), 1u) << name;
      EXPECT_EQ(outcome.Errors[0], name == "WAP Club" ? kParseError : kInetError) << name;
    }
    // Nothing was fetched, so nothing may lie in the cache.
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(CacheFolder(), error))
      EXPECT_FALSE(entry.is_regular_file()) << entry.path();
  }
  UseProxy();
  ExpectAllFinished(Search());
  ExpectWholeCache(origin_);
}

}  // namespace
}  // namespace cq
