#include <gmock/gmock.h>

#include <cstring>

#include "core/Errors.h"
#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "core/sites/Scraping.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "sites/SiteTest.h"

namespace cq::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;
using testing::StartsWith;
using namespace std::string_literals;

struct TFixUpCase {
  std::string page;
  std::vector<TFixUp> fixUps;
  std::string expected;
};

TEST(ApplyFixUps, ReplacesEveryOccurrenceInOrderAndCaseSensitively) {
  const TFixUpCase cases[] = {
      {"</tr>\r\n</tr></tr>\r\n</tr>", {{"</tr>\r\n</tr>", "</tr>"}}, "</tr></tr>"},
      {"</TR>\r\n</TR>", {{"</tr>\r\n</tr>", "</tr>"}}, "</TR>\r\n</TR>"},
      // The second replacement sees what the first made.
      {"ab", {{"a", "b"}, {"bb", "c"}}, "c"},
      // A replacement that holds its pattern is not applied again to its own output.
      {"xx", {{"x", "xx"}}, "xxxx"},
  };
  for (const TFixUpCase& c : cases) {
    std::string page = c.page;
    ApplyFixUps(page, c.fixUps);
    EXPECT_EQ(page, c.expected) << c.page;
  }
}

class ScrapingTest : public SiteTest {
 protected:
  TRequestCatalogSite site_;
};

TEST_F(ScrapingTest, FailedFetchRaisesTheInternetMessageAndDumpsNothing) {
  TMelodyList melodies{TMelody{}};
  EXPECT_EQ(FailureOf([&] { site_.Search("nothing", melodies, NoStop); }),
            "Cannot retreive page from the Internet.");
  EXPECT_EQ(melodies.size(), 1u);
  EXPECT_TRUE(Dumps().empty());
}

TEST_F(ScrapingTest, ACachedPageThatCannotBeReadIsFetchedAgain) {
  const std::string url = "http://pages.example/list.html";
  server_.Serve("pages.example", "/list.html", "<html>the page</html>");
  // An empty copy, as an empty answer used to leave.
  std::filesystem::create_directories(std::filesystem::path(CacheFileName(url)).parent_path());
  std::ofstream(CacheFileName(url)).flush();

  EXPECT_EQ(FailureOf([&] { FetchPage(url, NoStop); }), "Cannot retreive page from the Internet.");
  EXPECT_EQ(FetchPage(url, NoStop), "<html>the page</html>");
}

TEST_F(ScrapingTest, StopRequestPassesSilently) {
  const TFetchContext stop{[](TJobStatus, double) { return true; }};
  TMelodyList melodies;
  EXPECT_THROW(site_.Search("stop", melodies, stop), EAbort);
}

TEST_F(ScrapingTest, WalkFailureDumpsThePageAfterFixUpsWithContextAndWhere) {
  server_.Serve("tunerequest.example", "/search/index.shtml?request=love&where=all",
                Fixture("request-catalog/search-changed.html"));
  TMelodyList melodies;
  EXPECT_EQ(FailureOf([&] { site_.Search("love", melodies, NoStop); }),
            "Error while parsing page.");
  ASSERT_THAT(Dumps(), ElementsAre(testing::EndsWith("-Tune Request.html"),
                                   testing::EndsWith("-Tune Request.txt")));
  const std::string page = ReadFileText(std::string(DumpFolder) + "/" + Dumps()[0]);
  EXPECT_THAT(page, HasSubstr("<img src=\"/c.gif?r=1\">');"));
  const std::string report = DumpReport(site_);
  EXPECT_THAT(report, StartsWith("Search term=love\r\n\r\n"));
  EXPECT_THAT(report, HasSubstr("No element at"));
  // Where the walk failed: the scraper's own frame is on the recorded stack.
  EXPECT_THAT(report, HasSubstr("TRequestCatalogSite::Search"));
}

TEST_F(ScrapingTest, WithoutTheMarkerAWalkFailureStillFailsButWritesNothing) {
  std::filesystem::remove(DumpMarkerPath());
  server_.Serve("tunerequest.example", "/search/index.shtml?request=love&where=all",
                Fixture("request-catalog/search-changed.html"));
  TMelodyList melodies;
  EXPECT_EQ(FailureOf([&] { site_.Search("love", melodies, NoStop); }),
            "Error while parsing page.");
  EXPECT_FALSE(std::filesystem::exists(DumpFolder));
}

// Each search page scraper: a page without results finds nothing, a page of another layout
// is a parse error with a dump.
TEST_F(ScrapingTest, EmptyResultPagesFindNothingAndChangedOnesFailWithADump) {
  TMelodyArchiveSite archive;
  TPolyCatalogSite poly;
  TToneLibrarySite library;
  TToneUploadsSite uploads;
  struct Case {
    const TSite& site;
    const char* host;
    const char* search;  // the search address up to the term
    const char* tail;    // after the term
    const char* fixtures;
  };
  const Case cases[] = {
      {site_, "tunerequest.example", "/search/index.shtml?request=", "&where=all",
       "request-catalog"},
      {archive, "search.melodyarchive.example", "/1/search.php?mmsearch=", "&where=all",
       "melody-archive"},
      {poly, "polycat.example", "/search/index.shtml?request=", "&type=poly&where=all",
       "poly-catalog"},
      {library, "tonelibrary.example", "/search.php?q=", "&act=search", "tone-library"},
      {uploads, "tonelibrary.example", "/search.php?q=", "&act=search", "tone-library"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(DumpFolder);
    const std::string fixtures = std::string(c.fixtures) + "/";
    server_.Serve(c.host, c.search + "none"s + c.tail, Fixture(fixtures + "search-empty.html"));
    server_.Serve(c.host, c.search + "changed"s + c.tail,
                  Fixture(fixtures + "search-changed.html"));
    TMelodyList melodies(3);
    c.site.Search("none", melodies, NoStop);
    EXPECT_THAT(melodies, IsEmpty()) << c.site.GetName();
    EXPECT_EQ(FailureOf([&] { c.site.Search("changed", melodies, NoStop); }),
              "Error while parsing page.")
        << c.site.GetName();
    EXPECT_THAT(DumpReport(c.site), StartsWith("Search term=changed\r\n")) << c.site.GetName();
  }
}

// Every format's links as "FORMAT caption|address", formats in their order.
std::vector<std::string> AllLinks(const TMelody& melody) {
  std::vector<std::string> lines;
  for (const TMelodyFormat format : AllFormats) {
    for (const TMelodyLink& link : melody.Links[format]) {
      lines.push_back(std::string(FormatNames[format]) + " " + link.Caption.str() + "|" +
                      link.URL.str());
    }
  }
  return lines;
}

// Each melody page scraper reading its fixture page into the links of every format.
TEST_F(ScrapingTest, MelodyPagesGiveTheLinksOfEveryFormat) {
  TMelodyArchiveSite archive;
  TPolyCatalogSite poly;
  TToneLibrarySite library;
  TToneUploadsSite uploads;
  struct Case {
    const TSite& site;
    const char* page;
    const char* fixture;
    std::vector<std::string> links;
  };
  const std::string files = "http://files.melodyarchive.example/mel/1.";
  const std::string library1 = "http://tonelibrary.example/files/";
  const std::string poly2 = "http://polycat.example/files/2.";
  const std::string request1 = "http://tunerequest.example/files/1";
  const Case cases[] = {
      // Ten child nodes in the format cell make three files; the third names no known format.
      {site_,
       "http://tunerequest.example/melody/1.shtml",
       "request-catalog/melody.html",
       {"MIDI Polyphonic MIDI|" + request1 + ".mid", "MIDI Midi + mp3|" + request1 + "-full.mp3",
        "MP3 Midi + mp3|" + request1 + "-full.mp3"}},
      // The link without a space after its lead-in takes no address; MIDI wins over MP3; AMR
      // is no format; the address on another host is not the site's.
      {archive,
       "http://files.melodyarchive.example/melody/1.html",
       "melody-archive/melody.html",
       {"MIDI MIDI polyphonic|" + files + "mid", "MIDI MIDI and MP3|" + files + "mp3",
        "MMF MMF|" + files + "mmf"}},
      // Only links with the lead-in count.
      {poly,
       "http://polycat.example/tone/2.html",
       "poly-catalog/melody.html",
       {"MIDI Midi|" + poly2 + "mid", "MMF MMF / MP3|" + poly2 + "mmf", "MP3 MP3|" + poly2 + "mp3",
        "MP3 MMF / MP3|" + poly2 + "mmf"}},
      // The folder tells the format.
      {library,
       "http://tonelibrary.example/tone/1.html",
       "tone-library/melody.html",
       {"MIDI MIDI|" + library1 + "mid/1.mid", "MMF MMF with vibration|" + library1 + "vib/1.mmf",
        "MMF MMF|" + library1 + "mmf/vib/1.mmf"}},
      // An upload's one file, by its extension in small letters.
      {uploads,
       "http://tonelibrary.example/temp/7.html",
       "tone-uploads/upload.html",
       {"MIDI MIDI|http://tonelibrary.example/temp/7/song.mid"}},
      {uploads,
       "http://tonelibrary.example/temp/8.html",
       "tone-uploads/upload-mp3.html",
       {"MP3 MP3|http://tonelibrary.example/temp/8/tune.mp3"}},
  };
  for (const Case& c : cases) {
    const std::string page = c.page;
    const std::size_t path = page.find('/', 7);
    server_.Serve(page.substr(7, path - 7), page.substr(path), Fixture(c.fixture));
    TMelody melody = MelodyAt(c.site, page);
    melody.Links[fmWav].push_back({"old", "http://old.example/x.wav"});
    c.site.LoadMelodyPage(melody, NoStop);
    EXPECT_TRUE(melody.Processed) << c.fixture;
    EXPECT_EQ(AllLinks(melody), c.links) << c.fixture;
    // Read once: a second call asks the site nothing.
    c.site.LoadMelodyPage(melody, NoStop);
    EXPECT_EQ(server_.Hits(page.substr(7, path - 7), page.substr(path)), 1) << c.fixture;
  }
}

TEST_F(ScrapingTest, MelodyPageOfAnotherLayoutFailsWhole) {
  server_.Serve("tunerequest.example", "/melody/2.shtml", Fixture("request-catalog/search.html"));
  TMelody melody = MelodyAt(site_, "http://tunerequest.example/melody/2.shtml");
  EXPECT_EQ(FailureOf([&] { site_.LoadMelodyPage(melody, NoStop); }), "Error while parsing page.");
  EXPECT_FALSE(melody.Processed);
  EXPECT_THAT(DumpReport(site_),
              StartsWith("MelodyPage=http://tunerequest.example/melody/2.shtml\r\n"));
}

// Each search page scraper reading its fixture: the term as the site expects it, every listed
// melody in order, none with links yet.
TEST_F(ScrapingTest, SearchPagesGiveEveryListedMelody) {
  TMelodyArchiveSite archive;
  TPolyCatalogSite poly;
  TToneLibrarySite library;
  TToneUploadsSite uploads;
  struct Case {
    const TSite& site;
    std::string term;
    const char* host;
    const char* search;
    const char* fixture;
    std::vector<std::string> titles;
    std::size_t index;  // a melody whose page address is checked
    const char* page;
  };
  const Case cases[] = {
      // "ночь 2" goes out as percent-encoded windows-1251; the page is read after its fix-ups.
      {site_,
       "\xED\xEE\xF7\xFC 2",
       "tunerequest.example",
       "/search/index.shtml?request=%ED%EE%F7%FC+2&where=all",
       "request-catalog/search.html",
       {"Secret Garden", "\xD2\xE8\xF5\xE0\xFF \xED\xEE\xF7\xFC \xED\xE0\xE4 \xF0\xE5\xEA\xEE\xE9",
        "Rock & Roll"},
       0,
       "http://tunerequest.example/melody/1.shtml"},
      // Performer and title joined; rows without a link skipped.
      {archive,
       "\xEC\xE0\xFF\xEA",
       "search.melodyarchive.example",
       "/1/search.php?mmsearch=%EC%E0%FF%EA&where=all",
       "melody-archive/search.html",
       {"Ivy and the Bells - Secret Garden",
        "\xC3\xF0\xF3\xEF\xEF\xE0 \xCC\xE0\xFF\xEA - Morning Coffee"},
       1,
       "http://files.melodyarchive.example/melody/4.html"},
      {poly,
       "\xE4\xE0\xED",
       "polycat.example",
       "/search/index.shtml?request=%E4%E0%ED&type=poly&where=all",
       "poly-catalog/search.html",
       {"Paper Moon Dance", "\xD3\xF2\xF0\xE5\xED\xED\xE8\xE9 \xEA\xEE\xF4\xE5"},
       1,
       "http://polycat.example/tone/4.html"},
      // Library and uploads read their own column of one page; one address twice is one upload.
      {library,
       "tone",
       "tonelibrary.example",
       "/search.php?q=tone&act=search",
       "tone-library/search.html",
       {"Secret Garden", "\xD2\xE8\xF5\xE0\xFF \xED\xEE\xF7\xFC"},
       0,
       "http://tonelibrary.example/tone/1.html"},
      {uploads,
       "tone",
       "tonelibrary.example",
       "/search.php?q=tone&act=search",
       "tone-library/search.html",
       {"Upload one", "Upload two"},
       1,
       "http://tonelibrary.example/temp/8.html"},
  };
  for (const Case& c : cases) {
    server_.Serve(c.host, c.search, Fixture(c.fixture));
    TMelodyList melodies;
    c.site.Search(c.term, melodies, NoStop);
    std::vector<std::string> titles;
    for (const TMelody& melody : melodies) {
      titles.push_back(melody.Title.str());
      EXPECT_EQ(melody.Site, &c.site) << c.fixture;
      EXPECT_FALSE(melody.Processed) << c.fixture;
      EXPECT_THAT(AllLinks(melody), IsEmpty()) << c.fixture;
    }
    EXPECT_EQ(titles, c.titles) << c.fixture;
    ASSERT_GT(melodies.size(), c.index) << c.fixture;
    EXPECT_EQ(melodies[c.index].PageURL.str(), c.page) << c.fixture;
  }
}

// An address cut to fit a record would be another address: such melodies and links are left out.
TEST_F(ScrapingTest, MelodiesAndLinksWhoseAddressDoesNotFitAreLeftOut) {
  TMelodyArchiveSite archive;
  TPolyCatalogSite poly;
  TToneLibrarySite library;
  TToneUploadsSite uploads;
  TMidiArchiveSite midi;
  struct Case {
    const TSite& site;
    const char* term;  // null: the address is a melody page
    std::string url;
    const char* fixture;
    const char* address;  // made too long where it first occurs
    std::size_t kept;     // melodies found, or links of the melody page
  };
  const Case cases[] = {
      {site_, "a", "http://tunerequest.example/search/index.shtml?request=a&where=all",
       "request-catalog/search.html", "http://tunerequest.example/melody/3.shtml", 2},
      {archive, "a", "http://search.melodyarchive.example/1/search.php?mmsearch=a&where=all",
       "melody-archive/search.html", "http://files.melodyarchive.example/melody/4.html", 1},
      {poly, "a", "http://polycat.example/search/index.shtml?request=a&type=poly&where=all",
       "poly-catalog/search.html", "http://polycat.example/tone/4.html", 1},
      {library, "a", "http://tonelibrary.example/search.php?q=a&act=search",
       "tone-library/search.html", "http://tonelibrary.example/tone/1.html", 1},
      {uploads, "b", "http://tonelibrary.example/search.php?q=b&act=search",
       "tone-library/search.html", "http://tonelibrary.example/temp/8.html", 1},
      {midi, "a", "http://midiarchive.example/find_midi.php?find=a&page=1",
       "midi-archive/single.html", "/song/101", 0},
      {archive, nullptr, "http://files.melodyarchive.example/melody/1.html",
       "melody-archive/melody.html", "http://files.melodyarchive.example/mel/1.mp3", 2},
      {poly, nullptr, "http://polycat.example/tone/2.html", "poly-catalog/melody.html",
       "http://polycat.example/files/2.mid", 3},
  };
  for (const Case& c : cases) {
    std::string page = Fixture(c.fixture);
    page.insert(page.find(c.address) + std::strlen(c.address), 300, 'x');
    const std::size_t path = c.url.find('/', 7);
    server_.Serve(c.url.substr(7, path - 7), c.url.substr(path), page);
    TMelodyList melodies;
    std::size_t kept = 0;
    std::vector<std::string> addresses;
    if (c.term != nullptr) {
      c.site.Search(c.term, melodies, NoStop);
      kept = melodies.size();
      for (const TMelody& melody : melodies) addresses.push_back(melody.PageURL.str());
    } else {
      melodies.push_back(MelodyAt(c.site, c.url));
      c.site.LoadMelodyPage(melodies[0], NoStop);
    }
    for (const TMelody& melody : melodies) {
      for (const TMelodyFormat format : AllFormats) {
        for (const TMelodyLink& link : melody.Links[format]) addresses.push_back(link.URL.str());
      }
    }
    EXPECT_EQ(c.term != nullptr ? kept : addresses.size(), c.kept) << c.fixture;
    for (const std::string& address : addresses) {
      EXPECT_THAT(address, Not(HasSubstr("xxx"))) << c.fixture;
    }
  }
}

}  // namespace
}  // namespace cq::test
