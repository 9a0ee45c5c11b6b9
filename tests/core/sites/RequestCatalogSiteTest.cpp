#include <gmock/gmock.h>

#include "core/sites/PolyCatalogSite.h"
#include "core/sites/RequestCatalogSite.h"
#include "sites/SiteTest.h"

namespace cq::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr const char* kHost = "tunerequest.example";

class RequestCatalogTest : public SiteTest {
 protected:
  TRequestCatalogSite site_;
};

TEST_F(RequestCatalogTest, SearchReadsEveryRowAfterTheFixUps) {
  // "ночь 2" goes out as percent-encoded windows-1251.
  server_.Serve(kHost, "/search/index.shtml?request=%ED%EE%F7%FC+2&where=all",
                Fixture("request-catalog/search.html"));
  TMelodyList melodies;
  site_.Search("\xED\xEE\xF7\xFC 2", melodies, NoStop);
  ASSERT_EQ(melodies.size(), 3u);
  EXPECT_EQ(melodies[0].Title.str(), "Secret Garden");
  EXPECT_EQ(melodies[0].PageURL.str(), "http://tunerequest.example/melody/1.shtml");
  // "Тихая ночь над рекой" in windows-1251, as the page has it.
  EXPECT_EQ(melodies[1].Title.str(),
            "\xD2\xE8\xF5\xE0\xFF \xED\xEE\xF7\xFC \xED\xE0\xE4 \xF0\xE5\xEA\xEE\xE9");
  EXPECT_EQ(melodies[2].Title.str(), "Rock & Roll");
  for (const TMelody& melody : melodies) {
    EXPECT_EQ(melody.Site, &site_);
    EXPECT_FALSE(melody.Processed);
    for (const auto& links : melody.Links) EXPECT_TRUE(links.empty());
  }
}

TEST_F(RequestCatalogTest, MelodyPageDropsTheRemainderAndFilesCaptionsUnderEveryFormatNamed) {
  const std::string page = "http://tunerequest.example/melody/1.shtml";
  server_.Serve(kHost, "/melody/1.shtml", Fixture("request-catalog/melody.html"));
  TMelody melody = MelodyAt(site_, page);
  melody.Links[fmWav].push_back({"old", "http://old.example/x.wav"});
  site_.LoadMelodyPage(melody, NoStop);
  EXPECT_TRUE(melody.Processed);
  // Ten child nodes in the format cell make three files; the third names no known format.
  EXPECT_THAT(LinksOf(melody, fmMidi),
              ElementsAre("Polyphonic MIDI|http://tunerequest.example/files/1.mid",
                          "Midi + mp3|http://tunerequest.example/files/1-full.mp3"));
  EXPECT_THAT(LinksOf(melody, fmMp3),
              ElementsAre("Midi + mp3|http://tunerequest.example/files/1-full.mp3"));
  EXPECT_THAT(LinksOf(melody, fmWav), IsEmpty());
  EXPECT_THAT(LinksOf(melody, fmMmf), IsEmpty());

  // Read once: a second call asks the site nothing.
  site_.LoadMelodyPage(melody, NoStop);
  EXPECT_EQ(server_.Hits(kHost, "/melody/1.shtml"), 1);
}

TEST_F(RequestCatalogTest, MelodyPageOfAnotherLayoutFailsWholeAndKeepsTheOldLinks) {
  server_.Serve(kHost, "/melody/2.shtml", Fixture("request-catalog/search.html"));
  TMelody melody = MelodyAt(site_, "http://tunerequest.example/melody/2.shtml");
  EXPECT_EQ(FailureOf([&] { site_.LoadMelodyPage(melody, NoStop); }), "Error while parsing page.");
  EXPECT_FALSE(melody.Processed);
  EXPECT_THAT(DumpReport(site_),
              testing::StartsWith("MelodyPage=http://tunerequest.example/melody/2.shtml\r\n"));
}

class PolyCatalogTest : public SiteTest {
 protected:
  TPolyCatalogSite site_;
};

TEST_F(PolyCatalogTest, SearchAsksForPolyphonicTonesAndReadsTheRows) {
  server_.Serve("polycat.example", "/search/index.shtml?request=%E4%E0%ED&type=poly&where=all",
                Fixture("poly-catalog/search.html"));
  TMelodyList melodies;
  site_.Search("\xE4\xE0\xED", melodies, NoStop);
  ASSERT_EQ(melodies.size(), 2u);
  EXPECT_EQ(melodies[0].Title.str(), "Paper Moon Dance");
  EXPECT_EQ(melodies[1].PageURL.str(), "http://polycat.example/tone/4.html");
}

}  // namespace
}  // namespace cq::test
