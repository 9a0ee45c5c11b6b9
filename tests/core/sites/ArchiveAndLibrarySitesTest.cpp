#include <gmock/gmock.h>

#include "core/config/Translation.h"
#include "core/sites/MelodyArchiveSite.h"
#include "core/sites/ToneLibrarySite.h"
#include "core/sites/ToneUploadsSite.h"
#include "sites/SiteTest.h"

namespace cq::test {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::StartsWith;

constexpr const char* kArchiveSearch = "search.melodyarchive.example";
constexpr const char* kArchiveFiles = "files.melodyarchive.example";
constexpr const char* kLibrary = "tonelibrary.example";

std::vector<std::string> Titles(const TMelodyList& melodies) {
  std::vector<std::string> titles;
  for (const TMelody& melody : melodies) titles.push_back(melody.Title.str());
  return titles;
}

class MelodyArchiveTest : public SiteTest {
 protected:
  TMelodyArchiveSite site_;
};

TEST_F(MelodyArchiveTest, SearchJoinsPerformerAndTitleAndSkipsRowsWithoutLink) {
  server_.Serve(kArchiveSearch, "/1/search.php?mmsearch=%EC%E0%FF%EA&where=all",
                Fixture("melody-archive/search.html"));
  TMelodyList melodies;
  site_.Search("\xEC\xE0\xFF\xEA", melodies, NoStop);
  // "Группа Маяк" in windows-1251.
  EXPECT_THAT(Titles(melodies), ElementsAre("Ivy and the Bells - Secret Garden",
                                            "\xC3\xF0\xF3\xEF\xEF\xE0 \xCC\xE0\xFF\xEA - "
                                            "Morning Coffee"));
  EXPECT_EQ(melodies[1].PageURL.str(), "http://files.melodyarchive.example/melody/4.html");
}

TEST_F(MelodyArchiveTest, MelodyPagePairsFormatLinksWithTheSitesFileAddressesInOrder) {
  server_.Serve(kArchiveFiles, "/melody/1.html", Fixture("melody-archive/melody.html"));
  TMelody melody = MelodyAt(site_, "http://files.melodyarchive.example/melody/1.html");
  site_.LoadMelodyPage(melody, NoStop);
  // The link without a space after its lead-in takes no address; MIDI wins over MP3; AMR is
  // no format; the address on another host is not the site's.
  EXPECT_THAT(LinksOf(melody, fmMidi),
              ElementsAre("MIDI polyphonic|http://files.melodyarchive.example/mel/1.mid",
                          "MIDI and MP3|http://files.melodyarchive.example/mel/1.mp3"));
  EXPECT_THAT(LinksOf(melody, fmMmf),
              ElementsAre("MMF|http://files.melodyarchive.example/mel/1.mmf"));
  EXPECT_THAT(LinksOf(melody, fmMp3), IsEmpty());
  EXPECT_TRUE(melody.Processed);
}

class ToneLibraryTest : public SiteTest {
 protected:
  void SetUp() override {
    SiteTest::SetUp();
    server_.Serve(kLibrary, "/search.php?q=tone&act=search", Fixture("tone-library/search.html"));
  }
  TToneLibrarySite library_;
  TToneUploadsSite uploads_;
};

TEST_F(ToneLibraryTest, LibraryAndUploadsReadTheirOwnColumnOfOneSearchPage) {
  TMelodyList melodies;
  library_.Search("tone", melodies, NoStop);
  EXPECT_THAT(Titles(melodies),
              ElementsAre("Secret Garden", "\xD2\xE8\xF5\xE0\xFF \xED\xEE\xF7\xFC"));
  EXPECT_EQ(melodies[0].PageURL.str(), "http://tonelibrary.example/tone/1.html");

  // The same address twice is one upload.
  uploads_.Search("tone", melodies, NoStop);
  EXPECT_THAT(Titles(melodies), ElementsAre("Upload one", "Upload two"));
  EXPECT_EQ(melodies[1].PageURL.str(), "http://tonelibrary.example/temp/8.html");
  EXPECT_EQ(melodies[1].Site, &uploads_);
}

TEST_F(ToneLibraryTest, LibraryMelodyPageTellsTheFormatByTheFolder) {
  server_.Serve(kLibrary, "/tone/1.html", Fixture("tone-library/melody.html"));
  TMelody melody = MelodyAt(library_, "http://tonelibrary.example/tone/1.html");
  library_.LoadMelodyPage(melody, NoStop);
  EXPECT_THAT(LinksOf(melody, fmMidi),
              ElementsAre("MIDI|http://tonelibrary.example/files/mid/1.mid"));
  EXPECT_THAT(LinksOf(melody, fmMmf),
              ElementsAre("MMF with vibration|http://tonelibrary.example/files/vib/1.mmf",
                          "MMF|http://tonelibrary.example/files/mmf/vib/1.mmf"));
  EXPECT_THAT(LinksOf(melody, fmWav), IsEmpty());
  EXPECT_THAT(LinksOf(melody, fmMp3), IsEmpty());
}

struct TUploadCase {
  const char* fixture;
  TMelodyFormat format;
  const char* link;
};

TEST_F(ToneLibraryTest, UploadPageFilesItsOneFileByItsExtensionInSmallLetters) {
  const TUploadCase cases[] = {
      {"tone-uploads/upload.html", fmMidi, "MIDI|http://tonelibrary.example/temp/7/song.mid"},
      {"tone-uploads/upload-mp3.html", fmMp3, "MP3|http://tonelibrary.example/temp/8/tune.mp3"},
  };
  int n = 0;
  for (const TUploadCase& c : cases) {
    const std::string path = "/temp/" + std::to_string(++n) + ".html";
    server_.Serve(kLibrary, path, Fixture(c.fixture));
    TMelody melody = MelodyAt(uploads_, "http://tonelibrary.example" + path);
    uploads_.LoadMelodyPage(melody, NoStop);
    for (const TMelodyFormat format : AllFormats) {
      if (format == c.format) {
        EXPECT_THAT(LinksOf(melody, format), ElementsAre(c.link)) << c.fixture;
      } else {
        EXPECT_THAT(LinksOf(melody, format), IsEmpty()) << c.fixture;
      }
    }
  }
}

}  // namespace
}  // namespace cq::test
