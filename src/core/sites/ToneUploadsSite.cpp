#include "core/sites/ToneUploadsSite.h"

#include <algorithm>

#include "core/platform/Text.h"
#include "core/sites/Scraping.h"
#include "core/sites/SiteHosts.h"
#include "core/sites/ToneLibrarySite.h"

namespace cq {

namespace {

// The second column is headed "Временные файлы" (temporary files); closing the first column's
// list before it keeps the columns apart.
constexpr TFixUp kSearchFixUps[] = {
    {"</td>\r\n<td>\r\n", ""},
    {"<td width=50% valign=top><b>\xC2\xF0\xE5\xEC\xE5\xED\xED\xFB\xE5 \xF4\xE0\xE9\xEB\xFB",
     "</li></td><td width=50% valign=top><b>\xC2\xF0\xE5\xEC\xE5\xED\xED\xFB\xE5 "
     "\xF4\xE0\xE9\xEB\xFB"},
};
constexpr TFixUp kPageFixUps[] = {{"</td>\r\n<td>\r\n", ""}};

constexpr std::string_view kResultCell = "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\TABLE\\TR\\2 TD";
constexpr std::string_view kFileLink =
    "\\HTML\\BODY\\3 TABLE\\TR\\2 TD\\2 CENTER\\2 TABLE\\TR\\TD\\LI\\A";

struct TExtension {
  std::string_view Text;
  std::string_view Caption;
};
constexpr TExtension kExtensions[] = {
    {".mmf", "MMF"}, {".mid", "MIDI"}, {".mp3", "MP3"}, {".wav", "WAV"}};

}  // namespace

std::string TToneUploadsSite::GetName() const {
  return "Tone Uploads";
}

std::string TToneUploadsSite::GetHomePage() const {
  return std::string(hosts::ToneLibrary) + "/?act=temp";
}

void TToneUploadsSite::Search(const std::string& term, TMelodyList& melodies,
                              const TFetchContext& fetch) const {
  TMelodyList found;
  ScrapePage(*this, ToneLibrarySearchAddress(term), SearchContext(term), kSearchFixUps, fetch,
             [&](const TElem& root) {
               for (const TElem* item : NeedElem(root, kResultCell).Children()) {
                 if (item->Name() != "LI") continue;
                 const TElem& link = FirstChild(*item);
                 const std::string address = link.Attribute("href");
                 if (!ShortString::Fits(address)) continue;
                 const bool known = std::any_of(found.begin(), found.end(), [&](const TMelody& m) {
                   return m.PageURL == address;
                 });
                 if (known) continue;
                 TMelody& melody = found.emplace_back();
                 melody.Title = FirstChildText(link);
                 melody.PageURL = address;
                 melody.Site = this;
               }
             });
  melodies = std::move(found);
}

void TToneUploadsSite::LoadMelodyPage(TMelody& melody, const TFetchContext& fetch) const {
  if (melody.Processed) return;
  std::array<TMelodyLinkList, FormatCount> links;
  ScrapePage(*this, melody.PageURL.str(), MelodyPageContext(melody), kPageFixUps, fetch,
             [&](const TElem& root) {
               const std::string address = LowerLatin(NeedElem(root, kFileLink).Attribute("href"));
               const auto known = std::find_if(
                   std::begin(kExtensions), std::end(kExtensions),
                   [&](const TExtension& e) { return address.find(e.Text) != std::string::npos; });
               if (known == std::end(kExtensions)) FailWalk("Unknown melody extension");
               AddLinkByCaption(links, known->Caption, address);
             });
  melody.Links = std::move(links);
  melody.Processed = true;
}

}  // namespace cq
