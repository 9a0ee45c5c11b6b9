#include <gmock/gmock.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "SampleSites.h"
#include "Server.h"
#include "core/platform/Text.h"
#include "core/sites/Xlat.h"
#include "core/transfer/Inet.h"

namespace cq::samples {
namespace {

using testing::HasSubstr;
using testing::Not;

const std::string kData = CQ_SAMPLE_SITES_DATA;

TCatalogue LoadCatalogue() {
  return TCatalogue::Load(kData + "/catalogue.tsv");
}

std::string W(const char* utf8) {
  return Utf8ToCp1251(utf8);
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The server in-process on a free port, reached as the proxy like the program reaches it.
class SampleSitesServer : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    sites_ = std::make_unique<TSampleSites>(LoadCatalogue(), TMedia::Load(kData + "/media"),
                                            TSampleSitesOptions{0.0, "1.2.3.4"});
    server_ = std::make_unique<TServer>(*sites_, std::chrono::milliseconds(0));
    ASSERT_GT(server_->Bind(0), 0);
    thread_ = std::thread([] { server_->Listen(); });
    ::setenv("http_proxy", server_->Address().c_str(), 1);
    ::unsetenv("no_proxy");
  }
  static void TearDownTestSuite() {
    while (!server_->Running()) std::this_thread::yield();
    server_->Stop();
    thread_.join();
    server_.reset();
    sites_.reset();
  }

  static std::string Fetch(const std::string& url) { return ReadFileText(FetchURL(url, false)); }

  const TCatalogue catalogue_ = LoadCatalogue();

  static std::unique_ptr<TSampleSites> sites_;
  static std::unique_ptr<TServer> server_;
  static std::thread thread_;
};

std::unique_ptr<TSampleSites> SampleSitesServer::sites_;
std::unique_ptr<TServer> SampleSitesServer::server_;
std::thread SampleSitesServer::thread_;

struct TSearchCase {
  TSiteId Site;
  std::string Address;  // up to the term
  std::string After;    // the rest of the query
  bool Wml;
};

const TSearchCase kSearches[] = {
    {siRequestCatalog, "http://tunerequest.example/search/index.shtml?request=", "&where=all",
     false},
    {siMelodyArchive, "http://search.melodyarchive.example/1/search.php?mmsearch=", "&where=all",
     false},
    {siWapClub, "http://wap.toneclub.example/?mod=mod_midisearch&srch=", "&where=poly&start=0",
     true},
    {siPolyCatalog, "http://polycat.example/search/index.shtml?request=", "&type=poly&where=all",
     false},
    {siToneLibrary, "http://tonelibrary.example/search.php?q=", "&act=search", false},
    {siMidiArchive, "http://midiarchive.example/find_midi.php?find=", "&page=1", false},
    {siToneUploads, "http://tonelibrary.example/search.php?q=", "&act=search", false},
};

// The term as each site's scraper sends it: windows-1251 bytes, or UTF-8 for the WAP club.
std::string SentTerm(const std::string& cp1251, bool wml) {
  return EncodeQuery(wml ? XlatEncode(cp1251) : cp1251);
}

TEST_F(SampleSitesServer, EverySearchPageShowsItsTitlesInItsOwnEncoding) {
  for (const std::string term : {"love", "\xEB\xFE\xE1\xEE\xE2\xFC" /* любовь */}) {
    for (const TSearchCase& search : kSearches) {
      SCOPED_TRACE(search.Address + " " + Cp1251ToUtf8(term));
      const std::vector<const TTune*> expected = catalogue_.Search(search.Site, term);
      int wapShown = 0;
      ASSERT_FALSE(expected.empty());
      const std::string page = Fetch(search.Address + SentTerm(term, search.Wml) + search.After);
      for (const TTune* tune : expected) {
        if (search.Site == siMidiArchive && tune != expected.front()) break;  // first page only
        if (search.Site == siWapClub && !tune->Has(fkMidi)) continue;
        if (search.Site == siWapClub && ++wapShown > 10) break;  // first page only
        // The request and poly catalogues show "performer - title" in their links.
        const bool full = search.Site == siRequestCatalog || search.Site == siPolyCatalog;
        const std::string shown = full ? tune->FullTitle() : tune->Title;
        const std::string title = search.Wml ? shown : Utf8ToCp1251(shown);
        EXPECT_NE(page.find(">" + title + "<"), std::string::npos) << tune->Id;
      }
      if (search.Wml) {
        EXPECT_THAT(page, HasSubstr(R"(encoding="utf-8")"));
        EXPECT_THAT(page, Not(HasSubstr(W("л"))));
      } else {
        EXPECT_THAT(page, HasSubstr("charset=windows-1251"));
        EXPECT_THAT(page, Not(HasSubstr("\xD0\xBB")));  // no UTF-8 л
      }
    }
  }
}

TEST_F(SampleSitesServer, ATermFoundNowhereGivesPagesWithoutResults) {
  EXPECT_THAT(Fetch("http://tunerequest.example/search/index.shtml?request=qqqzz&where=all"),
              Not(HasSubstr("/melody/")));
  EXPECT_THAT(Fetch("http://search.melodyarchive.example/1/search.php?mmsearch=qqqzz&where=all"),
              Not(HasSubstr("MIDI, MMF, WAV, MP3")));
  EXPECT_THAT(Fetch("http://wap.toneclub.example/?mod=mod_midisearch&srch=qqqzz&where=mmf&start=0"),
              Not(HasSubstr("/get/")));
  const std::string archive = Fetch("http://midiarchive.example/find_midi.php?find=qqqzz&page=1");
  EXPECT_THAT(archive, Not(HasSubstr("javascript:song")));
  EXPECT_THAT(archive, Not(HasSubstr(W("Страницы:"))));
}

struct TMelodyCase {
  TSiteId Site;
  std::string Page;      // with %d for the tune's number
  std::string FileLink;  // a file address the page must give, with %d
  TFileKind Kind;
};

std::string WithId(std::string text, int id) {
  const std::size_t at = text.find("%d");
  return at == std::string::npos ? text : text.replace(at, 2, std::to_string(id));
}

TEST_F(SampleSitesServer, MelodyPagesNameTheTitleAndGiveWorkingFileAddresses) {
  const TMelodyCase cases[] = {
      {siRequestCatalog, "http://tunerequest.example/melody/%d.shtml",
       "<u>http://tunerequest.example/files/%d.mid</u>", fkMidi},
      {siMelodyArchive, "http://files.melodyarchive.example/melody/%d.html",
       "<u>http://files.melodyarchive.example/mel/%d/%d.mid</u>", fkMidi},
      {siPolyCatalog, "http://polycat.example/poly/%d.shtml",
       "\"http://polycat.example/download/%d.mid\"", fkMidi},
      {siToneLibrary, "http://tonelibrary.example/tone.php?id=%d",
       "\"http://tonelibrary.example/files/mid/%d.mid\"", fkMidi},
      {siMidiArchive, "http://midiarchive.example/song/%d/",
       "\"http://midiarchive.example/song/%d/midiget.php?getsong=%d\"", fkMidi},
  };
  for (const TMelodyCase& c : cases) {
    const TTune* tune = catalogue_.Search(c.Site, "love").front();
    SCOPED_TRACE(WithId(c.Page, tune->Id));
    const std::string page = Fetch(WithId(c.Page, tune->Id));
    EXPECT_THAT(page, HasSubstr(Utf8ToCp1251(tune->Title)));
    const std::string link = WithId(WithId(c.FileLink, tune->Id), tune->Id);
    EXPECT_THAT(page, HasSubstr(link));
    const std::string address =
        link.substr(link.find("http://"), link.find_last_of("<\"") - link.find("http://"));
    EXPECT_EQ(Fetch(address), MakeMidi(tune->Id, false));
  }
}

TEST_F(SampleSitesServer, UploadsAreListedOnTheLibraryPageAndServedInAnyLetterCase) {
  const std::vector<const TTune*> uploads = catalogue_.Search(siToneUploads, "love");
  const std::string search = Fetch("http://tonelibrary.example/search.php?q=love&act=search");
  const std::string heading = W("<b>Временные файлы</b>");
  ASSERT_THAT(search, HasSubstr(heading));
  const std::string uploadCell = search.substr(search.find(heading));
  for (const TTune* tune : uploads) {
    const std::string item = "temp.php?id=" + std::to_string(tune->Id) + "\"";
    EXPECT_EQ(Count(uploadCell, item), tune->Id % 4 == 0 ? 2 : 1) << tune->Id;
  }
  const TTune* odd = nullptr;
  for (const TTune* tune : uploads) {
    if (tune->Id % 2 == 1) odd = tune;
  }
  ASSERT_NE(odd, nullptr);
  const std::string page =
      Fetch("http://tonelibrary.example/temp.php?id=" + std::to_string(odd->Id));
  const std::size_t at = page.find("/temp/files/Tone");
  ASSERT_NE(at, std::string::npos);
  const std::string written =
      "http://tonelibrary.example" + page.substr(at, page.find('"', at) - at);
  EXPECT_NE(written, LowerLatin(written)) << "odd numbers carry capital extensions";
  EXPECT_EQ(Fetch(written), Fetch(LowerLatin(written)));
}

TEST_F(SampleSitesServer, WapClubPagesTenResultsWithANextAnchorUntilTheLast) {
  std::vector<const TTune*> expected;
  for (const TTune* tune : catalogue_.Search(siWapClub, "love")) {
    if (tune->Has(fkMidi)) expected.push_back(tune);
  }
  ASSERT_GT(expected.size(), 20u);
  std::set<std::string> links;
  for (std::size_t start = 0; start < expected.size(); start += 10) {
    const std::string deck =
        Fetch("http://wap.toneclub.example/?mod=mod_midisearch&srch=love&where=poly&start=" +
              std::to_string(start));
    const int shown = Count(deck, "/get/poly/");
    EXPECT_EQ(shown, static_cast<int>(std::min<std::size_t>(10, expected.size() - start)));
    const bool last = start + 10 >= expected.size();
    EXPECT_EQ(Count(deck, "<anchor>"), last ? 0 : 1) << start;
    for (std::size_t at = deck.find("/get/poly/"); at != std::string::npos;
         at = deck.find("/get/poly/", at + 1)) {
      links.insert(deck.substr(at, deck.find('"', at) - at));
    }
  }
  EXPECT_EQ(links.size(), expected.size());
}

TEST_F(SampleSitesServer, MidiArchivePagesTenMelodiesWithAPageList) {
  const std::size_t total = catalogue_.Search(siMidiArchive, "love").size();
  const std::size_t pages = (total + 9) / 10;
  ASSERT_GE(pages, 3u);
  std::size_t seen = 0;
  for (std::size_t page = 1; page <= pages; ++page) {
    const std::string text =
        Fetch("http://midiarchive.example/find_midi.php?find=love&page=" + std::to_string(page));
    seen += static_cast<std::size_t>(Count(text, "javascript:song('/song/"));
    const std::string list = text.substr(text.find(W("<b>Страницы:")));
    // One link per other page, and a next link on all pages but the last.
    EXPECT_EQ(Count(list, "<a href="), static_cast<int>(pages - 1 + (page < pages ? 1 : 0)));
    EXPECT_THAT(list, HasSubstr("<u>" + std::to_string(page) + "</u>"));
  }
  EXPECT_EQ(seen, total);
}

TEST_F(SampleSitesServer, FilesHaveValidHeadersAndDifferPerMelody) {
  const TTune& tune = catalogue_.Tunes()[2];  // has WAV, MIDI and MP3
  ASSERT_TRUE(tune.Has(fkWav) && tune.Has(fkMp3) && tune.On(siRequestCatalog));
  const std::string base = "http://tunerequest.example/files/" + std::to_string(tune.Id);
  const std::string wav = Fetch(base + ".wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  auto le32 = [](const std::string& s, std::size_t at) {
    return static_cast<std::uint32_t>(
        static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
        static_cast<unsigned char>(s[at + 2]) << 16 | static_cast<unsigned char>(s[at + 3]) << 24);
  };
  EXPECT_EQ(le32(wav, 4), wav.size() - 8);
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(le32(wav, 40), wav.size() - 44);

  const std::string midi = Fetch(base + ".mid");
  EXPECT_EQ(midi.substr(0, 8), std::string("MThd\0\0\0\x06", 8));
  EXPECT_EQ(midi.substr(8, 4), std::string("\0\0\0\x01", 4));  // format 0, one track
  EXPECT_EQ(midi.substr(14, 4), "MTrk");
  const std::uint32_t trackLength = static_cast<std::uint32_t>(
      static_cast<unsigned char>(midi[18]) << 24 | static_cast<unsigned char>(midi[19]) << 16 |
      static_cast<unsigned char>(midi[20]) << 8 | static_cast<unsigned char>(midi[21]));
  EXPECT_EQ(trackLength, midi.size() - 22);
  EXPECT_EQ(midi.substr(midi.size() - 3), std::string("\xFF\x2F\x00", 3));

  const std::string mp3 = Fetch(base + ".mp3");
  ASSERT_GT(mp3.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(mp3[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(mp3[1]) & 0xE0, 0xE0);

  EXPECT_NE(MakeWav(1), MakeWav(2));
  EXPECT_NE(MakeMidi(1, false), MakeMidi(2, false));
  EXPECT_NE(MakeMidi(1, false), MakeMidi(1, true));
  EXPECT_EQ(MakeMmf(7, true).substr(0, 4), "MMMD");
  EXPECT_NE(MakeMmf(7, true), MakeMmf(7, false));
}

TEST_F(SampleSitesServer, FilesATuneLacksOrUnknownHostsAreNotFound) {
  const TTune* noWav = nullptr;
  for (const TTune& tune : catalogue_.Tunes()) {
    if (!tune.Has(fkWav) && tune.On(siRequestCatalog)) noWav = &tune;
  }
  ASSERT_NE(noWav, nullptr);
  const std::string url = "http://tunerequest.example/files/" + std::to_string(noWav->Id) + ".wav";
  // The fetcher turns the 404 answers into failures.
  EXPECT_THROW(Fetch(url), std::runtime_error);
  EXPECT_THROW(Fetch("http://nosuchsite.example/"), std::runtime_error);
  EXPECT_EQ(sites_->Handle("nosuchsite.example", "/").Status, 404);
  EXPECT_EQ(sites_->Handle("tunerequest.example", "/melody/0.shtml").Status, 404);
  EXPECT_EQ(sites_->Handle("tunerequest.example", "/melody/x.shtml").Status, 404);
}

std::string Download(TSampleSites& sites, int id) {
  const std::string n = std::to_string(id);
  return sites.Handle("midiarchive.example", "/song/" + n + "/midiget.php?getsong=" + n).Body;
}

TEST(SampleSitesWaiting, TheShareOfDownloadsThatMeetTheWaitingPage) {
  const TCatalogue catalogue = LoadCatalogue();
  const int id = catalogue.Search(siMidiArchive, "love").front()->Id;
  for (const double share : {0.0, 0.25, 1.0}) {
    TSampleSites sites(LoadCatalogue(), TMedia::Load(kData + "/media"), {share, "1.0.0.0"});
    int waits = 0;
    for (int i = 0; i < 20; ++i) {
      const std::string body = Download(sites, id);
      if (body.find("<br><br>") != std::string::npos) {
        ++waits;
      } else {
        EXPECT_EQ(body, MakeMidi(id, false));
      }
    }
    EXPECT_EQ(waits, static_cast<int>(20 * share)) << share;
  }
}

TEST(SampleSitesCatalogue, HoldsEnoughTunesAndOneTermFindsThreeHundred) {
  const TCatalogue catalogue = LoadCatalogue();
  ASSERT_GE(catalogue.Tunes().size(), 300u);
  int cyrillic = 0;
  int onSite[SiteCount] = {};
  for (const TTune& tune : catalogue.Tunes()) {
    if (tune.Title.find('\xD0') != std::string::npos) ++cyrillic;
    for (int site = 0; site < SiteCount; ++site) onSite[site] += tune.On(TSiteId(site)) ? 1 : 0;
  }
  EXPECT_GE(cyrillic, 50);
  for (int site = 0; site < SiteCount; ++site) EXPECT_GE(onSite[site], 50) << site;
  // What a search of all seven sites lists: the WAP club once per kind a tune comes in.
  std::size_t results = 0;
  for (int site = 0; site < SiteCount; ++site) {
    for (const TTune* tune : catalogue.Search(TSiteId(site), "LOVE")) {
      results += site == siWapClub ? static_cast<std::size_t>(tune->Has(fkMonoMidi)) +
                                         tune->Has(fkMidi) + tune->Has(fkMmf)
                                   : 1u;
    }
  }
  EXPECT_GE(results, 300u);
}

TEST(SampleSitesCatalogue, RejectsMalformedLines) {
  const std::string header = "id\tperformer\ttitle\tformats\tsites\n";
  EXPECT_NO_THROW(TCatalogue::Parse(header + "1\tA\tB\tmid\trc\n"));
  for (const std::string line :
       {"1\tA\tB\tmid\n", "1\tA\tB\tflac\trc\n", "1\tA\tB\tmid\tzz\n", "0\tA\tB\tmid\trc\n"}) {
    EXPECT_THROW(TCatalogue::Parse(header + line), std::runtime_error) << line;
  }
  EXPECT_THROW(TCatalogue::Parse(header + "1\tA\tB\tmid\trc\n1\tC\tD\tmid\trc\n"),
               std::runtime_error);
}

TEST(SampleSitesCatalogue, MatchesAnyLetterCaseIncludingCyrillic) {
  const TCatalogue catalogue = TCatalogue::Parse(
      "id\tperformer\ttitle\tformats\tsites\n"
      "1\tГруппа Маяк\tЛЮБОВЬ и Ёлка\tmid\trc,tl\n"
      "2\tNorthwind\tGlove Box\tmid\trc,tl\n");
  EXPECT_EQ(catalogue.Search(siRequestCatalog, W("любовь")).size(), 1u);
  EXPECT_EQ(catalogue.Search(siRequestCatalog, W("ёлка")).size(), 1u);
  EXPECT_EQ(catalogue.Search(siRequestCatalog, "LOVE").size(), 1u);
  EXPECT_EQ(catalogue.Search(siRequestCatalog, W("маяк")).size(), 1u);  // performer shown
  EXPECT_EQ(catalogue.Search(siToneLibrary, W("маяк")).size(), 0u);     // title only
  EXPECT_EQ(catalogue.Search(siRequestCatalog, "").size(), 0u);
}

}  // namespace
}  // namespace cq::samples
