#include "core/sites/RequestCatalogSite.h"

#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

constexpr TFixUp kFixUps[] = {
    {"</tr>\r\n</tr>", "</tr>"},
    // A script that writes a tag with a stray close of its own.
    {"\"></script>');", "\">');"},
};

constexpr std::string_view kResultTable =
    "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\3 TR\\2 TD\\DIV\\TABLE";
// The cell that lists the formats, three child nodes per offered file.
constexpr std::string_view kFormatCell =
    "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\3 TR\\2 TD\\2 TABLE\\TR\\TD\\DIV\\TABLE\\2 TR\\2 TD";
// The paragraph that shows the file addresses, underlined, in the order of the formats.
constexpr std::string_view kAddressParagraph =
    "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\3 TR\\2 TD\\2 P";

std::string WithSeparator(std::string_view path) {
  return std::string(path) + "\\";
}

}  // namespace

std::string TRequestCatalogSite::GetName() const {
  return "Tune Request";
}

std::string TRequestCatalogSite::GetHomePage() const {
  return std::string(hosts::RequestCatalog) + "/";
}

void TRequestCatalogSite::Search(const std::string& term, TMelodyList& melodies,
                                 const TFetchContext& fetch) const {
  const std::string url = std::string(hosts::RequestCatalog) +
                          "/search/index.shtml?request=" + EncodeQuery(term) + "&where=all";
  TMelodyList found;
  ScrapePage(*this, url, SearchContext(term), kFixUps, fetch, [&](const TElem& root) {
    const std::size_t rows = NeedElem(root, kResultTable).Children().Count();
    const std::string rowPrefix = WithSeparator(kResultTable);
    TNthPaths row(root, rowPrefix, "TR");
    for (std::size_t i = 1; i <= rows; ++i) {
      const TElem& link = row.Need(static_cast<int>(i), "2 TD\\P\\A");
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

void TRequestCatalogSite::LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const {
  if (melody.Processed) return;
  std::array<TMelodyLinkList, FormatCount> links;
  ScrapePage(*this, melody.PageURL.str(), MelodyPageContext(melody), kFixUps, fetch,
             [&](const TElem& root) {
               const std::size_t files = NeedElem(root, kFormatCell).Children().Count() / 3;
               const std::string captionPrefix = WithSeparator(kFormatCell);
               const std::string addressPrefix = WithSeparator(kAddressParagraph);
               TNthPaths captions(root, captionPrefix, "A");
               TNthPaths addresses(root, addressPrefix, "U");
               for (std::size_t i = 1; i <= files; ++i) {
                 const int n = static_cast<int>(i);
                 const std::string caption = FirstChildText(captions.Need(n));
                 const std::string address = FirstChildText(addresses.Need(n));
                 AddLinkByCaption(links, caption, address);
               }
             });
  melody.Links = std::move(links);
  melody.Processed = true;
}

}  // namespace cq
