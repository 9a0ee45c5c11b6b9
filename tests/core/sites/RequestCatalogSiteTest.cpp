#include <gmock/gmock.h>

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

}  // namespace
}  // namespace cq::test
