#include "core/sites/PolyCatalogSite.h"

#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

constexpr std::string_view kResultTable =
    "\\HTML\\BODY\\TABLE\\TR\\TD\\CENTER\\TABLE\\3 TR\\2 TD\\CENTER\\TABLE\\TR\\TD\\DIV\\TABLE";
constexpr TFixUp kPageFixUps[] = {{"</tr>\r\n</tr>", "</tr>"}};
constexpr std::string_view kLinkCell =
    "\\HTML\\BODY\\TABLE\\TR\\TD\\CENTER\\TABLE\\3 TR\\2 TD\\CENTER\\TABLE\\TR\\TD\\DIV\\CENTER"
    "\\TABLE\\TR\\TD";
// "Скачать мелодию в формате " in windows-1251: only links that begin with it offer a file.
constexpr std::string_view kLeadIn =
    "\xD1\xEA\xE0\xF7\xE0\xF2\xFC \xEC\xE5\xEB\xEE\xE4\xE8\xFE \xE2 \xF4\xEE\xF0\xEC\xE0\xF2\xE5 ";

}  // namespace

std::string TPolyCatalogSite::GetName() const {
  return "Poly Catalogue";
}

std::string TPolyCatalogSite::GetHomePage() const {
  return std::string(hosts::PolyCatalog) + "/";
}

void TPolyCatalogSite::Search(const std::string& term, TMelodyList& melodies,
                              const TFetchContext& fetch) const {
  const std::string url = std::string(hosts::PolyCatalog) +
                          "/search/index.shtml?request=" + EncodeQuery(term) +
                          "&type=poly&where=all";
  TMelodyList found;
  ScrapePage(*this, url, SearchContext(term), {}, fetch, [&](const TElem& root) {
    const std::size_t rows = NeedElem(root, kResultTable).Children().Count();
    const std::string rowPrefix = std::string(kResultTable) + "\\";
    TNthPaths row(root, rowPrefix, "TR");
    for (std::size_t i = 1; i <= rows; ++i) {
      const TElem& link = row.Need(static_cast<int>(i), "2 TD\\A");
      const std::string address = link.Attribute("href");
      if (!ShortString::Fits(address)) continue;
      TMelody& melody = found.emplace_back();
      melody.Title = FirstChildText(link);
      melody.PageURL = address;
      melody.Site = this;
    }
  });
  melodies = std::move(found);
}

void TPolyCatalogSite::LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const {
  if (melody.Processed) return;
  std::array<TMelodyLinkList, FormatCount> links;
  ScrapePage(*this, melody.PageURL.str(), MelodyPageContext(melody), kPageFixUps, fetch,
             [&](const TElem& root) {
               for (const TElem* child : NeedElem(root, kLinkCell).Children()) {
                 if (child->Name() != "A") continue;
                 const std::string text = FirstChildText(*child);
                 if (text.compare(0, kLeadIn.size(), kLeadIn) != 0) continue;
                 AddLinkByCaption(links, std::string_view(text).substr(kLeadIn.size()),
                                  child->Attribute("href"));
               }
             });
  melody.Links = std::move(links);
  melody.Processed = true;
}

}  // namespace cq
