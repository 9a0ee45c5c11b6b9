// Definition sites searched through the job manager against the sample sites, beside the
// built-in sites they re-express: the same melodies, pages and files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "InProcessServer.h"
#include "core/app/SearchDriver.h"
#include "core/sites/definitions/DefinitionFile.h"
#include "core/sites/definitions/DefinitionSite.h"
#include "core/sites/registry/ProgramSites.h"
#include "core/transfer/CacheNames.h"
#include "support/FakeSite.h"

namespace cq {
namespace {

std::unique_ptr<TDefinitionSite> SiteOf(const std::string& name) {
  const std::string file = std::string(CQ_FIXTURES) + "/definitions/" + name;
  TDefinitionFile read = LoadDefinitionFile(file);
  for (const auto& problem : read.Problems) ADD_FAILURE() << ProblemLine(file, problem);
  if (!read.Definition) return nullptr;
  return std::make_unique<TDefinitionSite>(*read.Definition, file);
}

const TSite* BuiltIn(const std::string& name) {
  static const TSiteRegistry builtIn = BuiltInSites();
  for (const TSite* site : builtIn.Sites()) {
    if (site->GetName() == name) return site;
  }
  ADD_FAILURE() << "no site " << name;
  return nullptr;
}

// One line per melody row: its title, page and files; the rows' errors as lines too.
using TRows = std::map<const TSite*, std::vector<std::string>>;

TRows SearchWithPages(const std::vector<const TSite*>& sites, const std::string& term) {
  test::TNoSaves sink;
  TSearchDriver driver(sites, sink, {});
  driver.Rules().SetLoadPages(true);
  TSearchSettings settings;
  settings.SearchSites.assign(sites.size(), true);
  settings.Updates = false;
  driver.SearchBtnClick(term, settings);
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!driver.Manager().Idle() || !driver.Tasks().empty()) {
    driver.JobManagerTimer();
    if (std::chrono::steady_clock::now() > limit) {
      ADD_FAILURE() << "the search did not settle";
      break;
    }
    driver.Manager().WaitForFinish(std::chrono::milliseconds(10));
  }
  TRows rows;
  for (std::size_t i = 0; i < driver.Results().size(); ++i) {
    const TResult& row = driver.Results()[i];
    const TSite* site = row.Kind == rkSite ? row.Site : row.Melody.Site;
    std::string line = row.Melody.Title.str() + " " + row.Melody.PageURL.str();
    for (const TMelodyFormat format : AllFormats) {
      for (const TMelodyLink& link : row.Melody.Links[format]) {
        line += " | " + std::string(FormatNames[format]) + " " + link.Caption.str() + " " +
                link.URL.str();
      }
    }
    if (!row.ErrorText.empty()) line += " ! " + row.ErrorText.str();
    rows[site].push_back(line);
  }
  return rows;
}

TEST(DefinitionSite, FindsWhatTheBuiltInSiteItReExpressesFinds) {
  std::filesystem::remove_all(CacheFolder());
  samples::TInProcessServer server(std::chrono::milliseconds(0), CQ_SAMPLE_SITES_DATA);
  ASSERT_TRUE(server.Bound());
  struct Pair {
    const char* file;
    const char* builtIn;
  };
  const Pair pairs[] = {{"tune-request.yaml", "Tune Request"},
                        {"poly-catalog.yaml", "Poly Catalogue"},
                        {"tone-library.yaml", "Tone Library"},
                        {"tone-uploads.yaml", "Tone Uploads"}};
  std::vector<std::unique_ptr<TDefinitionSite>> owned;
  std::vector<const TSite*> sites;
  for (const Pair& pair : pairs) {
    owned.push_back(SiteOf(pair.file));
    ASSERT_NE(owned.back(), nullptr);
    sites.push_back(BuiltIn(pair.builtIn));
    sites.push_back(owned.back().get());
  }
  // "\xed\xee\xf7\xfc": a Cyrillic word in windows-1251.
  for (const std::string term : {"love", "\xed\xee\xf7\xfc"}) {
    TRows rows = SearchWithPages(sites, term);
    for (std::size_t i = 0; i < sites.size(); i += 2) {
      EXPECT_FALSE(rows[sites[i]].empty()) << sites[i]->GetName() << " " << term;
      EXPECT_EQ(rows[sites[i + 1]], rows[sites[i]]) << sites[i + 1]->GetName() << " " << term;
    }
  }
}

// The club's monophonic tones: a UTF-8 deck and term, files in the rows, pages followed by their
// next-page anchors.
TEST(DefinitionSite, ReadsFilesOnResultPagesAndFollowsNextPages) {
  samples::TInProcessServer server(std::chrono::milliseconds(0), CQ_SAMPLE_SITES_DATA);
  ASSERT_TRUE(server.Bound());
  const auto club = SiteOf("wap-club-mono.yaml");
  ASSERT_NE(club, nullptr);
  for (const std::string term : {"love", "\xed\xee\xf7\xfc"}) {
    TMelodyList expected;
    BuiltIn("WAP Club")->Search(term, expected, {});
    std::erase_if(expected, [](const TMelody& melody) {
      return melody.Links[fmMidi].empty() ||
             melody.Links[fmMidi][0].URL.str().find("/get/mono/") == std::string::npos;
    });
    TMelodyList found;
    std::vector<std::string> fetched;
    club->SearchTraced(term, found, {}, [&](const std::string& line) {
      if (line.starts_with("fetch ")) fetched.push_back(line);
    });
    ASSERT_EQ(found.size(), expected.size()) << term;
    EXPECT_EQ(fetched.size(), expected.size() / 10 + 1) << term;
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].Title, expected[i].Title);
      EXPECT_TRUE(found[i].Processed);
      ASSERT_EQ(found[i].Links[fmMidi].size(), 1u);
      EXPECT_EQ(found[i].Links[fmMidi][0].URL, expected[i].Links[fmMidi][0].URL);
    }
  }
}

}  // namespace
}  // namespace cq
