#include <gmock/gmock.h>

#include <atomic>
#include <fstream>

#include "core/Errors.h"
#include "core/config/Translation.h"
#include "core/sites/MidiArchiveSite.h"
#include "core/sites/WapClubSite.h"
#include "sites/SiteTest.h"

namespace cq::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing::StartsWith;

using namespace std::string_literals;

constexpr const char* kWap = "wap.toneclub.example";
constexpr const char* kMidi = "midiarchive.example";

// "Однотоновый MIDI" in windows-1251.
const std::string kMonoCaption = "\xCE\xE4\xED\xEE\xF2\xEE\xED\xEE\xE2\xFB\xE9 MIDI";

std::string WapSearch(const std::string& term, const std::string& where, int start) {
  return "/?mod=mod_midisearch&srch=" + term + "&where=" + where +
         "&start=" + std::to_string(start);
}

// A deck of ten tones numbered from `first`, their files from `firstFile`, with a next-page anchor.
std::string WapDeck(int first, int firstFile) {
  std::string deck = "<?xml version=\"1.0\"?>\r\n<wml><card><p>Results</p><p>\r\n";
  for (int i = 0; i < 10; ++i) {
    deck += "<a href=\"http://wap.toneclub.example/get/" + std::to_string(firstFile + i) +
            ".mid\">Tone " + std::to_string(first + i) + "</a><br/>\r\n";
  }
  return deck + "<anchor>Next<go href=\"/next\"/></anchor></p></card></wml>\r\n";
}

int StartOf(const httplib::Request& request) {
  return request.has_param("start") ? std::stoi(request.get_param_value("start")) : -1;
}

class WapClubTest : public SiteTest {
 protected:
  TWapClubSite site_;
};

TEST_F(WapClubTest, SearchesEveryKindFollowingTheNextPageAnchor) {
  // "ёж 1": letters sent as UTF-8, two percent sequences each.
  const std::string term = "%D1%91%D0%B6+1";
  server_.Serve(kWap, WapSearch(term, "mono", 0), Fixture("wap-club/ten.wml"), "text/vnd.wap.wml");
  server_.Serve(kWap, WapSearch(term, "mono", 10), Fixture("wap-club/two.wml"), "text/vnd.wap.wml");
  server_.Serve(kWap, WapSearch(term, "poly", 0), Fixture("wap-club/empty.wml"),
                "text/vnd.wap.wml");
  server_.Serve(kWap, WapSearch(term, "mmf", 0), Fixture("wap-club/two.wml"), "text/vnd.wap.wml");
  TMelodyList melodies;
  site_.Search("\xB8\xE6 1", melodies, NoStop);
  ASSERT_EQ(melodies.size(), 14u);
  EXPECT_EQ(server_.TotalHits(), 4);

  // "Тон номер 1", decoded to windows-1251.
  EXPECT_EQ(melodies[0].Title.str(), "\xD2\xEE\xED \xED\xEE\xEC\xE5\xF0 1");
  EXPECT_EQ(melodies[0].PageURL.str(), "http://wap.toneclub.example" + WapSearch(term, "mono", 0));
  EXPECT_THAT(LinksOf(melodies[0], fmMidi),
              ElementsAre(kMonoCaption + "|http://wap.toneclub.example/get/1.mid"));
  // The capital Ё stays as the site sent it; the small ё is converted.
  EXPECT_EQ(melodies[10].Title.str(), "\xD0\x81\xEB\xEA\xE0 \xB8\xE6\xE8\xEA");
  EXPECT_EQ(melodies[10].PageURL.str(),
            "http://wap.toneclub.example" + WapSearch(term, "mono", 10));
  // The same tone found as an MMF is a melody of its own.
  EXPECT_THAT(LinksOf(melodies[12], fmMmf),
              ElementsAre("MMF|http://wap.toneclub.example/get/11.mid"));
  for (const TMelody& melody : melodies) EXPECT_TRUE(melody.Processed);
}

TEST_F(WapClubTest, AnyFailureEvenAFailedFetchIsAParseErrorWithADump) {
  server_.Serve(kWap, WapSearch("abc", "mono", 0), Fixture("wap-club/two.wml"));
  TMelodyList melodies{TMelody{}};
  EXPECT_EQ(FailureOf([&] { site_.Search("abc", melodies, NoStop); }), "Error while parsing page.");
  EXPECT_THAT(melodies, IsEmpty());
  EXPECT_THAT(DumpReport(site_), StartsWith("Search term=abc\r\n"));
}

TEST_F(WapClubTest, KindStopsEarlyAtAPageThatRepeatsAnEarlierOne) {
  // A site whose every page offers one more page, and always the same tones.
  server_.On(kWap, "/", [](const std::string&, const httplib::Request&, httplib::Response& reply) {
    reply.set_content(WapDeck(1, 1), "text/vnd.wap.wml");
  });
  TMelodyList melodies;
  site_.Search("abc", melodies, NoStop);
  EXPECT_EQ(melodies.size(), 30u);
  EXPECT_EQ(server_.TotalHits(), 6);
  EXPECT_EQ(server_.Hits(kWap, WapSearch("abc", "mmf", 10)), 1);
}

TEST_F(WapClubTest, KindStopsAfterAHundredPages) {
  // A site that always has ten more tones, every page offering the files of the first.
  std::atomic<int> deepest{0};
  server_.On(kWap, "/",
             [&](const std::string&, const httplib::Request& request, httplib::Response& reply) {
               const int start = StartOf(request);
               if (start > deepest) deepest = start;
               reply.set_content(WapDeck(start, 1), "text/vnd.wap.wml");
             });
  TMelodyList melodies;
  site_.Search("abc", melodies, NoStop);
  EXPECT_EQ(server_.TotalHits(), 3 * TWapClubSite::MaxPagesPerKind);
  EXPECT_EQ(deepest.load(), 990);
  EXPECT_EQ(melodies.size(), 3000u);
}

class MidiArchiveTest : public SiteTest {
 protected:
  std::string SearchPath(const std::string& term, int page) {
    return "/find_midi.php?find=" + term + "&page=" + std::to_string(page);
  }
  std::vector<int> PagesRead(const std::string& term, int upTo) {
    std::vector<int> pages;
    for (int page = 1; page <= upTo; ++page) {
      if (server_.Hits(kMidi, SearchPath(term, page)) > 0) pages.push_back(page);
    }
    return pages;
  }

  std::vector<int> slept_;
  TMidiArchiveSite site_{
      [this](std::chrono::seconds time) { slept_.push_back(static_cast<int>(time.count())); }};
};

TEST_F(MidiArchiveTest, APageListOfSevenChildrenMakesTheSearchReadPagesOneToFive) {
  server_.Serve(kMidi, SearchPath("%ED%EE", 1), Fixture("midi-archive/page1.html"));
  for (int page = 2; page <= 6; ++page) {
    server_.Serve(kMidi, SearchPath("%ED%EE", page), Fixture("midi-archive/page2.html"));
  }
  TMelodyList melodies;
  site_.Search("\xED\xEE", melodies, NoStop);
  EXPECT_THAT(PagesRead("%ED%EE", 7), ElementsAre(1, 2, 3, 4, 5));
  ASSERT_EQ(melodies.size(), 6u);

  const TMelody& first = melodies[0];
  EXPECT_EQ(first.Title.str(), "Ivy and the Bells - Secret Garden");
  EXPECT_EQ(first.PageURL.str(), "http://midiarchive.example/song/101/");
  EXPECT_TRUE(first.Processed);
  EXPECT_THAT(
      LinksOf(first, fmMidi),
      ElementsAre("MIDI 128 kbit|http://midiarchive.example/song/101/midiget.php?getsong=101"));
  // No note or an empty one: the caption is the format alone.
  EXPECT_THAT(LinksOf(melodies[2], fmMidi),
              ElementsAre("MIDI|http://midiarchive.example/song/105/midiget.php?getsong=105"));
}

TEST_F(MidiArchiveTest, AFailedLaterPageLosesTheEarlierPagesToo) {
  server_.Serve(kMidi, SearchPath("abc", 1), Fixture("midi-archive/page1.html"));
  server_.Serve(kMidi, SearchPath("abc", 2), Fixture("midi-archive/page2.html"));
  TMelodyList melodies;
  EXPECT_EQ(FailureOf([&] { site_.Search("abc", melodies, NoStop); }),
            "Cannot retreive page from the Internet.");
  EXPECT_THAT(melodies, IsEmpty());
  EXPECT_THAT(PagesRead("abc", 5), ElementsAre(1, 2, 3));
}

TEST_F(MidiArchiveTest, APageListOfAMillionPagesIsReadOnlyAHundredPagesFar) {
  std::string endless = Fixture("midi-archive/single.html");
  std::string pageList = "<div><p><b>Pages:";
  for (int page = 1; page <= 1000; ++page)
    pageList += " <a href=\"#\">" + std::to_string(page) + "</a>";
  pageList += "</b></p></div>\r\n";
  endless.insert(endless.find("</td></tr>\r\n</table>\r\n</td></tr></table>"), pageList);
  server_.On(kMidi, "/",
             [&](const std::string&, const httplib::Request&, httplib::Response& reply) {
               reply.set_content(endless, "text/html");
             });
  TMelodyList melodies;
  site_.Search("abc", melodies, NoStop);
  EXPECT_EQ(server_.TotalHits(), TMidiArchiveSite::MaxSearchPages);
  EXPECT_EQ(server_.Hits(kMidi, SearchPath("abc", 100)), 1);
  EXPECT_EQ(melodies.size(), 100u);
}

TEST_F(MidiArchiveTest, DownloadMetByTheWaitingPageWaitsFiveThenTenSecondsCountingDown) {
  const std::string midi = "MThd\0\0\0\6\0\0\0\1\0\x60MTrk"s;
  std::atomic<int> asked{0};
  server_.On(kMidi, "/song/101/",
             [&](const std::string&, const httplib::Request&, httplib::Response& reply) {
               if (++asked <= 2) {
                 reply.set_content(
                     "<html>Please wait a moment<br><br>the file is on its way</html>",
                     "text/html");
               } else {
                 reply.set_content(midi, "audio/midi");
               }
             });
  TMelody melody = MelodyAt(site_, "http://midiarchive.example/song/101/");
  melody.Links[fmMidi].push_back(
      {"MIDI", "http://midiarchive.example/song/101/midiget.php?getsong=101"});
  std::vector<double> retrying;
  const TFetchContext progress{[&](TJobStatus status, double value) {
    if (status == jsRetrying) retrying.push_back(value);
    return false;
  }};
  std::string fileName;
  site_.FetchFile(melody, fmMidi, 0, progress, fileName);

  EXPECT_EQ(asked.load(), 3);
  EXPECT_THAT(retrying, ElementsAreArray({5.0, 4.0, 3.0, 2.0, 1.0, 10.0, 9.0, 8.0, 7.0, 6.0, 5.0,
                                          4.0, 3.0, 2.0, 1.0}));
  EXPECT_EQ(slept_, std::vector<int>(15, 1));
  EXPECT_EQ(ReadFileText(fileName), midi);
  // The cache now holds the file itself: asking again fetches nothing.
  site_.FetchFile(melody, fmMidi, 0, progress, fileName);
  EXPECT_EQ(asked.load(), 3);
}

TEST_F(MidiArchiveTest, TheWaitingPageEndsAtAStopRequestOrAfterBoundedRounds) {
  std::atomic<int> asked{0};
  server_.On(kMidi, "/song/101/",
             [&](const std::string&, const httplib::Request&, httplib::Response& reply) {
               // A server that lets go only long after any reasonable wait.
               reply.set_content(++asked <= 20 ? "<html>wait<br><br>please</html>" : "MThd",
                                 "text/html");
             });
  TMelody melody = MelodyAt(site_, "http://midiarchive.example/song/101/");
  melody.Links[fmMidi].push_back({"MIDI", "http://midiarchive.example/song/101/"});
  std::string fileName;
  int reports = 0;
  const TFetchContext stopAtThirdSecond{
      [&](TJobStatus status, double) { return status == jsRetrying && ++reports == 3; }};
  EXPECT_THROW(site_.FetchFile(melody, fmMidi, 0, stopAtThirdSecond, fileName), EAbort);
  EXPECT_EQ(slept_.size(), 2u);

  slept_.clear();
  EXPECT_EQ(FailureOf([&] { site_.FetchFile(melody, fmMidi, 0, NoStop, fileName); }),
            "Cannot retreive page from the Internet.");
  EXPECT_EQ(asked.load(), 1 + TMidiArchiveSite::MaxWaitingPages);
  // Waits of 5, 10, 15, 20 and 25 seconds between the six waiting pages.
  EXPECT_EQ(slept_.size(), 75u);
}

}  // namespace
}  // namespace cq::test
