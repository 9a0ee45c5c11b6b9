// The sample pages walked with the parser and the element paths the scrapers use, so that the
// layouts stay walkable and each site's text repairs stay necessary.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "SampleSites.h"
#include "core/platform/Text.h"
#include "core/sites/Parser.h"
#include "core/sites/Sites.h"
#include "core/sites/Xlat.h"
#include "core/transfer/Inet.h"

namespace cq::samples {
namespace {

const std::string kData = CQ_SAMPLE_SITES_DATA;

std::string W(const char* utf8) {
  return Utf8ToCp1251(utf8);
}

struct TFound {
  std::string Title;
  std::string Page;
  std::vector<std::pair<TMelodyFormat, std::string>> Files;  // format, address
};

using TRepairs = std::vector<std::pair<std::string, std::string>>;

class Walker {
 public:
  explicit Walker(bool repair)
      : repair_(repair),
        sites_(TCatalogue::Load(kData + "/catalogue.tsv"), TMedia::Load(kData + "/media"),
               {0.0, "1.0.0.0"}) {}

  std::string Get(const std::string& url, const TRepairs& repairs = {}) {
    const std::size_t slash = url.find_first_of("/?", 7);
    const TReply reply = sites_.Handle(url.substr(7, slash - 7), url.substr(slash));
    if (reply.Status != 200) throw std::runtime_error("status " + std::to_string(reply.Status));
    std::string page = reply.Body;
    for (const auto& [from, to] : repair_ ? repairs : TRepairs{}) {
      for (std::size_t at = page.find(from); at != std::string::npos;
           at = page.find(from, at + to.size())) {
        page.replace(at, from.size(), to);
      }
    }
    return page;
  }

 private:
  bool repair_;
  TSampleSites sites_;
};

TElem* Must(const TDocument& document, const std::string& path) {
  TElem* elem = FindElem(document.Root(), path);
  if (elem == nullptr) throw std::runtime_error("no element at " + path);
  return elem;
}

std::string FirstText(const TElem* elem) {
  if (elem->Children().Count() == 0) throw std::runtime_error("empty element");
  return GetText(elem->Children()[0]);
}

void AddByCaption(TFound& found, const std::string& caption, const std::string& address) {
  for (const TMelodyFormat format : AllFormats) {
    if (CaptionNamesFormat(caption, format)) found.Files.emplace_back(format, address);
  }
}

const TRepairs kRequestCatalogRepairs = {{"</tr>\r\n</tr>", "</tr>"},
                                         {"\"></script>');", "\">');"}};

std::vector<TFound> RequestCatalog(Walker& walker, const std::string& term) {
  const auto page = Parse(walker.Get(
      "http://tunerequest.example/search/index.shtml?request=" + EncodeQuery(term) + "&where=all",
      kRequestCatalogRepairs));
  const std::string table = "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\3 TR\\2 TD\\DIV\\TABLE";
  std::vector<TFound> found;
  for (std::size_t i = 1; i <= Must(*page, table)->Children().Count(); ++i) {
    const TElem* link = Must(*page, table + "\\" + std::to_string(i) + " TR\\2 TD\\P\\A");
    found.push_back({FirstText(link), link->Attribute("href"), {}});
  }
  for (TFound& melody : found) {
    const auto doc = Parse(walker.Get(melody.Page, kRequestCatalogRepairs));
    const std::string cell =
        "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\3 TR\\2 TD\\2 TABLE\\TR\\TD\\DIV\\TABLE\\2 TR\\2 "
        "TD";
    const std::string shown = "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\3 TR\\2 TD\\2 P";
    for (std::size_t i = 1; i <= Must(*doc, cell)->Children().Count() / 3; ++i) {
      const std::string n = std::to_string(i);
      AddByCaption(melody, FirstText(Must(*doc, cell + "\\" + n + " A")),
                   FirstText(Must(*doc, shown + "\\" + n + " U")));
    }
  }
  return found;
}

std::vector<TFound> MelodyArchive(Walker& walker, const std::string& term) {
  const auto page = Parse(walker.Get("http://search.melodyarchive.example/1/search.php?mmsearch=" +
                                     EncodeQuery(term) + "&where=all"));
  const std::string cell = "\\HTML\\BODY\\3 TABLE\\TR\\TD\\TABLE\\TR\\2 TD\\DIV\\TABLE\\TR\\TD";
  std::vector<TFound> found;
  if (GetText(Must(*page, cell + "\\H2")).find("MIDI, MMF, WAV, MP3") == std::string::npos) {
    return found;
  }
  for (std::size_t i = 1; i <= Must(*page, cell + "\\TABLE")->Children().Count(); ++i) {
    const std::string row = cell + "\\TABLE\\" + std::to_string(i) + " TR\\3 TD";
    const TElem* link = FindElem(page->Root(), row + "\\A");
    if (link == nullptr) continue;
    found.push_back({FirstText(Must(*page, row + "\\B")) + " - " + FirstText(link),
                     link->Attribute("href"),
                     {}});
  }
  const std::string prefix = "http://files.melodyarchive.example/mel/";
  const std::string body = "\\HTML\\BODY\\2 TABLE\\TR\\TD\\TABLE\\TR\\2 TD\\3 TABLE\\";
  for (TFound& melody : found) {
    const auto doc =
        Parse(walker.Get(melody.Page, {{"</td>\r\n<td>\r\n", ""}, {"</td><td> ", ""}}));
    const TElem* shown = Must(*doc, body + "8 TR\\2 TD");
    std::vector<std::string> addresses;
    for (int i = 1; const TElem* u = FindChild(shown->Children(), "U", i); ++i) {
      if (FirstText(u).compare(0, prefix.size(), prefix) == 0) addresses.push_back(FirstText(u));
    }
    std::size_t k = 0;
    for (int i = 1;
         const TElem* a = FindElem(doc->Root(), body + "6 TR\\2 TD\\" + std::to_string(i) + " A");
         ++i) {
      std::string text = FirstText(a);
      if (text.size() <= 15 || text[14] != ' ') continue;
      text = text.substr(15);
      const TMelodyFormat format = text.find("MIDI") != std::string::npos  ? fmMidi
                                   : text.find("WAV") != std::string::npos ? fmWav
                                   : text.find("MP3") != std::string::npos ? fmMp3
                                                                           : fmMmf;
      if (format == fmMmf && text.find("MMF") == std::string::npos) continue;
      if (k >= addresses.size()) throw std::runtime_error("more links than addresses");
      melody.Files.emplace_back(format, addresses[k++]);
    }
    if (k == 0) throw std::runtime_error("empty");
  }
  return found;
}

std::vector<TFound> WapClub(Walker& walker, const std::string& term) {
  std::vector<TFound> found;
  const std::pair<const char*, TMelodyFormat> kinds[] = {
      {"mono", fmMidi}, {"poly", fmMidi}, {"mmf", fmMmf}};
  for (const auto& [where, format] : kinds) {
    for (int start = 0;; start += 10) {
      const std::string url =
          "http://wap.toneclub.example/?mod=mod_midisearch&srch=" + EncodeQuery(XlatEncode(term)) +
          "&where=" + where + "&start=" + std::to_string(start);
      const auto deck = Parse(walker.Get(url));
      for (int j = 1; j <= 10; ++j) {
        const TElem* a = FindElem(deck->Root(), "\\WML\\CARD\\2 P\\" + std::to_string(j) + " A");
        if (a == nullptr) break;
        found.push_back({XlatDecode(FirstText(a)), url, {{format, a->Attribute("href")}}});
      }
      if (FindElem(deck->Root(), "\\WML\\CARD\\2 P\\ANCHOR") == nullptr) break;
    }
  }
  return found;
}

std::vector<TFound> PolyCatalog(Walker& walker, const std::string& term) {
  const std::string frame =
      "\\HTML\\BODY\\TABLE\\TR\\TD\\CENTER\\TABLE\\3 TR\\2 TD\\CENTER\\TABLE\\TR\\TD\\DIV";
  const auto page =
      Parse(walker.Get("http://polycat.example/search/index.shtml?request=" + EncodeQuery(term) +
                       "&type=poly&where=all"));
  std::vector<TFound> found;
  for (std::size_t i = 1; i <= Must(*page, frame + "\\TABLE")->Children().Count(); ++i) {
    const TElem* a = Must(*page, frame + "\\TABLE\\" + std::to_string(i) + " TR\\2 TD\\A");
    found.push_back({FirstText(a), a->Attribute("href"), {}});
  }
  const std::string lead = W("Скачать мелодию в формате ");
  for (TFound& melody : found) {
    const auto doc = Parse(walker.Get(melody.Page, {{"</tr>\r\n</tr>", "</tr>"}}));
    for (const TElem* child : Must(*doc, frame + "\\CENTER\\TABLE\\TR\\TD")->Children()) {
      if (child->Name() != "A" || FirstText(child).compare(0, lead.size(), lead) != 0) continue;
      AddByCaption(melody, FirstText(child).substr(lead.size()), child->Attribute("href"));
    }
  }
  return found;
}

std::vector<TFound> ToneLibrary(Walker& walker, const std::string& term, bool uploads) {
  TRepairs repairs = {{"</td>\r\n<td>\r\n", ""}};
  if (uploads) {
    repairs.emplace_back(W("<td width=50% valign=top><b>Временные файлы"),
                         W("</li></td><td width=50% valign=top><b>Временные файлы"));
  }
  const auto page = Parse(walker.Get(
      "http://tonelibrary.example/search.php?q=" + EncodeQuery(term) + "&act=search", repairs));
  const std::string cell =
      std::string("\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\TR\\") + (uploads ? "2 TD" : "TD");
  std::vector<TFound> found;
  std::set<std::string> seen;
  for (const TElem* item : Must(*page, cell)->Children()) {
    if (item->Name() != "LI") continue;
    const TElem* a = item->Children()[0];
    if (uploads && !seen.insert(a->Attribute("href")).second) continue;
    found.push_back({FirstText(a), a->Attribute("href"), {}});
  }
  const std::string files = "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\2 CENTER\\2 TABLE\\TR\\TD";
  for (TFound& melody : found) {
    const auto doc = Parse(walker.Get(melody.Page, {{"</td>\r\n<td>\r\n", ""}}));
    if (uploads) {
      const std::string address = LowerLatin(Must(*doc, files + "\\LI\\A")->Attribute("href"));
      const std::size_t point = address.rfind('.');
      const std::string extension = address.substr(point);
      for (const TMelodyFormat format : AllFormats) {
        if (extension == FormatExtensions[format]) melody.Files.emplace_back(format, address);
      }
      continue;
    }
    for (const TElem* child : Must(*doc, files)->Children()) {
      const std::string address = child->Name() == "A" ? child->Attribute("href") : "";
      if (address.find("/mmf/") != std::string::npos ||
          address.find("/vib/") != std::string::npos) {
        melody.Files.emplace_back(fmMmf, address);
      } else if (address.find("/mid/") != std::string::npos) {
        melody.Files.emplace_back(fmMidi, address);
      }
    }
  }
  return found;
}

std::vector<TFound> MidiArchive(Walker& walker, const std::string& term) {
  const std::string base = "http://midiarchive.example";
  const std::string rows = "\\HTML\\BODY\\5 TABLE\\TR\\TD\\2 TABLE\\2 TR\\TD\\P\\TABLE\\";
  std::vector<TFound> found;
  int last = 1;
  for (int page = 1; page <= last; ++page) {
    const auto doc = Parse(walker.Get(base + "/find_midi.php?find=" + EncodeQuery(term) +
                                      "&page=" + std::to_string(page)));
    for (int r = 4;; r += 3) {
      const TElem* b = FindElem(doc->Root(), rows + std::to_string(r) + " TR\\2 TD\\2 A\\B");
      if (b == nullptr) break;
      std::string song = Must(*doc, rows + std::to_string(r) + " TR\\2 TD\\2 A")->Attribute("href");
      song = song.substr(song.find('\'') + 1);
      song = song.substr(0, song.find('\''));
      const std::string number = song.substr(6, song.size() - 7);
      const std::string performer =
          FirstText(Must(*doc, rows + std::to_string(r + 1) + " TR\\TD\\A\\FONT"));
      found.push_back({performer + " - " + FirstText(b),
                       base + song,
                       {{fmMidi, base + "/song/" + number + "/midiget.php?getsong=" + number}}});
    }
    if (const TElem* list =
            FindElem(doc->Root(), "\\HTML\\BODY\\5 TABLE\\TR\\TD\\2 TABLE\\2 TR\\TD\\DIV\\P\\B")) {
      last = static_cast<int>(list->Children().Count()) - 2;
    }
  }
  return found;
}

struct TSiteWalk {
  TSiteId Site;
  std::function<std::vector<TFound>(Walker&, const std::string&)> Walk;
  bool NeedsRepairs;
};

const TSiteWalk kWalks[] = {
    {siRequestCatalog, RequestCatalog, true},
    {siMelodyArchive, MelodyArchive, true},
    {siWapClub, WapClub, false},
    {siPolyCatalog, PolyCatalog, true},
    {siToneLibrary, [](Walker& w, const std::string& t) { return ToneLibrary(w, t, false); }, true},
    {siMidiArchive, MidiArchive, false},
    {siToneUploads, [](Walker& w, const std::string& t) { return ToneLibrary(w, t, true); }, true},
};

// How many melodies the site's search shows for the term: the WAP club once per kind.
std::size_t Expected(const TCatalogue& catalogue, TSiteId site, const std::string& term) {
  std::size_t count = 0;
  for (const TTune* tune : catalogue.Search(site, term)) {
    count += site != siWapClub ? 1u
                               : static_cast<std::size_t>(tune->Has(fkMonoMidi)) +
                                     tune->Has(fkMidi) + tune->Has(fkMmf);
  }
  return count;
}

const char* const kMagic[] = {"RIFF", "MThd", "MMMD", "\xFF"};

TEST(SampleSitesWalk, EverySiteWalksToItsMelodiesAndFiles) {
  const TCatalogue catalogue = TCatalogue::Load(kData + "/catalogue.tsv");
  Walker walker(true);
  std::size_t total = 0;
  for (const std::string& term : {std::string("love"), W("ночь"), W("Первая любовь")}) {
    for (const TSiteWalk& walk : kWalks) {
      SCOPED_TRACE(std::to_string(walk.Site) + " " + Cp1251ToUtf8(term));
      std::vector<TFound> found;
      ASSERT_NO_THROW(found = walk.Walk(walker, term));
      EXPECT_EQ(found.size(), Expected(catalogue, walk.Site, term));
      if (term == "love") total += found.size();
      for (const TFound& melody : found) {
        EXPECT_NE(LowerCp1251(melody.Title).find(LowerCp1251(term)), std::string::npos)
            << Cp1251ToUtf8(melody.Title);
        EXPECT_FALSE(melody.Files.empty()) << melody.Page;
        for (const auto& [format, address] : melody.Files) {
          EXPECT_EQ(walker.Get(address).rfind(kMagic[format], 0), 0u) << address;
        }
      }
    }
  }
  EXPECT_GE(total, 300u);
}

std::size_t FileCount(const std::vector<TFound>& found) {
  std::size_t count = 0;
  for (const TFound& melody : found) count += melody.Files.size();
  return count;
}

TEST(SampleSitesWalk, WithoutTheirRepairsTheQuirkySitesFailOrLoseFiles) {
  Walker repaired(true);
  Walker raw(false);
  for (const TSiteWalk& walk : kWalks) {
    if (!walk.NeedsRepairs) continue;
    const std::size_t expected = FileCount(walk.Walk(repaired, "love"));
    bool failed = false;
    std::size_t files = 0;
    try {
      files = FileCount(walk.Walk(raw, "love"));
    } catch (const std::runtime_error&) {
      failed = true;
    }
    EXPECT_TRUE(failed || files < expected) << walk.Site << ": " << files << " of " << expected;
  }
}

}  // namespace
}  // namespace cq::samples
