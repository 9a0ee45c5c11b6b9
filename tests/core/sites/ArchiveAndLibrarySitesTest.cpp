#include <gmock/gmock.h>

#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "sites/SiteTest.h"

namespace cq::test {
namespace {

using testing::ElementsAre;

constexpr const char* kArchiveSearch = "search.melodyarchive.example";
constexpr const char* kLibrary = "tonelibrary.example";

std::vector<std::string> Titles(const TMelodyList& melodies) {
  std::vector<std::string> titles;
  for (const TMelody& melody : melodies) titles.push_back(melody.Title.str());
  return titles;
}

TEST_F(SiteTest, MelodyArchiveSearchJoinsPerformerAndTitleAndSkipsRowsWithoutLink) {
  TMelodyArchiveSite site;
  server_.Serve(kArchiveSearch, "/1/search.php?mmsearch=%EC%E0%FF%EA&where=all",
                Fixture("melody-archive/search.html"));
  TMelodyList melodies;
  site.Search("\xEC\xE0\xFF\xEA", melodies, NoStop);
  // "Группа Маяк" in windows-1251.
  EXPECT_THAT(Titles(melodies), ElementsAre("Ivy and the Bells - Secret Garden",
                                            "\xC3\xF0\xF3\xEF\xEF\xE0 \xCC\xE0\xFF\xEA - "
                                            "Morning Coffee"));
  EXPECT_EQ(melodies[1].PageURL.str(), "http://files.melodyarchive.example/melody/4.html");
}

TEST_F(SiteTest, ToneLibraryAndUploadsReadTheirOwnColumnOfOneSearchPage) {
  server_.Serve(kLibrary, "/search.php?q=tone&act=search", Fixture("tone-library/search.html"));
  TToneLibrarySite library;
  TToneUploadsSite uploads;
  TMelodyList melodies;
  library.Search("tone", melodies, NoStop);
  EXPECT_THAT(Titles(melodies),
              ElementsAre("Secret Garden", "\xD2\xE8\xF5\xE0\xFF \xED\xEE\xF7\xFC"));
  EXPECT_EQ(melodies[0].PageURL.str(), "http://tonelibrary.example/tone/1.html");

  // The same address twice is one upload.
  uploads.Search("tone", melodies, NoStop);
  EXPECT_THAT(Titles(melodies), ElementsAre("Upload one", "Upload two"));
  EXPECT_EQ(melodies[1].PageURL.str(), "http://tonelibrary.example/temp/8.html");
  EXPECT_EQ(melodies[1].Site, &uploads);
}

}  // namespace
}  // namespace cq::test
