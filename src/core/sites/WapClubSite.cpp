#include "core/sites/WapClubSite.h"

#include <set>
#include <utility>
#include <vector>

#include "core/config/Translation.h"
#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/sites/Xlat.h"
#include "core/transfer/AddressEncoding.h"

namespace cq {

namespace {

struct TKind {
  std::string_view Where;  // the query's "where"
  TMelodyFormat Format;
  std::string Caption;
};

constexpr std::string_view kLinkPrefix = "\\WML\\CARD\\2 P\\";
constexpr std::string_view kNextPageAnchor = "\\WML\\CARD\\2 P\\ANCHOR";

// Looked up at every search, so a change of language shows with the next one.
std::vector<TKind> Kinds() {
  return {
      {"mono", fmMidi,
       Translate("Formats.Monophonic", "\xCE\xE4\xED\xEE\xF2\xEE\xED\xEE\xE2\xFB\xE9") + " MIDI"},
      {"poly", fmMidi,
       Translate("Formats.Polyphonic", "\xCF\xEE\xEB\xE8\xF4\xEE\xED\xE8\xF7\xE5\xF1\xEA\xE8\xE9") +
           " MIDI"},
      {"mmf", fmMmf, "MMF"},
  };
}

}  // namespace

std::string TWapClubSite::GetName() const {
  return "WAP Club";
}

std::string TWapClubSite::GetHomePage() const {
  return std::string(hosts::WapClub) + "/";
}

void TWapClubSite::Search(const std::string& term, TMelodyList& melodies,
                          const TFetchContext& fetch) const {
  const std::vector<TKind> kinds = Kinds();
  melodies.clear();
  const std::string query = EncodeQuery(XlatEncode(term));
  TMelodyList found;
  std::string page;
  // Here a failed fetch counts as a page that could not be walked, too.
  WalkPage(*this, SearchContext(term), page, [&] {
    for (const TKind& kind : kinds) {
      // Each page's links as records keep them, title and file address.
      std::set<std::vector<std::pair<std::string, std::string>>> pagesRead;
      for (int start = 0, pages = 0; pages < MaxPagesPerKind; start += LinksPerPage, ++pages) {
        const std::string url = std::string(hosts::WapClub) + "/?mod=mod_midisearch&srch=" + query +
                                "&where=" + std::string(kind.Where) +
                                "&start=" + std::to_string(start);
        page = FetchPage(url, fetch);
        const std::unique_ptr<TDocument> document = ParsePage(page);
        const TElem& root = *document->Root();
        TMelodyList onPage;
        std::vector<std::pair<std::string, std::string>> results;
        for (int j = 1; j <= LinksPerPage; ++j) {
          const TElem* link = FindElem(&root, NthPath(kLinkPrefix, j, " A"));
          if (link == nullptr) break;
          const std::string address = link->Attribute("href");
          const std::string title = XlatDecode(FirstChildText(*link));
          results.emplace_back(ShortString(title).str(), ShortString(address).str());
          if (!ShortString::Fits(address) || !ShortString::Fits(url)) continue;
          TMelody& melody = onPage.emplace_back();
          melody.Title = title;
          melody.PageURL = url;
          melody.Site = this;
          melody.Processed = true;
          melody.Links[kind.Format].push_back({kind.Caption, address});
        }
        // A page read before would only lead to itself again. Titles count too: a page of new
        // tones may offer files that earlier pages offered.
        if (!pagesRead.insert(std::move(results)).second) break;
        found.insert(found.end(), onPage.begin(), onPage.end());
        if (FindElem(&root, kNextPageAnchor) == nullptr) break;
      }
    }
  });
  melodies = std::move(found);
}

void TWapClubSite::LoadMelodyPage(TMelody&, const TFetchContext&) const {}

}  // namespace cq
