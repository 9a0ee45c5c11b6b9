#include "core/sites/MelodyArchiveSite.h"

#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

constexpr std::string_view kHeading =
    "\\HTML\\BODY\\3 TABLE\\TR\\TD\\TABLE\\TR\\2 TD\\DIV\\TABLE\\TR\\TD\\H2";
// Only a heading that names all four formats stands above results.
constexpr std::string_view kResultsMark = "MIDI, MMF, WAV, MP3";
constexpr std::string_view kResultTable =
    "\\HTML\\BODY\\3 TABLE\\TR\\TD\\TABLE\\TR\\2 TD\\DIV\\TABLE\\TR\\TD\\TABLE\\";

constexpr TFixUp kPageFixUps[] = {
    {"</td>\r\n<td>\r\n", ""},
    {"</td><td> ", ""},
};
constexpr std::string_view kAddressCell =
    "\\HTML\\BODY\\2 TABLE\\TR\\TD\\TABLE\\TR\\2 TD\\3 TABLE\\8 TR\\2 TD";
constexpr std::string_view kFormatCell =
    "\\HTML\\BODY\\2 TABLE\\TR\\TD\\TABLE\\TR\\2 TD\\3 TABLE\\6 TR\\2 TD\\";
// The format links' texts begin with a fixed-length lead-in, then a space and the format.
constexpr std::size_t kLeadInLength = 14;

struct TFormatWord {
  std::string_view Word;
  TMelodyFormat Format;
};
// Tested in this order, so a text naming MIDI and MP3 goes under MIDI alone.
constexpr TFormatWord kFormatWords[] = {
    {"MIDI", fmMidi}, {"WAV", fmWav}, {"MP3", fmMp3}, {"MMF", fmMmf}};

std::string MelodyFilePrefix() {
  return std::string(hosts::MelodyArchiveFiles) + "/mel/";
}

// The file addresses, shown underlined, that lie on the site's melody file server.
std::vector<std::string> FileAddresses(const TElem& cell) {
  const std::string prefix = MelodyFilePrefix();
  std::vector<std::string> addresses;
  TChildCursor underlinedTexts(cell.Children(), "U");
  for (int i = 1;; ++i) {
    const TElem* underlined = underlinedTexts.At(i);
    if (underlined == nullptr) break;
    std::string text = FirstChildText(*underlined);
    if (text.compare(0, prefix.size(), prefix) == 0) addresses.push_back(std::move(text));
  }
  return addresses;
}

}  // namespace

std::string TMelodyArchiveSite::GetName() const {
  return "Melody Archive";
}

std::string TMelodyArchiveSite::GetHomePage() const {
  return std::string(hosts::MelodyArchiveSearch) + "/";
}

void TMelodyArchiveSite::Search(const std::string& term, TMelodyList& melodies,
                                const TFetchContext& fetch) const {
  melodies.clear();
  const std::string url = std::string(hosts::MelodyArchiveSearch) +
                          "/1/search.php?mmsearch=" + EncodeQuery(term) + "&where=all";
  TMelodyList found;
  ScrapePage(*this, url, SearchContext(term), {}, fetch, [&](const TElem& root) {
    const std::string heading = GetText(&NeedElem(root, kHeading));
    if (heading.find(kResultsMark) == std::string::npos) return;
    const std::string_view table = kResultTable.substr(0, kResultTable.size() - 1);
    const std::size_t rows = NeedElem(root, table).Children().Count();
    TNthPaths row(root, kResultTable, "TR");
    for (std::size_t i = 1; i <= rows; ++i) {
      const int n = static_cast<int>(i);
      const TElem* link = row.Find(n, "3 TD\\A");
      if (link == nullptr) continue;
      const TElem& performer = row.Need(n, "3 TD\\B");
      const std::string address = link->Attribute("href");
      if (!ShortString::Fits(address)) continue;
      TMelody& melody = found.emplace_back();
      melody.Title = FirstChildText(performer) + " - " + FirstChildText(*link);
      melody.PageURL = address;
      melody.Site = this;
    }
  });
  melodies = std::move(found);
}

void TMelodyArchiveSite::LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const {
  if (melody.Processed) return;
  std::array<TMelodyLinkList, FormatCount> links;
  ScrapePage(*this, melody.PageURL.str(), MelodyPageContext(melody), kPageFixUps, fetch,
             [&](const TElem& root) {
               const TElem* cell = FindElem(&root, kAddressCell);
               if (cell == nullptr) FailWalk("badhtml");
               const std::vector<std::string> addresses = FileAddresses(*cell);
               std::size_t used = 0;
               TNthPaths formatLinks(root, kFormatCell, "A");
               for (int i = 1;; ++i) {
                 const TElem* link = formatLinks.Find(i);
                 if (link == nullptr) break;
                 std::string text = FirstChildText(*link);
                 text.erase(0, std::min(kLeadInLength, text.size()));
                 if (text.empty() || text.front() != ' ') continue;
                 text.erase(0, 1);
                 const TFormatWord* named = nullptr;
                 for (const TFormatWord& word : kFormatWords) {
                   if (text.find(word.Word) != std::string::npos) {
                     named = &word;
                     break;
                   }
                 }
                 if (named == nullptr) continue;
                 if (used == addresses.size()) FailWalk("More format links than file addresses");
                 // A link paired with an address that does not fit is left out, not re-paired.
                 if (ShortString::Fits(addresses[used])) {
                   links[named->Format].push_back({text, addresses[used]});
                 }
                 ++used;
               }
               if (used == 0) FailWalk("empty");
             });
  melody.Links = std::move(links);
  melody.Processed = true;
}

}  // namespace cq
